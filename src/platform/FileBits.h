#pragma once

#include <QString>
#include <QStringList>

// Whole-file reading and writing of the program's single-byte text files.
namespace FileBits {

// The file's bytes as Latin-1 text; a missing or unreadable file reads as "".
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

} // namespace FileBits
