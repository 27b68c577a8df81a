#include "remote/RemoteForm.h"

#include "keyboard/KeyMap.h"
#include "platform/Imaging.h"
#include "platform/ShownForm.h"
#include "remote/RemoteAccessible.h"
#include "remote/RemoteControl.h"
#include "settings/Accessibility.h"
#include "settings/LinkHealthBadge.h"
#include "settings/PlaceToolTip.h"

#include <QAccessible>
#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QMessageBox>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QStatusBar>
#include <QToolButton>

// Shows the picture as large as it fits, its proportions kept and centred on the window's
// background, and draws the pointer aid on top. The logic sees positions in pixels of the
// picture as shown, so its hit test and percentages do not depend on the bands beside it.
class RemotePicture final : public QWidget {
public:
    explicit RemotePicture(RemoteControl &control, QWidget *parent)
        : QWidget(parent)
        , m_control(control) {
        setObjectName(QStringLiteral("RemoteImage"));
        setMouseTracking(true);
        setAcceptDrops(true);
        setMinimumSize(60, 120);
        // Tab reaches the picture; the keyboard's keys typed on it go on to the window.
        setFocusPolicy(Qt::StrongFocus);
    }

    // Where the picture is drawn in this control.
    QRect shownRect() const { return FittedPictureRect(m_control.picture().size(), size()); }
    // Tells the logic the size the picture is shown at (after a resize or a new picture).
    void fitPicture() { m_control.setPictureSize(QSizeF(shownRect().size())); }

protected:
    void paintEvent(QPaintEvent *) override {
        QPainter painter(this);
        const QImage &picture = m_control.picture();
        const QRect shown = shownRect();
        painter.fillRect(rect(), palette().window());
        if (!picture.isNull()) {
            // Scaled once per size, picture and screen, not on every mouse move: to the screen's
            // device pixels, from the picture drawn at twice the size where the screen has more.
            const qreal ratio = devicePixelRatioF();
            if (m_scaledFor != shown.size() || m_source != picture.cacheKey() || m_ratio != ratio) {
                m_scaled = QPixmap::fromImage(
                    Imaging::PictureForScreen(picture, m_control.sharpPicture(), shown.size(), ratio));
                m_scaledFor = shown.size();
                m_source = picture.cacheKey();
                m_ratio = ratio;
            }
            painter.drawPixmap(shown.topLeft(), m_scaled);
        }
        if (hasFocus()) {
            DrawFocusRing(painter, shown, palette());
        }
        const PointerAid &aid = m_control.aid();
        if (!aid.visible) {
            return;
        }
        const int colour = m_control.pointerBorderColour();
        const QColor border = colour < 0 ? QColor(230, 40, 40) : ShownColour(colour);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(QPen(border, 2));
        painter.setBrush(Qt::NoBrush);
        const QRectF shape = aid.geometry().translated(shown.topLeft());
        if (aid.shape == PointerAid::Oval) {
            painter.drawEllipse(shape);
        } else {
            painter.drawRect(shape);
        }
    }

    void resizeEvent(QResizeEvent *) override { fitPicture(); }

    bool event(QEvent *event) override {
        return AnswerToolTip(*this, event,
                             [this](QPoint at) { return m_control.toolTipAt(QPointF(at - shownRect().topLeft())); }) ||
               QWidget::event(event);
    }

    void mousePressEvent(QMouseEvent *event) override {
        m_control.RemoteImage_MouseDown(event->button(), event->modifiers(), onPicture(*event));
    }

    // Qt delivers a double click in place of the second press; without this handler it would
    // reach mousePressEvent as one.
    void mouseDoubleClickEvent(QMouseEvent *event) override {
        m_control.RemoteImage_DblClick(event->button(), event->modifiers(), onPicture(*event));
    }

    void mouseMoveEvent(QMouseEvent *event) override {
        m_control.RemoteImage_MouseMove(event->modifiers(), onPicture(*event));
    }

    void dragEnterEvent(QDragEnterEvent *event) override {
        if (event->mimeData()->hasUrls()) {
            event->acceptProposedAction();
        }
    }

    void dropEvent(QDropEvent *event) override {
        const QList<QUrl> urls = event->mimeData()->urls();
        if (urls.isEmpty()) {
            return;
        }
        event->acceptProposedAction();
        m_control.RemoteImage_OLEDragDrop(urls.first().isLocalFile() ? urls.first().toLocalFile() : QString());
    }

public:
    RemoteControl &control() const { return m_control; }

private:
    // A mouse position in pixels of the picture as shown; in a band beside the picture it lies
    // outside the picture, where no key is.
    QPointF onPicture(const QMouseEvent &event) const { return event.position() - QPointF(shownRect().topLeft()); }

    RemoteControl &m_control;
    QPixmap m_scaled;
    QSize m_scaledFor;
    qint64 m_source = 0;
    qreal m_ratio = 0;
};

namespace {

// Screen readers find the picture's keys as buttons.
QAccessibleInterface *remotePictureFactory(const QString &, QObject *object) {
    if (auto *picture = dynamic_cast<RemotePicture *>(object)) {
        return NewRemotePictureAccessible(*picture, picture->control());
    }
    return nullptr;
}

} // namespace

RemoteForm::RemoteForm(RemoteControl &control, QWidget *parent)
    : QMainWindow(parent)
    , m_control(control) {
    setObjectName(QStringLiteral("RemoteForm"));
    setWindowTitle(QStringLiteral("Remote Control"));

    static const bool accessible = (QAccessible::installFactory(remotePictureFactory), true);
    Q_UNUSED(accessible);
    m_picture = new RemotePicture(control, this);
    m_picture->setAccessibleName(QStringLiteral("Remote control keys"));
    setCentralWidget(m_picture);

    auto *bar = new QStatusBar(this);
    bar->setObjectName(QStringLiteral("StatusBar1"));
    bar->setSizeGripEnabled(false);
    // Whether the radio answers comes first; the pointer's panels keep their places after it.
    m_health = new LinkHealthBadge;
    m_health->setMinimumWidth(20);
    bar->addWidget(m_health, 8);
    const QString tips[3] = {QStringLiteral("Click to reset connection"), QStringLiteral("Click to reset connection"),
                             QStringLiteral("Click to show and Hide the Info Frame")};
    for (size_t i = 0; i < m_panels.size(); ++i) {
        auto *panel = new QLabel;
        panel->setObjectName(QStringLiteral("StatusPanel%1").arg(i + 1));
        panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        panel->setToolTip(tips[i]);
        panel->setMinimumWidth(20);
        // Long texts (a refused drop) are cut rather than widening the window.
        panel->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
        panel->installEventFilter(this);
        // The positions need more room than the command.
        bar->addWidget(panel, i == 1 ? 4 : 5);
        m_panels[i] = panel;
    }
    m_keysButton = new QToolButton(bar);
    m_keysButton->setObjectName(QStringLiteral("KeysButton"));
    m_keysButton->setText(QStringLiteral("?"));
    m_keysButton->setToolTip(QStringLiteral("The keyboard's keys for the remote (F1)"));
    // F1 is the program's Help > Keyboard Keys, which works from every window and shows this box.
    m_keysButton->setAutoRaise(true);
    // As narrow as its mark: the panels need the room.
    m_keysButton->setFixedWidth(m_keysButton->fontMetrics().horizontalAdvance(m_keysButton->text()) + 8);
    // Tab reaches it after the picture, which has the focus when the window opens: the keys
    // typed there belong to the window.
    m_keysButton->setFocusPolicy(Qt::TabFocus);
    connect(m_keysButton, &QToolButton::clicked, this, &RemoteForm::showKeysHelp);
    bar->addPermanentWidget(m_keysButton);
    setStatusBar(bar);

    connect(&m_control, &RemoteControl::changed, this, &RemoteForm::render);
    // The default remote is 280 by 720 pixels; the window starts at that size.
    resize(280, 720 + bar->sizeHint().height());
    render();
}

RemoteForm::~RemoteForm() = default;

QWidget *RemoteForm::RemoteImage() const {
    return m_picture;
}

void RemoteForm::showLinkHealth(const LinkHealthLook &look) {
    m_health->showLook(look);
}

QLabel *RemoteForm::statusPanel(int panel) const {
    return panel >= 1 && panel <= 3 ? m_panels[size_t(panel - 1)] : nullptr;
}

void RemoteForm::render() {
    const auto &panels = m_control.statusPanels();
    for (size_t i = 0; i < m_panels.size(); ++i) {
        if (m_panels[i]->text() != panels[i + 1]) {
            m_panels[i]->setText(panels[i + 1]);
        }
    }
    // A new picture may have other proportions than the last.
    m_picture->fitPicture();
    m_picture->update();
}

void RemoteForm::showKeysHelp() {
    if (m_keysHelp == nullptr) {
        m_keysHelp = new QMessageBox(QMessageBox::NoIcon, QStringLiteral("Keyboard Keys"), KeyboardHelpText(),
                                     QMessageBox::Close, this);
        m_keysHelp->setObjectName(QStringLiteral("KeysHelp"));
        m_keysHelp->setTextFormat(Qt::RichText);
        m_keysHelp->setModal(false);
    }
    m_keysHelp->show();
    m_keysHelp->raise();
    m_keysHelp->activateWindow();
}

void RemoteForm::closeByProgram() {
    if (m_closing) {
        return;
    }
    m_closing = true;
    m_control.Form_Unload();
    close();
}

void RemoteForm::closeEvent(QCloseEvent *event) {
    if (m_closing) {
        event->accept();
        return;
    }
    // Closed by hand, the remote only goes out of sight; Reload shows it again.
    event->ignore();
    hide();
}

void RemoteForm::keyPressEvent(QKeyEvent *event) {
    if (m_control.KeyPress(StrokeOf(*event))) {
        event->accept();
    } else {
        QMainWindow::keyPressEvent(event);
    }
}

bool RemoteForm::eventFilter(QObject *watched, QEvent *event) {
    if (event->type() == QEvent::MouseButtonPress) {
        for (size_t i = 0; i < m_panels.size(); ++i) {
            if (watched == m_panels[i]) {
                m_control.StatusBar1_PanelClick(int(i) + 1);
                return true;
            }
        }
    }
    return QMainWindow::eventFilter(watched, event);
}
