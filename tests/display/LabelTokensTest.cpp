#include "display/LabelTokens.h"

#include "radio_link/RadioState.h"

#include <gtest/gtest.h>

namespace {

const QLocale english(QLocale::English, QLocale::UnitedStates);

QDateTime at(int year, int month, int day, int hour, int minute, int second) {
    return QDateTime(QDate(year, month, day), QTime(hour, minute, second));
}

struct Fixture {
    RadioState state;
    QStringList meta;
    QStringList menu;
    QStringList info;
    FixedWallClock clock{at(2026, 12, 5, 9, 5, 7)};
    TokenSources sources{state, meta, menu, info, clock, english};
};

} // namespace

TEST(LabelTokens, TimeAndDateValuesAtAFixedMoment) {
    const QDateTime moment = at(2026, 12, 5, 9, 5, 7);
    EXPECT_EQ(MakeTheTime(QStringLiteral("%HOUR"), moment, english), QStringLiteral("09"));
    EXPECT_EQ(MakeTheTime(QStringLiteral("%MIN"), moment, english), QStringLiteral("05"));
    EXPECT_EQ(MakeTheTime(QStringLiteral("%SEC"), moment, english), QStringLiteral("07"));
    EXPECT_EQ(MakeTheTime(QStringLiteral("%HOUR"), at(2026, 1, 1, 23, 0, 0), english), QStringLiteral("23"));
    // The locale's own time layout, with seconds and without a time zone.
    EXPECT_EQ(MakeTheTime(QStringLiteral("%TIME"), moment, english), QStringLiteral("9:05:07 AM"));
    EXPECT_EQ(MakeTheTime(QStringLiteral("%TIME"), moment, QLocale(QLocale::German, QLocale::Germany)),
              QStringLiteral("09:05:07"));

    EXPECT_EQ(MakeTheDate(QStringLiteral("%MDY"), moment, english), QStringLiteral("December 05 2026"));
    EXPECT_EQ(MakeTheDate(QStringLiteral("%DAY"), moment, english), QStringLiteral("05"));
    EXPECT_EQ(MakeTheDate(QStringLiteral("%MONTH"), moment, english), QStringLiteral("12"));
    EXPECT_EQ(MakeTheDate(QStringLiteral("%MONTHNAME"), moment, english), QStringLiteral("December"));
    EXPECT_EQ(MakeTheDate(QStringLiteral("%WEEKDAYNAME"), moment, english), QStringLiteral("Saturday"));
    EXPECT_EQ(MakeTheDate(QStringLiteral("%WEEKDAYNAME"), at(2026, 12, 6, 0, 0, 0), english), QStringLiteral("Sunday"));
    EXPECT_EQ(MakeTheDate(QStringLiteral("%YEAR"), moment, english), QStringLiteral("2026"));
    EXPECT_EQ(MakeTheDate(QStringLiteral("%DATE"), moment, english), QStringLiteral("12/5/26"));
    EXPECT_EQ(MakeTheDate(QStringLiteral("%MONTHNAME"), moment, QLocale(QLocale::German, QLocale::Germany)),
              QStringLiteral("Dezember"));
    // A year outside this century is written as it is, not forced into 20xx.
    EXPECT_EQ(MakeTheDate(QStringLiteral("%YEAR"), at(1999, 3, 1, 0, 0, 0), english), QStringLiteral("1999"));
    EXPECT_EQ(MakeTheDate(QStringLiteral("%MDY"), at(2107, 3, 1, 0, 0, 0), english), QStringLiteral("March 01 2107"));

    // Other texts, the other family's tokens and tokens in the wrong case come back unchanged.
    for (const char *text : {"%time", "%DATE ", "%HOUR", "hello", ""}) {
        EXPECT_EQ(MakeTheDate(QString::fromLatin1(text), moment, english), QString::fromLatin1(text));
    }
    EXPECT_EQ(MakeTheTime(QStringLiteral("%YEAR"), moment, english), QStringLiteral("%YEAR"));
}

TEST(LabelTokens, ListAndDeviceValues) {
    Fixture f;
    f.info = {QStringLiteral("List - Updated"), QStringLiteral("pos=10 (3)"), QStringLiteral("1=Radio One")};
    f.meta = {QStringLiteral("Meta"), QStringLiteral("title=a=b c")};
    f.menu = {QStringLiteral("Menu"), QStringLiteral("state=5")};
    f.state.VolumeText = QStringLiteral("35");
    f.state.VersionText = QStringLiteral("3.1.7");
    f.state.PowerState = QStringLiteral("ON");

    EXPECT_EQ(LabelText(QStringLiteral("%INFO"), 0, f.sources), QStringLiteral("List - Updated"));
    EXPECT_EQ(LabelText(QStringLiteral("%INFO"), 1, f.sources), QStringLiteral("10 (3)"));
    EXPECT_EQ(LabelText(QStringLiteral("%INFO"), 2, f.sources), QStringLiteral("Radio One"));
    EXPECT_EQ(LabelText(QStringLiteral("%INFO"), 3, f.sources), QString());
    EXPECT_EQ(LabelText(QStringLiteral("%INFO"), -1, f.sources), QString());
    EXPECT_EQ(LabelText(QStringLiteral("%META"), 1, f.sources), QStringLiteral("a=b c"));
    EXPECT_EQ(LabelText(QStringLiteral("%MENU"), 1, f.sources), QStringLiteral("5"));
    EXPECT_EQ(LabelText(QStringLiteral("%VOLUME"), 7, f.sources), QStringLiteral("35"));
    EXPECT_EQ(LabelText(QStringLiteral("%VERSION"), 0, f.sources), QStringLiteral("3.1.7"));
    EXPECT_EQ(LabelText(QStringLiteral("%STATE"), 0, f.sources), QStringLiteral("ON"));
    EXPECT_EQ(LabelText(QStringLiteral("%HOUR"), 0, f.sources), QStringLiteral("09"));
    EXPECT_EQ(LabelText(QStringLiteral("%MDY"), 0, f.sources), QStringLiteral("December 05 2026"));
    EXPECT_EQ(LabelText(QStringLiteral("%info"), 2, f.sources), QStringLiteral("%info"));
    EXPECT_EQ(LabelText(QStringLiteral("Volume:"), 2, f.sources), QStringLiteral("Volume:"));

    f.clock.set(at(2026, 12, 5, 18, 30, 0));
    EXPECT_EQ(LabelText(QStringLiteral("%HOUR"), 0, f.sources), QStringLiteral("18"));
    EXPECT_EQ(ValueAfterEquals(QStringLiteral("no equals")), QStringLiteral("no equals"));
    EXPECT_EQ(ValueAfterEquals(QStringLiteral("k=")), QString());
}

TEST(LabelTokens, BuildingAScreenAsksThePollForEachTokensData) {
    Fixture f;
    f.state.PollCountdown = 7;
    // Plain text and a refresh touch nothing.
    LabelTextWhileBuilding(QStringLiteral("%Volume"), 0, f.sources);
    LabelText(QStringLiteral("%VOLUME"), 0, f.sources);
    EXPECT_EQ(f.state.PollCountdown, 7);
    EXPECT_FALSE(f.state.NeedVolume);

    struct Case {
        const char *token;
        bool RadioState::*flag;
    };
    const Case cases[] = {{"%META", &RadioState::NeedMeta},       {"%MENU", &RadioState::NeedMenu},
                          {"%INFO", &RadioState::NeedList},       {"%VOLUME", &RadioState::NeedVolume},
                          {"%VERSION", &RadioState::NeedVersion}, {"%STATE", &RadioState::NeedState}};
    bool RadioState::*const allFlags[] = {&RadioState::NeedMeta,   &RadioState::NeedMenu,    &RadioState::NeedList,
                                          &RadioState::NeedVolume, &RadioState::NeedVersion, &RadioState::NeedState};
    for (const Case &c : cases) {
        Fixture g;
        g.state.PollCountdown = 7;
        LabelTextWhileBuilding(QString::fromLatin1(c.token), 3, g.sources);
        EXPECT_EQ(g.state.PollCountdown, 0) << c.token;
        for (bool RadioState::*flag : allFlags) {
            EXPECT_EQ(g.state.*flag, flag == c.flag) << c.token;
        }
    }
    for (const char *token : {"%TIME", "%SEC", "%DATE", "%YEAR"}) {
        Fixture g;
        g.state.PollCountdown = 7;
        LabelTextWhileBuilding(QString::fromLatin1(token), 0, g.sources);
        EXPECT_EQ(g.state.PollCountdown, 0) << token;
        for (bool RadioState::*flag : allFlags) {
            EXPECT_FALSE(g.state.*flag) << token;
        }
    }
}
