#include "app/WireUpdate.h"

#include "app/Program.h"
#include "main_window/ConfigForm.h"
#include "settings/INIFILES.h"

#include <QCheckBox>

UpdateWindow::UpdateWindow(Platform &platform, INIFILES &settings, const QString &ownVersion)
    : ini(settings)
    , checker(platform, settings.ProgramFolder(), ownVersion) {}

void UpdateWindow::show() {
    if (!loaded) {
        loaded = true;
        ini.RestoreWindowTopLeft(placement);
    }
    form.show();
    form.raise();
}

void UpdateWindow::unload() {
    if (!loaded) {
        return;
    }
    loaded = false;
    checker.Form_Unload();
    ini.SaveWindowTopLeft(placement, false);
    form.hide();
}

void Program::wireUpdateWindow() {
    m_update = std::make_unique<UpdateWindow>(m_platform, m_ini, m_versionString);
    UpdateWindow &update = *m_update;
    ConfigForm &main = *m_form;

    connect(&main, &ConfigForm::checkUpdateClicked, &update.form,
            [this, &update] { update.checker.CheckForUpdates(m_ini); });
    connect(&update.checker, &UpdateChecker::showRequested, &update.form, [&update] { update.show(); });
    connect(&update.checker, &UpdateChecker::changed, &update.form, [&update] { update.form.render(update.checker); });
    connect(&update.form, &UpdateForm::rawTextaDoubleClicked, &update.checker, &UpdateChecker::RawTexta_DblClick);
    connect(&update.form, &UpdateForm::unloading, &update.form, [&update] { update.unload(); });

    // The proxy settings are only usable while "Use Proxy" is ticked; nothing reads them yet.
    const auto enableProxy = [&main](bool on) {
        for (QWidget *field : main.ProxyFields()) {
            field->setEnabled(on);
        }
    };
    connect(main.chkUseProxy(), &QCheckBox::toggled, &update.form, enableProxy);
    enableProxy(main.chkUseProxy()->isChecked());
}
