#pragma once

#include "settings/PlacedWindow.h"

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
