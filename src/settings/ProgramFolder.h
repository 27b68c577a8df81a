#pragma once

#include <QString>

#include <functional>

// Where the program keeps its settings and data files.
//
// A portable copy (the build tree, an unpacked archive) keeps them beside its executable. An
// installed copy cannot: its executable lies in <prefix>/bin, its shipped data in
// <prefix>/share/cvremote, and neither may be written. It uses a folder of the user's own,
// filled from the shipped data on the first start. Filling only ever adds missing files, so what
// the user changed there survives later starts and later versions.

// The folder below <prefix>/share that holds an installed copy's shipped data.
inline constexpr char InstalledDataName[] = "cvremote";
// The per-user folder's name below the XDG data location.
inline constexpr char UserFolderName[] = "CVRemote";

struct ProgramFolderInputs {
    QString executableFolder; // the folder of the running executable
    QString explicitFolder;   // named on the command line; empty when none was
    QString userFolder;       // the per-user folder (UserProgramFolder() in the real program)
    // Whether a folder can be written; the file modes when not given. Tests that run as root
    // (where every folder can be written) say no here.
    std::function<bool(const QString &)> canWrite;
};

struct ProgramFolderChoice {
    QString folder;     // the program folder; empty when none could be made ready
    QString filledFrom; // the shipped data it was filled from; empty when nothing was filled
    QString error;      // what went wrong, for the user; empty on success
    bool ok() const { return error.isEmpty(); }
};

// The one place that decides the program folder; nothing else asks. In order:
// - a folder named on the command line is used (created when missing; filled from the shipped
//   data when this is an installed copy);
// - an installed copy (executable in <prefix>/bin with <prefix>/share/cvremote beside it) uses
//   the per-user folder, whatever the file modes say: as root every folder is writable;
// - an executable folder that can be written is used as it is, as it always was;
// - otherwise the per-user folder, filled from the shipped data, or from the executable's folder
//   when that holds the data files itself (a portable copy on a read-only medium).
ProgramFolderChoice ChooseProgramFolder(const ProgramFolderInputs &inputs);

// The folder ChooseProgramFolder would settle on, by the same rules, for a program that only
// reads it (the command-line client beside the window program): nothing is created or copied.
// Where a start would first fill the folder (an installed copy never started yet, a portable copy
// on a read-only medium), the answer is the folder the files would be filled from, whose data
// files are the same and which holds no settings file; a folder that holds a settings file
// (CVRemote.ini) already is the answer all the same. An error when a folder named on the command
// line does not exist.
ProgramFolderChoice FindProgramFolder(const ProgramFolderInputs &inputs);

// <XDG data home>/CVRemote, e.g. ~/.local/share/CVRemote.
QString UserProgramFolder();

// <prefix>/share/cvremote when executableFolder is <prefix>/bin and the shipped data lies there;
// empty otherwise.
QString InstalledDataFolder(const QString &executableFolder);

// True when the folder holds the program's data files (the command list or the skin's screens).
bool HoldsProgramData(const QString &folder);

// Copies every file below `from` that `to` lacks into `to`, subfolders included, and leaves every
// file already there untouched. Copies can be written by their owner even when the shipped files
// cannot. Executables and lock files are not data and are skipped. False, with the reason in
// error, when `from` is missing or a file cannot be copied; files copied before stay.
bool FillMissingFiles(const QString &from, const QString &to, QString *error = nullptr);
