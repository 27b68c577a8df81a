#include "radio_link/ScreenRules.h"

#include "platform/Platform.h"
#include "radio_link/AutomaticPoll.h"
#include "radio_link/LinkHooks.h"
#include "radio_link/RadioState.h"
#include "radio_link/ReplyParser.h"
#include "radio_link/Telnet.h"
#include "session/RadioView.h"
#include "settings/Timeouts.h"
#include "skin/SkinTables.h"

using ReplyParser::int16Of;

namespace {

const QString CrLf = QStringLiteral("\r\n");

bool hasEntry(const StateTableEntry &entry) {
    return !entry.Code.isEmpty() || !entry.Name.isEmpty() || !entry.Picture.isEmpty() || !entry.PollLetters.isEmpty();
}

// A list of its own: a copy that shared the queue's would make the queue copy itself on its next
// change.
QStringList ownCopy(const QStringList &list) {
    QStringList copy;
    copy.reserve(list.size());
    for (const QString &item : list) {
        copy << item;
    }
    return copy;
}

// Before the radio has named an item or a screen (or after a garbled menu reply) there is none:
// an empty text would read as 0 and pass for the power item and the main menu.
qint16 numberOrNone(const QString &text) {
    return text.isEmpty() ? qint16(-1) : int16Of(text);
}

bool inTable(qint16 number) {
    return number >= 0 && number < SkinTables::TableSize;
}

} // namespace

ScreenRules::ScreenRules(Platform &platform, Telnet &telnet, AutomaticPoll &poll, Timer &resetTimer, RadioState &state,
                         const Timeouts &timeouts, const SkinTables &skin, const LinkSettings &settings,
                         RadioView &view, const LinkHooks &hooks)
    : m_platform(platform)
    , m_telnet(telnet)
    , m_poll(poll)
    , m_resetTimer(resetTimer)
    , m_state(state)
    , m_timeouts(timeouts)
    , m_skin(skin)
    , m_settings(settings)
    , m_view(view)
    , m_hooks(hooks) {}

qint16 ScreenRules::pollReload() const {
    return m_state.poll.RadioStandby ? m_timeouts.PollWhenOff : m_timeouts.PollWhenOn;
}

qint16 ScreenRules::fullReload() const {
    return m_state.poll.RadioStandby ? m_timeouts.CheckAllOff : m_timeouts.CheckAllOn;
}

QString ScreenRules::metaStatus(const RadioView &view) {
    return view.MetaList.size() > 5 ? view.MetaList[5] : QString();
}

bool ScreenRules::radioGettingReady(const QString &status) {
    const QString lower = status.toLower();
    for (const char *word : {"connecting", "resolving url", "caching", "resuming"}) {
        if (lower.contains(QLatin1String(word))) {
            return true;
        }
    }
    return false;
}

ScreenRules::Inputs ScreenRules::inputs() const {
    const RadioState &s = m_state;
    return Inputs{s.MenuState,
                  s.PreviousMenuState,
                  s.MenuPage,
                  s.SelectedMenuItem,
                  s.PowerState,
                  s.LastScreen,
                  s.poll.RadioStandby,
                  s.poll.ExpectVolume,
                  s.poll.ExpectState,
                  s.needs.NeedVolume,
                  s.needs.NeedState,
                  ownCopy(m_telnet.Channels[0].Outbound),
                  ownCopy(m_telnet.Channels[1].Outbound),
                  m_resetTimer.isEnabled(),
                  m_hooks.macroWaitTimerRunning(),
                  m_view.MacroListVisible,
                  m_view.MainMenuListVisible,
                  m_view.InfoListEnabled,
                  m_view.MetaListEnabled,
                  m_view.SearchBoxVisible,
                  metaStatus(m_view),
                  m_lastItemSeen,
                  m_lastPictureShown};
}

void ScreenRules::chooseScreen() {
    m_telnet.CompactQueues();
    WhatAutos();
    const qint16 item = numberOrNone(m_state.SelectedMenuItem);
    const qint16 screen = numberOrNone(m_state.MenuState);
    showMenuItem(item);
    FillDebug(item, screen);
    applyScreen(screen);
}

void ScreenRules::showMenuItem(qint16 item) {
    if (!m_view.MacroListVisible && !m_hooks.macroWaitTimerRunning() && !m_state.poll.RadioStandby &&
        item != m_lastItemSeen) {
        m_lastItemSeen = item;
        if (inTable(item)) {
            const MenuTableEntry &entry = m_skin.MenuTable[size_t(item)];
            Q_EMIT m_view.loadPictureRequested(entry.Picture);
            m_view.CurrentMenuLabel = entry.Name;
        }
    }
}

QString ScreenRules::queueText(int channel) const {
    const QStringList &outbound = m_telnet.Channels[size_t(channel)].Outbound;
    QString text = QString::number(outbound.size() - 1);
    if (m_telnet.hasLive(channel)) {
        text += QStringLiteral(" [");
        for (const QString &slot : outbound) {
            text += slot + QLatin1Char(',');
        }
        text += QLatin1Char(']');
    }
    return text;
}

void ScreenRules::FillDebug(qint16 item, qint16 screen) {
    const QString itemName = inTable(item) ? m_skin.MenuTable[size_t(item)].Name : QString();
    const QString screenName = inTable(screen) ? m_skin.StateTable[size_t(screen)].Name : QString();
    QString debug;
    debug.reserve(256);
    debug += QStringLiteral("Menu    : Page ") + m_state.MenuPage + CrLf;
    debug += QStringLiteral("Menu    : Item (") + m_state.SelectedMenuItem + QStringLiteral(") = ") +
             (itemName.isEmpty() ? QStringLiteral("Unknown ") + m_state.SelectedMenuItem : itemName) + CrLf;
    debug += QStringLiteral("State   : (") + m_state.MenuState + QStringLiteral(") = ") +
             (screenName.isEmpty() ? QStringLiteral("Unknown ") + m_state.MenuState : screenName) + CrLf;
    debug += QStringLiteral("Timeout : = ") +
             (m_resetTimer.isEnabled() ? QStringLiteral("True") : QStringLiteral("False")) + CrLf;
    debug += QStringLiteral("Port 0  : = ") + queueText(0) + CrLf;
    debug += QStringLiteral("Port 1  : = ") + queueText(1) + CrLf;
    m_view.DebugText = debug;
    m_view.touch();
}

void ScreenRules::applyScreen(qint16 screen) {
    // Before the first menu reply, or after a garbled one, there is no screen to apply rules to.
    if (m_state.MenuState.isEmpty()) {
        return;
    }
    m_state.poll.RadioStandby = false;
    QString picture;
    if (screen == 0 && (m_state.MenuPage == QLatin1String("1") || m_state.MenuPage == QLatin1String("2"))) {
        picture = QStringLiteral("main2");
    } else if (screen == 0 && m_state.MenuPage == QLatin1String("3")) {
        picture = QStringLiteral("main3");
    } else if (inTable(screen)) {
        picture = m_skin.StateTable[size_t(screen)].Picture;
    }
    m_view.SearchBoxVisible = screen == 14;
    if (screen == 21 && m_state.PreviousMenuState == m_state.MenuState) {
        m_poll.stop();
        if (m_settings.Auto21Backout) {
            // Emptying PreviousMenuState limits this to once per menu reply reporting screen 21.
            m_state.PreviousMenuState.clear();
            m_telnet.QueueCommand(0, QStringLiteral("STOP"));
            m_telnet.QueueCommand(0, QLatin1String(Telnet::Delay));
            PlaySoundFile(m_platform.sound(), m_settings.ProgramFolder, QStringLiteral("fail"));
            m_state.needs.NeedMenu = true;
            m_state.needs.FullRefreshDue = false;
            m_state.poll.FullRefreshCountdown = fullReload();
            m_state.poll.PollCountdown = pollReload();
        }
    }
    if (screen == 34) {
        m_view.CurrentMenuLabel = QStringLiteral("Night Mode");
        if (m_state.PowerState != QLatin1String("ON")) {
            m_state.poll.RadioStandby = true;
        }
    }
    // The current screen's picture, "" when the skin gives it none: a screen without a picture
    // must not go on showing the one before.
    m_state.ScreenPictureName = picture;
    if (!picture.isEmpty()) {
        if (picture != m_lastPictureShown) {
            m_lastPictureShown = picture;
            Q_EMIT m_view.displayScreenRequested(picture);
        }
    }
}

void ScreenRules::stopPleaseWait() {
    m_state.WaitFrame = -2;
    Q_EMIT m_view.pleaseWaitStopRequested();
}
void ScreenRules::WhatAutos() {
    RadioState &s = m_state;
    // The menu is always asked; the rest only as the screen's poll letters say. With no screen
    // known (none reported yet, or a garbled one) the menu query is what tells it: wants raised
    // meanwhile, a display label asking for the volume say, wait for the next full refresh;
    // otherwise a radio answering nothing sensible would be asked for them at every poll instead
    // of for its screen.
    s.needs.NeedMenu = true;
    s.needs.NeedMeta = false;
    s.needs.NeedList = false;
    if (!s.poll.ExpectVolume) {
        s.needs.NeedVolume = false;
    }
    if (!s.poll.ExpectState) {
        s.needs.NeedState = false;
    }
    if (!s.MenuState.isEmpty()) {
        const qint16 screen = int16Of(s.MenuState);
        if (s.LastScreen == -1) {
            s.LastScreen = screen;
        }
        if (screen != s.LastScreen) {
            if (s.LastScreen != 34) {
                s.needs.FullRefreshDue = false;
                s.poll.FullRefreshCountdown = fullReload();
                m_telnet.ClearChannel(1);
            } else {
                // Leaving night mode: the radio wakes on its main menu.
                s.poll.RadioStandby = false;
                s.MenuState = QStringLiteral("0");
                s.poll.FullRefreshCountdown = m_timeouts.CheckAllOn;
            }
            s.poll.PollCountdown = 0;
            s.needs.NeedMenu = false;
            s.LastScreen = screen;
            s.holds.clearLists();
        }
        const bool known = screen >= 0 && screen < SkinTables::TableSize && hasEntry(m_skin.StateTable[size_t(screen)]);
        if (!known) {
            s.needs.NeedList = s.needs.NeedMeta = s.needs.NeedVolume = s.needs.NeedState = s.needs.FullRefreshDue =
                s.needs.NeedMenu = true;
        } else {
            const QString letters = m_skin.StateTable[size_t(screen)].PollLetters;
            if (letters.isEmpty()) {
                s.needs.NeedMenu = true;
            }
            if (letters.contains(QLatin1Char('I'))) {
                s.needs.NeedList = true;
            }
            if (letters.contains(QLatin1Char('M'))) {
                s.needs.NeedMeta = true;
            }
            if (letters.contains(QLatin1Char('V'))) {
                s.needs.NeedVolume = true;
            }
            if (letters.contains(QLatin1Char('S'))) {
                s.needs.NeedState = true;
            }
            if (letters.contains(QLatin1Char('A'))) {
                s.needs.FullRefreshDue = true;
            }
        }
        m_view.InfoListEnabled = s.needs.NeedList;
        m_view.MetaListEnabled = s.needs.NeedMeta;
    }

    if (m_view.InfoListEnabled || m_view.MainMenuListVisible) {
        stopPleaseWait();
    }
    m_view.RecordButtonsEnabled = m_view.MetaListEnabled || m_view.InfoListEnabled;
    m_view.RecordButtonsBold = false;
    if (m_view.MetaListEnabled) {
        const QString status = metaStatus(m_view).toLower();
        static const char *const emphasis[] = {"resuming", "connecting", "resolving url", "exit"};
        bool decided = false;
        if (status.contains(QLatin1String("recording"))) {
            m_view.RecordButtonsCaption = QStringLiteral("Press to STOP RECORDING");
            m_view.RecordButtonsBold = true;
            stopPleaseWait();
            decided = true;
        } else if (status.contains(QLatin1String("playing"))) {
            m_view.RecordButtonsCaption = QStringLiteral("Press to STOP PLAYBACK");
            stopPleaseWait();
            decided = true;
        } else if (status.contains(QLatin1String("paused"))) {
            stopPleaseWait();
            decided = true;
        }
        for (const char *word : emphasis) {
            if (!decided && status.contains(QLatin1String(word))) {
                m_view.RecordButtonsBold = true;
                decided = true;
            }
        }
        if (!decided && status.contains(QLatin1String("caching"))) {
            // Ask again at the next poll while the radio fills its buffer.
            s.poll.PollCountdown = 1;
            s.needs.NeedMeta = true;
            decided = true;
        }
        if (!decided) {
            m_view.RecordButtonsCaption = QStringLiteral("Press to STOP PLAYBACK");
            stopPleaseWait();
        }
    } else {
        m_view.RecordButtonsCaption = QStringLiteral("Press to START RECORDING");
    }
    m_view.touch();
}
