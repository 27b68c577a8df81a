#pragma once

#include "display/ScreenRenderer.h"

#include <QStringList>

// The texts of the display's labels on screen, in the skin's order.
inline QStringList ShownLabels(const ScreenRenderer &screen) {
    QStringList texts;
    for (const DrawnItem &label : screen.OverlayLabel) {
        if (label.Visible) {
            texts << label.Text;
        }
    }
    return texts;
}
