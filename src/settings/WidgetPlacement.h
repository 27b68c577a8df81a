#pragma once

#include "settings/FirstPlacement.h"
#include "settings/PlacedWindow.h"

#include <QList>
#include <QStringList>

class INIFILES;
class QScreen;
class QWidget;

// Lets the placement operations move and measure a real top-level window.
class WidgetPlacement final : public PlacedWindow {
public:
    WidgetPlacement(QWidget &window, QString name);
    QString placementName() const override { return m_name; }
    Placement currentPlacement() const override;
    bool isNormalState() const override;
    void applyPlacement(const Placement &placement) override;
    void hideWindow() override;
    QList<QRect> screenAreas() const override;
    QSize frameExtra() const override;

private:
    QWidget &m_window;
    QString m_name;
};

// Shows a window in front with the focus, as the user asked for it: a minimised one comes back as
// it was before (maximised stays maximised).
void BringToFront(QWidget &window);

// Moves a window to its first spot (see FirstPlace) on this screen, judged against the main
// window and the other windows on screen as they stand now; without a screen the window stays
// where it is. A window not yet shown has no frame yet: it is taken to get one like the main
// window's.
void MoveToFirstSpot(QWidget &window, FirstSpot spot, const QWidget &mainWindow, const QScreen *screen);

// A window that changes its own size while shown (the display grows by its search box) stays
// wholly on its screen: when it stood wholly inside the screen's available area before the
// change, it moves back in as far as needed. One the user put partly off the screen is left
// where it is.
void KeepOnScreenWhenResized(QWidget &window);

// The first start: until the user has placed one of these windows (named by their settings
// sections) where it can still be reached, those of them on screen are lined up on the first
// one's screen (see LineUpInArea) rather than each beside the main window, one over the other.
void LineUpAtFirstStart(const INIFILES &ini, const QList<QWidget *> &windows, const QStringList &sections);
