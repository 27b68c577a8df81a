#pragma once

#include <QString>
#include <QStringList>

// Whole-file reading and writing of the program's single-byte text files.
namespace FileBits {

// The file's bytes as Latin-1 text; a missing or unreadable file reads as "", and so does
// anything that is no regular file (a FIFO would never end).
QString ReadWholeFile(const QString &path);

// Splits into lines. The program writes CR LF; a file saved by an editor of this platform may
// end its lines in a bare LF, which ends a line too. A lone CR stays part of its line.
// "" gives one empty line.
QStringList SplitLines(const QString &text);

// Writes the text as Latin-1, replacing the file in one step (a temporary file renamed over
// the old one), so a failed write never leaves a truncated file. False when it failed.
bool WriteWholeFile(const QString &path, const QString &text);

// The program's "else" rule for its data files: folder/name when that file exists,
// otherwise folder/"qx_" + name.
QString ChooseDataFile(const QString &folder, const QString &name);

// A file named by one of the program's data files (a skin picture, a menu icon): name is taken
// below folder ("" is the current folder), with "\\" read as "/" and leading separators dropped. The path when that is
// a regular file whose real location (links and ".." resolved) lies inside folder, else "". A data file cannot make the
// program read elsewhere, nor open a FIFO or a device that would hold it.
QString FileInFolder(const QString &folder, const QString &name);

} // namespace FileBits
