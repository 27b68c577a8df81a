#pragma once

#include <QString>
#include <QtGlobal>

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
    ReplyDecoder(Platform &platform, Telnet &telnet, Timer &resetTimer, RadioState &state, const Timeouts &timeouts,
                 const SkinTables &skin, const LinkSettings &settings, LinkView &view, const LinkHooks &hooks);

    // Decodes LastReply of channel 0 then channel 1 (emptied when recognised).
    void DecodeReturn();
    void MakeMenuList(const QString &reply);
    void MakeMetaList(const QString &reply);
    void MakeInfoList(const QString &reply);
    // Derived state after every decoded line and every acknowledgement: debug text, screen rules.
    void FillDebug();
    // Which values the next automatic poll asks for, from the screen the radio shows.
    void WhatAutos();

private:
    // The waiting animation stops: its frame becomes -2 and the windows are told.
    void stopPleaseWait();
    qint16 pollReload() const;
    qint16 fullReload() const;
    QString expand(const QString &reply) const;
    QString queueText(int channel) const;

    Platform &m_platform;
    Telnet &m_telnet;
    Timer &m_resetTimer;
    RadioState &m_state;
    const Timeouts &m_timeouts;
    const SkinTables &m_skin;
    const LinkSettings &m_settings;
    LinkView &m_view;
    const LinkHooks &m_hooks;

    // The decoder's only memory between replies.
    qint16 m_lastItemSeen = -1;
    QString m_lastPictureShown;
};
