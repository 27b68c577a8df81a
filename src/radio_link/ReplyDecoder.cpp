#include "radio_link/ReplyDecoder.h"

#include "display/SkinTables.h"
#include "platform/NumericText.h"
#include "platform/Platform.h"
#include "radio_link/LinkView.h"
#include "radio_link/RadioState.h"
#include "radio_link/Telnet.h"
#include "settings/Timeouts.h"

#include <QDateTime>
#include <QLocale>

#include <algorithm>

namespace {

const QString CrLf = QStringLiteral("\r\n");

// The 0-based list position becomes 1-based, with its place on a page of seven.
QString rewritePos(const QString &value) {
    const qint16 pos = NumericText::Int16Of(value);
    const int page = ((int(pos) % 7) + 7) % 7 + 1;
    return QString::number(int(pos) + 1) + QStringLiteral(" (") + QString::number(page) + QStringLiteral(")");
}

bool hasEntry(const StateTableEntry &entry) {
    return !entry.Code.isEmpty() || !entry.Name.isEmpty() || !entry.Picture.isEmpty() || !entry.PollLetters.isEmpty();
}

} // namespace

QString CrazyList(const QString &reply, const QString &updatedAt) {
    if (reply == QLatin1String("OK")) {
        return reply;
    }
    const QStringList pieces = reply.split(QLatin1Char('='));
    QStringList firstWords = pieces.first().split(QLatin1Char(' '));
    QString out;
    if (pieces.size() == 1) {
        return reply + QStringLiteral(" - Updated ") + updatedAt + CrLf;
    }
    QString key = firstWords.takeLast();
    out = firstWords.join(QLatin1Char(' ')) + QStringLiteral(" - Updated ") + updatedAt + CrLf;
    for (qsizetype i = 1; i < pieces.size(); ++i) {
        QStringList words = pieces[i].split(QLatin1Char(' '));
        QString nextKey;
        if (i + 1 < pieces.size()) {
            nextKey = words.takeLast();
        }
        QString value = words.join(QLatin1Char(' '));
        if (key == QLatin1String("pos")) {
            value = rewritePos(value);
        }
        out += key + QLatin1Char('=') + value + CrLf;
        key = nextKey;
    }
    return out;
}

ReplyDecoder::ReplyDecoder(Platform &platform, Telnet &telnet, Timer &resetTimer, RadioState &state,
                           const Timeouts &timeouts, const SkinTables &skin, const LinkSettings &settings,
                           LinkView &view, const LinkHooks &hooks)
    : m_platform(platform)
    , m_telnet(telnet)
    , m_resetTimer(resetTimer)
    , m_state(state)
    , m_timeouts(timeouts)
    , m_skin(skin)
    , m_settings(settings)
    , m_view(view)
    , m_hooks(hooks) {}

qint16 ReplyDecoder::pollReload() const {
    return m_state.RadioStandby ? m_timeouts.PollWhenOff : m_timeouts.PollWhenOn;
}

qint16 ReplyDecoder::fullReload() const {
    return m_state.RadioStandby ? m_timeouts.CheckAllOff : m_timeouts.CheckAllOn;
}

QString ReplyDecoder::expand(const QString &reply) const {
    return CrazyList(reply, QLocale().toString(m_platform.wallClock().now(), QLocale::ShortFormat));
}

void ReplyDecoder::DecodeReturn() {
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
        const QStringList lines = ch.LastReply.split(CrLf);
        // FillDebug after a line that changed nothing finds what the run before it found; a
        // reply of thousands of unknown lines (a radio sending filler) must not run it
        // thousands of times in one tick.
        bool debugCurrent = false;
        for (const QString &line : lines) {
            if (line.isEmpty()) {
                continue;
            }
            bool lineKnown = false;
            const auto known = [&] {
                recognised = true;
                lineKnown = true;
                m_view.PointerBorderColour = LinkColour::Green;
                m_resetTimer.setEnabled(false);
                ch.LastReply.clear();
                m_view.touch();
            };
            if (line.startsWith(QLatin1String("List"))) {
                known();
                MakeInfoList(line);
                m_state.AwaitAnyList = false;
                m_state.AwaitList = false;
                m_state.FreshList = true;
            } else if (line.startsWith(QLatin1String("Menu"))) {
                known();
                MakeMenuList(line);
                m_state.AwaitAnyList = false;
                m_state.AwaitMenu = false;
                m_state.FreshMenu = true;
            } else if (line.startsWith(QLatin1String("Meta"))) {
                known();
                MakeMetaList(line);
                m_state.AwaitAnyList = false;
                m_state.AwaitMeta = false;
                m_state.FreshMeta = true;
            } else if (line.startsWith(QLatin1String("STAT"))) {
                known();
                if (line.startsWith(QLatin1String("STATE="))) {
                    m_state.ExpectState = false;
                    m_state.PowerState = line.mid(6);
                    m_state.FreshState = true;
                }
            } else if (line.startsWith(QLatin1String("VER="))) {
                known();
                m_state.VersionText = line.mid(4);
                m_state.FreshVersion = true;
            } else if (line.startsWith(QLatin1String("VOL="))) {
                known();
                m_state.VolumeText = line.mid(4);
                m_view.VolumeAdjusterEnabled = true;
                m_state.ExpectVolume = false;
                if (!m_state.VolumeDragging) {
                    // The slider moves now, inside the raised flag, not at the next redraw:
                    // otherwise the window would take the program's move for the user's and
                    // send volume keys back.
                    m_state.VolumeSetByProgram = true;
                    const qint16 volume = NumericText::Int16Of(m_state.VolumeText);
                    m_view.VolumeAdjusterValue = std::clamp<int>(volume, 0, 100);
                    Q_EMIT m_view.volumeAdjusterSet(m_view.VolumeAdjusterValue);
                }
                m_state.VolumeDragging = false;
                m_state.VolumeSetByProgram = false;
                m_state.FreshVolume = true;
                m_view.appendTerminal(CrLf);
                Q_EMIT m_view.macroTrace(CrLf);
            }
            if (lineKnown || !debugCurrent) {
                FillDebug();
            }
            debugCurrent = true;
        }
    }
    if (recognised) {
        m_view.DeviceState = m_state.PowerState;
        m_view.DeviceVersion = m_state.VersionText;
        m_view.DeviceVolume = m_state.VolumeText;
        m_view.touch();
        Q_EMIT m_view.refreshDisplaysRequested();
    }
}

void ReplyDecoder::MakeMenuList(const QString &reply) {
    const QStringList lines = expand(reply).split(CrLf);
    for (const QString &line : lines) {
        if (line.startsWith(QLatin1String("state="))) {
            m_state.MenuState = line.mid(line.indexOf(QLatin1Char('=')) + 1);
            if (m_state.MenuState.size() > 4) {
                m_state.MenuState.clear(); // garbled: no screen rules for it
            }
            if (m_state.MenuState != m_state.PreviousMenuState && !m_state.MenuState.isEmpty() &&
                NumericText::Val(m_state.MenuState) == 14) {
                m_view.SearchBoxVisible = true;
                Q_EMIT m_view.searchBoxFocusRequested();
            }
            m_state.PreviousMenuState = m_state.MenuState;
        } else if (line.startsWith(QLatin1String("mp="))) {
            m_state.MenuPage = line.mid(3);
        } else if (line.startsWith(QLatin1String("ms="))) {
            m_state.SelectedMenuItem = line.mid(3);
        }
    }
    QStringList rows;
    for (const QString &line : lines) {
        if (!line.isEmpty()) {
            rows << line;
        }
    }
    const int item = NumericText::Int16Of(m_state.SelectedMenuItem);
    if (!m_state.MenuListHold) {
        m_view.MenuList = rows;
        m_view.MenuListIndex = std::min<int>(m_view.MenuListIndex, int(rows.size()) - 1);
    }
    if (!m_state.MainMenuListHold) {
        m_view.MainMenuListIndex = item;
    }
    m_state.MenuListHold = false;
    m_state.MainMenuListHold = false;
    m_view.touch();
}

void ReplyDecoder::MakeMetaList(const QString &reply) {
    if (m_state.MetaListHold) {
        return;
    }
    QStringList rows;
    for (const QString &line : expand(reply).split(CrLf)) {
        if (!line.isEmpty()) {
            rows << line;
        }
    }
    m_view.MetaList = rows;
    m_view.MetaListIndex = std::min<int>(m_view.MetaListIndex, int(rows.size()) - 1);
    m_view.touch();
}

void ReplyDecoder::MakeInfoList(const QString &reply) {
    const QStringList lines = expand(reply).split(CrLf);
    if (m_state.InfoListHold) {
        m_state.InfoListHold = false; // this one reply is not shown
        return;
    }
    QStringList rows;
    for (const QString &line : lines) {
        if (line.isEmpty()) {
            continue;
        }
        rows << line;
        if (line.startsWith(QLatin1String("pos"))) {
            const qsizetype open = line.indexOf(QLatin1Char('('));
            if (open >= 0) {
                m_state.SelectedListItem = QString::number(NumericText::Int16Of(line.mid(open + 1)));
            }
        }
    }
    m_view.InfoList = rows;
    m_view.InfoListIndex = -1;
    if (!m_state.SelectedListItem.isEmpty()) {
        const QChar wanted = m_state.SelectedListItem.at(0);
        for (qsizetype i = 0; i < rows.size(); ++i) {
            if (rows[i].at(0) == wanted) {
                m_view.InfoListIndex = int(i);
                break;
            }
        }
    }
    m_view.InfoListEnabled = true;
    m_view.touch();
}

QString ReplyDecoder::queueText(int channel) const {
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

void ReplyDecoder::FillDebug() {
    m_telnet.CompactQueues();
    WhatAutos();

    const qint16 item = NumericText::Int16Of(m_state.SelectedMenuItem);
    const qint16 screen = NumericText::Int16Of(m_state.MenuState);
    const bool itemInTable = item >= 0 && item < SkinTables::TableSize;
    const bool screenInTable = screen >= 0 && screen < SkinTables::TableSize;

    if (!m_view.MacroListVisible && !m_hooks.macroWaitTimerRunning() && !m_state.RadioStandby &&
        item != m_lastItemSeen) {
        m_lastItemSeen = item;
        if (itemInTable) {
            const MenuTableEntry &entry = m_skin.MenuTable[size_t(item)];
            Q_EMIT m_view.loadPictureRequested(entry.Picture);
            m_view.CurrentMenuLabel = entry.Name;
        }
    }

    const QString itemName = itemInTable ? m_skin.MenuTable[size_t(item)].Name : QString();
    const QString screenName = screenInTable ? m_skin.StateTable[size_t(screen)].Name : QString();
    QString debug;
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

    // Before the first menu reply, or after a garbled one, there is no screen to apply rules to.
    if (m_state.MenuState.isEmpty()) {
        return;
    }
    m_state.RadioStandby = false;
    QString picture;
    if (screen == 0 && (m_state.MenuPage == QLatin1String("1") || m_state.MenuPage == QLatin1String("2"))) {
        picture = QStringLiteral("main2");
    } else if (screen == 0 && m_state.MenuPage == QLatin1String("3")) {
        picture = QStringLiteral("main3");
    } else if (screenInTable) {
        picture = m_skin.StateTable[size_t(screen)].Picture;
    }
    m_view.SearchBoxVisible = screen == 14;
    if (screen == 21 && m_state.PreviousMenuState == m_state.MenuState) {
        if (Timer *update = m_telnet.UpdateTimer()) {
            update->setEnabled(false);
        }
        if (m_settings.Auto21Backout) {
            // Emptying PreviousMenuState limits this to once per menu reply reporting screen 21.
            m_state.PreviousMenuState.clear();
            m_telnet.QueueCommand(0, QStringLiteral("STOP"));
            m_telnet.QueueCommand(0, QLatin1String(Telnet::Delay));
            PlaySoundFile(m_platform.sound(), m_settings.ProgramFolder, QStringLiteral("fail"));
            m_state.NeedMenu = true;
            m_state.FullRefreshDue = false;
            m_state.FullRefreshCountdown = fullReload();
            m_state.PollCountdown = pollReload();
        }
    }
    if (screen == 34) {
        m_view.CurrentMenuLabel = QStringLiteral("Night Mode");
        if (m_state.PowerState != QLatin1String("ON")) {
            m_state.RadioStandby = true;
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

void ReplyDecoder::stopPleaseWait() {
    m_state.WaitFrame = -2;
    Q_EMIT m_view.pleaseWaitStopRequested();
}

void ReplyDecoder::WhatAutos() {
    RadioState &s = m_state;
    if (!s.MenuState.isEmpty()) {
        const qint16 screen = NumericText::Int16Of(s.MenuState);
        s.NeedMenu = true;
        s.NeedMeta = false;
        s.NeedList = false;
        if (!s.ExpectVolume) {
            s.NeedVolume = false;
        }
        if (!s.ExpectState) {
            s.NeedState = false;
        }
        if (s.LastScreen == -1) {
            s.LastScreen = screen;
        }
        if (screen != s.LastScreen) {
            if (s.LastScreen != 34) {
                s.FullRefreshDue = false;
                s.FullRefreshCountdown = fullReload();
                m_telnet.ClearChannel(1);
            } else {
                // Leaving night mode: the radio wakes on its main menu.
                s.RadioStandby = false;
                s.MenuState = QStringLiteral("0");
                s.FullRefreshCountdown = m_timeouts.CheckAllOn;
            }
            s.PollCountdown = 0;
            s.NeedMenu = false;
            s.LastScreen = screen;
            s.InfoListHold = false;
            s.MetaListHold = false;
            s.MenuListHold = false;
            s.MainMenuListHold = false;
        }
        const bool known = screen >= 0 && screen < SkinTables::TableSize && hasEntry(m_skin.StateTable[size_t(screen)]);
        if (!known) {
            s.NeedList = s.NeedMeta = s.NeedVolume = s.NeedState = s.FullRefreshDue = s.NeedMenu = true;
        } else {
            const QString letters = m_skin.StateTable[size_t(screen)].PollLetters;
            if (letters.isEmpty()) {
                s.NeedMenu = true;
            }
            if (letters.contains(QLatin1Char('I'))) {
                s.NeedList = true;
            }
            if (letters.contains(QLatin1Char('M'))) {
                s.NeedMeta = true;
            }
            if (letters.contains(QLatin1Char('V'))) {
                s.NeedVolume = true;
            }
            if (letters.contains(QLatin1Char('S'))) {
                s.NeedState = true;
            }
            if (letters.contains(QLatin1Char('A'))) {
                s.FullRefreshDue = true;
            }
        }
        m_view.InfoListEnabled = s.NeedList;
        m_view.MetaListEnabled = s.NeedMeta;
    }

    if (m_view.InfoListEnabled || m_view.MainMenuListVisible) {
        stopPleaseWait();
    }
    m_view.RecordButtonsEnabled = m_view.MetaListEnabled || m_view.InfoListEnabled;
    m_view.RecordButtonsBold = false;
    if (m_view.MetaListEnabled) {
        const QString status = m_view.MetaList.size() > 5 ? m_view.MetaList[5].toLower() : QString();
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
            s.PollCountdown = 1;
            s.NeedMeta = true;
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
