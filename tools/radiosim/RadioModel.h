#pragma once

#include "Catalogue.h"
#include "SearchKeyboard.h"

#include <QDateTime>
#include <QString>
#include <QStringList>

#include <functional>
#include <map>
#include <vector>

// The radio itself, without sockets or timers: one command string in, the reply text out.
// Whatever the player would write to its debug console collects until takeConsoleLines().
// The player's status sequence (connecting, caching, playing; resuming after a pause) moves
// on only through advanceStatus(), so the owner decides how long each step lasts.
class RadioModel {
public:
    enum class Status { Stopped, Connecting, Caching, Playing, Paused, Resuming, Recording };

    explicit RadioModel(QString version = QStringLiteral("3.1.7"));

    // Acts on one command and returns its reply, every line ended by CR LF. A line end at the
    // end of the command (someone typing at a terminal) is not part of the command; blanks are.
    QString handle(const QString &command);

    // True while the player is between two steps of its status sequence.
    bool statusInTransition() const;
    // Moves the player one step on (connecting -> caching -> playing, resuming -> playing).
    void advanceStatus();
    // The console lines written since the last call, oldest first.
    QStringList takeConsoleLines();
    // Source of the time written in StreamUTC fields (tests fix it).
    void setUtcClock(std::function<QDateTime()> now) { m_utcNow = std::move(now); }

    // State, for tests and for whoever shows the simulator.
    QString version() const { return m_version; }
    bool isOn() const { return m_on; }
    int screen() const { return m_screen; }
    int mainMenuItem() const { return m_mainItem; }
    int mainMenuPage() const { return (m_mainItem - 1) / Catalogue::MainMenuItemsPerPage + 1; }
    // 0-based cursor position in the list of the current screen; 0 on a screen without a list.
    int listPosition() const;
    // Entries of the current screen's list (empty on a screen without one).
    QStringList listEntries() const;
    const SearchKeyboard &keyboard() const { return m_keyboard; }
    bool upperCase() const { return m_upperCase; }
    QString searchText() const { return m_searchText; }
    int volume() const { return m_volume; }
    bool muted() const { return m_muted; }
    QString lastMessage() const { return m_lastMessage; }
    Status status() const { return m_status; }
    static QString statusText(Status status);
    // Index into Catalogue::stations() of the station the player holds, or -1.
    int currentStation() const { return m_station; }

private:
    void pressKey(const QString &key);
    void moveOnMainMenu(const QString &key);
    void moveInList(const QString &key);
    void useKeyboard(const QString &key);
    void typeKey(QChar key);
    void openScreen(int screen);
    void play(int stationIndex);
    void stopPlayback();
    void stepVolume(int direction);
    void toggleMute();
    QStringList listOf(int screen) const;
    QString menuInfo() const;
    QString listInfo() const;
    QString metaInfo() const;

    QString m_version;
    bool m_on = true;
    int m_screen = Catalogue::MainMenu;
    int m_screenBeforeMessage = Catalogue::MainMenu;
    int m_mainItem = 1;
    std::map<int, int> m_listPositions; // remembered cursor of every list screen
    std::vector<int> m_results;         // station indexes found by the last search

    SearchKeyboard m_keyboard;
    bool m_upperCase = true;
    QString m_searchText;

    int m_volume = 20;
    bool m_muted = false;
    int m_volumeBeforeMute = 0;
    QString m_lastMessage;

    int m_station = -1;
    Status m_status = Status::Stopped;
    int m_listPlayedFrom = Catalogue::StationList;
    bool m_coverArtLoaded = false;

    QStringList m_console;
    std::function<QDateTime()> m_utcNow;
};
