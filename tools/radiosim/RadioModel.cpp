#include "RadioModel.h"

#include <algorithm>
#include <array>

using namespace Catalogue;

namespace {

const QString LineEnd = QStringLiteral("\r\n");
constexpr int MaxSearchText = 64;
constexpr int MaxMessage = 4096;

constexpr std::array<const char *, 14> Keys{"UP",    "DOWN", "LEFT",  "RIGHT",  "OK",   "EXIT", "HOME",
                                            "POWER", "STOP", "PAUSE", "RECORD", "MUTE", "VOLp", "VOLm"};

bool isKey(const QString &command) {
    return std::any_of(Keys.begin(), Keys.end(), [&](const char *key) { return command == QLatin1String(key); });
}

} // namespace

RadioModel::RadioModel(QString version)
    : m_version(std::move(version))
    , m_utcNow([] { return QDateTime::currentDateTimeUtc(); }) {}

QString RadioModel::statusText(Status status) {
    switch (status) {
    case Status::Stopped:
        return QStringLiteral("stopped");
    case Status::Connecting:
        return QStringLiteral("connecting");
    case Status::Caching:
        return QStringLiteral("caching");
    case Status::Playing:
        return QStringLiteral("playing");
    case Status::Paused:
        return QStringLiteral("paused");
    case Status::Resuming:
        return QStringLiteral("resuming");
    case Status::Recording:
        return QStringLiteral("recording");
    }
    return {};
}

QString RadioModel::handle(const QString &received) {
    QString command = received;
    while (command.endsWith(QLatin1Char('\n')) || command.endsWith(QLatin1Char('\r'))) {
        command.chop(1);
    }

    if (command == QLatin1String("VERSION")) {
        return QStringLiteral("VER=") + m_version + LineEnd;
    }
    if (command == QLatin1String("STATE")) {
        return (m_on ? QStringLiteral("STATE=ON") : QStringLiteral("STATE=OFF")) + LineEnd;
    }
    if (command == QLatin1String("VOLUME")) {
        return QStringLiteral("VOL=") + QString::number(m_volume) + LineEnd;
    }
    if (command == QLatin1String("MINFO")) {
        return menuInfo() + LineEnd;
    }
    if (command == QLatin1String("LISTINFO")) {
        return listInfo() + LineEnd;
    }
    if (command == QLatin1String("METAINFO")) {
        return metaInfo() + LineEnd;
    }
    if (command.startsWith(QLatin1String("MESSAGE "))) {
        m_lastMessage = command.mid(8, MaxMessage);
        // A sleeping radio keeps its screen dark; the text is still taken.
        if (m_on) {
            if (m_screen != MessageScreen) {
                m_screenBeforeMessage = m_screen;
            }
            m_screen = MessageScreen;
        }
        return QStringLiteral("OK") + LineEnd;
    }
    if (isKey(command)) {
        pressKey(command);
        return QStringLiteral("OK") + LineEnd;
    }
    return QStringLiteral("ERROR unknown command") + LineEnd;
}

void RadioModel::pressKey(const QString &key) {
    if (m_screen == Standby) {
        if (key == QLatin1String("POWER")) {
            m_on = true;
            m_screen = MainMenu;
        }
        return;
    }
    if (m_screen == MessageScreen) {
        // The key only takes the message away.
        m_screen = m_screenBeforeMessage;
        return;
    }

    if (key == QLatin1String("POWER")) {
        stopPlayback();
        m_on = false;
        m_screen = Standby;
    } else if (key == QLatin1String("HOME")) {
        m_screen = MainMenu;
    } else if (key == QLatin1String("VOLp")) {
        stepVolume(+1);
    } else if (key == QLatin1String("VOLm")) {
        stepVolume(-1);
    } else if (key == QLatin1String("MUTE")) {
        toggleMute();
    } else if (key == QLatin1String("STOP")) {
        stopPlayback();
        if (m_screen == NowPlaying || m_screen == StationError) {
            m_screen = m_listPlayedFrom;
        }
    } else if (key == QLatin1String("PAUSE")) {
        if (m_status == Status::Playing || m_status == Status::Recording) {
            m_status = Status::Paused;
        } else if (m_status == Status::Paused) {
            m_status = Status::Resuming;
        }
    } else if (key == QLatin1String("RECORD")) {
        if (m_status == Status::Playing) {
            m_status = Status::Recording;
        } else if (m_status == Status::Recording) {
            m_status = Status::Playing;
        }
    } else if (m_screen == MainMenu) {
        moveOnMainMenu(key);
    } else if (isListScreen(m_screen)) {
        moveInList(key);
    } else if (m_screen == SearchScreen) {
        useKeyboard(key);
    } else if (key == QLatin1String("EXIT")) {
        // Now playing leaves the player running; the error screen goes back where it came from.
        m_screen = m_screen == StationError ? m_listPlayedFrom : MainMenu;
    }
}

void RadioModel::moveOnMainMenu(const QString &key) {
    const int column = (m_mainItem - 1) % MainMenuColumns;
    if (key == QLatin1String("UP")) {
        if (m_mainItem > MainMenuColumns) {
            m_mainItem -= MainMenuColumns;
        }
    } else if (key == QLatin1String("DOWN")) {
        if (m_mainItem + MainMenuColumns <= MainMenuItems) {
            m_mainItem += MainMenuColumns;
        }
    } else if (key == QLatin1String("LEFT")) {
        if (column > 0) {
            --m_mainItem;
        }
    } else if (key == QLatin1String("RIGHT")) {
        if (column < MainMenuColumns - 1 && m_mainItem < MainMenuItems) {
            ++m_mainItem;
        }
    } else if (key == QLatin1String("OK")) {
        openScreen(screenOfMainItem(m_mainItem));
    }
}

void RadioModel::openScreen(int screen) {
    if (screen == SearchScreen) {
        m_keyboard.reset();
        m_upperCase = true;
        m_searchText.clear();
    }
    m_screen = screen;
}

void RadioModel::moveInList(const QString &key) {
    const int count = static_cast<int>(listOf(m_screen).size());
    int &pos = m_listPositions[m_screen];
    pos = std::clamp(pos, 0, std::max(count - 1, 0));
    if (key == QLatin1String("UP")) {
        if (pos > 0) {
            --pos;
        }
    } else if (key == QLatin1String("DOWN")) {
        if (pos < count - 1) {
            ++pos;
        }
    } else if (key == QLatin1String("LEFT")) {
        // Same row of the previous page; nothing on the first page.
        if (pos >= ListPageSize) {
            pos -= ListPageSize;
        }
    } else if (key == QLatin1String("RIGHT")) {
        // Same row of the next page, or the last entry when the next page is shorter.
        if (pos / ListPageSize < (count - 1) / ListPageSize) {
            pos = std::min(pos + ListPageSize, count - 1);
        }
    } else if (key == QLatin1String("EXIT")) {
        m_screen = MainMenu;
    } else if (key == QLatin1String("OK")) {
        if (m_screen == StationList) {
            play(pos);
        } else if (m_screen == SearchResults && pos < static_cast<int>(m_results.size())) {
            play(m_results[static_cast<size_t>(pos)]);
        }
    }
}

void RadioModel::useKeyboard(const QString &key) {
    if (key == QLatin1String("UP")) {
        m_keyboard.move(SearchKeyboard::Move::Up);
    } else if (key == QLatin1String("DOWN")) {
        m_keyboard.move(SearchKeyboard::Move::Down);
    } else if (key == QLatin1String("LEFT")) {
        m_keyboard.move(SearchKeyboard::Move::Left);
    } else if (key == QLatin1String("RIGHT")) {
        m_keyboard.move(SearchKeyboard::Move::Right);
    } else if (key == QLatin1String("OK")) {
        typeKey(m_keyboard.key());
    } else if (key == QLatin1String("EXIT")) {
        m_screen = MainMenu;
    }
}

void RadioModel::typeKey(QChar key) {
    if (key == QLatin1Char('_')) {
        m_results.clear();
        const std::vector<Station> &all = stations();
        for (size_t i = 0; i < all.size(); ++i) {
            if (all[i].name.contains(m_searchText, Qt::CaseInsensitive)) {
                m_results.push_back(static_cast<int>(i));
            }
        }
        m_listPositions[SearchResults] = 0;
        m_screen = SearchResults;
    } else if (key == QLatin1Char('*')) {
        m_searchText.chop(1);
    } else if (key == QLatin1Char('^')) {
        m_upperCase = !m_upperCase;
        m_keyboard.reset();
    } else if (m_searchText.size() < MaxSearchText) {
        m_searchText += m_upperCase ? key.toUpper() : key.toLower();
    }
}

void RadioModel::play(int stationIndex) {
    const std::vector<Station> &all = stations();
    if (stationIndex < 0 || stationIndex >= static_cast<int>(all.size())) {
        return;
    }
    stopPlayback();
    const Station &station = all[static_cast<size_t>(stationIndex)];
    m_listPlayedFrom = m_screen;
    m_console << QStringLiteral("cURL: ") + station.address;
    if (!station.playable) {
        m_screen = StationError;
        return;
    }
    m_station = stationIndex;
    m_status = Status::Connecting;
    m_screen = NowPlaying;
}

void RadioModel::stopPlayback() {
    if (m_coverArtLoaded) {
        m_console << QStringLiteral("unload coverart");
        m_coverArtLoaded = false;
    }
    m_station = -1;
    m_status = Status::Stopped;
}

bool RadioModel::statusInTransition() const {
    return m_status == Status::Connecting || m_status == Status::Caching || m_status == Status::Resuming;
}

void RadioModel::advanceStatus() {
    if (m_station < 0) {
        return;
    }
    const Station &station = stations()[static_cast<size_t>(m_station)];
    switch (m_status) {
    case Status::Connecting:
        m_status = Status::Caching;
        m_console << QStringLiteral("Starting mplayer : [mplayer -quiet -cache 320 ") + station.address +
                         QLatin1Char(']');
        break;
    case Status::Caching: {
        m_status = Status::Playing;
        QString info = QStringLiteral("ICY Info: StreamTitle='") + station.artist + QStringLiteral(" - ") +
                       station.title + QStringLiteral("';StreamUrl='") + station.address + QStringLiteral("';");
        if (station.sendsUtc) {
            info += QStringLiteral("StreamUTC='") + m_utcNow().toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss")) +
                    QStringLiteral("';");
        }
        m_console << info;
        m_console << QStringLiteral("load coverart [") + station.coverArt + QLatin1Char(']');
        m_coverArtLoaded = true;
        m_console << QStringLiteral("Check ID3 on: [") + station.address + QLatin1Char(']');
        m_console << QStringLiteral("Playing ") + station.address;
        break;
    }
    case Status::Resuming:
        m_status = Status::Playing;
        break;
    default:
        break;
    }
}

QStringList RadioModel::takeConsoleLines() {
    QStringList lines;
    lines.swap(m_console);
    return lines;
}

void RadioModel::stepVolume(int direction) {
    // Fine steps near silence, coarse steps above; going down retraces going up.
    if (direction > 0) {
        m_volume += m_volume < 5 ? 1 : 5;
    } else {
        m_volume -= m_volume > 5 ? 5 : 1;
    }
    m_volume = std::clamp(m_volume, 0, 100);
    m_muted = false;
}

void RadioModel::toggleMute() {
    if (m_muted) {
        m_volume = m_volumeBeforeMute;
        m_muted = false;
    } else {
        m_volumeBeforeMute = m_volume;
        m_volume = 0;
        m_muted = true;
    }
}

QStringList RadioModel::listOf(int screen) const {
    if (screen != SearchResults) {
        return fixedListEntries(screen);
    }
    if (m_results.empty()) {
        return {QStringLiteral("no results")};
    }
    QStringList names;
    for (int index : m_results) {
        names << stations()[static_cast<size_t>(index)].name;
    }
    return names;
}

QStringList RadioModel::listEntries() const {
    return isListScreen(m_screen) ? listOf(m_screen) : QStringList{};
}

int RadioModel::listPosition() const {
    if (!isListScreen(m_screen)) {
        return 0;
    }
    const auto found = m_listPositions.find(m_screen);
    const int count = static_cast<int>(listOf(m_screen).size());
    return found == m_listPositions.end() ? 0 : std::clamp(found->second, 0, std::max(count - 1, 0));
}

QString RadioModel::menuInfo() const {
    return QStringLiteral("Menu state=") + QString::number(m_screen) + QStringLiteral(" mp=") +
           QString::number(mainMenuPage()) + QStringLiteral(" ms=") + QString::number(m_mainItem) +
           QStringLiteral(" title=") + (m_screen == MessageScreen ? m_lastMessage : screenTitle(m_screen));
}

QString RadioModel::listInfo() const {
    const QStringList entries = listEntries();
    if (entries.isEmpty()) {
        return QStringLiteral("List pos=0");
    }
    const int pos = listPosition();
    const int first = pos / ListPageSize * ListPageSize;
    QString line = QStringLiteral("List pos=") + QString::number(pos);
    for (int i = first; i < entries.size() && i < first + ListPageSize; ++i) {
        line += QLatin1Char(' ') + QString::number(i - first + 1) + QLatin1Char('=') + entries[i];
    }
    return line;
}

QString RadioModel::metaInfo() const {
    Station none;
    const Station &station = m_station >= 0 ? stations()[static_cast<size_t>(m_station)] : none;
    return QStringLiteral("Meta title=") + station.title + QStringLiteral(" artist=") + station.artist +
           QStringLiteral(" album=") + station.album + QStringLiteral(" url=") + station.address +
           QStringLiteral(" status=") + statusText(m_status);
}
