#pragma once

#include <QString>

struct RadioState;

// A macro's test step as written in the macro file, such as "menustate=3" or "!menustate=21":
// the key up to and including the first "=", the value after it; a leading "!" turns the
// comparison round. Keys are matched without regard to case, except the list search "L=".
struct MacroTestText {
    QString key;
    QString value;
    QString lowerKey;
    bool inverted = false;
};

MacroTestText SplitMacroTest(const QString &test);

// What a test looks at: the menu (state, item or page), the list (item or page), a search of
// the list's rows, or something the runner does not know (which passes).
enum class MacroTestKind { Menu, List, ListSearch, Other };
MacroTestKind KindOfMacroTest(const MacroTestText &test);

// What a menu or list test compares with, and the word the trace writes for a pass.
struct MacroTestSubject {
    const QString *actual;
    const char *traceWord;
};
MacroTestSubject SubjectOfMacroTest(const MacroTestText &test, const RadioState &state);

// A menu or list test against the values the decoder stored last.
bool MacroTestPasses(const MacroTestText &test, const RadioState &state);
