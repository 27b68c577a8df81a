#pragma once

#include "settings/FirstPlacement.h"
#include "settings/PlacedWindow.h"

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

private:
    QWidget &m_window;
    QString m_name;
};

// Moves a window to its first spot (see FirstPlace) on this screen, judged against the main
// window as it stands now; without a screen the window stays where it is.
void MoveToFirstSpot(QWidget &window, FirstSpot spot, const QWidget &mainWindow, const QScreen *screen);
