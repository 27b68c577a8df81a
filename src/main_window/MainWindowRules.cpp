#include "main_window/MainWindowRules.h"

#include "main_window/CommandList.h"
#include "radio_link/AutomaticPoll.h"
#include "radio_link/RadioState.h"
#include "radio_link/Telnet.h"
#include "remote/RemoteLayout.h"
#include "session/RadioSession.h"
#include "settings/INIFILES.h"
#include "settings/Timeouts.h"

void UpdateDisplayLabelsClicked(bool ticked, AutomaticPoll &poll) {
    if (ticked) {
        poll.pollNow();
    } else {
        poll.postpone();
    }
}

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

void StartUpQueries(CommandList &commands, Telnet &telnet, RadioState &state) {
    const int power = commands.indexOf(QStringLiteral("POWER"));
    if (power >= 0) {
        commands.select(power);
    }
    telnet.QueueCommand(1, QStringLiteral("VERSION"));
    telnet.QueueCommand(1, QStringLiteral("STATE"));
    telnet.QueueCommand(1, QStringLiteral("MINFO"));
    state.needs.FullRefreshDue = true;
}
