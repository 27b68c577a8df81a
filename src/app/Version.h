#pragma once

#include <QString>

// The program's version. The build gives major and revision; the minor number only appears in
// VersionString.
inline constexpr int VersionMajor = CV_VERSION_MAJOR;
inline constexpr int VersionMinor = CV_VERSION_MINOR;
inline constexpr int VersionRevision = CV_VERSION_REVISION;

// major "." revision, as shown in the main window's caption.
inline QString VersionText(int major = VersionMajor, int revision = VersionRevision) {
    return QString::number(major) + QLatin1Char('.') + QString::number(revision);
}

// major "." minor "." revision, what the update checker compares.
inline QString VersionString(int major = VersionMajor, int minor = VersionMinor, int revision = VersionRevision) {
    return QString::number(major) + QLatin1Char('.') + QString::number(minor) + QLatin1Char('.') +
           QString::number(revision);
}

// The main window's caption: the minor number is left out.
inline QString MainCaption(int major = VersionMajor, int revision = VersionRevision) {
    return QStringLiteral("CV Remote - v") + VersionText(major, revision);
}
