#include "app/Program.h"

#include "app/Version.h"
#include "display/Skin.h"
#include "main_window/ConfigForm.h"
#include "main_window/MainWindowRules.h"
#include "platform/Platform.h"
#include "settings/WidgetPlacement.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QPushButton>
#include <QScreen>

namespace {

QString executablePath(const QString &folder, const QString &name) {
    return QDir(folder).filePath(name);
}

} // namespace

Program::Program(Platform &platform, const QString &programFolder, const QString &executableName, QObject *parent)
    : QObject(parent)
    , beep([] { QApplication::beep(); })
    , endProgram([] { QCoreApplication::quit(); })
    , m_platform(platform)
    , m_instance([&] {
        m_ini.SetProgramPaths(executablePath(programFolder, executableName));
        return m_ini.SettingsFile();
    }()) {}

Program::~Program() {
    m_formPlacement.reset();
    m_form.reset();
}

bool Program::start() {
    if (!m_instance.TryAcquire()) {
        if (beep) {
            beep();
        }
        return false;
    }

    m_form = std::make_unique<ConfigForm>(m_commands);
    m_formPlacement = std::make_unique<WidgetPlacement>(*m_form, QStringLiteral("ConfigForm"));

    // A fresh device state: no screen seen yet.
    m_state = RadioState{};
    m_state.LastScreen = -1;

    // Centred first; a saved placement wins.
    if (const QScreen *screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        m_form->move(area.center() - m_form->rect().center());
    }
    m_ini.RestoreWindowPlacement(*m_formPlacement);

    m_versionString = VersionString();
    m_form->setWindowTitle(MainCaption());

    GeneralSettings settings;
    ReadGeneralSettings(m_ini, settings);
    m_currentRemote = settings.LastRemote;
    m_form->applySettings(settings);

    // The layout list and the keyboard grid are built here once their subsystems exist.

    ReloadButton_Click();

    // The macros are loaded here once the macro engine exists.

    wireMainWindow();
    m_form->show();
    m_form->measureBorders();
    // The remote window and the information panel are shown here once they exist.

    const int power = m_commands.indexOf(QStringLiteral("POWER"));
    if (power >= 0) {
        m_commands.select(power);
    }

    queueCommand(1, QStringLiteral("VERSION"));
    queueCommand(1, QStringLiteral("STATE"));
    queueCommand(1, QStringLiteral("MINFO"));
    m_state.FullRefreshDue = true;
    return true;
}

void Program::ReloadButton_Click() {
    m_commands.LoadFromFolder(m_ini.ProgramFolder());
    if (m_currentRemote.isEmpty()) {
        m_currentRemote =
            m_ini.ReadSetting(QStringLiteral("General"), QStringLiteral("LastRemote"), QStringLiteral("remote1"));
    }
    GetTheIndexs(m_skin, m_ini, m_ini.ProgramFolder());
    GetTheMenuArray(m_skin, m_ini.ProgramFolder());
    // The display window redraws from the new skin here once it exists.
    m_ini.ReadTimeouts(m_timeouts);
    // The macro file and the current layout are reloaded, and the remote window shown, here
    // once those subsystems exist.
}

void Program::wireMainWindow() {
    ConfigForm &form = *m_form;
    connect(&form, &ConfigForm::unloading, this, &Program::Form_Unload);
    connect(&form, &ConfigForm::sendCommand, this, [this](const QString &command) { queueCommand(0, command); });

    form.setTerminalText(m_terminal.text());
    connect(&m_terminal, &TerminalText::changed, &form, [this] { m_form->setTerminalText(m_terminal.text()); });
    connect(&form, &ConfigForm::terminalCleared, &m_terminal, &TerminalText::Clear);
    connect(&form, &ConfigForm::terminalEdited, &m_terminal, &TerminalText::SetText);

    connect(form.UpdateDisplayLabels(), &QCheckBox::clicked, this,
            [this](bool ticked) { UpdateDisplayLabelsClicked(ticked, m_state, m_timeouts); });

    // The display window, the console window and the remote window's guide are wired here
    // once they exist.
    form.DisplayButton()->setEnabled(false);
}

void Program::queueCommand(int channel, const QString &command) {
    Q_UNUSED(channel);
    Q_UNUSED(command);
}

void Program::Form_Unload() {
    if (m_unloaded || !m_form) {
        return;
    }
    m_unloaded = true;

    GeneralSettings settings;
    m_form->collectSettings(settings);
    settings.LastRemote = m_currentRemote;
    WriteGeneralSettings(m_ini, settings);

    // The console, display, information, macro, remote and update windows close here, in
    // that order, once they exist.

    m_ini.SaveWindowPlacement(*m_formPlacement, false);

    if (endProgram) {
        endProgram();
    }
}
