#pragma once

#include "app/Program.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QString>

#include <memory>

// Fills a temporary program folder for the real program: the default data files, the skin's
// picture folders included, and a settings file pointing at the simulated radio on loopback,
// followed by moreSettings (further General keys, then other sections). False when the data
// folder is not where CV_TEST_DATA says or the settings cannot be written.
inline bool FillProgramFolder(const QString &folder, int radioPort, const QString &moreSettings = QString()) {
    const QDir data(qEnvironmentVariable("CV_TEST_DATA"));
    if (!QFile::exists(data.filePath(QStringLiteral("Commandlist.txt")))) {
        return false;
    }
    QDirIterator files(data.path(), QDir::Files, QDirIterator::Subdirectories);
    while (files.hasNext()) {
        const QString from = files.next();
        const QString to = QDir(folder).filePath(data.relativeFilePath(from));
        QDir().mkpath(QFileInfo(to).path());
        QFile::copy(from, to);
    }
    QFile ini(QDir(folder).filePath(QStringLiteral("CVRemote.ini")));
    return ini.open(QIODevice::WriteOnly) &&
           ini.write(QStringLiteral("[General]\r\nRaidoURL=127.0.0.1\r\nRaidoPORT=%1\r\n").arg(radioPort).toLatin1() +
                     moreSettings.toLatin1()) > 0;
}

// The real program in that folder, ending quietly: no bell and no quit of the test's event loop
// (only the executable connects those).
inline std::unique_ptr<Program> QuietProgram(Platform &platform, const QString &folder) {
    return std::make_unique<Program>(platform, folder);
}
