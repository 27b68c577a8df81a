#include "display/LabelTokens.h"

#include "radio_link/RadioState.h"

#include <gtest/gtest.h>

namespace {

const QLocale english(QLocale::English, QLocale::UnitedStates);
const QDateTime moment(QDate(2026, 12, 5), QTime(9, 5, 7));

struct Sources {
    RadioState state;
    QStringList meta{QStringLiteral("Meta"), QStringLiteral("title=a=b c")};
    QStringList menu{QStringLiteral("Menu"), QStringLiteral("state=5")};
    QStringList info{QStringLiteral("List - Updated"), QStringLiteral("pos=10 (3)"), QStringLiteral("1=Radio One")};
    FixedWallClock clock{moment};
    TokenSources sources{state, meta, menu, info, clock, english};
};

} // namespace

TEST(LabelTokens, TimeAndDateValuesAtAFixedMoment) {
    const std::pair<const char *, const char *> expected[] = {{"%HOUR", "09"},
                                                              {"%MIN", "05"},
                                                              {"%SEC", "07"},
                                                              {"%TIME", "9:05:07 AM"}, // no time zone
                                                              {"%DAY", "05"},
                                                              {"%MONTH", "12"},
                                                              {"%MONTHNAME", "December"},
                                                              {"%WEEKDAYNAME", "Saturday"},
                                                              {"%YEAR", "2026"},
                                                              {"%MDY", "December 05 2026"},
                                                              {"%DATE", "12/5/26"},
                                                              // Not tokens, or the other family's: unchanged.
                                                              {"%time", "%time"},
                                                              {"%DATE ", "%DATE "},
                                                              {"hello", "hello"}};
    for (const auto &[token, value] : expected) {
        const QString text = QString::fromLatin1(token);
        const QString got =
            TokenOf(text) == LabelToken::Time ? MakeTheTime(text, moment, english) : MakeTheDate(text, moment, english);
        EXPECT_EQ(got, QString::fromLatin1(value)) << token;
    }
    EXPECT_EQ(MakeTheTime(QStringLiteral("%YEAR"), moment, english), QStringLiteral("%YEAR"));
    EXPECT_EQ(MakeTheDate(QStringLiteral("%HOUR"), moment, english), QStringLiteral("%HOUR"));
    EXPECT_EQ(MakeTheTime(QStringLiteral("%HOUR"), QDateTime(QDate(2026, 1, 1), QTime(23, 0)), english),
              QStringLiteral("23"));
    const QLocale german(QLocale::German, QLocale::Germany);
    EXPECT_EQ(MakeTheTime(QStringLiteral("%TIME"), moment, german), QStringLiteral("09:05:07"));
    EXPECT_EQ(MakeTheDate(QStringLiteral("%MONTHNAME"), moment, german), QStringLiteral("Dezember"));
    // A year outside this century is written as it is, not forced into 20xx.
    EXPECT_EQ(MakeTheDate(QStringLiteral("%YEAR"), QDateTime(QDate(1999, 3, 1), QTime()), english),
              QStringLiteral("1999"));
}

TEST(LabelTokens, ListAndDeviceValues) {
    Sources s;
    s.state.VolumeText = QStringLiteral("35");
    s.state.VersionText = QStringLiteral("3.1.7");
    s.state.PowerState = QStringLiteral("ON");
    const auto text = [&](const char *label, int index) {
        return LabelText(QString::fromLatin1(label), index, s.sources);
    };
    EXPECT_EQ(text("%INFO", 0), QStringLiteral("List - Updated"));
    EXPECT_EQ(text("%INFO", 1), QStringLiteral("10 (3)"));
    EXPECT_EQ(text("%INFO", 2), QStringLiteral("Radio One"));
    EXPECT_EQ(text("%INFO", 3), QString());
    EXPECT_EQ(text("%INFO", -1), QString());
    EXPECT_EQ(text("%META", 1), QStringLiteral("a=b c"));
    EXPECT_EQ(text("%MENU", 1), QStringLiteral("5"));
    EXPECT_EQ(text("%VOLUME", 7), QStringLiteral("35"));
    EXPECT_EQ(text("%VERSION", 0), QStringLiteral("3.1.7"));
    EXPECT_EQ(text("%STATE", 0), QStringLiteral("ON"));
    EXPECT_EQ(text("%MDY", 0), QStringLiteral("December 05 2026"));
    EXPECT_EQ(text("%info", 2), QStringLiteral("%info"));
    s.clock.set(QDateTime(QDate(2026, 12, 5), QTime(18, 30)));
    EXPECT_EQ(text("%HOUR", 0), QStringLiteral("18"));
}

TEST(LabelTokens, BuildingAScreenAsksThePollForEachTokensData) {
    using Flag = bool RadioState::*;
    const Flag flags[] = {&RadioState::NeedMeta,   &RadioState::NeedMenu,    &RadioState::NeedList,
                          &RadioState::NeedVolume, &RadioState::NeedVersion, &RadioState::NeedState};
    const std::pair<const char *, Flag> cases[] = {{"%META", &RadioState::NeedMeta},
                                                   {"%MENU", &RadioState::NeedMenu},
                                                   {"%INFO", &RadioState::NeedList},
                                                   {"%VOLUME", &RadioState::NeedVolume},
                                                   {"%VERSION", &RadioState::NeedVersion},
                                                   {"%STATE", &RadioState::NeedState},
                                                   {"%TIME", nullptr},
                                                   {"%YEAR", nullptr}};
    for (const auto &[token, wanted] : cases) {
        Sources s;
        s.state.PollCountdown = 7;
        // A refresh asks for nothing; building the screen asks for the token's data at once.
        LabelText(QString::fromLatin1(token), 3, s.sources);
        EXPECT_EQ(s.state.PollCountdown, 7) << token;
        LabelTextWhileBuilding(QString::fromLatin1(token), 3, s.sources);
        EXPECT_EQ(s.state.PollCountdown, 0) << token;
        for (Flag flag : flags) {
            EXPECT_EQ(s.state.*flag, flag == wanted) << token;
        }
    }
    Sources plain;
    plain.state.PollCountdown = 7;
    LabelTextWhileBuilding(QStringLiteral("%Volume"), 0, plain.sources);
    EXPECT_EQ(plain.state.PollCountdown, 7);
    EXPECT_FALSE(plain.state.NeedVolume);
}
