#pragma once

#include <QString>
#include <QStringList>
#include <QtGlobal>

#include <optional>

class AutomaticPoll;
class LinkView;
class Platform;
class Telnet;
class Timer;
struct LinkHooks;
struct LinkSettings;
struct RadioState;
struct SkinTables;
struct Timeouts;

// Expands a "Head key=value key=value" reply into lines: the head words with " - Updated " and
// the time, then one "key=value" line per pair (a value keeps all its words up to the next
// key). A "pos" value (0-based) is shown 1-based with its place on a page of seven: pos=9
// becomes pos=10 (3). A reply that is exactly "OK" comes back unchanged. Lines end in CR LF.
QString CrazyList(const QString &reply, const QString &updatedAt);

// Turns the radio's replies into the device state and into what the information panel and
// the display window show, and decides what the automatic poll asks next.
class ReplyDecoder {
public:
    ReplyDecoder(Platform &platform, Telnet &telnet, AutomaticPoll &poll, Timer &resetTimer, RadioState &state,
                 const Timeouts &timeouts, const SkinTables &skin, const LinkSettings &settings, LinkView &view,
                 const LinkHooks &hooks);

    // Decodes LastReply of channel 0 then channel 1 (emptied when recognised).
    void DecodeReturn();
    void MakeMenuList(QStringView reply);
    void MakeMetaList(QStringView reply);
    void MakeInfoList(QStringView reply);
    // Derived state after every decoded line and every acknowledgement: debug text, screen rules.
    void FillDebug();
    // Which values the next automatic poll asks for, from the screen the radio shows.
    void WhatAutos();

private:
    // The waiting animation stops: its frame becomes -2 and the windows are told.
    void stopPleaseWait();
    qint16 pollReload() const;
    qint16 fullReload() const;
    QString updatedAtNow() const;
    QString queueText(int channel) const;

    Platform &m_platform;
    Telnet &m_telnet;
    AutomaticPoll &m_poll;
    Timer &m_resetTimer;
    RadioState &m_state;
    const Timeouts &m_timeouts;
    const SkinTables &m_skin;
    const LinkSettings &m_settings;
    LinkView &m_view;
    const LinkHooks &m_hooks;

    // Everything FillDebug and WhatAutos read, besides the skin and the settings, which stay
    // as they are while a reply is decoded. Whatever either of them comes to read belongs
    // here, and DecodeReturn must learn which lines change it.
    struct DerivedInputs {
        QString menuState;
        QString previousMenuState;
        QString menuPage;
        QString selectedMenuItem;
        QString powerState;
        qint16 lastScreen = -1;
        bool radioStandby = false;
        bool expectVolume = false;
        bool expectState = false;
        bool needVolume = false; // kept while a volume is expected
        bool needState = false;  // kept while a state is expected
        QStringList commands;
        QStringList queries;
        bool resetTimerRunning = false;
        bool macroWaitTimerRunning = false;
        bool macroListVisible = false;
        bool mainMenuListVisible = false;
        bool infoListEnabled = false;
        bool metaListEnabled = false;
        bool searchBoxVisible = false;
        QString metaStatus;
        qint16 lastItemSeen = -1;
        QString lastPictureShown;
        bool operator==(const DerivedInputs &) const = default;
    };
    DerivedInputs derivedInputs() const;
    // The meta list's sixth line, where the radio's player status is.
    QString metaStatus() const;
    // The same of the meta list as it will be shown once the rows are.
    QString shownMetaStatus() const;
    // The list makers without the expansion of the lines into the lists, which showRows does
    // for the last line of each kind: a reply of thousands of list lines expands one of each.
    // The menu and meta makers tell whether they changed what FillDebug reads.
    bool makeMenuList(QStringView reply);
    bool makeMetaList(QStringView reply);
    void makeInfoList(QStringView reply);
    void showRows();

    // The decoder's only memory between replies.
    qint16 m_lastItemSeen = -1;
    QString m_lastPictureShown;
    // The " - Updated " time of the reply being decoded (null between replies).
    QString m_updatedAt;
    // The lines whose expansion the lists are still to show (views into the reply being
    // decoded: showRows runs before it ends).
    std::optional<QStringView> m_menuRows;
    std::optional<QStringView> m_metaRows;
    std::optional<QStringView> m_infoRows;
    QString m_metaRowsStatus; // the sixth line of m_metaRows' expansion
};
