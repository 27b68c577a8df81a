#include "update/UpdateForm.h"

#include "update/UpdateChecker.h"

#include <QCloseEvent>
#include <QPlainTextEdit>
#include <QVBoxLayout>

UpdateForm::UpdateForm(QWidget *parent)
    : QWidget(parent, Qt::Window) {
    setObjectName(QStringLiteral("UpdateForm"));
    setWindowTitle(QStringLiteral("Updates?"));
    resize(520, 360);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    m_rawTexta = new QPlainTextEdit;
    m_rawTexta->setObjectName(QStringLiteral("RawTexta"));
    m_rawTexta->setReadOnly(true);
    m_rawTexta->setToolTip(QStringLiteral("Double click to clear"));
    m_rawTexta->viewport()->installEventFilter(this);
    layout->addWidget(m_rawTexta);
}

UpdateForm::~UpdateForm() = default;

void UpdateForm::render(const UpdateChecker &checker) {
    QString shown = checker.RawTexta;
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    if (shown.endsWith(u'\n')) {
        shown.chop(1); // the last line's end would show as an empty line
    }
    if (m_rawTexta->toPlainText() != shown) {
        m_rawTexta->setPlainText(shown);
    }
}

void UpdateForm::closeEvent(QCloseEvent *event) {
    Q_EMIT unloading();
    event->accept();
}

bool UpdateForm::eventFilter(QObject *watched, QEvent *event) {
    if (watched == m_rawTexta->viewport() && event->type() == QEvent::MouseButtonDblClick) {
        Q_EMIT rawTextaDoubleClicked();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}
