#include "Catalogue.h"

#include <array>

namespace {

struct StationSeed {
    const char *name;
    const char *slug;
    const char *artist;
    const char *title;
    const char *album;
    bool playable;
    bool sendsUtc;
};

// Invented stations. Three hold "jazz" so that a typed search has several hits; "Lost Signal
// Radio" is the one whose stream never answers.
constexpr std::array<StationSeed, 20> Seeds{{
    {"Jazz FM Lounge", "jazz-fm-lounge", "Miles Avenue", "Blue Corner", "Late Sets", true, false},
    {"Classic Rock Radio", "classic-rock", "The Amplifiers", "Highway Lights", "Loud Years", true, true},
    {"Smooth Jazz Nights", "smooth-jazz", "Ella Northwood", "Velvet Rain", "After Hours", true, false},
    {"Radio Nordlicht", "nordlicht", "Fjell", "Aurora", "Polar Songs", true, false},
    {"City News 24", "city-news-24", "Newsroom", "Headlines", "Daily", true, true},
    {"Blues Highway", "blues-highway", "Muddy Creek", "Long Road", "Crossroads", true, false},
    {"Acid Jazz Cellar", "acid-jazz", "Groove Unit", "Basement Funk", "Cellar Tapes", true, false},
    {"Baroque Hours", "baroque-hours", "Consort Aurelia", "Suite in D", "Chamber Works", true, true},
    {"Radio Sol", "radio-sol", "Los Soles", "Playa Blanca", "Verano", true, false},
    {"Deep House Deck", "deep-house", "Low Tide", "Harbour Lights", "Deck Sessions", true, false},
    {"Country Roads FM", "country-roads", "Dusty Boots", "Prairie Wind", "Open Range", true, true},
    {"Folk Corner", "folk-corner", "The Hearthstones", "Old Mill", "Village Green", true, false},
    {"Ambient Drift", "ambient-drift", "Halo Field", "Slow Clouds", "Drift", true, false},
    {"Lost Signal Radio", "lost-signal", "", "", "", false, false},
    {"Reggae Shore", "reggae-shore", "Island Roots", "Sunset Skank", "Shoreline", true, true},
    {"Opera Box", "opera-box", "Teatro Nuovo", "Aria of the Night", "Grand Stage", true, false},
    {"Kids Tunes", "kids-tunes", "The Crayons", "Rainbow Bus", "Playground", true, false},
    {"Talk of the Town", "talk-of-the-town", "Morning Crew", "Open Line", "Talk", true, true},
    {"Synthwave Drive", "synthwave-drive", "Neon Coast", "Night Drive", "Outrun", true, false},
    {"Chill Radio Garden", "chill-garden", "Moss and Fern", "Green Room", "Garden Tapes", true, false},
}};

constexpr std::array<const char *, Catalogue::MainMenuItems> MainItemNames{
    "Stations",  "Recordings", "Search",          "Settings", "Favourites", "Podcasts", "Alarms",       "Sleep Timer",
    "Equalizer", "Weather",    "Stocks",          "News",     "Clock",      "Network",  "Media Player", "Bluetooth",
    "Language",  "Time Zone",  "Software Update", "About"};

QStringList numbered(const QString &stem, int count) {
    QStringList entries;
    for (int i = 1; i <= count; ++i) {
        entries << stem + QLatin1Char(' ') + QString::number(i);
    }
    return entries;
}

} // namespace

namespace Catalogue {

const std::vector<Station> &stations() {
    static const std::vector<Station> list = [] {
        std::vector<Station> built;
        for (const StationSeed &seed : Seeds) {
            const QString slug = QString::fromLatin1(seed.slug);
            built.push_back(Station{QString::fromLatin1(seed.name), QString::fromLatin1(seed.artist),
                                    QString::fromLatin1(seed.title), QString::fromLatin1(seed.album),
                                    QStringLiteral("http://streams.example.net/") + slug + QStringLiteral(".mp3"),
                                    QStringLiteral("/tmp/coverart/") + slug + QStringLiteral(".jpg"), seed.playable,
                                    seed.sendsUtc});
        }
        return built;
    }();
    return list;
}

int screenOfMainItem(int item) {
    switch (item) {
    case 1:
        return StationList;
    case 2:
        return Recordings;
    case 3:
        return SearchScreen;
    case 4:
        return Settings;
    default:
        return FirstPlaceholderList + item - 5;
    }
}

QString mainItemName(int item) {
    if (item < 1 || item > MainMenuItems) {
        return {};
    }
    return QString::fromLatin1(MainItemNames[static_cast<size_t>(item - 1)]);
}

static int placeholderItem(int screen) {
    const int item = screen - FirstPlaceholderList + 5;
    return item >= 5 && item <= MainMenuItems ? item : 0;
}

QString screenTitle(int screen) {
    switch (screen) {
    case MainMenu:
        return QStringLiteral("Main Menu");
    case StationList:
        return QStringLiteral("Stations");
    case NowPlaying:
        return QStringLiteral("Now Playing");
    case Recordings:
        return QStringLiteral("Recordings");
    case Settings:
        return QStringLiteral("Settings");
    case SearchScreen:
        return QStringLiteral("Search");
    case SearchResults:
        return QStringLiteral("Search Results");
    case StationError:
        return QStringLiteral("Station unavailable");
    case MessageScreen:
        return QStringLiteral("Message");
    case Standby:
        return QStringLiteral("Standby");
    default:
        return mainItemName(placeholderItem(screen));
    }
}

bool isListScreen(int screen) {
    return screen == StationList || screen == Recordings || screen == Settings || screen == SearchResults ||
           placeholderItem(screen) != 0;
}

QStringList fixedListEntries(int screen) {
    switch (screen) {
    case StationList: {
        QStringList names;
        for (const Station &station : stations()) {
            names << station.name;
        }
        return names;
    }
    case Recordings:
        return {QStringLiteral("Jazz FM Lounge 2026-11-02"),  QStringLiteral("Radio Sol 2026-11-05"),
                QStringLiteral("Opera Box 2026-11-11"),       QStringLiteral("Blues Highway 2026-11-19"),
                QStringLiteral("Folk Corner 2026-11-23"),     QStringLiteral("City News 24 2026-11-30"),
                QStringLiteral("Deep House Deck 2026-12-01"), QStringLiteral("Radio Nordlicht 2026-12-03"),
                QStringLiteral("Kids Tunes 2026-12-05")};
    case Settings:
        return {QStringLiteral("Network"),      QStringLiteral("Clock"),         QStringLiteral("Language"),
                QStringLiteral("Backlight"),    QStringLiteral("Night Mode"),    QStringLiteral("Volume Limit"),
                QStringLiteral("Alarm Volume"), QStringLiteral("Factory Reset"), QStringLiteral("About")};
    default: {
        const int item = placeholderItem(screen);
        // Lengths vary so that some lists end on a full page and others on a short one.
        return item != 0 ? numbered(mainItemName(item), 3 + item) : QStringList{};
    }
    }
}

} // namespace Catalogue
