#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

// The main window's command list: the commands the radio understands, read from the program
// folder's command list file, plus the selection that the search box and the layout editor
// follow. Entries keep their "{}" / "[]" marks for display; StripMarks gives the command that
// is actually sent or looked up in a layout.
class CommandList : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    // "Commandlist.txt" in the folder when it exists, else "qx_Commandlist.txt".
    static QString ListFile(const QString &programFolder);
    // "distv_find.txt" in the folder: the search list SaveList writes.
    static QString SearchListFile(const QString &programFolder);

    // Removes one trailing "{}" and then one trailing "[]".
    static QString StripMarks(const QString &entry);
    // Entries that only separate groups in the file; SaveList leaves them out.
    static bool IsSeparator(const QString &entry);
    // How far Page Up / Page Down move: 9 plus 18 for each modifier bit (Shift 1, Ctrl 2, Alt 4).
    static int PageStep(Qt::KeyboardModifiers modifiers);

    // Rebuilds the list from CR LF separated text: a leading "./" is dropped, empty lines are
    // skipped, file order is kept. The selected index survives when it is still in range.
    void MakeList(const QString &text);
    // Reads the command list file of the folder (a missing file gives an empty list).
    void LoadFromFolder(const QString &programFolder);
    // Writes the entries without separators to the search list file and reloads the list from
    // that text. False, with the list unchanged, when the file could not be written.
    bool SaveList(const QString &programFolder);

    const QStringList &entries() const { return m_entries; }
    int count() const { return int(m_entries.size()); }
    int selectedIndex() const { return m_selected; }
    QString selectedEntry() const;
    // The first entry equal to text, or -1.
    int indexOf(const QString &text) const { return int(m_entries.indexOf(text)); }

    // Selects an entry (-1 or an index out of range selects nothing) and announces it, even
    // when it was selected already: a selection always re-marks the command on the remote.
    void select(int index);
    // Arrow and page keys of the search box move the selection, kept within the list.
    // Returns false for any other key (and leaves the selection alone).
    bool MoveByKey(int key, Qt::KeyboardModifiers modifiers);

Q_SIGNALS:
    void entriesChanged();
    // The selected entry with its marks removed ("" when nothing is selected).
    void selectionChanged(int index, const QString &command);

private:
    QStringList m_entries;
    int m_selected = -1;
};
