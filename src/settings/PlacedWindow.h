#pragma once

#include <QList>
#include <QRect>
#include <QSize>
#include <QString>

// Position and size of a window in screen pixels: top and left of its frame, width and height
// of its client area.
struct Placement {
    double top = 0;
    double left = 0;
    double width = 0;
    double height = 0;
};

// What the placement operations need of a window. The window side implements it; logic and
// tests never touch a real window.
class PlacedWindow {
public:
    virtual ~PlacedWindow() = default;
    virtual QString placementName() const = 0; // the settings section: the window's name
    virtual Placement currentPlacement() const = 0;
    virtual bool isNormalState() const = 0; // neither minimised nor maximised
    virtual void applyPlacement(const Placement &placement) = 0;
    virtual void hideWindow() = 0;
    // The available areas of the connected screens, the window's own first. Empty when not
    // known: then a saved place is taken as it is.
    virtual QList<QRect> screenAreas() const { return {}; }
    // What the frame adds to the client area (borders and title bar).
    virtual QSize frameExtra() const { return {}; }
};
