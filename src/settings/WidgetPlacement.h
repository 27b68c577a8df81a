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

private:
    QWidget &m_window;
    QString m_name;
};

// Shows a window in front with the focus, as the user asked for it: a minimised one comes back as
// it was before (maximised stays maximised).
void BringToFront(QWidget &window);

// Moves a window to its first spot (see FirstPlace) on this screen, judged against the main
// window as it stands now; without a screen the window stays where it is.
void MoveToFirstSpot(QWidget &window, FirstSpot spot, const QWidget &mainWindow, const QScreen *screen);

// The first start: until the user has placed one of these windows (named by their settings
// sections), those of them on screen stand side by side on the first one's screen rather than
// each beside the main window, one over the other.
void LineUpAtFirstStart(const INIFILES &ini, const QList<QWidget *> &windows, const QStringList &sections);
