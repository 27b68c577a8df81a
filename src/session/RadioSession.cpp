#include "session/RadioSession.h"

#include "display/Skin.h"
#include "info_panel/InfoPanel.h"
#include "macros/MacroCompiler.h"
#include "macros/MacroRunner.h"
#include "main_window/GeneralSettings.h"
#include "radio_link/RadioLink.h"
#include "remote/RemoteControl.h"
#include "session/PanelSurroundings.h"

#include <QDir>

#include <algorithm>

// The runner's questions answered from the session's own data: the link's settings for the
// "Auto Refresh Labels" box, and the search text the session keeps; the link and the panel
// answer the rest.
class RadioSession::Surroundings final : public PanelSurroundings {
public:
    Surroundings(RadioLink &link, InfoPanel &panel, QString &searchText)
        : PanelSurroundings(link, panel)
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
    , m_ini(settings) {
    m_link = std::make_unique<RadioLink>(platform, m_state, m_timeouts, m_skin);
    m_link->settings.ProgramFolder = m_ini.ProgramFolder();
    connect(&m_link->view, &LinkView::commandsNotSent, this, &RadioSession::commandsNotSent);
    m_panel =
        std::make_unique<InfoPanel>(platform, *m_link, m_state, m_timeouts, m_skin, m_macros, m_ini.ProgramFolder());
    m_runner =
        std::make_unique<MacroRunner>(platform, m_link->telnet, m_link->poll, m_state, m_timeouts, m_macros, m_skin);
    wireRunner();
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
    runner.shareWaitFrame(m_state.WaitFrame); // a display's animation plays the same frames

    link.hooks.answerMacroQuestions(runner);
    connect(&link.view, &LinkView::macroTrace, &runner, &MacroRunner::AddToMacroText);

    connect(&panel, &InfoPanel::macroStartRequested, &runner, &MacroRunner::Start);
    connect(&panel, &InfoPanel::macroStopRequested, &runner, &MacroRunner::Stop);

    m_surroundings = std::make_unique<Surroundings>(link, panel, m_searchText);
    runner.setSurroundings(*m_surroundings);

    connect(&runner, &MacroRunner::changed, this, [this] {
        const bool running = m_runner->running();
        if (m_macroWasRunning && !running) {
            m_macroWasRunning = false;
            Q_EMIT macroEnded();
        }
        m_macroWasRunning = running;
    });
}

void RadioSession::loadSettings() {
    GeneralSettings settings;
    ReadGeneralSettings(m_ini, settings);
    applyLinkSettings(settings, m_link->settings);
}

void RadioSession::applyLinkSettings(const GeneralSettings &settings, LinkSettings &link) {
    link.txtUrl = settings.RaidoURL;
    link.txtPort = settings.RaidoPORT;
    link.KeepAsConnected = settings.KeepConnected;
    link.UpdateDisplayLabels = settings.AutoRefresh;
    link.Auto21Backout = settings.Auto21Exit;
}

void RadioSession::loadData() {
    // The order of the Reload action: skin, timeouts, macros.
    const QString folder = m_ini.ProgramFolder();
    GetTheIndexs(m_skin, m_ini, folder);
    GetTheMenuArray(m_skin, folder);
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
}

void RadioSession::start() {
    m_link->start();
}

bool RadioSession::pressKey(const QString &command) {
    return SendRemoteKey(m_link->telnet, m_link->poll, command);
}

bool RadioSession::sendCommand(const QString &command) {
    return m_link->telnet.QueueCommand(0, command);
}

void RadioSession::typeKeys(const QStringList &keys) {
    m_link->telnet.FeedKeys(keys);
}

bool RadioSession::setVolume(int target) {
    return SetVolume(m_link->telnet, m_state, target);
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
