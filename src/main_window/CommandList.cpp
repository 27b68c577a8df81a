#include "main_window/CommandList.h"

#include "platform/FileBits.h"

#include <QDir>

#include <algorithm>

QString CommandList::ListFile(const QString &programFolder) {
    return FileBits::ChooseDataFile(programFolder, QStringLiteral("Commandlist.txt"));
}

QString CommandList::SearchListFile(const QString &programFolder) {
    return QDir(programFolder).filePath(QStringLiteral("distv_find.txt"));
}

QString CommandList::StripMarks(const QString &entry) {
    QString command = entry;
    if (command.endsWith(QStringLiteral("{}"))) {
        command.chop(2);
    }
    if (command.endsWith(QStringLiteral("[]"))) {
        command.chop(2);
    }
    return command;
}

bool CommandList::IsSeparator(const QString &entry) {
    static const QStringList separators{QStringLiteral("/"),   QStringLiteral("\\"), QStringLiteral("/ "),
                                        QStringLiteral("\\ "), QStringLiteral("#"),  QStringLiteral("# ")};
    return separators.contains(entry);
}

int CommandList::PageStep(Qt::KeyboardModifiers modifiers) {
    int bits = 0;
    if (modifiers & Qt::ShiftModifier) {
        bits |= 1;
    }
    if (modifiers & Qt::ControlModifier) {
        bits |= 2;
    }
    if (modifiers & Qt::AltModifier) {
        bits |= 4;
    }
    return 9 + 18 * bits;
}

void CommandList::MakeList(const QString &text) {
    const int remembered = m_selected;
    QStringList entries;
    for (const QString &line : FileBits::SplitLines(text)) {
        const QString entry = line.startsWith(QStringLiteral("./")) ? line.mid(2) : line;
        if (!entry.isEmpty()) {
            entries.append(entry);
        }
    }
    m_entries = std::move(entries);
    m_selected = -1;
    Q_EMIT entriesChanged();
    if (remembered >= 0 && remembered < count()) {
        select(remembered);
    }
}

void CommandList::LoadFromFolder(const QString &programFolder) {
    MakeList(FileBits::ReadWholeFile(ListFile(programFolder)));
}

bool CommandList::SaveList(const QString &programFolder) {
    QString text;
    for (const QString &entry : std::as_const(m_entries)) {
        if (!IsSeparator(entry)) {
            text += entry + QStringLiteral("\r\n");
        }
    }
    if (!FileBits::WriteWholeFile(SearchListFile(programFolder), text)) {
        return false;
    }
    MakeList(text);
    return true;
}

QString CommandList::selectedEntry() const {
    return m_selected >= 0 && m_selected < count() ? m_entries.at(m_selected) : QString();
}

void CommandList::select(int index) {
    m_selected = index >= 0 && index < count() ? index : -1;
    Q_EMIT selectionChanged(m_selected, StripMarks(selectedEntry()));
}

bool CommandList::MoveByKey(int key, Qt::KeyboardModifiers modifiers) {
    int step = 0;
    switch (key) {
    case Qt::Key_PageUp:
        step = -PageStep(modifiers);
        break;
    case Qt::Key_PageDown:
        step = PageStep(modifiers);
        break;
    case Qt::Key_Up:
        step = -1;
        break;
    case Qt::Key_Down:
        step = 1;
        break;
    default:
        return false;
    }
    if (m_entries.isEmpty()) {
        return true;
    }
    select(std::clamp(m_selected + step, 0, count() - 1));
    return true;
}
