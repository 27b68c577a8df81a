#include "radio_link/ReplyApplier.h"

#include "platform/NumericText.h"
#include "platform/Platform.h"
#include "radio_link/LinkHooks.h"
#include "radio_link/RadioState.h"
#include "radio_link/ReplyHandshake.h"
#include "radio_link/ReplyParser.h"
#include "radio_link/ReplyRows.h"
#include "radio_link/ScreenRules.h"
#include "radio_link/Telnet.h"
#include "session/RadioView.h"

#include <QDateTime>
#include <QLocale>

#include <algorithm>

using ReplyParser::int16Of;
using ReplyParser::same;

namespace {

const QString CrLf = QStringLiteral("\r\n");

} // namespace

ReplyApplier::ReplyApplier(Platform &platform, Telnet &telnet, Timer &resetTimer, RadioState &state, RadioView &view,
                           ScreenRules &rules)
    : m_platform(platform)
    , m_telnet(telnet)
    , m_resetTimer(resetTimer)
    , m_state(state)
    , m_view(view)
    , m_rules(rules) {}

QString ReplyApplier::updatedAtNow() const {
    return QLocale().toString(m_platform.wallClock().now(), QLocale::ShortFormat);
}

void ReplyApplier::DecodeReturn() {
    using ReplyParser::Kind;
    if (m_telnet.hasLive(1)) {
        m_telnet.WakeQueue();
    }
    bool recognised = false;
    for (int c = 0; c < 2; ++c) {
        TelnetChannel &ch = m_telnet.Channels[size_t(c)];
        if (ch.LastReply.isEmpty()) {
            continue;
        }
        m_telnet.WakeQueue();
        m_updatedAt = updatedAtNow();
        // Lines are looked at in place; the copy keeps them valid once LastReply is emptied.
        const QString reply = ch.LastReply;
        // Every line is applied to the state in order, but what follows from the state (the
        // screen rules, the poll flags, the debug text) is worked out again only after a line
        // that changed something the screen rules read: equal inputs give equal results, so
        // skipping the run changes nothing. Between two lines nothing else runs, so each kind of
        // line says itself whether it changed such an input. A radio repeating its status in
        // thousands of lines costs one run per change, not one per line. The first line of a
        // reply always runs it, as the state may have moved on since the last.
        bool settled = false;
        ScreenRules::Inputs settledInputs;
        // Lines with "VOL=" leave their marks on the terminal, the macro trace and the slider
        // once per reply: the same text, trace and slider value, without a redraw per line.
        qsizetype volumeLines = 0;
        std::optional<int> sliderValue;
        // The last list, menu and meta line applied in full, and what the menu line left: a line
        // repeating one of them, with nothing it depends on changed since, would change nothing.
        QStringView lastList, lastMenu, lastMeta;
        QString menuStateLeft, previousMenuStateLeft, menuPageLeft, menuItemLeft;
        for (qsizetype from = 0, end = 0; from < reply.size(); from = end + CrLf.size()) {
            end = reply.indexOf(CrLf, from);
            if (end < 0) {
                end = reply.size();
            }
            const QStringView line = QStringView(reply).mid(from, end - from);
            if (line.isEmpty()) {
                continue;
            }
            const ReplyParser::Line parsed = ReplyParser::parseLine(line);
            bool touched = false; // the line changed an input of the screen rules
            if (parsed.kind != Kind::Unknown) {
                recognised = true;
                m_view.PointerBorderColour = LinkColour::Green;
                if (m_resetTimer.isEnabled()) {
                    m_resetTimer.setEnabled(false);
                    touched = true;
                }
                ch.LastReply.clear();
                m_view.touch();
            }
            switch (parsed.kind) {
            case Kind::Unknown: // of no known kind: nothing to apply
            case Kind::Stat:
                break;
            case Kind::List: {
                const bool listEnabled = m_view.InfoListEnabled;
                if (!m_state.holds.InfoListHold && same(line, lastList)) {
                    m_view.InfoListEnabled = true;
                } else {
                    lastList = m_state.holds.InfoListHold ? QStringView() : line;
                    makeInfoList(line);
                }
                if (m_view.InfoListEnabled != listEnabled) {
                    if (settled && !m_state.MenuState.isEmpty()) {
                        // With a screen known, WhatAutos sets the flag before it reads it: a run
                        // would only put it back as the last run left it.
                        m_view.InfoListEnabled = settledInputs.infoListEnabled;
                    } else {
                        touched = true;
                    }
                }
                ReplyHandshake::arrived(m_state, ReplyHandshake::Data::List);
                break;
            }
            case Kind::Menu: {
                const bool repeat = same(line, lastMenu) && m_state.MenuState.isSharedWith(menuStateLeft) &&
                                    m_state.PreviousMenuState.isSharedWith(previousMenuStateLeft) &&
                                    m_state.MenuPage.isSharedWith(menuPageLeft) &&
                                    m_state.SelectedMenuItem.isSharedWith(menuItemLeft) &&
                                    !m_state.holds.MenuListHold && !m_state.holds.MainMenuListHold;
                if (!repeat) {
                    touched = makeMenuList(line) || touched;
                    lastMenu = line;
                    menuStateLeft = m_state.MenuState;
                    previousMenuStateLeft = m_state.PreviousMenuState;
                    menuPageLeft = m_state.MenuPage;
                    menuItemLeft = m_state.SelectedMenuItem;
                }
                ReplyHandshake::arrived(m_state, ReplyHandshake::Data::Menu);
                break;
            }
            case Kind::Meta:
                if (m_state.holds.MetaListHold || !same(line, lastMeta)) {
                    lastMeta = m_state.holds.MetaListHold ? lastMeta : line;
                    touched = makeMetaList(line) || touched;
                }
                ReplyHandshake::arrived(m_state, ReplyHandshake::Data::Meta);
                break;
            case Kind::Power:
                touched = touched || m_state.poll.ExpectState || m_state.PowerState != parsed.value;
                m_state.poll.ExpectState = false;
                m_state.PowerState = parsed.value.toString();
                ReplyHandshake::arrived(m_state, ReplyHandshake::Data::State);
                break;
            case Kind::Version:
                m_state.VersionText = parsed.value.toString();
                ReplyHandshake::arrived(m_state, ReplyHandshake::Data::Version);
                break;
            case Kind::Volume:
                touched = touched || m_state.poll.ExpectVolume;
                if (!same(m_state.VolumeText, parsed.value)) {
                    m_state.VolumeText = parsed.value.toString();
                }
                m_view.VolumeAdjusterEnabled = true;
                m_state.poll.ExpectVolume = false;
                if (!m_telnet.hasLive(0) && m_telnet.feeding() == 0) {
                    m_state.VolumeLead.reset();
                }
                if (!m_state.holds.VolumeDragging) {
                    const qint16 volume = int16Of(m_state.VolumeText);
                    m_view.VolumeAdjusterValue = std::clamp<int>(volume, 0, 100);
                    sliderValue = m_view.VolumeAdjusterValue;
                }
                m_state.holds.VolumeDragging = false;
                ReplyHandshake::arrived(m_state, ReplyHandshake::Data::Volume);
                ++volumeLines;
                break;
            }
            if (!settled || touched) {
                showRows(); // the rules and whoever they call may look at the lists
                const ScreenRules::Inputs inputs = m_rules.inputs();
                m_rules.chooseScreen();
                settledInputs = m_rules.inputs();
                // A run that changed what it reads (leaving night mode rewrites the screen, a
                // back-out empties PreviousMenuState) may change more when run again.
                settled = settledInputs == inputs;
            }
        }
        // Of all the list lines, only the last of each kind is expanded into the lists.
        showRows();
        if (sliderValue) {
            Q_EMIT m_view.volumeAdjusterSet(*sliderValue);
        }
        if (volumeLines > 0) {
            if (NumericText::HasNumber(m_state.VolumeText)) {
                Q_EMIT m_view.volumeReported(int16Of(m_state.VolumeText));
            }
            // One more line end per "VOL=" line; of a long run only what the terminal keeps.
            m_view.appendTerminal(CrLf.repeated(std::min<qsizetype>(volumeLines, RadioView::TerminalLimit / 2)));
            // The trace takes a line end only where it does not end in one already, so one
            // stands for all of them.
            Q_EMIT m_view.macroTrace(CrLf);
        }
        m_updatedAt = QString();
    }
    if (recognised) {
        m_view.DeviceState = m_state.PowerState;
        m_view.DeviceVersion = m_state.VersionText;
        m_view.DeviceVolume = m_state.VolumeText;
        m_view.touch();
        Q_EMIT m_view.refreshDisplaysRequested();
    }
}

void ReplyApplier::showRows() {
    const QString updatedAt = m_updatedAt.isNull() ? updatedAtNow() : m_updatedAt;
    if (m_menuRows) {
        m_view.MenuList = CrazyLines(*m_menuRows, updatedAt);
        m_menuRows.reset();
    }
    if (m_metaRows) {
        m_view.MetaList = CrazyLines(*m_metaRows, updatedAt);
        m_metaRows.reset();
    }
    if (m_infoRows) {
        m_view.InfoList = CrazyLines(*m_infoRows, updatedAt);
        m_infoRows.reset();
    }
}

QString ReplyApplier::shownMetaStatus() const {
    return m_metaRows ? m_metaRowsStatus : ScreenRules::metaStatus(m_view);
}

bool ReplyApplier::makeMenuList(QStringView line) {
    bool changed = false;
    // Values are copied only when they differ: most lines repeat the last.
    const auto take = [&changed](QString &field, QStringView value) {
        if (!same(field, value)) {
            field = value.toString();
            changed = true;
        }
    };
    for (const ReplyParser::MenuField &field : ReplyParser::parseMenu(line)) {
        switch (field.key) {
        case ReplyParser::MenuField::Screen:
            take(m_state.MenuState, field.value);
            if (m_state.MenuState != m_state.PreviousMenuState && !m_state.MenuState.isEmpty() &&
                NumericText::Val(m_state.MenuState) == 14) {
                changed = changed || !m_view.SearchBoxVisible;
                m_view.SearchBoxVisible = true;
                showRows(); // whoever takes the focus may look at the lists
                Q_EMIT m_view.searchBoxFocusRequested();
            }
            take(m_state.PreviousMenuState, m_state.MenuState);
            break;
        case ReplyParser::MenuField::Page:
            take(m_state.MenuPage, field.value);
            break;
        case ReplyParser::MenuField::Item:
            take(m_state.SelectedMenuItem, field.value);
            break;
        }
    }
    const int item = int16Of(m_state.SelectedMenuItem);
    if (!m_state.holds.MenuListHold) {
        m_menuRows = line;
        m_view.MenuListIndex = std::min<int>(m_view.MenuListIndex, int(ReplyParser::rowCount(line)) - 1);
    }
    if (!m_state.holds.MainMenuListHold) {
        m_view.MainMenuListIndex = item;
    }
    m_state.holds.MenuListHold = false;
    m_state.holds.MainMenuListHold = false;
    m_view.touch();
    return changed;
}

bool ReplyApplier::makeMetaList(QStringView line) {
    if (m_state.holds.MetaListHold) {
        return false;
    }
    // The status row is the only one looked at before the rows are shown.
    const ReplyParser::MetaReply meta = ReplyParser::parseMeta(line);
    const QString status = shownMetaStatus();
    const QStringView key = meta.statusKey;
    const QStringView value = meta.statusValue;
    const bool unchanged = meta.hasStatus()
                               ? !same(key, u"pos") && status.size() == key.size() + 1 + value.size() &&
                                     same(QStringView(status).left(key.size()), key) && status.at(key.size()) == u'=' &&
                                     same(QStringView(status).mid(key.size() + 1), value)
                               : status.isEmpty();
    if (!unchanged) {
        m_metaRowsStatus = meta.hasStatus() ? pairRow(key, value) : QString();
    } else {
        m_metaRowsStatus = status;
    }
    m_metaRows = line;
    m_view.MetaListIndex = std::min<int>(m_view.MetaListIndex, int(ReplyParser::rowCount(line)) - 1);
    m_view.touch();
    return !unchanged;
}

void ReplyApplier::makeInfoList(QStringView line) {
    if (m_state.holds.InfoListHold) {
        m_state.holds.InfoListHold = false; // this one reply is not shown
        return;
    }
    const ReplyParser::ListReply list = ReplyParser::parseList(line);
    // The position within the page: a head beginning with "pos" may carry it in brackets, as
    // its row shows it; a pair naming one comes after it.
    if (list.head.startsWith(QLatin1String("pos"))) {
        const QString row = headRow(list.head, m_updatedAt.isNull() ? updatedAtNow() : m_updatedAt);
        const qsizetype open = row.indexOf(QLatin1Char('('));
        if (open >= 0) {
            m_state.SelectedListItem = QString::number(int16Of(QStringView(row).mid(open + 1)));
        }
    }
    if (list.place) {
        m_state.SelectedListItem = QString::number(*list.place);
    }
    // The first row beginning with that number is selected.
    m_view.InfoListIndex = m_state.SelectedListItem.isEmpty()
                               ? -1
                               : ReplyParser::firstRowStartingWith(line, m_state.SelectedListItem.at(0));
    m_infoRows = line;
    m_view.InfoListEnabled = true;
    m_view.touch();
}
