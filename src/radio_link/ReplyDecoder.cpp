#include "radio_link/ReplyDecoder.h"

#include "display/SkinTables.h"
#include "platform/NumericText.h"
#include "platform/Platform.h"
#include "radio_link/AutomaticPoll.h"
#include "radio_link/LinkView.h"
#include "radio_link/RadioState.h"
#include "radio_link/ReplyHandshake.h"
#include "radio_link/Telnet.h"
#include "settings/Timeouts.h"

#include <QDateTime>
#include <QLocale>

#include <algorithm>
#include <cstring>
#include <optional>

namespace {

const QString CrLf = QStringLiteral("\r\n");

// Equal texts, compared without building anything: this runs for every line of a reply.
bool same(QStringView a, QStringView b) {
    return a.size() == b.size() &&
           (a.isEmpty() || std::memcmp(a.utf16(), b.utf16(), size_t(a.size()) * sizeof(char16_t)) == 0);
}

// The usual numeric-prefix reading. What the radio sends, a number of a few digits maybe
// followed by other text ("3)"), is read without going through a double.
qint16 int16Of(QStringView text) {
    int value = 0;
    qsizetype digits = 0;
    while (digits < text.size() && digits < 5 && text[digits] >= u'0' && text[digits] <= u'9') {
        value = value * 10 + (text[digits].unicode() - u'0');
        ++digits;
    }
    const bool plain = digits > 0 && digits < 5 && (digits == text.size() || text[digits] != u'.');
    return plain ? qint16(value) : NumericText::Int16Of(text.toString());
}

// The 0-based list position becomes 1-based, with its place on a page of seven.
QString rewritePos(QStringView value) {
    const qint16 pos = int16Of(value);
    const int page = ((int(pos) % 7) + 7) % 7 + 1;
    return QString::number(int(pos) + 1) + QStringLiteral(" (") + QString::number(page) + QStringLiteral(")");
}

bool hasEntry(const StateTableEntry &entry) {
    return !entry.Code.isEmpty() || !entry.Name.isEmpty() || !entry.Picture.isEmpty() || !entry.PollLetters.isEmpty();
}

// The head words of a "Head key=value key=value" line (the whole line when it holds no "=").
QStringView headOf(QStringView reply) {
    const qsizetype equals = reply.indexOf(u'=');
    if (equals < 0) {
        return reply;
    }
    const qsizetype blank = reply.left(equals).lastIndexOf(u' ');
    return blank < 0 ? QStringView() : reply.left(blank);
}

// Cuts such a line as CrazyList does: hands each key and its value to visit, in order, and
// returns the head. Each piece between two "=" ends with the next key, after its last blank;
// what comes before that blank is the value of the key before. One pass over the characters:
// it runs for every line of a reply.
template <typename Visit>
QStringView cutPairs(QStringView reply, Visit &&visit) {
    const char16_t *text = reply.utf16();
    const qsizetype size = reply.size();
    // The piece from `from` up to the next "=" (or the end); `blank`: its last blank, or -1.
    qsizetype at = 0;
    qsizetype blank = -1;
    const auto piece = [&](qsizetype from) {
        blank = -1;
        for (at = from; at < size && text[at] != u'='; ++at) {
            if (text[at] == u' ') {
                blank = at;
            }
        }
    };
    piece(0);
    if (at == size) {
        return reply;
    }
    const QStringView head = blank < 0 ? QStringView() : QStringView(text, blank);
    QStringView key = blank < 0 ? QStringView(text, at) : QStringView(text + blank + 1, at - blank - 1);
    for (;;) {
        const qsizetype from = at + 1;
        piece(from);
        if (at == size) {
            visit(key, QStringView(text + from, size - from));
            return head;
        }
        const QStringView value = blank < 0 ? QStringView() : QStringView(text + from, blank - from);
        const QStringView nextKey =
            blank < 0 ? QStringView(text + from, at - from) : QStringView(text + blank + 1, at - blank - 1);
        visit(key, value);
        key = nextKey;
    }
}

// One expanded line: key=value, a "pos" value rewritten.
QString pairRow(QStringView key, QStringView value) {
    QString row;
    row.reserve(key.size() + 1 + value.size() + 8);
    row.append(key).append(u'=');
    if (key == u"pos") {
        row.append(rewritePos(value));
    } else {
        row.append(value);
    }
    return row;
}

QString headRow(QStringView head, const QString &updatedAt) {
    return head.toString() + QLatin1String(" - Updated ") + updatedAt;
}

// The number of expanded lines: the head's and one per pair.
qsizetype rowCount(QStringView reply) {
    return reply.count(u'=') + 1;
}

// The expansion as separate lines, without line ends.
QStringList CrazyLines(QStringView reply, const QString &updatedAt) {
    QStringList lines;
    lines.reserve(rowCount(reply));
    lines << QString();
    const QStringView head =
        cutPairs(reply, [&lines](QStringView key, QStringView value) { lines << pairRow(key, value); });
    lines.first() = headRow(head, updatedAt);
    return lines;
}

} // namespace

QString CrazyList(const QString &reply, const QString &updatedAt) {
    if (reply == QLatin1String("OK")) {
        return reply;
    }
    QString out;
    for (const QString &line : CrazyLines(reply, updatedAt)) {
        out += line + CrLf;
    }
    return out;
}

ReplyDecoder::ReplyDecoder(Platform &platform, Telnet &telnet, AutomaticPoll &poll, Timer &resetTimer,
                           RadioState &state, const Timeouts &timeouts, const SkinTables &skin,
                           const LinkSettings &settings, LinkView &view, const LinkHooks &hooks)
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

qint16 ReplyDecoder::pollReload() const {
    return m_state.poll.RadioStandby ? m_timeouts.PollWhenOff : m_timeouts.PollWhenOn;
}

qint16 ReplyDecoder::fullReload() const {
    return m_state.poll.RadioStandby ? m_timeouts.CheckAllOff : m_timeouts.CheckAllOn;
}

QString ReplyDecoder::updatedAtNow() const {
    return QLocale().toString(m_platform.wallClock().now(), QLocale::ShortFormat);
}

QString ReplyDecoder::metaStatus() const {
    return m_view.MetaList.size() > 5 ? m_view.MetaList[5] : QString();
}

namespace {

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

} // namespace

ReplyDecoder::DerivedInputs ReplyDecoder::derivedInputs() const {
    const RadioState &s = m_state;
    return DerivedInputs{s.MenuState,
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
                         metaStatus(),
                         m_lastItemSeen,
                         m_lastPictureShown};
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
        m_updatedAt = updatedAtNow();
        // Lines are looked at in place; the copy keeps them valid once LastReply is emptied.
        const QString reply = ch.LastReply;
        // Every line is applied to the state in order, but what follows from the state (the
        // screen rules, the poll flags, the debug text) is worked out again only after a line
        // that changed something FillDebug or WhatAutos reads: equal inputs give equal
        // results, so skipping the run changes nothing. Between two lines nothing else runs, so
        // each kind of line says itself whether it changed such an input. A radio repeating
        // its status in thousands of lines costs one run per change, not one per line. The
        // first line of a reply always runs it, as the state may have moved on since the last.
        bool settled = false;
        DerivedInputs settledInputs;
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
            bool touched = false; // the line changed an input of FillDebug
            const auto known = [&] {
                recognised = true;
                m_view.PointerBorderColour = LinkColour::Green;
                if (m_resetTimer.isEnabled()) {
                    m_resetTimer.setEnabled(false);
                    touched = true;
                }
                ch.LastReply.clear();
                m_view.touch();
            };
            // Which kind of line, by its first letter before anything else.
            const char16_t first = line.front().unicode();
            if (first != u'L' && first != u'M' && first != u'S' && first != u'V') {
                // Of no known kind: nothing to apply.
            } else if (line.startsWith(QLatin1String("List"))) {
                known();
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
            } else if (line.startsWith(QLatin1String("Menu"))) {
                known();
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
            } else if (line.startsWith(QLatin1String("Meta"))) {
                known();
                if (m_state.holds.MetaListHold || !same(line, lastMeta)) {
                    lastMeta = m_state.holds.MetaListHold ? lastMeta : line;
                    touched = makeMetaList(line) || touched;
                }
                ReplyHandshake::arrived(m_state, ReplyHandshake::Data::Meta);
            } else if (line.startsWith(QLatin1String("STAT"))) {
                known();
                if (line.startsWith(QLatin1String("STATE="))) {
                    const QStringView power = line.mid(6);
                    touched = touched || m_state.poll.ExpectState || m_state.PowerState != power;
                    m_state.poll.ExpectState = false;
                    m_state.PowerState = power.toString();
                    ReplyHandshake::arrived(m_state, ReplyHandshake::Data::State);
                }
            } else if (line.startsWith(QLatin1String("VER="))) {
                known();
                m_state.VersionText = line.mid(4).toString();
                ReplyHandshake::arrived(m_state, ReplyHandshake::Data::Version);
            } else if (line.startsWith(QLatin1String("VOL="))) {
                known();
                touched = touched || m_state.poll.ExpectVolume;
                if (!same(m_state.VolumeText, line.mid(4))) {
                    m_state.VolumeText = line.mid(4).toString();
                }
                m_view.VolumeAdjusterEnabled = true;
                m_state.poll.ExpectVolume = false;
                if (!m_state.holds.VolumeDragging) {
                    const qint16 volume = int16Of(m_state.VolumeText);
                    m_view.VolumeAdjusterValue = std::clamp<int>(volume, 0, 100);
                    sliderValue = m_view.VolumeAdjusterValue;
                }
                m_state.holds.VolumeDragging = false;
                m_state.holds.VolumeSetByProgram = false;
                ReplyHandshake::arrived(m_state, ReplyHandshake::Data::Volume);
                ++volumeLines;
            }
            if (!settled || touched) {
                showRows(); // the rules and whoever they call may look at the lists
                const DerivedInputs inputs = derivedInputs();
                FillDebug();
                settledInputs = derivedInputs();
                // A run that changed what it reads (leaving night mode rewrites the screen, a
                // back-out empties PreviousMenuState) may change more when run again.
                settled = settledInputs == inputs;
            }
        }
        // Of all the list lines, only the last of each kind is expanded into the lists.
        showRows();
        if (sliderValue) {
            // The slider moves inside the raised flag, not at the next redraw: otherwise the
            // window would take the program's move for the user's and send volume keys back.
            m_state.holds.VolumeSetByProgram = true;
            Q_EMIT m_view.volumeAdjusterSet(*sliderValue);
            m_state.holds.VolumeSetByProgram = false;
        }
        if (volumeLines > 0) {
            // One more line end per "VOL=" line; of a long run only what the terminal keeps.
            m_view.appendTerminal(CrLf.repeated(std::min<qsizetype>(volumeLines, LinkView::TerminalLimit / 2)));
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

void ReplyDecoder::MakeMenuList(QStringView reply) {
    makeMenuList(reply);
    showRows();
}

void ReplyDecoder::MakeMetaList(QStringView reply) {
    makeMetaList(reply);
    showRows();
}

void ReplyDecoder::MakeInfoList(QStringView reply) {
    makeInfoList(reply);
    showRows();
}

void ReplyDecoder::showRows() {
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

QString ReplyDecoder::shownMetaStatus() const {
    return m_metaRows ? m_metaRowsStatus : metaStatus();
}

bool ReplyDecoder::makeMenuList(QStringView reply) {
    bool changed = false;
    // Values are copied only when they differ: most lines repeat the last.
    const auto take = [&changed](QString &field, QStringView value) {
        if (!same(field, value)) {
            field = value.toString();
            changed = true;
        }
    };
    cutPairs(reply, [&](QStringView key, QStringView value) {
        if (same(key, u"state")) {
            // Garbled when longer: no screen rules for it.
            take(m_state.MenuState, value.size() > 4 ? QStringView() : value);
            if (m_state.MenuState != m_state.PreviousMenuState && !m_state.MenuState.isEmpty() &&
                NumericText::Val(m_state.MenuState) == 14) {
                changed = changed || !m_view.SearchBoxVisible;
                m_view.SearchBoxVisible = true;
                showRows(); // whoever takes the focus may look at the lists
                Q_EMIT m_view.searchBoxFocusRequested();
            }
            take(m_state.PreviousMenuState, m_state.MenuState);
        } else if (same(key, u"mp")) {
            take(m_state.MenuPage, value);
        } else if (same(key, u"ms")) {
            take(m_state.SelectedMenuItem, value);
        }
    });
    const int item = int16Of(m_state.SelectedMenuItem);
    if (!m_state.holds.MenuListHold) {
        m_menuRows = reply;
        m_view.MenuListIndex = std::min<int>(m_view.MenuListIndex, int(rowCount(reply)) - 1);
    }
    if (!m_state.holds.MainMenuListHold) {
        m_view.MainMenuListIndex = item;
    }
    m_state.holds.MenuListHold = false;
    m_state.holds.MainMenuListHold = false;
    m_view.touch();
    return changed;
}

bool ReplyDecoder::makeMetaList(QStringView reply) {
    if (m_state.holds.MetaListHold) {
        return false;
    }
    // The sixth line, the status, is the only one looked at before the rows are shown.
    QStringView statusKey, statusValue;
    int pair = 0;
    cutPairs(reply, [&](QStringView key, QStringView value) {
        if (++pair == 5) {
            statusKey = key;
            statusValue = value;
        }
    });
    const QString status = shownMetaStatus();
    const bool unchanged = pair >= 5 ? !same(statusKey, u"pos") &&
                                           status.size() == statusKey.size() + 1 + statusValue.size() &&
                                           same(QStringView(status).left(statusKey.size()), statusKey) &&
                                           status.at(statusKey.size()) == u'=' &&
                                           same(QStringView(status).mid(statusKey.size() + 1), statusValue)
                                     : status.isEmpty();
    if (!unchanged) {
        m_metaRowsStatus = pair >= 5 ? pairRow(statusKey, statusValue) : QString();
    } else {
        m_metaRowsStatus = status;
    }
    m_metaRows = reply;
    m_view.MetaListIndex = std::min<int>(m_view.MetaListIndex, int(rowCount(reply)) - 1);
    m_view.touch();
    return !unchanged;
}

void ReplyDecoder::makeInfoList(QStringView reply) {
    if (m_state.holds.InfoListHold) {
        m_state.holds.InfoListHold = false; // this one reply is not shown
        return;
    }
    // The position within the page, from the "pos" line (any line beginning so).
    const auto takePosition = [this](const QString &row) {
        if (row.startsWith(QLatin1String("pos"))) {
            const qsizetype open = row.indexOf(QLatin1Char('('));
            if (open >= 0) {
                m_state.SelectedListItem = QString::number(int16Of(QStringView(row).mid(open + 1)));
            }
        }
    };
    const QStringView head = headOf(reply);
    if (head.startsWith(QLatin1String("pos"))) {
        takePosition(headRow(head, m_updatedAt.isNull() ? updatedAtNow() : m_updatedAt));
    }
    cutPairs(reply, [&](QStringView key, QStringView value) {
        if (key == u"pos") {
            // What rewritePos puts in brackets: the place on a page of seven.
            const int pos = int16Of(value);
            m_state.SelectedListItem = QString::number((pos % 7 + 7) % 7 + 1);
        } else if (key.startsWith(QLatin1String("pos"))) {
            takePosition(pairRow(key, value));
        }
    });
    // The first line beginning with that number is selected.
    m_view.InfoListIndex = -1;
    if (!m_state.SelectedListItem.isEmpty()) {
        const QChar wanted = m_state.SelectedListItem.at(0);
        int row = 0;
        if ((head.isEmpty() ? QChar(u' ') : head.front()) == wanted) {
            m_view.InfoListIndex = 0;
        } else {
            cutPairs(reply, [&](QStringView key, QStringView) {
                ++row;
                if (m_view.InfoListIndex < 0 && (key.isEmpty() ? QChar(u'=') : key.front()) == wanted) {
                    m_view.InfoListIndex = row;
                }
            });
        }
    }
    m_infoRows = reply;
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

    // Before the radio has named an item or a screen (or after a garbled menu reply) there is
    // none: an empty text would read as 0 and pass for the power item and the main menu.
    const qint16 item = m_state.SelectedMenuItem.isEmpty() ? qint16(-1) : int16Of(m_state.SelectedMenuItem);
    const qint16 screen = m_state.MenuState.isEmpty() ? qint16(-1) : int16Of(m_state.MenuState);
    const bool itemInTable = item >= 0 && item < SkinTables::TableSize;
    const bool screenInTable = screen >= 0 && screen < SkinTables::TableSize;

    if (!m_view.MacroListVisible && !m_hooks.macroWaitTimerRunning() && !m_state.poll.RadioStandby &&
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
    } else if (screenInTable) {
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

void ReplyDecoder::stopPleaseWait() {
    m_state.WaitFrame = -2;
    Q_EMIT m_view.pleaseWaitStopRequested();
}

void ReplyDecoder::WhatAutos() {
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
        const QString status = metaStatus().toLower();
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
