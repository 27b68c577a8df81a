#include "display/DisplayForm.h"

#include "display/DisplayAccessible.h"
#include "display/DisplayControl.h"
#include "keyboard/KeyMap.h"
#include "session/RadioView.h"
#include "settings/Accessibility.h"
#include "settings/PlaceToolTip.h"

#include <QAccessible>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QVBoxLayout>

namespace {

// The 320x240 picture area: paints the drawing and hands mouse events to the logic.
class ScreenArea final : public QWidget {
public:
    explicit ScreenArea(DisplayControl &control, QWidget *parent)
        : QWidget(parent)
        , m_control(control) {
        setFixedSize(ScreenRenderer::ScreenWidth, ScreenRenderer::ScreenHeight);
        setAttribute(Qt::WA_OpaquePaintEvent);
        // Tab reaches the screen; the radio's keys typed on it go on to the window.
        setFocusPolicy(Qt::StrongFocus);
    }

protected:
    void paintEvent(QPaintEvent *) override {
        QPainter painter(this);
        painter.drawImage(QPoint(0, 0), m_control.screen.render(devicePixelRatioF()));
    }
    void mousePressEvent(QMouseEvent *event) override {
        m_control.MouseDown(event->position().toPoint(), event->button());
    }
    void mouseReleaseEvent(QMouseEvent *event) override { m_control.MouseUp(event->button()); }
    // The window draws the focus ring around the screen, which keeps every pixel of its own.
    void focusInEvent(QFocusEvent *) override { parentWidget()->update(); }
    void focusOutEvent(QFocusEvent *) override { parentWidget()->update(); }
    void mouseDoubleClickEvent(QMouseEvent *event) override {
        m_control.DoubleClick(event->position().toPoint(), event->button());
    }
    bool event(QEvent *event) override {
        return AnswerToolTip(*this, event, [this](QPoint at) { return m_control.screen.toolTipAt(at); }) ||
               QWidget::event(event);
    }

public:
    DisplayControl &control() const { return m_control; }

private:
    DisplayControl &m_control;
};

// Screen readers find the screen's objects.
QAccessibleInterface *displayFactory(const QString &, QObject *object) {
    if (auto *screen = dynamic_cast<ScreenArea *>(object)) {
        return NewDisplayScreenAccessible(*screen, screen->control());
    }
    return nullptr;
}

} // namespace

DisplayForm::DisplayForm(DisplayControl &control, const RadioView &view, QWidget *parent)
    : QWidget(parent, Qt::Window)
    , m_control(control)
    , m_view(view) {
    setObjectName(QStringLiteral("DisplayForm"));
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);
    layout->setSpacing(4);
    static const bool accessible = (QAccessible::installFactory(displayFactory), true);
    Q_UNUSED(accessible);
    InstallWindowRoles();
    m_screen = new ScreenArea(control, this);
    m_screen->setObjectName(QStringLiteral("BackGround"));
    layout->addWidget(m_screen, 0, Qt::AlignCenter);
    m_search = new QLineEdit(this);
    m_search->setObjectName(QStringLiteral("SearchForText"));
    m_search->setAccessibleName(QStringLiteral("Search text"));
    m_search->setToolTip(QStringLiteral("Enter search word; Enter, \".\" or a double click sends it to the radio"));
    m_search->installEventFilter(this);
    layout->addWidget(m_search);
    layout->addStretch(1);

    connect(m_search, &QLineEdit::textChanged, this, [this](const QString &text) {
        if (!m_settingText) {
            m_control.SearchForText_Change(text);
        }
    });
    connect(&m_control, &DisplayControl::changed, this, [this] {
        m_screenStale = true;
        render();
    });
    connect(&m_control, &DisplayControl::searchBoxChanged, this, &DisplayForm::render);
    render();
}

DisplayForm::~DisplayForm() = default;

void DisplayForm::render() {
    const QString notLive = m_control.screen.notLiveText();
    const QString title =
        notLive.isEmpty() ? m_control.screen.Caption : m_control.screen.Caption + QStringLiteral(" (") + notLive + u')';
    if (windowTitle() != title) {
        setWindowTitle(title);
    }
    if (m_search->isHidden() == m_view.SearchBoxVisible) {
        showSearchBox(m_view.SearchBoxVisible);
    }
    m_search->setEnabled(m_control.SearchEnabled);
    if (m_search->text() != m_control.SearchText) {
        m_settingText = true;
        m_search->setText(m_control.SearchText);
        m_search->end(false);
        m_settingText = false;
    }
    // The window renders on every change of the link's view; the picture is painted again only
    // when it is not the one on screen.
    if (m_screenStale || notLive != m_notLiveShown) {
        m_screenStale = false;
        m_notLiveShown = notLive;
        m_screen->update();
        m_announcer.announce(*m_screen, m_control);
    }
}

void DisplayForm::showSearchBox(bool shown) {
    // The box makes the window taller when it comes; when it goes, the window gives that height
    // back rather than keep an empty strip, unless the user resized it in between.
    const QSize before = size();
    m_search->setVisible(shown);
    layout()->activate();
    if (shown) {
        m_grownForSearch.reset();
        if (size() != before) {
            m_grownForSearch = std::pair{before, size()};
        }
    } else if (m_grownForSearch) {
        if (size() == m_grownForSearch->second) {
            resize(m_grownForSearch->first);
        }
        m_grownForSearch.reset();
    }
}

void DisplayForm::focusSearchBox() {
    render();
    m_search->setFocus();
    m_search->end(false);
}

void DisplayForm::closeEvent(QCloseEvent *event) {
    // The window stays alive with the program; closing only puts it out of sight.
    event->ignore();
    Q_EMIT closing();
}

void DisplayForm::paintEvent(QPaintEvent *) {
    if (m_screen->hasFocus()) {
        QPainter painter(this);
        DrawFocusRing(painter, m_screen->geometry().adjusted(-3, -3, 3, 3), palette());
    }
}

void DisplayForm::keyPressEvent(QKeyEvent *event) {
    // Keys the search box takes never get here; the others it passes on (Escape, the up and down
    // arrows) do.
    if (m_control.KeyPress(StrokeOf(*event))) {
        event->accept();
    } else {
        QWidget::keyPressEvent(event);
    }
}

bool DisplayForm::eventFilter(QObject *watched, QEvent *event) {
    if (watched == m_search && event->type() == QEvent::KeyPress) {
        auto *key = static_cast<QKeyEvent *>(event);
        // Enter starts the search as "." does: the word's end mark "_" goes at the end of the
        // box, wherever the cursor stood.
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            // Held down, it would type the word again on every repeat of the key.
            if (key->isAutoRepeat()) {
                return true;
            }
            m_search->end(false);
            m_search->insert(DisplayControl::SearchKeyFilter(u'.'));
            return true;
        }
        const QString typed = key->text();
        // Keys that type no character (arrows, Delete, Tab, Escape, shortcuts) work as in any
        // box; Backspace is among them.
        if (typed.size() != 1 || !typed.front().isPrint()) {
            return false;
        }
        const QString kept = DisplayControl::SearchKeyFilter(typed.front());
        // "." and "_" start the search as Enter does, and are held no more than it is.
        if (key->isAutoRepeat() && kept == DisplayControl::SearchKeyFilter(u'.')) {
            return true;
        }
        if (kept == typed) {
            return false;
        }
        if (!kept.isEmpty() && kept.front().isPrint()) {
            m_search->insert(kept);
        }
        return true;
    }
    if (watched == m_search && event->type() == QEvent::MouseButtonDblClick) {
        m_control.SearchForText_DblClick();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}
