#include "settings/ProgramFolder.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

namespace {

QString clean(const QString &path) {
    return QDir::cleanPath(QDir(path).absolutePath());
}

bool fail(QString *error, const QString &text) {
    if (error) {
        *error = text;
    }
    return false;
}

// Makes the folder when missing and fills it from `from` (when given). A look only answers
// which folder holds the files now: the folder once it holds them, else the one they come from.
ProgramFolderChoice prepare(const QString &folder, const QString &from, bool lookOnly) {
    ProgramFolderChoice choice;
    if (lookOnly) {
        // A settings file of the user's own counts as much as the data: the radio it names is
        // the one to talk to, even before the window program has filled in the rest.
        const bool settings =
            QFileInfo(QDir(folder).filePath(QLatin1String(UserFolderName) + QStringLiteral(".ini"))).isFile();
        if (QFileInfo(folder).isDir() && (from.isEmpty() || settings || HoldsProgramData(folder))) {
            choice.folder = folder;
        } else if (!from.isEmpty()) {
            choice.folder = from;
        } else {
            choice.error = QStringLiteral("the program folder %1 does not exist").arg(folder);
        }
        return choice;
    }
    if (!QDir().mkpath(folder)) {
        choice.error = QStringLiteral("cannot create the program folder %1").arg(folder);
        return choice;
    }
    if (!from.isEmpty()) {
        QString error;
        if (!FillMissingFiles(from, folder, &error)) {
            choice.error = error;
            return choice;
        }
        choice.filledFrom = from;
    }
    choice.folder = folder;
    return choice;
}

} // namespace

QString UserProgramFolder() {
    // The generic location rather than the application one: the latter changes with whatever
    // organisation and application names happen to be set when it is asked.
    const QString base = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    return base.isEmpty() ? QString() : QDir(base).filePath(QLatin1String(UserFolderName));
}

QString InstalledDataFolder(const QString &executableFolder) {
    const QDir bin(clean(executableFolder));
    if (bin.dirName() != QLatin1String("bin")) {
        return {};
    }
    const QString share = QDir::cleanPath(bin.filePath(QStringLiteral("../share/")) + QLatin1Char('/') +
                                          QLatin1String(InstalledDataName));
    return HoldsProgramData(share) ? share : QString();
}

bool HoldsProgramData(const QString &folder) {
    const QDir dir(folder);
    for (const char *name : {"Commandlist.txt", "qx_Commandlist.txt", "menus.txt", "qx_menus.txt"}) {
        if (QFileInfo(dir.filePath(QLatin1String(name))).isFile()) {
            return true;
        }
    }
    return false;
}

bool FillMissingFiles(const QString &from, const QString &to, QString *error) {
    const QDir source(clean(from));
    if (!source.exists()) {
        return fail(error, QStringLiteral("the shipped data files are missing: %1 does not exist").arg(source.path()));
    }
    const QDir target(clean(to));
    QDirIterator files(source.path(), QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (files.hasNext()) {
        const QString file = files.next();
        const QFileInfo info = files.fileInfo();
        if (info.isExecutable() || file.endsWith(QLatin1String(".lock"))) {
            continue;
        }
        const QString copy = target.filePath(source.relativeFilePath(file));
        // A link or folder of that name counts as present as well: whatever the user put there
        // is theirs.
        if (QFileInfo(copy).exists() || QFileInfo(copy).isSymLink()) {
            continue;
        }
        if (!QDir().mkpath(QFileInfo(copy).path())) {
            return fail(error, QStringLiteral("cannot create the folder %1").arg(QFileInfo(copy).path()));
        }
        // QFile::copy writes a temporary file and renames it, so an interrupted fill never leaves
        // a cut-off file that a later fill would take for the user's own.
        if (!QFile::copy(file, copy)) {
            return fail(error, QStringLiteral("cannot copy %1 to %2").arg(file, copy));
        }
        QFile::setPermissions(copy, QFile::permissions(copy) | QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    }
    return true;
}

namespace {

ProgramFolderChoice choose(const ProgramFolderInputs &inputs, bool lookOnly) {
    const QString executableFolder = clean(inputs.executableFolder);
    const QString shipped = InstalledDataFolder(executableFolder);

    if (!inputs.explicitFolder.isEmpty()) {
        return prepare(clean(inputs.explicitFolder), shipped, lookOnly);
    }

    const QFileInfo exe(executableFolder);
    const bool writable = inputs.canWrite ? inputs.canWrite(executableFolder) : exe.isWritable();
    if (shipped.isEmpty() && exe.isDir() && writable) {
        return {executableFolder, {}, {}};
    }

    if (inputs.userFolder.isEmpty()) {
        return {{}, {}, QStringLiteral("there is no folder for the user's data (is HOME set?)")};
    }
    QString from = shipped;
    if (from.isEmpty() && HoldsProgramData(executableFolder)) {
        from = executableFolder;
    }
    if (from.isEmpty()) {
        ProgramFolderChoice choice;
        choice.error = QStringLiteral("%1 cannot be written and the shipped data files are missing: "
                                      "%2 does not exist")
                           .arg(executableFolder, QDir::cleanPath(executableFolder + QStringLiteral("/../share/")) +
                                                      QLatin1Char('/') + QLatin1String(InstalledDataName));
        return choice;
    }
    return prepare(clean(inputs.userFolder), from, lookOnly);
}

} // namespace

ProgramFolderChoice ChooseProgramFolder(const ProgramFolderInputs &inputs) {
    return choose(inputs, false);
}

ProgramFolderChoice FindProgramFolder(const ProgramFolderInputs &inputs) {
    return choose(inputs, true);
}
