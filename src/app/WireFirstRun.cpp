#include "app/Program.h"
#include "console/ConsoleWindow.h"
#include "finder/FirstContact.h"
#include "finder/FirstRunDialog.h"
#include "main_window/MainWindow.h"
#include "settings/GeneralSettings.h"
#include "settings/SettingRanges.h"

namespace {

const QString General = QStringLiteral("General");
const QString ConsoleFollowsKey = QStringLiteral("ConsoleFollowsRadio");

// Whether the console is on the radio's host: as the settings say, else when no console address
// was ever set (a first start) or the one set is the radio's.
bool ConsoleFollowsRadio(const INIFILES &ini, const QString &radioHost) {
    const QString said = ini.ReadSetting(General, ConsoleFollowsKey, QString());
    if (!said.isEmpty()) {
        return said == u'1';
    }
    const QString console = ini.ReadSetting(General, QStringLiteral("ConsoleAddress"), QString()).trimmed();
    return console.isEmpty() || console == radioHost;
}

} // namespace

// The first-run dialog: shown at the first start (no settings file) and from the Radio menu.
// What the user takes goes into the main window's address fields (and from there to the link
// and the settings, as typing there does) and into the console's settings.
void Program::wireFirstRun(bool firstStart) {
    m_firstContact = std::make_unique<FirstContact>(
        m_platform, m_finderNetworks ? m_finderNetworks : FirstContact::NetworkSource(LocalPrivateNetworks));
    m_firstRun = std::make_unique<FirstRunDialog>(*m_firstContact, &m_main->form());
    m_firstRun->setWindowFlag(Qt::Window);
    ConfigForm &form = m_main->form();

    const auto open = [this](bool find) {
        ConfigForm &main = m_main->form();
        GeneralSettings shown;
        main.collectSettings(shown);
        FirstContact::Choice choice;
        choice.radioHost = shown.RaidoURL.trimmed();
        choice.radioPort = shown.RaidoPORT.trimmed();
        choice.consoleHost =
            m_ini.ReadSetting(General, QStringLiteral("ConsoleAddress"), QStringLiteral("192.168.1.88"));
        choice.consolePort = m_ini.ReadSetting(General, QStringLiteral("ConsolePort"), QStringLiteral("8899"));
        choice.consoleFollowsRadio = ConsoleFollowsRadio(m_ini, choice.radioHost);
        if (!m_firstRun->isVisible()) {
            m_firstContact->load(choice);
        }
        m_firstRun->show();
        m_firstRun->raise();
        m_firstRun->activateWindow();
        if (find && !m_firstContact->finding()) {
            m_firstContact->find();
        }
    };
    connect(&form, &ConfigForm::radioAddressRequested, m_firstRun.get(), [open] { open(false); });
    connect(&form, &ConfigForm::findRadiosRequested, m_firstRun.get(), [open] { open(true); });

    connect(m_firstContact.get(), &FirstContact::applied, this, [this](const FirstContact::Choice &choice) {
        ConfigForm &main = m_main->form();
        GeneralSettings settings;
        main.collectSettings(settings);
        settings.RaidoURL = choice.radioHost;
        settings.RaidoPORT = choice.radioPort;
        main.applySettings(settings); // as if typed: the link and the settings follow
        m_ini.WriteSetting(General, QStringLiteral("ConsoleAddress"), choice.consoleHostUsed());
        m_ini.WriteSetting(General, QStringLiteral("ConsolePort"), choice.consolePort);
        m_ini.WriteSetting(General, ConsoleFollowsKey,
                           choice.consoleFollowsRadio ? QStringLiteral("1") : QStringLiteral("0"));
        if (m_console) {
            m_console->addressChanged();
        }
    });
    // A console on the radio's host moves with the radio when its address is typed in the main
    // window.
    connect(&form, &ConfigForm::urlEdited, m_firstRun.get(), [this](const QString &text) {
        if (m_ini.ReadSetting(General, ConsoleFollowsKey, QString()) != u'1' ||
            !SettingRange::IsHostText(text.trimmed())) {
            return;
        }
        m_ini.WriteSetting(General, QStringLiteral("ConsoleAddress"), text.trimmed());
        if (m_console) {
            m_console->addressChanged();
        }
    });
    if (firstStart) {
        open(false);
    }
}
