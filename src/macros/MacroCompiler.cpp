#include "macros/MacroCompiler.h"

#include "keyboard/KeyboardGrid.h"
#include "platform/FileBits.h"
#include "platform/NumericText.h"
#include "settings/INIFILES.h"

#include <QFileInfo>
#include <QHash>
#include <QStringList>

#include <algorithm>
#include <cmath>

namespace {

// Blanks only: in a macro file a TAB is not a blank until a step line is cleaned.
QString trimBlanks(const QString &text) {
    return TrimBlanks(text).toString();
}

bool isBlankOrTab(QChar c) {
    return c == u' ' || c == u'\t';
}

// The text between the brackets of a header line; comments are not removed from headers.
QString headerName(const QString &line) {
    qsizetype begin = 0;
    qsizetype end = line.size();
    while (begin < end && isBlankOrTab(line[begin])) {
        ++begin;
    }
    while (end > begin && isBlankOrTab(line[end - 1])) {
        --end;
    }
    return end - begin >= 2 ? line.mid(begin + 1, end - begin - 2) : QString();
}

// A step line without TABs, blanks at its ends and trailing comment.
QString cleanStepLine(const QString &line) {
    if (!line.contains(u'\t') && !line.contains(u'#')) {
        return line; // already trimmed: most lines end here, without a copy
    }
    QString cleaned = line;
    cleaned.remove(u'\t');
    const qsizetype hash = cleaned.indexOf(u'#');
    if (hash >= 0) {
        cleaned.truncate(hash);
    }
    return trimBlanks(cleaned);
}

// A pause too long for 16 bits stays a long pause (the runner caps it), not "no pause".
qint16 delayOf(const QString &text) {
    const double value = NumericText::Val(text);
    qint16 delay = -1;
    if (!NumericText::ToInt16(value, delay)) {
        delay = value > 0 ? qint16(32767) : qint16(-32768);
    }
    return delay;
}

// A back-up target as decimal text; the runner reads it with the leading-number rule.
QString backupText(double value) {
    if (std::abs(value) < 1e15 && value == std::floor(value)) {
        return QString::number(qint64(value));
    }
    return QString::number(value, 'g', 15);
}

class Compiler {
public:
    Compiler(MacroTable &table, QString fileName)
        : m_macros(table.Macros)
        , m_problems(table.Problems)
        , m_fileName(std::move(fileName)) {}

    void run(const QStringList &lines) {
        readHeaders(lines);
        for (m_lineNumber = 1; m_lineNumber <= lines.size(); ++m_lineNumber) {
            compileLine(lines[m_lineNumber - 1]);
        }
    }

private:
    // First pass: every macro exists, named, with one empty step, before any step is compiled,
    // so an I line may name a macro further down the file.
    void readHeaders(const QStringList &lines) {
        std::vector<qsizetype> expected; // steps each macro will roughly have
        for (const QString &line : lines) {
            if (!IsMacroHeader(line)) {
                if (!expected.empty() && !line.isEmpty()) {
                    // A typed character takes about four moves; an include a few steps.
                    const QChar kind = line.front();
                    expected.back() += kind == u'S' ? 4 * line.size() : (kind == u'I' ? 8 : 1);
                }
                continue;
            }
            if (m_headerCount == MacroTable::MaxMacros) {
                break;
            }
            expected.push_back(0);
            MacroDef macro;
            macro.Name = headerName(line);
            if (m_headerCount == 0) {
                m_macros.front() = macro;
            } else {
                m_macros.push_back(macro);
            }
            if (!m_firstByName.contains(macro.Name)) {
                m_firstByName.insert(macro.Name, m_headerCount); // lookups take the first of equal names
            }
            ++m_headerCount;
        }
        m_stepBudget = MacroTable::MaxSteps - int(m_macros.size());
        // Room for the steps up front saves growing thousands of step arrays step by step.
        qsizetype room = m_stepBudget;
        for (size_t i = 0; i < expected.size() && room > 0; ++i) {
            const qsizetype steps = std::min({expected[i], qsizetype(MacroTable::MaxStepsPerMacro), room});
            m_macros[i].Steps.reserve(size_t(steps));
            room -= steps;
        }
    }

    // Each line that could not be read as written is said once.
    void problem(const QString &what) {
        if (m_problemLine != m_lineNumber) {
            m_problemLine = m_lineNumber;
            m_problems << QStringLiteral("%1 line %2: %3").arg(m_fileName).arg(m_lineNumber).arg(what);
        }
    }

    void compileLine(const QString &line) {
        if (line.isEmpty() || line.front() == u'#' || line == u"END-OF-MACRO") {
            return;
        }
        if (IsMacroHeader(line)) {
            ++m_macro;
            m_slot = 0;
            QString end = line;
            while (!end.isEmpty() && isBlankOrTab(end.back())) {
                end.chop(1);
            }
            if (!end.endsWith(u']')) {
                problem(QStringLiteral("the macro's name has no closing \"]\"; it is read as \"%1\"")
                            .arg(m_macro < int(m_macros.size()) ? m_macros[size_t(m_macro)].Name : QString()));
            }
            return;
        }
        const QString step = cleanStepLine(line);
        if (step.isEmpty()) {
            return;
        }
        if (m_macro < 0 || m_macro >= m_headerCount) {
            problem(m_macro < 0 ? QStringLiteral("a step before the first macro's [name] belongs to no macro")
                                : QStringLiteral("a step of a macro past the most a file may hold"));
            return;
        }
        if (!EnsureStep()) {
            problem(QStringLiteral("the macro has more steps than it may hold; the rest are left out"));
            return;
        }
        check(step);
        const QString argument = step.mid(2); // after the kind letter and one separator
        switch (step.front().unicode()) {
        case u'-':
            slot().Commandx = step.mid(1);
            break;
        case u'?': {
            const QString rest = step.mid(1);
            const qsizetype comma = rest.indexOf(u',');
            slot().Test = comma < 0 ? rest : rest.left(comma);
            slot().Commandx = comma < 0 ? QString() : rest.mid(comma + 1);
            break;
        }
        case u'D':
            slot().Delayx = delayOf(argument);
            break;
        case u'M':
            if (step.contains(u'"')) {
                slot().MenuSearch = QString(step).remove(u'"').mid(2);
            } else {
                NumericText::ValToInt16(argument, slot().MenuItem); // out of range: stays -1
            }
            break;
        case u'L':
            if (step.contains(u'"')) {
                slot().ListSearch = QString(step).remove(u'"').mid(2);
            } else {
                NumericText::ValToInt16(argument, slot().ListItem);
            }
            break;
        case u'S':
            typeText(argument);
            break;
        case u'I':
            include(argument);
            break;
        case u'{':
            backupDirective(step);
            return; // the directive belongs to the slot the next step line fills
        default:
            break; // an unknown kind leaves an empty step
        }
        ++m_slot;
    }

    // What a line is meant to hold and does not: it is compiled as ever, and named.
    void check(const QString &step) {
        const QString argument = step.mid(2);
        switch (step.front().unicode()) {
        case u'-':
        case u'?':
        case u'S':
            break;
        case u'D':
            if (!NumericText::HasNumber(argument)) {
                problem(QStringLiteral("\"%1\": a pause needs a number of milliseconds; it is read as 0").arg(step));
            }
            break;
        case u'M':
        case u'L':
            if (!step.contains(u'"') && !NumericText::HasNumber(argument)) {
                problem(QStringLiteral("\"%1\": an item number or a \"quoted\" name is missing").arg(step));
            }
            break;
        case u'I':
            if (!m_firstByName.contains(argument) && !m_firstByName.contains(QStringLiteral("!") + argument)) {
                problem(QStringLiteral("\"%1\": there is no macro named \"%2\" to include").arg(step, argument));
            }
            break;
        case u'{':
            if (step != u"{BACKUP}" && !step.startsWith(QLatin1String("{BACKUP="))) {
                problem(QStringLiteral("\"%1\": the only directive is {BACKUP} or {BACKUP=n}").arg(step));
            }
            break;
        default:
            problem(QStringLiteral("\"%1\": a step starts with -, ?, D, M, L, S, I or {; this one is left empty")
                        .arg(step));
            break;
        }
    }

    MacroDef &macro() { return m_macros[size_t(m_macro)]; }
    MacroStep &slot() { return macro().Steps[size_t(m_slot)]; }

    // Makes sure the slot exists. A slot past the end becomes the next step after the last one
    // (closing the gap the I and S lines leave behind them); a new step takes over the back-up
    // target of the step before it. False when the macro or the table is full.
    bool EnsureStep() {
        std::vector<MacroStep> &steps = macro().Steps;
        if (m_slot < int(steps.size())) {
            return true;
        }
        m_slot = int(steps.size());
        if (m_slot >= MacroTable::MaxStepsPerMacro || m_stepBudget <= 0) {
            return false;
        }
        MacroStep fresh;
        fresh.BackupTo = steps.back().BackupTo;
        steps.push_back(fresh);
        --m_stepBudget;
        return true;
    }

    // One step per cursor move on the radio's keyboard. The first move of the text carries
    // "CLEAR" and the last move of each character ("OK") that character, so the runner can
    // keep the display's search box in step with what has been typed.
    void typeText(const QString &written) {
        // Characters the keyboard does not have are left out: the cursor then stays on the
        // last key typed, where the next path starts.
        QString text;
        for (const QChar c : written) {
            if (IsOnKeyboard(c)) {
                text += c;
            }
        }
        for (qsizetype c = 0; c < text.size(); ++c) {
            const QStringList &moves = keyPath(c == 0 ? QChar() : text[c - 1], text[c]);
            for (qsizetype i = 0; i < moves.size(); ++i) {
                if (!EnsureStep()) {
                    return;
                }
                if (c == 0 && i == 0) {
                    slot().KeyText = QStringLiteral("CLEAR");
                }
                slot().Commandx = moves[i];
                ++m_slot;
            }
            macro().Steps[size_t(m_slot - 1)].KeyText = QString(text[c]);
        }
    }

    // The moves that type a character after another (or first, after a null character). The
    // keyboard has few keys, so a long file asks for the same few pairs again and again.
    const QStringList &keyPath(QChar previous, QChar next) {
        const quint32 key = (quint32(previous.unicode()) << 16) | next.unicode();
        auto found = m_keyPaths.find(key);
        if (found == m_keyPaths.end()) {
            const QString pair = previous.isNull() ? QString(next) : QString(previous) + next;
            found = m_keyPaths.insert(key, MakeKeyPath(pair).split(u',', Qt::SkipEmptyParts));
        }
        return *found;
    }

    // Copies of every step of the first macro named name or "!" + name.
    void include(const QString &name) {
        int source = -1;
        for (const QString &candidate : {name, QString(QStringLiteral("!") + name)}) {
            const auto found = m_firstByName.constFind(candidate);
            if (found != m_firstByName.cend() && (source < 0 || *found < source)) {
                source = *found;
            }
        }
        if (source < 0) {
            return; // the slot stays an empty step
        }
        const QString sourceName = m_macros[size_t(source)].Name;
        // A macro including itself copies the steps it holds now, the current slot included;
        // the slot is overwritten by the first copy, so its old content is kept aside.
        const int count = int(m_macros[size_t(source)].Steps.size());
        const MacroStep slotBefore = slot();
        const int slotIndex = m_slot;
        for (int i = 0; i < count; ++i) {
            if (!EnsureStep()) {
                return;
            }
            MacroStep copy =
                (source == m_macro && i == slotIndex) ? slotBefore : m_macros[size_t(source)].Steps[size_t(i)];
            if (copy.IncludedFrom.isEmpty()) {
                copy.IncludedFrom = sourceName;
            }
            slot() = copy;
            ++m_slot;
        }
    }

    void backupDirective(const QString &step) {
        if (step == u"{BACKUP}") {
            slot().BackupTo = QString::number(m_slot - 1);
        } else if (step == u"{BACKUP=0}") {
            slot().BackupTo = QStringLiteral("0");
        } else if (const qsizetype equals = step.indexOf(u'='); equals >= 0) {
            // {BACKUP=3}: three steps back from the step the next line fills.
            slot().BackupTo = backupText(m_slot - NumericText::Val(step.mid(equals + 1)));
        }
    }

    std::vector<MacroDef> &m_macros;
    QStringList &m_problems;
    QString m_fileName;
    qsizetype m_lineNumber = 0;
    qsizetype m_problemLine = 0; // the last line said to have a problem
    QHash<QString, int> m_firstByName;
    QHash<quint32, QStringList> m_keyPaths;
    int m_headerCount = 0;
    int m_stepBudget = 0;
    int m_macro = -1; // the macro being compiled
    int m_slot = 0;   // the step the current line fills
};

} // namespace

bool IsMacroHeader(const QString &line) {
    for (const QChar c : line) {
        if (!isBlankOrTab(c)) {
            return c == u'[';
        }
    }
    return false;
}

void CompileMacros(MacroTable &table, const QString &fileText, const QString &fileName) {
    table.Macros.assign(1, MacroDef{});
    table.Problems.clear();
    QStringList lines = FileBits::SplitLines(fileText);
    for (QString &line : lines) {
        line = trimBlanks(line);
    }
    Compiler(table, fileName).run(lines);
    RefillMacroList(table);
}

void LoadMacros(MacroTable &table, const QString &programFolder) {
    table.Macros.assign(1, MacroDef{});
    table.Problems.clear();
    const QString path = FileBits::ChooseDataFile(programFolder, QStringLiteral("macros.txt"));
    if (!QFileInfo(path).isFile()) {
        // The list must not keep entries of a table that is gone.
        table.List = MacroList{};
        return;
    }
    CompileMacros(table, FileBits::ReadWholeFile(path), QFileInfo(path).fileName());
}

void RefillMacroList(MacroTable &table) {
    MacroList &list = table.List;
    const int selected = list.Selected;
    list.Entries.clear();
    for (size_t i = 0; i < table.Macros.size(); ++i) {
        const QString &name = table.Macros[i].Name;
        if (name.startsWith(u'!') && !table.ShowHiddenMacros) {
            continue;
        }
        list.Entries.push_back(MacroListEntry{name, int(i)});
    }
    list.Selected = selected >= int(list.Entries.size()) ? int(list.Entries.size()) - 1 : selected;
}

void ShowOrHideHiddenMacros(MacroTable &table, bool modifierHeld, const QString &programFolder) {
    if (modifierHeld) {
        table.ShowHiddenMacros = true;
        LoadMacros(table, programFolder);
    } else if (table.ShowHiddenMacros) {
        table.ShowHiddenMacros = false;
        LoadMacros(table, programFolder);
    }
}
