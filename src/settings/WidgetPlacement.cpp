#include "settings/WidgetPlacement.h"

#include "settings/INIFILES.h"
#include "settings/SideBySide.h"

#include <QApplication>
#include <QScreen>
#include <QWidget>

#include <cmath>

WidgetPlacement::WidgetPlacement(QWidget &window, QString name)
    : m_window(window)
    , m_name(std::move(name)) {}

Placement WidgetPlacement::currentPlacement() const {
    const QRect frame = m_window.frameGeometry();
    return Placement{double(frame.top()), double(frame.left()), double(m_window.width()), double(m_window.height())};
}

bool WidgetPlacement::isNormalState() const {
    return !(m_window.windowState() & (Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen));
}

void WidgetPlacement::applyPlacement(const Placement &p) {
    const auto px = [](double v) { return int(std::lround(std::clamp(v, -100000.0, 100000.0))); };
    m_window.move(px(p.left), px(p.top));
    m_window.resize(std::max(1, px(p.width)), std::max(1, px(p.height)));
}

void WidgetPlacement::hideWindow() {
    m_window.hide();
}

void BringToFront(QWidget &window) {
    window.show();
    if (window.isMinimized()) {
        window.setWindowState(window.windowState() & ~Qt::WindowMinimized);
    }
    window.raise();
    window.activateWindow();
}

void MoveToFirstSpot(QWidget &window, FirstSpot spot, const QWidget &mainWindow, const QScreen *screen) {
    if (screen == nullptr) {
        return;
    }
    FirstPlaceContext context{screen->availableGeometry(), mainWindow.frameGeometry(), mainWindow.size(), {}};
    if (spot == FirstSpot::LeastCovered) {
        for (const QWidget *other : QApplication::topLevelWidgets()) {
            if (other != &window && other->isVisible()) {
                context.openFrames << other->frameGeometry();
            }
        }
    }
    window.move(FirstPlace(spot, context, window.size(), window.frameGeometry().size()));
}

void LineUpAtFirstStart(const INIFILES &ini, const QList<QWidget *> &windows, const QStringList &sections) {
    const QScreen *screen = windows.isEmpty() ? nullptr : windows.first()->screen();
    if (screen == nullptr || !NoneHasSavedPlace(ini, sections)) {
        return;
    }
    QList<QWidget *> shown;
    QList<QSize> frames;
    for (QWidget *window : windows) {
        if (window->isVisible()) {
            shown << window;
            frames << window->frameGeometry().size();
        }
    }
    const QList<QPoint> corners = ArrangeSideBySide(screen->availableGeometry(), frames, 8);
    for (qsizetype i = 0; i < shown.size(); ++i) {
        shown[i]->move(corners[i]);
    }
}
