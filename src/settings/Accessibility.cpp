#include "settings/Accessibility.h"

#include <QAbstractScrollArea>
#include <QAccessibleWidget>
#include <QEvent>
#include <QPainter>
#include <QPalette>
#include <QWidget>

namespace {

// Drawn over its pane, which it follows in size; the mouse goes through it to the pane.
class FocusRing final : public QWidget {
public:
    explicit FocusRing(QAbstractScrollArea &pane)
        : QWidget(&pane)
        , m_pane(pane) {
        setObjectName(QStringLiteral("FocusRing"));
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setAttribute(Qt::WA_NoSystemBackground);
        setFocusPolicy(Qt::NoFocus);
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
        return QWidget::eventFilter(watched, event);
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
