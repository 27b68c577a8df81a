#include "session/MacroTestText.h"

#include "radio_link/RadioState.h"

#include <gtest/gtest.h>

// How a test step's text is read: key and value split at the first "=", "!" turns the test
// round, menu and list keys in any case, the list search only as "L=".
TEST(MacroTestText, KeysValuesKindsAndWhatTheyCompare) {
    const MacroTestText inverted = SplitMacroTest("!MenuState=21");
    EXPECT_EQ(inverted.key, "!MenuState=");
    EXPECT_EQ(inverted.value, "21");
    EXPECT_TRUE(inverted.inverted);
    EXPECT_EQ(KindOfMacroTest(inverted), MacroTestKind::Menu);

    const MacroTestText twoEquals = SplitMacroTest("listitem=a=b");
    EXPECT_EQ(twoEquals.value, "a=b");
    EXPECT_EQ(KindOfMacroTest(twoEquals), MacroTestKind::List);

    const MacroTestText bare = SplitMacroTest("menustate");
    EXPECT_TRUE(bare.key == "menustate" && bare.value.isEmpty() && !bare.inverted);
    EXPECT_EQ(KindOfMacroTest(bare), MacroTestKind::Other);

    EXPECT_EQ(KindOfMacroTest(SplitMacroTest("L=\"jazz\"")), MacroTestKind::ListSearch);
    EXPECT_EQ(KindOfMacroTest(SplitMacroTest("l=\"jazz\"")), MacroTestKind::Other);
    EXPECT_EQ(KindOfMacroTest(SplitMacroTest("volume=20")), MacroTestKind::Other);

    RadioState state;
    state.MenuState = "21";
    state.SelectedMenuItem = "3";
    state.MenuPage = "2";
    state.SelectedListItem = "5";
    state.ListPage = "";
    const struct {
        const char *test;
        const char *traceWord;
        bool passes;
    } cases[] = {
        {"menustate=21", "Menu State ", true}, {"!menustate=21", "Menu State ", false},
        {"MENUITEM=3", "Menu Item ", true},    {"menupage=1", "Menu Page ", false},
        {"listitem=5", "List Item ", true},    {"!listitem=4", "List Item ", true},
        {"listpage=", "List Page ", true}, // nothing fills the list page: an empty value matches
    };
    for (const auto &c : cases) {
        const MacroTestText test = SplitMacroTest(c.test);
        EXPECT_STREQ(SubjectOfMacroTest(test, state).traceWord, c.traceWord) << c.test;
        EXPECT_EQ(MacroTestPasses(test, state), c.passes) << c.test;
    }
}
