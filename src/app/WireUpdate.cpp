#include "app/Program.h"
#include "app/Version.h"
#include "main_window/ConfigForm.h"
#include "update/UpdateWindow.h"

#include <QCheckBox>

// The update window checks when the main window asks.
void Program::wireUpdate() {
    m_update = std::make_unique<UpdateWindow>(m_platform, m_ini, VersionString());
    UpdateWindow &update = *m_update;
    ConfigForm &main = *m_form;
    connect(&main, &ConfigForm::checkUpdateClicked, &update.form(), [&update] { update.checkForUpdates(); });

    // The proxy settings are only usable while "Use Proxy" is ticked; nothing reads them yet.
    const auto enableProxy = [&main](bool on) {
        for (QWidget *field : main.ProxyFields()) {
            field->setEnabled(on);
        }
    };
    connect(main.chkUseProxy(), &QCheckBox::toggled, &update.form(), enableProxy);
    enableProxy(main.chkUseProxy()->isChecked());
}
