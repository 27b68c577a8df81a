#pragma once

#include "platform/WallClock.h"

#include <QDateTime>
#include <QLocale>
#include <QString>
#include <QStringList>

class RadioSession;

// A label of the emulated display shows its text as written unless the whole text is one of
// these tokens (compared exactly), in which case it shows a live value.
enum class LabelToken {
    None,    // plain text
    Meta,    // "%META": entry j of the now-playing list
    Menu,    // "%MENU": entry j of the current-menu list
    Info,    // "%INFO": entry j of the current list
    Volume,  // "%VOLUME"
    Version, // "%VERSION"
    State,   // "%STATE"
    Time,    // "%TIME", "%HOUR", "%MIN", "%SEC"
    Date,    // "%DATE", "%DAY", "%WEEKDAYNAME", "%MONTH", "%MONTHNAME", "%YEAR", "%MDY"
};

LabelToken TokenOf(const QString &text);

// The text after the first "=", or the whole text when it has none.
QString ValueAfterEquals(const QString &text);

// The value of a time token at the given moment; any other text comes back unchanged.
// "%TIME" uses the locale's time format with seconds; the others are two-digit fields.
QString MakeTheTime(const QString &token, const QDateTime &now, const QLocale &locale = QLocale::system());
// The value of a date token at the given moment; any other text comes back unchanged.
// Names (weekday, month) and "%DATE" follow the locale.
QString MakeTheDate(const QString &token, const QDateTime &now, const QLocale &locale = QLocale::system());

// Where token values come from: the session (the radio's words, the poll that asks for them),
// the information panel's list rows and the clock.
struct TokenSources {
    RadioSession &Radio;
    const QStringList &MetaList;
    const QStringList &MenuList;
    const QStringList &InfoList;
    const WallClock &Clock;
    QLocale Locale = QLocale::system();
};

// What label index j with this text shows now. List tokens take entry j of their list (after
// its first "="; "" beyond the list's end). Touches no poll variable. The periodic refresh of
// the display does not use it for "%VOLUME", "%VERSION" and "%STATE": those are read only when
// a screen is built (ExpandedOnRefresh says which tokens a refresh updates).
QString LabelText(const QString &text, int index, const TokenSources &sources);

// Whether the display's periodic refresh updates a label showing this token: the time, date
// and list tokens.
bool ExpandedOnRefresh(LabelToken token);

// The same while a screen is being built: a token also asks the automatic poll for its data
// (see RequestPollFor).
QString LabelTextWhileBuilding(const QString &text, int index, TokenSources &sources);

// A token on a newly built screen wants fresh data at once: every token brings the next poll
// forward, and a list or device token also has it ask for the query that feeds it.
void RequestPollFor(LabelToken token, RadioSession &radio);
