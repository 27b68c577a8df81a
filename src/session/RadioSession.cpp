#include "session/RadioSession.h"

#include "macros/MacroCompiler.h"
#include "platform/Platform.h"
#include "platform/Timer.h"
#include "radio_link/RadioLink.h"
#include "radio_link/RadioState.h"
#include "session/InfoPanel.h"
#include "session/MacroRunner.h"
#include "session/PanelSurroundings.h"
#include "session/StatusDecoding.h"
#include "settings/GeneralSettings.h"
#include "skin/Skin.h"

#include <QDir>
#include <QMetaMethod>

#include <algorithm>

// The runner's questions answered from the session's own data: the link's settings for the
// "Auto Refresh Labels" box, and the search text the session keeps; the link and the panel
// answer the rest.
class RadioSession::Surroundings final : public PanelSurroundings {
public:
    Surroundings(RadioLink &link, InfoPanel &panel, QString &searchText)
        : PanelSurroundings(link.view, panel)
        , m_link(link)
        , m_searchText(searchText) {}

    bool displayLabels() const override { return m_link.settings.UpdateDisplayLabels; }
    void setDisplayLabels(bool on) override { m_link.settings.UpdateDisplayLabels = on; }
    QString searchText() const override { return m_searchText; }
    void setSearchText(const QString &text) override { m_searchText = text; }

private:
    RadioLink &m_link;
    QString &m_searchText;
};

namespace {

// How often the session looks whether the link went idle while something is on its way and
// someone waits for it, besides the link's own events. Only a cadence for looking: no rule of
// the link depends on it.
constexpr int IdleBackstopMs = 20;

std::unique_ptr<INIFILES> settingsIn(const QString &programFolder, const QString &executableName) {
    auto settings = std::make_unique<INIFILES>();
    settings->SetProgramPaths(QDir(programFolder).filePath(executableName));
    return settings;
}

} // namespace

RadioSession::RadioSession(Platform &platform, const QString &programFolder, const QString &executableName,
                           QObject *parent)
    : RadioSession(platform, *settingsIn(programFolder, executableName).release(), parent) {
    m_ownSettings.reset(&m_ini);
}

RadioSession::RadioSession(Platform &platform, INIFILES &settings, QObject *parent)
    : QObject(parent)
    , m_platform(platform)
    , m_ini(settings)
    , m_state(std::make_unique<RadioState>()) {
    m_link = std::make_unique<RadioLink>(platform, *m_state, m_timeouts, m_skin);
    m_link->settings.ProgramFolder = m_ini.ProgramFolder();
    connect(&m_link->view, &RadioView::commandsNotSent, this, &RadioSession::commandsNotSent);
    m_panel =
        std::make_unique<InfoPanel>(platform, *m_link, *m_state, m_timeouts, m_skin, m_macros, m_ini.ProgramFolder());
    m_runner =
        std::make_unique<MacroRunner>(platform, m_link->telnet, m_link->poll, *m_state, m_timeouts, m_macros, m_skin);
    wireRunner();
    wireEvents();
}

RadioSession::~RadioSession() {
    // The runner and the panel ask the link; they go first.
    m_link->hooks.answerMacroQuestions(NoMacroRuns());
    m_runner.reset();
    m_surroundings.reset();
    m_panel.reset();
    m_link.reset();
}

void RadioSession::wireRunner() {
    RadioLink &link = *m_link;
    MacroRunner &runner = *m_runner;
    InfoPanel &panel = *m_panel;
    runner.shareWaitFrame(m_state->WaitFrame); // a display's animation plays the same frames

    link.hooks.answerMacroQuestions(runner);
    connect(&link.view, &RadioView::macroTrace, &runner, &MacroRunner::AddToMacroText);

    connect(&panel, &InfoPanel::macroStartRequested, &runner, &MacroRunner::Start);
    connect(&panel, &InfoPanel::macroStopRequested, &runner, &MacroRunner::Stop);

    m_surroundings = std::make_unique<Surroundings>(link, panel, m_searchText);
    runner.setSurroundings(*m_surroundings);

    connect(&runner, &MacroRunner::changed, this, [this] {
        const bool running = m_runner->running();
        if (m_macroWasRunning && !running) {
            m_macroWasRunning = false;
            Q_EMIT macroEnded(m_runner->outcome(), m_runner->outcomeLine());
        }
        m_macroWasRunning = running;
    });
    connect(&runner, &MacroRunner::traceAppended, this, &RadioSession::macroTrace);
    connect(&runner, &MacroRunner::stepCommandSent, this, &RadioSession::macroStepSent);
    // The panel's volume slider steers the volume the one way every front end does.
    connect(&panel, &InfoPanel::volumeRequested, this, &RadioSession::setVolume);
}

void RadioSession::wireEvents() {
    RadioView &view = m_link->view;
    connect(&view, &RadioView::commandSent, this, [this](int channel, const QString &command) {
        if (channel == 1 && command == QLatin1String("VERSION")) {
            m_versionAsked = true; // a full refresh asks for the version last
        }
        Q_EMIT commandSent(command, channel == 1);
        scheduleLook();
    });
    connect(&view, &RadioView::replyReceived, this, [this](int channel, const QString &reply) {
        Q_EMIT replyReceived(reply, channel == 1);
        scheduleLook();
    });
    connect(&view, &RadioView::commandUnanswered, this, &RadioSession::commandUnanswered);
    connect(&view, &RadioView::connectFailed, this, &RadioSession::connectFailed);
    connect(&view, &RadioView::volumeReported, this, &RadioSession::volumeReported);
    connect(&view, &RadioView::displayScreenRequested, this, &RadioSession::screenRequested);
    connect(&view, &RadioView::changed, this, &RadioSession::linkChanged);
    // The events after which the link may have gone quiet: a gap has passed, a reply was read.
    connect(&m_link->telnet.CheckOutBuffer(), &Timer::timeout, this, &RadioSession::scheduleLook);
    connect(&m_link->connection.TimerCheckTelnet(), &Timer::timeout, this, &RadioSession::scheduleLook);
    m_idleBackstop = m_platform.createTimer();
    m_idleBackstop->setInterval(IdleBackstopMs);
    connect(m_idleBackstop.get(), &Timer::timeout, this, &RadioSession::lookForIdle);
}

void RadioSession::linkChanged() {
    // Whether the screen shows a cover is a search of the skin: made again only when the screen
    // (or the skin) changes.
    if (!m_coverKnown || m_coverScreen != m_state->ScreenPictureName) {
        m_coverScreen = m_state->ScreenPictureName;
        m_coverShown = ScreenShowsCover(m_skin, m_coverScreen);
        m_coverKnown = true;
    }
    RadioStatus now = DecodeStatus(*m_state, m_link->view, m_skin, m_coverShown, m_ini.ProgramFolder());
    if (!(now == m_status)) {
        m_status = std::move(now);
        Q_EMIT statusChanged();
    }
    scheduleLook();
}

bool RadioSession::idle() const {
    return m_link->idle();
}

void RadioSession::scheduleLook() {
    if (!m_lookQueued) {
        m_lookQueued = true;
        QMetaObject::invokeMethod(this, &RadioSession::lookForIdle, Qt::QueuedConnection);
    }
}

void RadioSession::lookForIdle() {
    m_lookQueued = false;
    const bool nowIdle = idle();
    if (!m_refreshed) {
        const RadioState::FreshData &fresh = m_state->fresh;
        const bool everything = fresh.FreshMenu && fresh.FreshList && fresh.FreshMeta && fresh.FreshVolume &&
                                fresh.FreshVersion && fresh.FreshState;
        // The full refresh asks for the version last: once that query has gone and the link is
        // quiet, every answer the radio was going to give is in, even when some never came.
        if (everything || (m_versionAsked && nowIdle && !m_link->telnet.hasLive(1))) {
            m_refreshed = true;
            Q_EMIT firstRefreshAnswered();
        }
    }
    const bool watched = isSignalConnected(QMetaMethod::fromSignal(&RadioSession::becameIdle)) ||
                         isSignalConnected(QMetaMethod::fromSignal(&RadioSession::firstRefreshAnswered));
    if (nowIdle && !m_wasIdle) {
        m_wasIdle = true;
        Q_EMIT becameIdle();
    } else if (!nowIdle) {
        m_wasIdle = false;
    }
    // Not every step towards quiet is an event of its own (a connection that ends in the
    // middle of another's handling); while someone waits, the session looks now and then.
    const bool waiting = watched && (!nowIdle || !m_refreshed);
    if (waiting != m_idleBackstop->isEnabled()) {
        m_idleBackstop->setEnabled(waiting);
    }
}

void RadioSession::loadSettings() {
    GeneralSettings settings;
    ReadGeneralSettings(m_ini, settings);
    setLinkOptions(linkOptionsOf(settings));
}

LinkOptions RadioSession::linkOptionsOf(const GeneralSettings &settings) {
    return LinkOptions{settings.RaidoURL, settings.RaidoPORT, settings.KeepConnected, settings.AutoRefresh,
                       settings.Auto21Exit};
}

LinkOptions RadioSession::linkOptions() const {
    const LinkSettings &link = m_link->settings;
    return LinkOptions{link.txtUrl, link.txtPort, link.KeepAsConnected, link.UpdateDisplayLabels, link.Auto21Backout};
}

void RadioSession::setLinkOptions(const LinkOptions &options) {
    LinkSettings &link = m_link->settings;
    const bool keepChanged = link.KeepAsConnected != options.keepConnected;
    link.txtUrl = options.host;
    link.txtPort = options.port;
    link.KeepAsConnected = options.keepConnected;
    link.UpdateDisplayLabels = options.refreshLabels;
    link.Auto21Backout = options.backOutOfErrorScreen;
    showRadioAddress();
    if (keepChanged && m_started) {
        m_link->connection.KeepAsConnected_Click();
    }
}

void RadioSession::loadData() {
    // The order of the Reload action: skin, timeouts, macros.
    const QString folder = m_ini.ProgramFolder();
    GetTheIndexs(m_skin, m_ini, folder);
    GetTheMenuArray(m_skin, folder);
    m_coverKnown = false; // the new skin may place the cover elsewhere
    Q_EMIT skinLoaded();
    m_ini.ReadTimeouts(m_timeouts);
    LoadMacros(m_macros, folder);
    // Each line of the macro file that could not be read is said once per load, where a user
    // looks: the terminal, and the macro window's trace.
    for (const QString &problem : std::as_const(m_macros.Problems)) {
        m_link->view.appendTerminal(QLatin1Char('[') + problem + QStringLiteral("]\r\n"));
        m_runner->AddToText(problem + QStringLiteral("\r\n"));
    }
    m_link->view.touch();
    m_link->view.flush();
}

void RadioSession::setRadioAddress(const QString &host, quint16 port) {
    m_link->settings.txtUrl = host;
    m_link->settings.txtPort = QString::number(port);
    showRadioAddress();
}

void RadioSession::showRadioAddress() {
    const QString address = RadioConnection::addressText(m_link->settings.txtUrl, m_link->settings.txtPort);
    if (m_link->view.RadioAddress != address) {
        m_link->view.RadioAddress = address;
        m_link->view.touch();
        m_link->view.flush();
    }
}

void RadioSession::start() {
    m_started = true;
    m_link->start();
    linkChanged();
}

bool RadioSession::pressKey(const QString &command) {
    scheduleLook();
    return m_link->pressKey(command);
}

bool RadioSession::sendCommand(const QString &command) {
    scheduleLook();
    return m_link->telnet.QueueCommand(0, command);
}

QString RadioSession::gapCommand() {
    return QLatin1String(Telnet::Delay);
}

void RadioSession::typeKeys(const QStringList &keys) {
    scheduleLook();
    m_link->telnet.FeedKeys(keys);
}

QStringList RadioSession::commandsWaiting() const {
    return m_link->telnet.pending(0);
}

void RadioSession::cancelKeys() {
    m_link->telnet.ClearChannel(0);
}

bool RadioSession::setVolume(int target) {
    // Whoever shows the volume waits for the radio's answer; a volume reply enables it again.
    m_link->view.VolumeAdjusterEnabled = false;
    const bool sent = SetVolume(m_link->telnet, *m_state, target);
    if (!sent) {
        // Nothing to send (already there, or the volume is not known yet): the answer to this
        // query puts whoever shows it back where the radio is.
        refresh(Refresh::Volume);
    }
    m_link->view.touch();
    m_link->view.flush();
    return sent;
}

void RadioSession::refresh(Refresh what) {
    scheduleLook();
    if (what == Refresh::Volume) {
        m_link->poll.RefreshQuery(QStringLiteral("VOLUME"));
    } else {
        m_link->poll.pollNow();
    }
}

void RadioSession::notice(const QString &line) {
    m_link->view.appendTerminal(line + QStringLiteral("\r\n"));
    m_link->view.touch();
    m_link->view.flush();
}

void RadioSession::postponeRefresh() {
    m_link->poll.postpone();
}

void RadioSession::askSoon(Ask what) {
    using Query = AutomaticPoll::Query;
    switch (what) {
    case Ask::Soon:
        break;
    case Ask::State:
        m_link->poll.askFor(Query::State);
        break;
    case Ask::Version:
        m_link->poll.askFor(Query::Version);
        break;
    case Ask::Volume:
        m_link->poll.askFor(Query::Volume);
        break;
    case Ask::Menu:
        m_link->poll.askFor(Query::Menu);
        break;
    case Ask::List:
        m_link->poll.askFor(Query::List);
        break;
    case Ask::Meta:
        m_link->poll.askFor(Query::Meta);
        break;
    }
    m_link->poll.pollIn(0);
}

void RadioSession::screenLeft() {
    m_link->poll.forgetQueries();
}

RadioView &RadioSession::view() {
    return m_link->view;
}

const RadioView &RadioSession::view() const {
    return m_link->view;
}

QString RadioSession::reported(Ask what) const {
    switch (what) {
    case Ask::State:
        return m_state->PowerState;
    case Ask::Version:
        return m_state->VersionText;
    case Ask::Volume:
        return m_state->VolumeText;
    case Ask::Menu:
        return m_state->MenuState;
    case Ask::Soon:
    case Ask::List:
    case Ask::Meta:
        break;
    }
    return {};
}

qint16 &RadioSession::waitFrame() {
    return m_state->WaitFrame;
}

void RadioSession::askAtStart() {
    scheduleLook();
    m_link->askAtStart();
}

void RadioSession::connectRadio() {
    m_link->connection.ConnectButton_Click();
}

void RadioSession::disconnectRadio() {
    m_link->connection.DisconnectButton_Click();
}

void RadioSession::retry() {
    m_link->connection.RetryButton_Click();
}

void RadioSession::cancelConnecting() {
    m_link->connection.StatusBar_PanelClick();
}

void RadioSession::closeConnections() {
    for (int channel = 0; channel < 2; ++channel) {
        TcpSocket &port = m_link->connection.RadioPort(channel);
        if (port.State() != TcpSocket::sckClosed) {
            port.Close();
        }
    }
}

ConnectExtraTime &RadioSession::sharedConnectTime() {
    return m_link->connection.ConnectExtra;
}

bool RadioSession::startMacro(const QString &name) {
    const auto &macros = m_macros.Macros;
    const auto found =
        std::find_if(macros.begin(), macros.end(), [&name](const MacroDef &m) { return m.Name == name; });
    if (found == macros.end()) {
        return false;
    }
    m_runner->Start(int(found - macros.begin()));
    return true;
}

void RadioSession::stopMacro() {
    m_runner->Stop();
}

bool RadioSession::macroRunning() const {
    return m_runner->running();
}
