#include "session/InfoPanel.h"

#include "macros/MacroCompiler.h"
#include "macros/MacroTable.h"
#include "platform/NumericText.h"
#include "platform/Platform.h"
#include "radio_link/RadioLink.h"
#include "radio_link/RadioState.h"
#include "settings/Timeouts.h"
#include "skin/SkinTables.h"

#include <algorithm>
#include <cstdlib>

namespace {

// The main menu is a grid of four columns holding entries 1 to 20.
constexpr int MenuColumns = 4;
constexpr int LastMenuEntry = 20;
// The radio's screen numbers of its main menu, and of a message it shows until the next key.
constexpr int MainMenuScreen = 0;
constexpr int MessageScreen = 30;

// The main-menu entry the radio last reported its cursor on; none when it has not reported one
// inside the grid.
std::optional<int> reportedEntry(const RadioState &state) {
    qint16 entry = 0;
    if (!NumericText::HasNumber(state.SelectedMenuItem) || !NumericText::ValToInt16(state.SelectedMenuItem, entry) ||
        entry < 1 || entry > LastMenuEntry) {
        return std::nullopt;
    }
    return entry;
}

} // namespace

std::optional<int> ReportedVolume(const RadioState &state) {
    qint16 volume = 0;
    if (!NumericText::HasNumber(state.VolumeText) || !NumericText::ValToInt16(state.VolumeText, volume)) {
        return std::nullopt;
    }
    return volume;
}

int ReachableVolume(int target) {
    target = std::clamp(target, 0, 100);
    if (target >= 5) {
        const int rest = target % 5;
        target += rest <= 2 ? -rest : 5 - rest;
    }
    return target;
}

int SteppedVolume(int from, int delta) {
    from = std::clamp(from, 0, 100);
    int target = ReachableVolume(from + delta);
    if (delta > 0 && target <= from) {
        target = from < 5 ? from + 1 : (from / 5 + 1) * 5;
    } else if (delta < 0 && target >= from) {
        target = from <= 5 ? from - 1 : (from - 1) / 5 * 5;
    }
    return std::clamp(target, 0, 100);
}

bool SetVolume(Telnet &telnet, RadioState &state, int target) {
    // Fed as the radio takes them: a long way (0 to 100 is 23 keys) goes whole, each key
    // within its time limit.
    QStringList keys;
    const auto press = [&keys](const QString &key) { keys << key; };
    state.holds.VolumeDragging = false;
    target = ReachableVolume(target);
    // Keys toward an earlier target may still be queued or unanswered; the radio has not
    // reported what they did yet. Counting from its last report would step past the target.
    const std::optional<int> from = state.VolumeLead ? state.VolumeLead : ReportedVolume(state);
    if (!from || *from == target) {
        return false;
    }
    int current = *from;
    QString key;
    double steps = 0;
    if (target < current) {
        key = QStringLiteral("VOLm");
        for (int below = target; below < 5 && below < current; ++below) {
            press(key);
        }
        steps = (current - std::max(target, std::min(current, 5))) / 5.0;
    } else {
        key = QStringLiteral("VOLp");
        for (; current < 5 && current < target; ++current) {
            press(key);
        }
        steps = (target - current) / 5.0;
    }
    qint16 count = 0;
    NumericText::ToInt16(steps, count);
    for (int i = 0; i < count; ++i) {
        press(key);
    }
    telnet.FeedKeys(keys);
    state.VolumeLead = target;
    return true;
}

QString InfoPanel::messageRuler() {
    return QStringLiteral("1234567890").repeated(4);
}

InfoPanel::InfoPanel(Platform &platform, RadioLink &link, RadioState &state, const Timeouts &timeouts,
                     const SkinTables &skin, MacroTable &macros, QString programFolder)
    : menu(link.poll)
    , m_platform(platform)
    , m_link(link)
    , m_telnet(link.telnet)
    , m_view(link.view)
    , m_state(state)
    , m_timeouts(timeouts)
    , m_skin(skin)
    , m_macros(macros)
    , m_programFolder(std::move(programFolder))
    , m_halfSecondTick(platform.createTimer()) {
    m_halfSecondTick->setInterval(500);
    connect(m_halfSecondTick.get(), &Timer::timeout, this, &InfoPanel::HalfSecondTick_Timer);
    m_halfSecondTick->setEnabled(true);
    connect(&m_view, &RadioView::changed, this, &InfoPanel::viewChanged);
    m_pendingEntryTimer = platform.createTimer();
    connect(m_pendingEntryTimer.get(), &Timer::timeout, this, &InfoPanel::PendingEntry_Timer);
}

InfoPanel::~InfoPanel() = default;

const QStringList &InfoPanel::MainMenuRows() const {
    return m_skin.MainMenuList;
}

void InfoPanel::queue(const QString &command) {
    // Behind the keys of a navigation still being fed, in the order the panel asked for them.
    m_telnet.Feed({command});
}

void InfoPanel::queueWithPause(const QString &command, int times) {
    // A navigation is a run of keys; fed one at a time, each has its own time to reach the radio.
    m_telnet.FeedKeys(QStringList(times, command));
}

void InfoPanel::flushView() {
    m_view.touch();
    m_view.flush();
}

void InfoPanel::HalfSecondTick_Timer() {
    const QTime now = m_platform.wallClock().now().time();
    // The clock shows whole seconds: one tick just after each second begins shows it as early
    // as two ticks a second did, with half the wake-ups.
    m_halfSecondTick->setInterval(now.isValid() ? 1000 - now.msec() + ClockTickLag : 1000);
    const QString time = now.toString(QStringLiteral("HH:mm:ss"));
    if (time != TimeLabel) {
        TimeLabel = time;
        Q_EMIT changed();
    }
    // Every window redraws on a change of the view: it is announced only when a value differs.
    if (m_view.DeviceState != m_state.PowerState || m_view.DeviceVersion != m_state.VersionText ||
        m_view.DeviceVolume != m_state.VolumeText) {
        m_view.DeviceState = m_state.PowerState;
        m_view.DeviceVersion = m_state.VersionText;
        m_view.DeviceVolume = m_state.VolumeText;
        flushView();
    }
}

void InfoPanel::setClockShown(bool shown) {
    if (shown && !m_halfSecondTick->isEnabled()) {
        HalfSecondTick_Timer(); // the time it was hidden for is not shown
    }
    m_halfSecondTick->setEnabled(shown);
}

void InfoPanel::viewChanged() {
    // An entry asked for before the radio said where its cursor is opens once it has.
    if (m_pendingEntry >= 0 && reportedEntry(m_state)) {
        const int entry = m_pendingEntry;
        m_pendingEntry = -1;
        m_pendingEntryTimer->setEnabled(false);
        OpenMainMenuEntry(entry);
    }
    // The decoder names the radio's current menu; the display marks that name among its labels.
    if (m_view.CurrentMenuLabel != m_lastMenuName) {
        m_lastMenuName = m_view.CurrentMenuLabel;
        Q_EMIT currentMenuNamed(m_lastMenuName);
    }
}

void InfoPanel::holdFlag(PanelList list, bool on) {
    switch (list) {
    case PanelList::MainMenu:
        m_state.holds.MainMenuListHold = on;
        break;
    case PanelList::Menu:
        m_state.holds.MenuListHold = on;
        break;
    case PanelList::Meta:
        m_state.holds.MetaListHold = on;
        break;
    case PanelList::Info:
        m_state.holds.InfoListHold = on;
        break;
    }
}

void InfoPanel::selectRow(PanelList list, int row) {
    switch (list) {
    case PanelList::MainMenu:
        m_view.MainMenuListIndex = row;
        break;
    case PanelList::Menu:
        m_view.MenuListIndex = row;
        break;
    case PanelList::Meta:
        m_view.MetaListIndex = row;
        break;
    case PanelList::Info:
        m_view.InfoListIndex = row;
        break;
    }
    flushView();
}

void InfoPanel::holdRow(PanelList list, int row) {
    holdFlag(list, true);
    selectRow(list, row);
}

void InfoPanel::List_MouseDown(PanelList list, bool rightButton) {
    if (!rightButton) {
        holdFlag(list, true);
        return;
    }
    switch (list) {
    case PanelList::MainMenu:
    case PanelList::Menu:
        menu.Mnu_Minfo_Refresh_Click();
        break;
    case PanelList::Meta:
        menu.Mnu_Meta_Refresh_Click();
        break;
    case PanelList::Info:
        menu.Mnu_Info_Refresh_Click();
        break;
    }
    holdFlag(list, false);
}

bool InfoPanel::List_KeyDown(PanelList list, bool enter) {
    if (list != PanelList::MainMenu && list != PanelList::Info) {
        return false;
    }
    holdFlag(list, true);
    if (!enter) {
        return false;
    }
    if (list == PanelList::MainMenu) {
        MainMenuList_DblClick();
    } else {
        InfoList_DblClick();
    }
    return true;
}

void InfoPanel::followNavigation() {
    // A new navigation starts a fresh transcript, unless a macro's run is being traced there.
    if (!m_link.hooks.macroRunning()) {
        m_view.clearTerminal();
        m_view.flush();
    }
    m_link.poll.refreshIn(200);
}

void InfoPanel::MainMenuList_DblClick() {
    OpenMainMenuEntry(m_view.MainMenuListIndex);
}

void InfoPanel::OpenMainMenuEntry(int target) {
    if (target == 0) {
        queue(QStringLiteral("POWER"));
        return;
    }
    if (target < 0 || target > LastMenuEntry) {
        return;
    }
    // The cursor keys move on the grid only while the radio shows it; on any other screen they
    // would act there (a list's RIGHT turns its page, OK plays). A screen not known to be the
    // main menu (none reported, or a garbled number) counts as another one: HOME on the menu
    // itself does nothing.
    qint16 screen = -1;
    const bool screenKnown =
        NumericText::HasNumber(m_state.MenuState) && NumericText::ValToInt16(m_state.MenuState, screen);
    bool onMainMenu = screenKnown && screen == MainMenuScreen;
    if (m_state.poll.RadioStandby) {
        queue(QStringLiteral("POWER"));
        queue(QLatin1String(Telnet::Delay));
        queue(QLatin1String(Telnet::Delay));
        queueWithPause(QStringLiteral("MINFO"));
        m_state.poll.RadioStandby = false;
        onMainMenu = true; // the radio wakes on its main menu
    }
    // Moves are counted from the entry the radio last reported. Without one inside the grid they
    // would walk the cursor to a wrong entry: ask where it is, and open the entry when the
    // answer comes (within the time a key press may wait).
    const std::optional<int> current = reportedEntry(m_state);
    if (!current) {
        m_pendingEntry = target;
        m_pendingEntryTimer->setEnabled(false);
        m_pendingEntryTimer->setInterval(std::max(1, int(double(m_timeouts.KeyTimeLimit) * 1000)));
        m_pendingEntryTimer->setEnabled(true);
        menu.Mnu_Minfo_Refresh_Click();
        return;
    }
    m_pendingEntry = -1;
    m_pendingEntryTimer->setEnabled(false);
    if (!onMainMenu) {
        // HOME brings the main menu back with its cursor where it was, on the entry the radio
        // reports on every screen (the one opened last): the moves below count from it as they
        // do on the menu itself. A message on the screen goes with the first key, whatever it is.
        if (screenKnown && screen == MessageScreen) {
            queueWithPause(QStringLiteral("HOME"));
        }
        queueWithPause(QStringLiteral("HOME"));
    }
    for (const QString &key : MainMenuMoves(*current, target)) {
        queueWithPause(key);
    }
    queueWithPause(QStringLiteral("OK"));
    followNavigation();
}

QStringList MainMenuMoves(int from, int to) {
    QStringList keys;
    if (from < 1 || from > LastMenuEntry || to < 1 || to > LastMenuEntry) {
        return keys;
    }
    // Row first, then along the row: right whether or not the radio's LEFT and RIGHT wrap into
    // the row above or below.
    const int rows = (to - 1) / MenuColumns - (from - 1) / MenuColumns;
    const int columns = (to - 1) % MenuColumns - (from - 1) % MenuColumns;
    for (int i = 0; i < std::abs(rows); ++i) {
        keys << (rows > 0 ? QStringLiteral("DOWN") : QStringLiteral("UP"));
    }
    for (int i = 0; i < std::abs(columns); ++i) {
        keys << (columns > 0 ? QStringLiteral("RIGHT") : QStringLiteral("LEFT"));
    }
    return keys;
}

void InfoPanel::PendingEntry_Timer() {
    m_pendingEntryTimer->setEnabled(false);
    if (m_pendingEntry < 0) {
        return;
    }
    const int entry = m_pendingEntry;
    m_pendingEntry = -1;
    const QString name = entry < m_skin.MainMenuList.size() ? m_skin.MainMenuList[entry] : QString::number(entry);
    m_view.appendTerminal(
        QStringLiteral("[%1 not opened: the radio did not say which main-menu entry it is on]\r\n").arg(name));
    flushView();
}

void InfoPanel::MainMenuList_Click(int row) {
    if (m_link.hooks.macroWaitTimerRunning() || m_view.MacroListVisible) {
        return;
    }
    if (row >= 0 && row < SkinTables::TableSize) {
        Q_EMIT m_view.loadPictureRequested(m_skin.MenuTable[size_t(row)].Picture);
    }
}

void InfoPanel::MenuList_DblClick() {
    if (m_view.MenuListIndex == 0) {
        queueWithPause(QStringLiteral("STOP"));
        queueWithPause(QStringLiteral("EXIT"));
        queue(QStringLiteral("HOME"));
    }
    m_state.holds.clearLists();
}

void InfoPanel::MetaList_DblClick() {
    if (m_view.MetaListIndex == 0) {
        queue(QStringLiteral("STOP"));
    } else if (m_view.MetaListIndex == 5) {
        queue(QStringLiteral("PAUSE"));
    }
    m_state.holds.MetaListHold = false;
}

void InfoPanel::InfoList_DblClick() {
    m_state.holds.InfoListHold = false;
    const int row = m_view.InfoListIndex;
    if (row < 0 || row >= m_view.InfoList.size()) {
        return;
    }
    // The first two rows are the list's head and position lines: they turn the page.
    if (row == 0) {
        queue(QStringLiteral("LEFT"));
        return;
    }
    if (row == 1) {
        queue(QStringLiteral("RIGHT"));
        return;
    }
    const QString &entry = m_view.InfoList.at(row);
    const int wanted = !entry.isEmpty() && entry.at(0).isDigit() ? entry.at(0).digitValue() : 0;
    const int current = NumericText::Int16Of(m_state.SelectedListItem);
    if (wanted > current) {
        queueWithPause(QStringLiteral("DOWN"), wanted - current);
    } else if (wanted < current) {
        queueWithPause(QStringLiteral("UP"), current - wanted);
    }
    queueWithPause(QStringLiteral("OK"));
    followNavigation();
}

void InfoPanel::RecordButtons_Click() {
    queue(m_view.MetaListEnabled ? QStringLiteral("STOP") : QStringLiteral("RECORD"));
}

void InfoPanel::RefreshButton_Click() {
    m_link.poll.askForAll();
    m_link.poll.deferFullRefresh();
    m_link.poll.pollNow();
}

void InfoPanel::ScrollVolumeLabel_DblClick() {
    queue(QStringLiteral("MUTE"));
}

void InfoPanel::MessageText_Change(const QString &text) {
    MessageText = text;
}

void InfoPanel::SendMessageButton_Click() {
    // An empty message would only blank the radio's display.
    if (MessageText.trimmed().isEmpty()) {
        return;
    }
    const QString command = QStringLiteral("MESSAGE ") + MessageText;
    queue(command);
    StatusMessage = QStringLiteral("rC= ") + command;
    Q_EMIT changed();
}

void InfoPanel::VolumeAdjuster_Scroll(int value) {
    ScrollVolumeLabel = QString::number(value);
    m_state.holds.VolumeDragging = true;
    Q_EMIT changed();
}

void InfoPanel::VolumeAdjuster_Change(int value) {
    // The session steers the volume there; the slider waits for the radio's answer.
    Q_EMIT volumeRequested(value);
    volumeShown(value);
}

int InfoPanel::VolumeAdjuster_Step(int shown, int delta) const {
    return SteppedVolume(m_state.VolumeLead.value_or(shown), delta);
}

void InfoPanel::volumeShown(int value) {
    ScrollVolumeLabel = QString::number(value);
    Q_EMIT changed();
}

void InfoPanel::CurrentMenuImage_DblClick() {
    Q_EMIT m_view.displayScreenRequested(m_state.ScreenPictureName);
    Q_EMIT displayRequested();
}

void InfoPanel::CurrentMenuImage_RightPress(bool modifierHeld) {
    ShowOrHideHiddenMacros(m_macros, modifierHeld, m_programFolder);
    setMacroListVisible(true);
}

void InfoPanel::MacroList_Click(int row) {
    if (row < 0 || size_t(row) >= m_macros.List.Entries.size()) {
        return;
    }
    m_macros.List.Selected = row;
    Q_EMIT macroShowRequested(m_macros.List.Entries[size_t(row)].MacroIndex);
    Q_EMIT changed();
}

void InfoPanel::MacroList_Select(int row) {
    if (row < 0 || size_t(row) >= m_macros.List.Entries.size() || m_macros.List.Selected == row) {
        return;
    }
    m_macros.List.Selected = row;
    Q_EMIT changed();
}

void InfoPanel::MacroList_DblClick(int row) {
    if (row < 0 || size_t(row) >= m_macros.List.Entries.size()) {
        return;
    }
    m_macros.List.Selected = row;
    Q_EMIT macroStartRequested(m_macros.List.Entries[size_t(row)].MacroIndex);
    setMacroListVisible(false);
}

void InfoPanel::MacroList_RightPress() {
    setMacroListVisible(false);
}

void InfoPanel::setMacroListVisible(bool visible) {
    m_view.MacroListVisible = visible;
    flushView();
}

void InfoPanel::MacroLabel_Click() {
    Q_EMIT macroStopRequested();
}
