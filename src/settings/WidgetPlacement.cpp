#include "settings/WidgetPlacement.h"

#include "settings/INIFILES.h"
#include "settings/SideBySide.h"

#include <QApplication>
#include <QResizeEvent>
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

QList<QRect> WidgetPlacement::screenAreas() const {
    QList<QRect> areas;
    const QScreen *own = m_window.screen();
    if (own != nullptr) {
        areas << own->availableGeometry();
    }
    for (const QScreen *screen : QGuiApplication::screens()) {
        if (screen != own) {
            areas << screen->availableGeometry();
        }
    }
    return areas;
}

QSize WidgetPlacement::frameExtra() const {
    return m_window.frameGeometry().size() - m_window.size();
}

namespace {

// The frame a window has or, before it is first shown, will have: the main window's borders
// and title bar stand in for its own.
QSize expectedFrame(const QWidget &window, const QWidget &mainWindow) {
    const QSize own = window.frameGeometry().size() - window.size();
    const QSize main = mainWindow.frameGeometry().size() - mainWindow.size();
    return window.size() + (own.width() <= 0 && own.height() <= 0 ? main : own);
}

} // namespace

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
    for (const QWidget *other : QApplication::topLevelWidgets()) {
        if (other != &window && other->isVisible() && other->isWindow()) {
            context.openFrames << other->frameGeometry();
        }
    }
    window.move(FirstPlace(spot, context, window.size(), expectedFrame(window, mainWindow)));
}

namespace {

class KeepOnScreen final : public QObject {
public:
    explicit KeepOnScreen(QWidget &window)
        : QObject(&window)
        , m_window(window) {}

protected:
    bool eventFilter(QObject *watched, QEvent *event) override {
        if (watched == &m_window && event->type() == QEvent::Resize && m_window.isVisible() &&
            m_window.windowState() == Qt::WindowNoState && m_window.screen() != nullptr) {
            const auto *resize = static_cast<QResizeEvent *>(event);
            const QRect area = m_window.screen()->availableGeometry();
            const QSize extra = m_window.frameGeometry().size() - m_window.size();
            const QRect before(m_window.frameGeometry().topLeft(), resize->oldSize() + extra);
            const QRect now(m_window.frameGeometry().topLeft(), resize->size() + extra);
            if (resize->oldSize().isValid() && area.contains(before) && !area.contains(now)) {
                m_window.move(MovedInto(area, now).topLeft());
            }
        }
        return QObject::eventFilter(watched, event);
    }

private:
    QWidget &m_window;
};

} // namespace

void KeepOnScreenWhenResized(QWidget &window) {
    window.installEventFilter(new KeepOnScreen(window));
}

void LineUpAtFirstStart(const INIFILES &ini, const QList<QWidget *> &windows, const QStringList &sections) {
    const QScreen *screen = windows.isEmpty() ? nullptr : windows.first()->screen();
    if (screen == nullptr) {
        return;
    }
    QList<QRect> areas;
    for (const QScreen *each : QGuiApplication::screens()) {
        areas << each->availableGeometry();
    }
    for (const QString &section : sections) {
        if (ini.hasSavedPlace(section, areas)) {
            return;
        }
    }
    QList<QWidget *> shown;
    QList<StartWindow> start;
    for (QWidget *window : windows) {
        if (window->isVisible()) {
            const QSize extra = expectedFrame(*window, *windows.first()) - window->size();
            const bool fixed = window->minimumSize() == window->maximumSize();
            const QSize least = fixed ? window->size() : window->minimumSizeHint().expandedTo(window->minimumSize());
            shown << window;
            start << StartWindow{window->size() + extra, least + extra};
        }
    }
    const QList<QRect> frames = LineUpInArea(screen->availableGeometry(), start, 8);
    for (qsizetype i = 0; i < shown.size(); ++i) {
        const QSize extra = start[i].frame - shown[i]->size();
        shown[i]->resize(frames[i].size() - extra);
        shown[i]->move(frames[i].topLeft());
    }
}
