#pragma once

#include <QJsonObject>
#include <QString>

#include <optional>

struct RadioStatus;

// What the client prints of the radio: the decoded state, the skin's names for its screen and
// menu item, and what it plays. Unknown values (no reply brought them yet, or the reply was
// garbled) stay empty, and print as "-" or null rather than as a guess.
struct StatusReport {
    QString radio;        // HOST:PORT
    bool answers = false; // the radio answered and has not gone offline since
    QString power;        // "on", "off", or what else the radio said, in lower case
    std::optional<int> volume;
    std::optional<int> screen;
    QString screenName;          // the skin's name for the screen
    std::optional<int> menuItem; // main-menu item under the cursor
    QString menuItemName;
    std::optional<int> listPosition; // 1-based position of the list's cursor (a list screen only)
    QString listEntry;               // the entry under the list's cursor
    struct Playing {
        QString title;
        QString artist;
        QString album;
        QString url;
        QString status; // stopped, connecting, playing, paused ...
        bool operator==(const Playing &) const = default;
    } playing;
    QString version;

    bool operator==(const StatusReport &) const = default;
};

StatusReport MakeStatusReport(const QString &radio, const RadioStatus &status);

// For a person: one "Name: value" line each, the values aligned; every line ends in "\n".
QString StatusText(const StatusReport &report);
// One line, for watching changes go by: "power on, volume 20, screen 5 Now Playing, ...".
QString StatusLine(const StatusReport &report);
// For a program: the same values, unknown ones null.
QJsonObject StatusJson(const StatusReport &report);
