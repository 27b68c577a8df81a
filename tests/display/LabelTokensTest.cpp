#include "display/LabelTokens.h"

#include "radio_link/RadioState.h"
#include "session/RadioSession.h"
#include "support/FakePlatform.h"
#include "support/FixedWallClock.h"

#include <QTemporaryDir>
#include <QTimeZone>

#include <gtest/gtest.h>

namespace {

const QLocale english(QLocale::English, QLocale::UnitedStates);
const QDateTime moment(QDate(2026, 12, 5), QTime(9, 5, 7));

struct Sources {
    QTemporaryDir folder;
    FakePlatform platform;
    RadioSession session{platform, folder.path()};
    RadioState &state = session.state();
    QStringList meta{"Meta", "title=a=b c"};
    QStringList menu{"Menu", "state=5"};
    QStringList info{"List - Updated", "pos=10 (3)", "1=Radio One"};
    FixedWallClock clock{moment};
    TokenSources sources{session, meta, menu, info, clock, english};
};

// The poll flags for meta, menu, list, volume, version and state, then the countdown.
QString asked(const RadioState &r) {
    QString flags;
    for (const bool flag : {r.needs.NeedMeta, r.needs.NeedMenu, r.needs.NeedList, r.needs.NeedVolume,
                            r.needs.NeedVersion, r.needs.NeedState}) {
        flags += flag ? u'1' : u'0';
    }
    return flags + u'/' + QString::number(r.poll.PollCountdown);
}

} // namespace

// The field tokens are two digits (the year four), whatever the locale; each family leaves the
// other's tokens, and text that is no token, as they are.
TEST(LabelTokens, FieldsAreTwoDigitsTheYearWholeAndEachFamilyKeepsToItsOwn) {
    const QLocale german(QLocale::German, QLocale::Germany);
    // "token=value at 09:05:07 on 5 December 2026=value at 23:59:58 on 31 October 1999" rows.
    const QString rows = "%HOUR=09=23;%MIN=05=59;%SEC=07=58;%DAY=05=31;%MONTH=12=10;%YEAR=2026=1999;"
                         "%time=%time=%time;%DATE =%DATE =%DATE ;hello=hello=hello";
    const QDateTime late(QDate(1999, 10, 31), QTime(23, 59, 58));
    for (const QLocale &locale : {english, german}) {
        for (const QString &row : rows.split(u';')) {
            const QString token = row.section(u'=', 0, 0);
            const bool time = TokenOf(token) == LabelToken::Time;
            EXPECT_EQ(time ? MakeTheDate(token, moment, locale) : MakeTheTime(token, moment, locale), token);
            const auto value = [&](const QDateTime &at) {
                return time ? MakeTheTime(token, at, locale) : MakeTheDate(token, at, locale);
            };
            EXPECT_EQ(value(moment), row.section(u'=', 1, 1)) << token.toStdString();
            EXPECT_EQ(value(late), row.section(u'=', 2, 2)) << token.toStdString();
        }
    }
    for (const char *token : {"%TIME", "%DATE", "%MONTHNAME", "%WEEKDAYNAME", "%MDY"}) {
        const bool time = TokenOf(token) == LabelToken::Time;
        EXPECT_EQ(time ? MakeTheDate(token, moment, english) : MakeTheTime(token, moment, english), token);
    }
}

// "%TIME" shows the moment's hours, minutes and seconds in the locale's way and never a time
// zone; the names and "%DATE" follow the locale too, and "%MDY" puts the month's name before
// the day and the year.
TEST(LabelTokens, TimeAndNamesFollowTheLocaleWithoutATimeZone) {
    const QLocale german(QLocale::German, QLocale::Germany);
    const QDateTime evening(QDate(2026, 12, 5), QTime(18, 30, 5), QTimeZone(3600));
    for (const QLocale &locale : {english, german}) {
        const QString time = MakeTheTime("%TIME", evening, locale);
        EXPECT_TRUE(time.contains(":30:05")) << time.toStdString();
        EXPECT_FALSE(time.contains(u'+') || time.contains("UTC") || time.contains("GMT") || time.contains("CET"))
            << time.toStdString();
        const QString date = MakeTheDate("%DATE", evening, locale);
        EXPECT_TRUE(date.contains("12") && date.contains("5") && date.contains("26")) << date.toStdString();
        const QString month = MakeTheDate("%MONTHNAME", evening, locale);
        EXPECT_EQ(MakeTheDate("%MDY", evening, locale), month + " 05 2026");
    }
    // A 12-hour clock and a 24-hour one; names and the short date in each language.
    EXPECT_TRUE(MakeTheTime("%TIME", evening, english).startsWith("6:30:05"));
    EXPECT_TRUE(MakeTheTime("%TIME", evening, german).startsWith("18:30:05"));
    EXPECT_EQ(MakeTheDate("%MONTHNAME", evening, english), "December");
    EXPECT_EQ(MakeTheDate("%WEEKDAYNAME", evening, english), "Saturday");
    EXPECT_NE(MakeTheDate("%MONTHNAME", evening, german), "December");
    EXPECT_NE(MakeTheDate("%WEEKDAYNAME", evening, german), "Saturday");
    EXPECT_NE(MakeTheDate("%DATE", evening, german), MakeTheDate("%DATE", evening, english));
}

TEST(LabelTokens, LabelValuesAndThePollTheyAsk) {
    Sources s;
    s.state.VolumeText = "VOL=35";
    s.state.VersionText = "3.1.7";
    s.state.PowerState = "ON";
    // "label,index=value" rows: list tokens show entry index, after its first "=".
    const QString rows = "%INFO,0=List - Updated;%INFO,1=10 (3);%INFO,2=Radio One;%INFO,3=;%INFO,-1=;%META,1=a=b c;"
                         "%MENU,1=5;%VOLUME,7=35;%VERSION,0=3.1.7;%STATE,0=ON;%MDY,0=December 05 2026;%info,2=%info";
    for (const QString &row : rows.split(u';')) {
        const int index = row.section(u',', 1).section(u'=', 0, 0).toInt();
        EXPECT_EQ(LabelText(row.section(u',', 0, 0), index, s.sources), row.section(u'=', 1)) << row.toStdString();
    }
    s.clock.set(QDateTime(QDate(2026, 12, 5), QTime(18, 30)));
    EXPECT_EQ(LabelText("%HOUR", 0, s.sources), "18");

    // A refresh asks for nothing; building a screen asks at once for the data of its tokens.
    const QString polls = "%META=100000/0;%MENU=010000/0;%INFO=001000/0;%VOLUME=000100/0;%VERSION=000010/0;"
                          "%STATE=000001/0;%TIME=000000/0;%YEAR=000000/0;%Volume=000000/7";
    for (const QString &row : polls.split(u';')) {
        Sources fresh;
        fresh.state.poll.PollCountdown = 7;
        LabelText(row.section(u'=', 0, 0), 3, fresh.sources);
        EXPECT_EQ(asked(fresh.state), "000000/7");
        LabelTextWhileBuilding(row.section(u'=', 0, 0), 3, fresh.sources);
        EXPECT_EQ(asked(fresh.state), row.section(u'=', 1)) << row.toStdString();
    }
}
