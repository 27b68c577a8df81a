#pragma once

#include <QString>

#include <optional>

// Whether the radio answers: not yet (nothing has come back since the start), it does, or its
// polls have failed for a few seconds without an answer in between.
enum class LinkHealth { NotYetAnswered, Answers, Offline };

// What the program knows of the radio, decoded once from its replies, for every front end: the
// windows, the media-player interfaces and the command-line client read it instead of the
// replies or the texts the windows show. A value the radio has not given (or gave garbled)
// stays empty rather than guessed.
struct RadioStatus {
    QString power; // "on", "off", or what else the radio said, in lower case
    std::optional<int> volume;
    std::optional<int> screen;   // the radio's screen number
    QString screenName;          // the skin's name for it
    std::optional<int> menuItem; // the main-menu item under the cursor
    QString menuItemName;
    // On a list screen: the 1-based position of the list's cursor and the entry under it.
    std::optional<int> listPosition;
    QString listEntry;
    // What plays, as the radio last reported it on its now-playing screen. live: the report is
    // current (the radio shows that screen and answers); otherwise it is an old copy.
    struct Playing {
        QString title;
        QString artist;
        QString album;
        QString url;
        QString status; // stopped, connecting, playing, paused ... as the radio words it
        // The status is a step the radio takes towards playing on its own (connecting,
        // resolving url, caching, resuming).
        bool startingUp = false;
        bool live = false;
        bool operator==(const Playing &) const = default;
    } playing;
    QString version;
    // The cover picture's file while the radio's screen shows one; "" otherwise.
    QString coverFile;
    LinkHealth health = LinkHealth::NotYetAnswered;
    QString offlineSince;  // HH:MM:SS, while offline
    QString offlineReason; // "connection refused", "no reply"...; "" when not known

    bool answers() const { return health == LinkHealth::Answers; }
    bool operator==(const RadioStatus &) const = default;
};

// Whether a now-playing status (any case, any words around it) is a step the radio takes
// towards playing on its own: connecting, resolving the address, filling its buffer, resuming.
bool StartingUp(const QString &status);
