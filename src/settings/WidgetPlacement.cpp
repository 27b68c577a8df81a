#include "settings/WidgetPlacement.h"

#include "settings/FramedPlacement.h"
#include "settings/INIFILES.h"
#include "settings/SideBySide.h"

#include <QApplication>
#include <QPointer>
#include <QResizeEvent>
#include <QScreen>
#include <QTimer>
#include <QWidget>
#include <QWindow>

#include <cmath>

namespace {

// A window's frame as the window system tells it, for the frame placer: the frame is taken as
// told once the window is shown and either has a frame or has been on the screen for a while
// without one (a window manager that draws none).
class WidgetFrame final : public QObject, public FramedWindow {
public:
    explicit WidgetFrame(QWidget &window)
        : QObject(&window)
        , m_window(window) {
        setObjectName(QStringLiteral("frame placement"));
        m_poll.setInterval(50);
        connect(&m_poll, &QTimer::timeout, this, &WidgetFrame::lookForFrame);
        window.installEventFilter(this);
        if (window.isVisible()) {
            m_poll.start();
        }
    }
    ~WidgetFrame() override { placer().forget(*this); }

    static FramePlacer &placer() {
        static FramePlacer instance;
        return instance;
    }

    QSize clientSize() const override { return m_window.size(); }
    QSize minimumClientSize() const override {
        if (m_window.minimumSize() == m_window.maximumSize()) {
            return m_window.size();
        }
        return m_window.minimumSizeHint().expandedTo(m_window.minimumSize()).boundedTo(m_window.size());
    }
    bool isShown() const override { return m_window.isVisible(); }
    std::optional<QMargins> reportedFrame() const override {
        if (!m_reported) {
            return std::nullopt;
        }
        return liveFrame();
    }
    void setFrameGeometry(QPoint frameTopLeft, QSize client, const QMargins &frame) override {
        m_window.resize(client);
        if (!m_window.testAttribute(Qt::WA_WState_Created) || !liveFrame().isNull()) {
            // Not made yet (the window manager puts the frame where asked), or the frame is known.
            m_window.move(frameTopLeft);
        } else {
            // Made, but the window system has not told its frame: Qt would put the client where
            // the frame is meant to go.
            m_window.move(frameTopLeft + QPoint(frame.left(), frame.top()));
        }
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override {
        if (watched == &m_window && !m_reported) {
            if (event->type() == QEvent::Show) {
                m_ticks = 0;
                m_poll.start();
            } else if (event->type() == QEvent::Move || event->type() == QEvent::Resize) {
                lookForFrame();
            }
        }
        return QObject::eventFilter(watched, event);
    }

private:
    QMargins liveFrame() const {
        const QWindow *handle = m_window.windowHandle();
        if (handle == nullptr) {
            return {};
        }
        const QMargins frame = handle->frameMargins();
        // At a scale such as 1.5 a border of 1 device pixel is two thirds of a pixel here, and
        // Qt rounds it away: taken a pixel wider, the frame placed at the screen's edge stays on it.
        const qreal ratio = handle->devicePixelRatio();
        return frame.isNull() || ratio == std::floor(ratio) ? frame : frame + QMargins(1, 1, 1, 1);
    }

    void lookForFrame() {
        if (m_reported || !m_window.isVisible()) {
            return;
        }
        const QWindow *handle = m_window.windowHandle();
        const bool framed = !liveFrame().isNull();
        // About two seconds on the screen without a frame: the window manager draws none.
        const bool frameless = handle != nullptr && handle->isExposed() && ++m_ticks > 40;
        if (framed || frameless) {
            m_reported = true;
            m_poll.stop();
            placer().frameReported(*this);
        }
    }

    QWidget &m_window;
    QTimer m_poll;
    int m_ticks = 0;
    bool m_reported = false;
};

WidgetFrame &frameOf(QWidget &window) {
    if (auto *frame = window.findChild<WidgetFrame *>(QStringLiteral("frame placement"), Qt::FindDirectChildrenOnly)) {
        return *frame;
    }
    return *new WidgetFrame(window);
}

} // namespace

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
    // A place the user chose: no rule moves the window once its frame is known.
    WidgetFrame::placer().forget(frameOf(m_window));
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
    // Asked again with the real frame once the window is shown: the windows then may stand
    // elsewhere too, and the screen may be gone.
    const QPointer<const QScreen> onScreen(screen);
    const QPointer<const QWidget> main(&mainWindow);
    WidgetFrame::placer().place(frameOf(window), [&window, spot, onScreen, main](QSize frame) {
        const QScreen *where = onScreen ? onScreen.data() : window.screen();
        if (where == nullptr || main == nullptr) {
            return window.frameGeometry().topLeft();
        }
        FirstPlaceContext context{where->availableGeometry(), main->frameGeometry(), main->size(), {}};
        for (const QWidget *other : QApplication::topLevelWidgets()) {
            if (other != &window && other->isVisible() && other->isWindow()) {
                context.openFrames << other->frameGeometry();
            }
        }
        return FirstPlace(spot, context, window.size(), frame);
    });
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
    QList<FramedWindow *> shown;
    for (QWidget *window : windows) {
        if (window->isVisible()) {
            shown << &frameOf(*window);
        }
    }
    WidgetFrame::placer().lineUp(screen->availableGeometry(), shown, 8);
}
