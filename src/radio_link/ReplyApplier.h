#pragma once

#include <QString>
#include <QStringView>
#include <QtGlobal>

#include <optional>

class RadioView;
class Platform;
class ScreenRules;
class Telnet;
class Timer;
struct RadioState;

// Applies the radio's replies, line by line as ReplyParser reads them, to the device state and
// to the lists and values the information panel shows; after each line that changed what the
// screen rules read, they run (ScreenRules::chooseScreen).
class ReplyApplier {
public:
    ReplyApplier(Platform &platform, Telnet &telnet, Timer &resetTimer, RadioState &state, RadioView &view,
                 ScreenRules &rules);

    // Applies LastReply of channel 0 then channel 1 (emptied when recognised).
    void DecodeReturn();

private:
    // The list makers, without the expansion of the lines into the lists, which showRows does
    // for the last line of each kind: a reply of thousands of list lines expands one of each.
    // The menu and meta makers tell whether they changed what the screen rules read.
    bool makeMenuList(QStringView line);
    bool makeMetaList(QStringView line);
    void makeInfoList(QStringView line);
    void showRows();
    // The meta list's status row as it will be shown once the rows are.
    QString shownMetaStatus() const;
    QString updatedAtNow() const;

    Platform &m_platform;
    Telnet &m_telnet;
    Timer &m_resetTimer;
    RadioState &m_state;
    RadioView &m_view;
    ScreenRules &m_rules;

    // The " - Updated " time of the reply being applied (null between replies).
    QString m_updatedAt;
    // The lines whose expansion the lists are still to show (views into the reply being
    // applied: showRows runs before it ends).
    std::optional<QStringView> m_menuRows;
    std::optional<QStringView> m_metaRows;
    std::optional<QStringView> m_infoRows;
    QString m_metaRowsStatus; // the sixth row of m_metaRows' expansion
};
