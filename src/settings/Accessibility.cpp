#include "settings/Accessibility.h"

#include <QAbstractScrollArea>
#include <QAccessibleWidget>
#include <QEvent>
#include <QFocusFrame>
#include <QPainter>
#include <QPalette>
#include <QWidget>

namespace {

// Drawn over its pane, which it follows in size; the mouse goes through it to the pane. A focus
// frame, so that screen readers pass over it; but drawn inside the pane, not around it, where a
// stack of panes or a scrolled column would cut it off.
class FocusRing final : public QFocusFrame {
public:
    explicit FocusRing(QAbstractScrollArea &pane)
        : QFocusFrame(&pane)
        , m_pane(pane) {
        setObjectName(QStringLiteral("FocusRing"));
        setAttribute(Qt::WA_NoSystemBackground);
        setGeometry(pane.rect());
        pane.installEventFilter(this);
        raise();
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override {
        if (watched == &m_pane) {
            switch (event->type()) {
            case QEvent::Resize:
                setGeometry(m_pane.rect());
                raise();
                break;
            case QEvent::FocusIn:
            case QEvent::FocusOut:
                update();
                break;
            default:
                break;
            }
        }
        return QFocusFrame::eventFilter(watched, event);
    }
    void paintEvent(QPaintEvent *) override {
        if (m_pane.hasFocus()) {
            QPainter painter(this);
            DrawFocusRing(painter, rect(), m_pane.palette());
        }
    }

private:
    QAbstractScrollArea &m_pane;
};

QAccessibleInterface *windowFactory(const QString &, QObject *object) {
    auto *widget = qobject_cast<QWidget *>(object);
    // Only a window whose class comes straight from QWidget: menus, tips, dialogs and main
    // windows have roles of their own.
    if (widget != nullptr && widget->windowType() == Qt::Window &&
        widget->metaObject()->superClass() == &QWidget::staticMetaObject) {
        return new QAccessibleWidget(widget, QAccessible::Window);
    }
    return nullptr;
}

} // namespace

void InstallWindowRoles() {
    static const bool installed = (QAccessible::installFactory(windowFactory), true);
    Q_UNUSED(installed);
}

void DrawFocusRing(QPainter &painter, const QRect &around, const QPalette &palette) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(
        QPen(palette.color(QPalette::Active, QPalette::Highlight), 2, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    painter.drawRect(QRectF(around).adjusted(1, 1, -1, -1));
    painter.restore();
}

void ShowFocusRing(QAbstractScrollArea &pane) {
    new FocusRing(pane);
}
