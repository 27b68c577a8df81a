#pragma once

#include <QString>
#include <QStringList>
#include <QtGlobal>

#include <vector>

class INIFILES;
class PlacedWindow;

// One rectangle of a remote-control picture, in percent of the picture (0 = top or left edge,
// 100 = bottom or right edge), and the command a click inside it sends.
struct RemoteButton {
    qint16 Top = 0;
    qint16 Bottom = 0;
    qint16 Left = 0;
    qint16 Right = 0;
    QString Function;

    friend bool operator==(const RemoteButton &, const RemoteButton &) = default;
};

// The current layout: its button table in file order and its name. The table is never empty:
// a layout without rectangles holds one record of zeros with an empty Function.
struct RemoteLayout {
    std::vector<RemoteButton> RemoteButtons{RemoteButton{}};
    QString CurrentRemote; // name without extension; may hold a folder
};

// The layout name of a name or of a path to one of the layout's files: a trailing ".txt",
// ".bmp", ".jpg" or ".png" (in any case) is dropped.
QString LayoutBaseName(const QString &name);

// The button table of a layout text. Comment lines (first character after blanks "#") and
// lines without "," are skipped; every other line gives one record.
std::vector<RemoteButton> ParseLayoutText(const QString &text);

// The text of a layout file: a heading comment, an empty line, then one line per record with
// CR LF line ends.
QString LayoutText(const std::vector<RemoteButton> &buttons);

// A percentage as the layout file writes it: at least two digits (7 gives "07", -3 "-03").
QString LayoutNumber(qint16 value);

// The file of a layout with the given extension (".txt", ".jpg"...): base name + extension when
// it exists, else a file of that base name whose extension differs only in case; "" when none.
QString LayoutFile(const QString &baseName, const QString &extension);

// The picture of a layout (a base name, possibly with a folder): the first existing file of
// name + ".jpg", ".bmp", ".png", extensions in any case; "" when there is none.
QString LayoutPicture(const QString &baseName);

// False for "" and for a name that ends in a folder separator: such a name is no layout, and
// loading or saving it does nothing.
bool IsLayoutName(const QString &baseName);

// The index of the first button whose Function equals command exactly, or -1.
int FindButton(const std::vector<RemoteButton> &buttons, const QString &command);

// Why a command cannot be stored in a layout file so that it reloads exactly ("" when it can):
// the file separates fields with "," and trims blanks around them, one record a line, in
// single-byte text. An empty command is refused too: it would make a rectangle that is no button.
QString LayoutCommandProblem(const QString &command);

// The layouts of a folder for the main window's layout list: the base names of its ".txt" files
// (in the file list's order: by name, case ignored) that have a ".bmp", ".jpg" or ".png" picture
// beside them, each once.
QStringList LayoutNamesIn(const QString &folder);

// The list entry that equals the current layout exactly, or -1.
qsizetype LayoutListSelection(const QStringList &names, const QString &currentRemote);

// Loads a layout (a name that is no layout loads nothing and returns ""): the name is a layout name or a path to any of
// its files; a name without a folder addresses the program folder. Stores the remote window's placement under the old
// layout's name when the layout changes, replaces the button table (a missing file gives the
// empty table), sets CurrentRemote and applies the placement stored for the new layout. The
// remote window may not exist yet (null): placement is then left alone.
// Returns the picture the remote window should show; "" means none exists and the picture shown
// before stays. The caller then refreshes the rectangle guide of the selected command.
QString LoadLayout(RemoteLayout &layout, const QString &name, INIFILES &settings, PlacedWindow *remoteWindow);

// Writes the button table to the layout's text file (replacing it in one step; a name that is no
// layout writes nothing and returns false), sets
// CurrentRemote and stores the remote window's placement for the layout. False when the file
// could not be written; the old file then stays as it was.
bool SaveLayout(RemoteLayout &layout, const QString &name, INIFILES &settings, PlacedWindow *remoteWindow);
