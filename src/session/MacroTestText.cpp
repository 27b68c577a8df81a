#include "session/MacroTestText.h"

#include "radio_link/RadioState.h"

MacroTestText SplitMacroTest(const QString &test) {
    MacroTestText parts;
    const qsizetype equals = test.indexOf(u'=');
    parts.key = equals < 0 ? test : test.left(equals + 1);
    parts.value = equals < 0 ? QString() : test.mid(equals + 1);
    parts.lowerKey = parts.key.toLower();
    parts.inverted = parts.key.startsWith(u'!');
    return parts;
}

MacroTestKind KindOfMacroTest(const MacroTestText &test) {
    const QString &k = test.lowerKey;
    if (k.contains(QLatin1String("menustate=")) || k.contains(QLatin1String("menuitem=")) ||
        k.contains(QLatin1String("menupage="))) {
        return MacroTestKind::Menu;
    }
    if (k.contains(QLatin1String("listitem=")) || k.contains(QLatin1String("listpage="))) {
        return MacroTestKind::List;
    }
    if (test.key.contains(QLatin1String("L="))) {
        return MacroTestKind::ListSearch;
    }
    return MacroTestKind::Other;
}

MacroTestSubject SubjectOfMacroTest(const MacroTestText &test, const RadioState &state) {
    const QString &k = test.lowerKey;
    if (k.contains(QLatin1String("menustate="))) {
        return {&state.MenuState, "Menu State "};
    }
    if (k.contains(QLatin1String("menuitem="))) {
        return {&state.SelectedMenuItem, "Menu Item "};
    }
    if (k.contains(QLatin1String("menupage="))) {
        return {&state.MenuPage, "Menu Page "};
    }
    if (k.contains(QLatin1String("listitem="))) {
        return {&state.SelectedListItem, "List Item "};
    }
    return {&state.ListPage, "List Page "};
}

bool MacroTestPasses(const MacroTestText &test, const RadioState &state) {
    return (test.value == *SubjectOfMacroTest(test, state).actual) != test.inverted;
}
