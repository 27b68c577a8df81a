#include "console/ConsoleForm.h"

#include "console/ConsoleMonitor.h"
#include "platform/ShownForm.h"

#include <QCloseEvent>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QStatusBar>
#include <QVBoxLayout>

namespace {

QPlainTextEdit *textBox(const QString &name, const QString &tip) {
    auto *box = new QPlainTextEdit;
    box->setObjectName(name);
    box->setToolTip(tip);
    box->setReadOnly(true);
    box->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    return box;
}

} // namespace

ConsoleForm::ConsoleForm(QWidget *parent)
    : QMainWindow(parent) {
    setObjectName(QStringLiteral("ConsoleForm"));
    setWindowTitle(QStringLiteral("Console"));
    resize(1100, 560);

    auto *central = new QWidget;
    auto *row = new QHBoxLayout(central);
    row->setContentsMargins(4, 4, 4, 4);

    m_consoleText = textBox(QStringLiteral("ConsoleText"), QStringLiteral("Double Click to Open"));
    // Read-only for editing, but it takes the keys: they go to the radio's console.
    m_consoleText->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    m_consoleText->setFocusPolicy(Qt::StrongFocus);
    m_consoleText->setAutoFillBackground(true);
    m_consoleText->installEventFilter(this);
    m_consoleText->viewport()->installEventFilter(this);

    m_sideColumn = new QWidget;
    auto *side = new QVBoxLayout(m_sideColumn);
    side->setContentsMargins(0, 0, 0, 0);
    m_captureText =
        textBox(QStringLiteral("ConsoleCaptureText"), QStringLiteral("What is playing; double click to clear"));
    m_captureText->viewport()->installEventFilter(this);
    // The eleven summary lines at least; long addresses wrap onto the lines below.
    const QFontMetrics metrics(m_captureText->font());
    m_captureText->setMinimumHeight(metrics.lineSpacing() * 11 + 2 * m_captureText->frameWidth() +
                                    2 * int(m_captureText->document()->documentMargin()) + 4);
    m_curlList = new QListWidget;
    m_curlList->setObjectName(QStringLiteral("TheCurlList"));
    m_curlList->setToolTip(QStringLiteral("Every address fetched, oldest first"));
    side->addWidget(m_captureText, 3);
    side->addWidget(m_curlList, 2);

    row->addWidget(m_consoleText, 3);
    row->addWidget(m_sideColumn, 2);
    setCentralWidget(central);

    auto *bar = new QStatusBar(this);
    bar->setObjectName(QStringLiteral("StatusBar1"));
    for (size_t i = 0; i < m_panels.size(); ++i) {
        auto *panel = new QLabel;
        panel->setObjectName(QStringLiteral("StatusPanel%1").arg(i + 1));
        panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        panel->setMinimumWidth(60);
        panel->installEventFilter(this);
        m_panels[i] = panel;
    }
    bar->addWidget(m_panels[0], 1);
    bar->addWidget(m_panels[1], 0);
    bar->addWidget(m_panels[2], 2);
    setStatusBar(bar);
}

ConsoleForm::~ConsoleForm() = default;

void ConsoleForm::render(const ConsoleMonitor &monitor) {
    setConsoleText(monitor.ConsoleText);
    if (monitor.TextColour != m_shownColour) {
        m_shownColour = monitor.TextColour;
        QPalette palette = m_consoleText->palette();
        palette.setColor(QPalette::Base, Qt::black);
        palette.setColor(QPalette::Text, ShownColour(monitor.TextColour));
        m_consoleText->setPalette(palette);
    }
    const QString capture = ShownLineBreaks(monitor.ConsoleCaptureText);
    if (m_captureText->toPlainText() != capture) {
        m_captureText->setPlainText(capture);
    }
    const QStringList &curls = monitor.TheCurlList();
    bool same = m_curlList->count() == curls.size();
    for (int i = 0; same && i < m_curlList->count(); ++i) {
        same = m_curlList->item(i)->text() == curls.at(i);
    }
    if (!same) {
        m_curlList->clear();
        m_curlList->addItems(curls);
        m_curlList->scrollToBottom();
    }
    m_sideColumn->setVisible(monitor.CaptureVisible);
    for (int panel = 1; panel <= 3; ++panel) {
        QLabel *label = m_panels[size_t(panel - 1)];
        label->setText(monitor.StatusPanel[size_t(panel)]);
        label->setToolTip(monitor.StatusTip[size_t(panel)]);
    }
}

void ConsoleForm::setConsoleText(const QString &raw) {
    if (raw == m_shownRaw) {
        return;
    }
    // Usually only new text came; appending it keeps the view cheap and the selection intact.
    // Once the text is at its limit the front moves too, and the view is filled anew.
    if (!m_shownRaw.isEmpty() && raw.startsWith(m_shownRaw) && !m_shownRaw.endsWith(u'\r')) {
        QTextCursor cursor(m_consoleText->document());
        cursor.movePosition(QTextCursor::End);
        cursor.insertText(ShownLineBreaks(raw.mid(m_shownRaw.size())));
    } else {
        m_consoleText->setPlainText(ShownLineBreaks(raw));
    }
    m_shownRaw = raw;
    // Like a terminal: the caret and the view follow the end, unless the user is selecting.
    if (!m_consoleText->textCursor().hasSelection()) {
        m_consoleText->moveCursor(QTextCursor::End);
    }
    m_consoleText->verticalScrollBar()->setValue(m_consoleText->verticalScrollBar()->maximum());
}

void ConsoleForm::closeEvent(QCloseEvent *event) {
    Q_EMIT unloading();
    event->accept();
}

bool ConsoleForm::eventFilter(QObject *watched, QEvent *event) {
    const QEvent::Type type = event->type();
    if (watched == m_consoleText->viewport() && type == QEvent::MouseButtonDblClick) {
        Q_EMIT consoleTextDoubleClicked();
        return true;
    }
    if (watched == m_captureText->viewport() && type == QEvent::MouseButtonDblClick) {
        Q_EMIT captureTextDoubleClicked();
        return true;
    }
    if (watched == m_consoleText && type == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        // Copying a selection stays possible; everything else typed goes to the radio.
        if (key->matches(QKeySequence::Copy)) {
            return false;
        }
        if (!key->text().isEmpty()) {
            Q_EMIT typed(key->text());
            return true;
        }
        return false;
    }
    for (size_t i = 0; i < m_panels.size(); ++i) {
        if (watched != m_panels[i]) {
            continue;
        }
        if (type == QEvent::MouseButtonDblClick) {
            Q_EMIT panelDoubleClicked(int(i) + 1);
            return true;
        }
        if (type == QEvent::MouseButtonPress) {
            Q_EMIT panelClicked(int(i) + 1);
            return true;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}
