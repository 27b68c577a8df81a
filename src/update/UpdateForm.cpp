#include "update/UpdateForm.h"

#include "settings/Accessibility.h"
#include "update/UpdateChecker.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QPlainTextEdit>
#include <QVBoxLayout>

UpdateForm::UpdateForm(QWidget *parent)
    : QWidget(parent, Qt::Window) {
    setObjectName(QStringLiteral("UpdateForm"));
    InstallWindowRoles();
    setWindowTitle(QStringLiteral("Updates?"));
    resize(520, 360);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    // The answer to the question the window is opened for, over the server's own page.
    m_newsLine = new QLabel;
    m_newsLine->setObjectName(QStringLiteral("NewsLine"));
    m_newsLine->setTextFormat(Qt::PlainText);
    m_newsLine->setWordWrap(true);
    m_newsLine->setContentsMargins(2, 4, 2, 4);
    QFont bold = m_newsLine->font();
    bold.setBold(true);
    m_newsLine->setFont(bold);
    m_newsLine->hide();
    layout->addWidget(m_newsLine);
    m_rawTexta = new QPlainTextEdit;
    ShowFocusRing(*m_rawTexta);
    m_rawTexta->setObjectName(QStringLiteral("RawTexta"));
    m_rawTexta->setAccessibleName(QStringLiteral("What the update server said"));
    m_rawTexta->setReadOnly(true);
    m_rawTexta->setToolTip(QStringLiteral("Double click to clear"));
    m_rawTexta->viewport()->installEventFilter(this);
    layout->addWidget(m_rawTexta);
}

UpdateForm::~UpdateForm() = default;

void UpdateForm::render(const UpdateChecker &checker) {
    m_newsLine->setText(checker.NewsLine);
    m_newsLine->setVisible(!checker.NewsLine.isEmpty());
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

void UpdateForm::keyPressEvent(QKeyEvent *event) {
    // A window opened to read one answer: Esc closes it, as it closes a dialog.
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}

bool UpdateForm::eventFilter(QObject *watched, QEvent *event) {
    if (watched == m_rawTexta->viewport() && event->type() == QEvent::MouseButtonDblClick) {
        Q_EMIT rawTextaDoubleClicked();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}
