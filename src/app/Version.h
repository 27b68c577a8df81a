#pragma once

#include <QString>

inline constexpr int VersionMajor = CV_VERSION_MAJOR;
inline constexpr int VersionRevision = CV_VERSION_REVISION;

// major "." revision, as shown in the main window's caption.
inline QString VersionText() {
    return QString::number(VersionMajor) + QLatin1Char('.') + QString::number(VersionRevision);
}
