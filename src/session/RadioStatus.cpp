#include "platform/NumericText.h"
#include "radio_link/RadioState.h"
#include "radio_link/ReplyRows.h"
#include "radio_link/ScreenRules.h"
#include "session/RadioView.h"
#include "session/StatusDecoding.h"
#include "skin/Skin.h"
#include "skin/SkinTables.h"

#include <algorithm>

namespace {

// A whole number as the radio sends it; nothing for an empty or garbled text.
std::optional<int> numberOf(const QString &text) {
    bool ok = false;
    const int value = text.trimmed().toInt(&ok, 10);
    return ok ? std::optional<int>(value) : std::nullopt;
}

} // namespace

bool StartingUp(const QString &status) {
    return ScreenRules::radioGettingReady(status);
}

bool ScreenShowsCover(const SkinTables &skin, const QString &pictureName) {
    if (pictureName.isEmpty()) {
        return false;
    }
    const int screen = FindScreen(skin, pictureName);
    if (screen < 0) {
        return false;
    }
    const std::vector<ScreenItem> &overlays = skin.MenuArray[std::size_t(screen)].Overlays;
    return std::any_of(overlays.begin(), overlays.end(),
                       [](const ScreenItem &item) { return item.Picture == u"coverart"; });
}

RadioStatus DecodeStatus(const RadioState &state, const RadioView &view, const SkinTables &skin, bool coverShown,
                         const QString &programFolder) {
    RadioStatus status;
    status.power = state.PowerState.trimmed().toLower();
    status.volume = numberOf(state.VolumeText);
    status.version = state.VersionText.trimmed();

    status.screen = numberOf(state.MenuState);
    if (status.screen) {
        if (const StateTableEntry *entry = StateEntryAt(skin, *status.screen)) {
            status.screenName = entry->Name;
        }
    }
    status.menuItem = numberOf(state.SelectedMenuItem);
    if (status.menuItem) {
        if (const MenuTableEntry *entry = MenuEntryAt(skin, *status.menuItem)) {
            status.menuItemName = entry->Name;
        }
    }

    // The list rows: the head, "pos=N (k)" (N 1-based, k its place on the page of seven), then
    // "1=entry" ... "7=entry". They describe the screen only while it shows a list.
    if (view.InfoListEnabled && view.InfoList.size() > 1) {
        status.listPosition = numberOf(RowValue(view.InfoList, u"pos").section(u' ', 0, 0));
        if (!state.SelectedListItem.isEmpty()) {
            status.listEntry = RowValue(view.InfoList, state.SelectedListItem);
        }
    }

    const QStringList &meta = view.MetaList;
    RadioStatus::Playing &playing = status.playing;
    playing.title = RowValue(meta, u"title").trimmed();
    playing.artist = RowValue(meta, u"artist").trimmed();
    playing.album = RowValue(meta, u"album").trimmed();
    playing.url = RowValue(meta, u"url").trimmed();
    playing.status = RowValue(meta, u"status").trimmed();
    playing.startingUp = StartingUp(playing.status);
    // The radio reports what plays only while it shows its now-playing screen (the meta list is
    // live then); elsewhere, or while it does not answer, the list is an old copy.
    playing.live = view.MetaListEnabled && !view.RadioOffline;
    // The picture itself is looked for every time: it may come or go while the screen shows.
    if (coverShown) {
        status.coverFile = Skin::PictureFile(programFolder, QStringLiteral("coverart"));
    }

    status.health = LinkHealthOf(view);
    if (status.health == LinkHealth::Offline) {
        status.offlineSince = view.OfflineSince;
        status.offlineReason = view.OfflineReason;
    }
    return status;
}

LinkHealth LinkHealthOf(const RadioView &view) {
    if (view.RadioOffline) {
        return LinkHealth::Offline;
    }
    return view.LinkHealth.isEmpty() ? LinkHealth::NotYetAnswered : LinkHealth::Answers;
}
