#pragma once

#include "display/ScreenRenderer.h"

#include <QList>
#include <QPoint>
#include <QRect>
#include <QString>

// One thing on the emulated screen as a screen reader offers it.
struct ScreenObject {
    enum Role {
        Notice,  // the offline notice across the screen
        Text,    // a label: the clock, the date, the volume, a plain caption
        Picture, // a picture that does nothing when clicked
        Button,  // a menu icon or a key on the screen: a click opens or sends something
        ListRow, // an entry of the list the screen shows
    };
    Role role = Text;
    QString name;
    QString description;
    QRect rect; // pixels of the 320x240 screen
    bool selected = false;
    // Where a click reaches this very object (others may lie over part of it); clicking there
    // is what pressing it does. Null for objects that take no click.
    std::optional<QPoint> pressAt;

    bool operator==(const ScreenObject &) const = default;
};

// What the screen shows, in reading order: the offline notice first, then the menu icons and
// pictures, the screen's keys, and the labels (list rows with the selected one marked). Items
// wholly hidden under others are left out.
QList<ScreenObject> ReadScreen(const ScreenRenderer &screen);

// The name a screen reader gives the whole screen: the radio's name for the screen shown
// ("Main Menu"), else the skin's.
QString ScreenTitle(const ScreenRenderer &screen, const QString &radioScreenName);
