#include "app/Program.h"
#include "app/Version.h"
#include "main_window/MainWindow.h"
#include "update/UpdateGroup.h"
#include "update/UpdateSettings.h"
#include "update/UpdateWindow.h"

// The update window checks when the main window's update group (or its View menu) asks. The
// group's proxy fields come from the settings and go back to them at every edit; the checker
// asks through the proxy as the fields stand.
void Program::wireUpdate() {
    m_update = std::make_unique<UpdateWindow>(m_platform, m_ini, VersionString());
    UpdateWindow &update = *m_update;
    update.setFirstSpotBeside(&m_main->form());
    UpdateGroup &group = m_main->form().updateGroup();
    connect(&group, &UpdateGroup::checkRequested, &update.form(), [&update] { update.checkForUpdates(); });
    connect(&m_main->form(), &ConfigForm::updateCheckRequested, &update.form(),
            [&update] { update.checkForUpdates(); });

    const UpdateProxy proxy = ReadUpdateProxy(m_ini);
    group.setProxy(proxy);
    update.logic().setProxy(proxy);
    connect(&group, &UpdateGroup::proxyEdited, &update.form(), [this, &group, &update] {
        const UpdateProxy edited = group.proxy();
        update.logic().setProxy(edited);
        WriteUpdateProxy(m_ini, edited);
    });
}
