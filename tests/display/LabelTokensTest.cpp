#include "display/LabelTokens.h"

#include "radio_link/RadioState.h"
#include "support/FixedWallClock.h"

#include <gtest/gtest.h>

namespace {

const QLocale english(QLocale::English, QLocale::UnitedStates);
const QDateTime moment(QDate(2026, 12, 5), QTime(9, 5, 7));

struct Sources {
    RadioState state;
    QStringList meta{"Meta", "title=a=b c"};
    QStringList menu{"Menu", "state=5"};
    QStringList info{"List - Updated", "pos=10 (3)", "1=Radio One"};
    FixedWallClock clock{moment};
    TokenSources sources{state, meta, menu, info, clock, english};
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

TEST(LabelTokens, TimeAndDateValuesAtAFixedMoment) {
    // "token=value" rows. "%TIME" carries no time zone; the last three are not tokens and stay.
    const QString rows = "%HOUR=09;%MIN=05;%SEC=07;%TIME=9:05:07 AM;%DAY=05;%MONTH=12;%MONTHNAME=December;"
                         "%WEEKDAYNAME=Saturday;%YEAR=2026;%MDY=December 05 2026;%DATE=12/5/26;%time=%time;"
                         "%DATE =%DATE ;hello=hello";
    for (const QString &row : rows.split(u';')) {
        const QString token = row.section(u'=', 0, 0);
        const QString time = MakeTheTime(token, moment, english);
        const QString date = MakeTheDate(token, moment, english);
        // Each family leaves the other's tokens as they are.
        EXPECT_EQ(TokenOf(token) == LabelToken::Time ? date : time, token);
        EXPECT_EQ(TokenOf(token) == LabelToken::Time ? time : date, row.section(u'=', 1)) << token.toStdString();
    }
    const QLocale german(QLocale::German, QLocale::Germany);
    EXPECT_EQ(MakeTheTime("%TIME", moment, german), "09:05:07");
    EXPECT_EQ(MakeTheDate("%MONTHNAME", moment, german), "Dezember");
    // A year outside this century is written as it is, not forced into 20xx.
    EXPECT_EQ(MakeTheDate("%YEAR", QDateTime(QDate(1999, 3, 1), QTime()), english), "1999");
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
