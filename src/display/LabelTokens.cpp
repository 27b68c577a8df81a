#include "display/LabelTokens.h"

#include "session/RadioSession.h"

namespace {

// "00" with the number appended, last two characters: 7 gives 07, 23 gives 23.
QString twoDigits(int number) {
    const QString padded = QStringLiteral("00") + QString::number(number);
    return padded.right(2);
}

// The locale's long time format carries the time zone in many locales; the display shows
// hours, minutes and seconds only, so the zone fields (unquoted 't') are dropped.
QString timeFormatWithSeconds(const QLocale &locale) {
    const QString format = locale.timeFormat(QLocale::LongFormat);
    QString kept;
    bool quoted = false;
    for (const QChar c : format) {
        if (c == u'\'') {
            quoted = !quoted;
        } else if (!quoted && c == u't') {
            continue;
        }
        kept.append(c);
    }
    return kept.simplified();
}

// The year written in full. Years from 2000 to 2099, the only ones a running computer is
// likely to report, read the same as the radio's "20" + two digits.
QString fullYear(int year) {
    return year >= 0 ? QString::number(year).rightJustified(4, u'0') : QString::number(year);
}

QString listEntry(const QStringList &list, int index) {
    return index >= 0 && index < list.size() ? ValueAfterEquals(list.at(index)) : QString();
}

} // namespace

LabelToken TokenOf(const QString &text) {
    if (!text.startsWith(u'%')) {
        return LabelToken::None;
    }
    if (text == u"%META") {
        return LabelToken::Meta;
    }
    if (text == u"%MENU") {
        return LabelToken::Menu;
    }
    if (text == u"%INFO") {
        return LabelToken::Info;
    }
    if (text == u"%VOLUME") {
        return LabelToken::Volume;
    }
    if (text == u"%VERSION") {
        return LabelToken::Version;
    }
    if (text == u"%STATE") {
        return LabelToken::State;
    }
    if (text == u"%TIME" || text == u"%HOUR" || text == u"%MIN" || text == u"%SEC") {
        return LabelToken::Time;
    }
    if (text == u"%DATE" || text == u"%DAY" || text == u"%WEEKDAYNAME" || text == u"%MONTH" || text == u"%MONTHNAME" ||
        text == u"%YEAR" || text == u"%MDY") {
        return LabelToken::Date;
    }
    return LabelToken::None;
}

QString ValueAfterEquals(const QString &text) {
    const qsizetype at = text.indexOf(u'=');
    return at < 0 ? text : text.mid(at + 1);
}

QString MakeTheTime(const QString &token, const QDateTime &now, const QLocale &locale) {
    const QTime time = now.time();
    if (token == u"%TIME") {
        return locale.toString(time, timeFormatWithSeconds(locale));
    }
    if (token == u"%HOUR") {
        return twoDigits(time.hour());
    }
    if (token == u"%MIN") {
        return twoDigits(time.minute());
    }
    if (token == u"%SEC") {
        return twoDigits(time.second());
    }
    return token;
}

QString MakeTheDate(const QString &token, const QDateTime &now, const QLocale &locale) {
    const QDate date = now.date();
    if (token == u"%DATE") {
        return locale.toString(date, QLocale::ShortFormat);
    }
    if (token == u"%DAY") {
        return twoDigits(date.day());
    }
    if (token == u"%WEEKDAYNAME") {
        return locale.standaloneDayName(date.dayOfWeek(), QLocale::LongFormat);
    }
    if (token == u"%MONTH") {
        return twoDigits(date.month());
    }
    if (token == u"%MONTHNAME") {
        return locale.standaloneMonthName(date.month(), QLocale::LongFormat);
    }
    if (token == u"%YEAR") {
        return fullYear(date.year());
    }
    if (token == u"%MDY") {
        return locale.standaloneMonthName(date.month(), QLocale::LongFormat) + u' ' + twoDigits(date.day()) + u' ' +
               fullYear(date.year());
    }
    return token;
}

QString LabelText(const QString &text, int index, const TokenSources &sources) {
    switch (TokenOf(text)) {
    case LabelToken::Meta:
        return listEntry(sources.MetaList, index);
    case LabelToken::Menu:
        return listEntry(sources.MenuList, index);
    case LabelToken::Info:
        return listEntry(sources.InfoList, index);
    case LabelToken::Volume:
        return ValueAfterEquals(sources.Radio.reported(RadioSession::Ask::Volume));
    case LabelToken::Version:
        return ValueAfterEquals(sources.Radio.reported(RadioSession::Ask::Version));
    case LabelToken::State:
        return ValueAfterEquals(sources.Radio.reported(RadioSession::Ask::State));
    case LabelToken::Time:
        return MakeTheTime(text, sources.Clock.now(), sources.Locale);
    case LabelToken::Date:
        return MakeTheDate(text, sources.Clock.now(), sources.Locale);
    case LabelToken::None:
        break;
    }
    return text;
}

bool ExpandedOnRefresh(LabelToken token) {
    return token == LabelToken::Time || token == LabelToken::Date || token == LabelToken::Meta ||
           token == LabelToken::Info || token == LabelToken::Menu;
}

QString LabelTextWhileBuilding(const QString &text, int index, TokenSources &sources) {
    RequestPollFor(TokenOf(text), sources.Radio);
    return LabelText(text, index, sources);
}

void RequestPollFor(LabelToken token, RadioSession &radio) {
    using Ask = RadioSession::Ask;
    switch (token) {
    case LabelToken::None:
        return;
    case LabelToken::Meta:
        radio.askSoon(Ask::Meta);
        return;
    case LabelToken::Menu:
        radio.askSoon(Ask::Menu);
        return;
    case LabelToken::Info:
        radio.askSoon(Ask::List);
        return;
    case LabelToken::Volume:
        radio.askSoon(Ask::Volume);
        return;
    case LabelToken::Version:
        radio.askSoon(Ask::Version);
        return;
    case LabelToken::State:
        radio.askSoon(Ask::State);
        return;
    case LabelToken::Time:
    case LabelToken::Date:
        radio.askSoon(Ask::Soon);
        return;
    }
}
