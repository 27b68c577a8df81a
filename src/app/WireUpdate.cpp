#include "app/Program.h"
#include "app/Version.h"
#include "main_window/MainWindow.h"
#include "update/UpdateGroup.h"
#include "update/UpdateWindow.h"

// The update window checks when the main window's update group (or its View menu) asks.
void Program::wireUpdate() {
    m_update = std::make_unique<UpdateWindow>(m_platform, m_ini, VersionString());
    UpdateWindow &update = *m_update;
    update.setFirstSpotBeside(&m_main->form());
    connect(&m_main->form().updateGroup(), &UpdateGroup::checkRequested, &update.form(),
            [&update] { update.checkForUpdates(); });
    connect(&m_main->form(), &ConfigForm::updateCheckRequested, &update.form(),
            [&update] { update.checkForUpdates(); });
}
