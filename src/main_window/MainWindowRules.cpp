#include "main_window/MainWindowRules.h"

#include "main_window/CommandList.h"
#include "remote/RemoteLayout.h"
#include "session/RadioSession.h"
#include "settings/INIFILES.h"
#include "settings/Timeouts.h"

void FallBackToLastRemote(RemoteLayout &layout, const INIFILES &ini) {
    if (layout.CurrentRemote.isEmpty()) {
        layout.CurrentRemote =
            ini.ReadSetting(QStringLiteral("General"), QStringLiteral("LastRemote"), QStringLiteral("remote1"));
    }
}

QString ReloadDataFiles(const ReloadData &data, PlacedWindow *remoteWindow) {
    data.commands.LoadFromFolder(data.ini.ProgramFolder());
    FallBackToLastRemote(data.layout, data.ini);
    data.session.loadData();
    return LoadLayout(data.layout, data.layout.CurrentRemote, data.ini, remoteWindow);
}

void SelectPowerCommand(CommandList &commands) {
    const int power = commands.indexOf(QStringLiteral("POWER"));
    if (power >= 0) {
        commands.select(power);
    }
}

QString AboutText(const QString &version, const QString &programFolder) {
    return QStringLiteral("CV Remote %1\n"
                          "A remote control for a networked internet radio.\n\n"
                          "Released under the MIT licence (the LICENSE file that comes with it).\n\n"
                          "Program folder (settings and data files):\n%2")
        .arg(version, programFolder);
}
