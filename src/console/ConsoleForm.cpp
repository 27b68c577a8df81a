#include "console/ConsoleForm.h"

#include "console/ConsoleMonitor.h"
#include "platform/ControlPictures.h"
#include "platform/ShownForm.h"
#include "settings/Accessibility.h"

#include <QCloseEvent>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QStatusBar>
#include <QVBoxLayout>

#include <algorithm>

namespace {

QPlainTextEdit *textBox(const QString &name, const QString &spoken, const QString &tip) {
    auto *box = new QPlainTextEdit;
    ShowFocusRing(*box);
    box->setObjectName(name);
    box->setAccessibleName(spoken);
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

    m_consoleText =
        textBox(QStringLiteral("ConsoleText"), QStringLiteral("Console"),
                QStringLiteral("Double click (or Connect) opens the console; keys typed here go to the radio"));
    // Read-only for editing, but it takes the keys: they go to the radio's console.
    m_consoleText->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    m_consoleText->setFocusPolicy(Qt::StrongFocus);
    m_consoleText->setAutoFillBackground(true);
    m_consoleText->installEventFilter(this);
    m_consoleText->viewport()->installEventFilter(this);
    // Text is only ever added and cut by the program; an undo history would keep every
    // character the console ever sent.
    m_consoleText->document()->setUndoRedoEnabled(false);

    m_sideColumn = new QWidget;
    auto *side = new QVBoxLayout(m_sideColumn);
    side->setContentsMargins(0, 0, 0, 0);
    m_captureText = textBox(QStringLiteral("ConsoleCaptureText"), QStringLiteral("What is playing"),
                            QStringLiteral("What is playing; double click to clear"));
    m_captureText->viewport()->installEventFilter(this);
    m_captureText->document()->setUndoRedoEnabled(false);
    // The eleven summary lines at least; long addresses wrap onto the lines below.
    const QFontMetrics metrics(m_captureText->font());
    m_captureText->setMinimumHeight(metrics.lineSpacing() * 11 + 2 * m_captureText->frameWidth() +
                                    2 * int(m_captureText->document()->documentMargin()) + 4);
    m_curlList = new QListWidget;
    ShowFocusRing(*m_curlList);
    m_curlList->setObjectName(QStringLiteral("TheCurlList"));
    m_curlList->setAccessibleName(QStringLiteral("Station addresses"));
    m_curlList->setToolTip(QStringLiteral("Every address fetched, oldest first"));
    side->addWidget(m_captureText, 3);
    side->addWidget(m_curlList, 2);

    // The button does what a double click on the console text does.
    m_connect = new QPushButton(QStringLiteral("Connect"));
    m_connect->setObjectName(QStringLiteral("ConnectButton"));
    m_connect->setToolTip(QStringLiteral("Opens or closes the connection to the radio's console (also a double click "
                                         "on the black pane)"));
    connect(m_connect, &QPushButton::clicked, this, &ConsoleForm::connectClicked);
    // Where the console is; what is typed is kept at once (Radio > Radio Address... sets it too).
    m_host = new QLineEdit;
    m_host->setObjectName(QStringLiteral("ConsoleHost"));
    m_host->setAccessibleName(QStringLiteral("Console address"));
    m_host->setToolTip(QStringLiteral("The radio's console: its host (usually the radio's own address)"));
    m_port = new QLineEdit;
    m_port->setObjectName(QStringLiteral("ConsolePort"));
    m_port->setAccessibleName(QStringLiteral("Console port"));
    m_port->setToolTip(QStringLiteral("The console's port"));
    m_port->setMaximumWidth(m_port->fontMetrics().horizontalAdvance(QStringLiteral("0000000")) + 16);
    const auto edited = [this] { Q_EMIT addressEdited(m_host->text(), m_port->text()); };
    connect(m_host, &QLineEdit::textEdited, this, edited);
    connect(m_port, &QLineEdit::textEdited, this, edited);
    auto *left = new QVBoxLayout;
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(m_connect);
    buttons->addSpacing(12);
    buttons->addWidget(new QLabel(QStringLiteral("Console at")));
    buttons->addWidget(m_host, 1);
    buttons->addWidget(new QLabel(QStringLiteral("Port")));
    buttons->addWidget(m_port);
    buttons->addStretch(1);
    left->addLayout(buttons);
    left->addWidget(m_consoleText, 1);
    row->addLayout(left, 3);
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
    showConsoleText(monitor);
    if (monitor.TextColour != m_shownColour) {
        m_shownColour = monitor.TextColour;
        QPalette palette = m_consoleText->palette();
        palette.setColor(QPalette::Base, Qt::black);
        palette.setColor(QPalette::Text, ShownColour(monitor.TextColour));
        palette.setColor(QPalette::PlaceholderText, QColor(0xc0, 0xc0, 0xc0));
        m_consoleText->setPalette(palette);
    }
    if (monitor.ConsoleCaptureText != m_captureShown) {
        m_captureShown = monitor.ConsoleCaptureText;
        m_captureText->setPlainText(ShownLineBreaks(m_captureShown));
    }
    showCurls(monitor);
    m_connect->setText(monitor.connectionOpen() ? QStringLiteral("Disconnect") : QStringLiteral("Connect"));
    // The fields follow the logic, except while the user types in them.
    if (!m_host->hasFocus() && m_host->text() != monitor.ConsoleAddress) {
        m_host->setText(monitor.ConsoleAddress);
    }
    if (!m_port->hasFocus() && m_port->text() != monitor.ConsolePort) {
        m_port->setText(monitor.ConsolePort);
    }
    const bool open = monitor.connectionOpen();
    m_host->setEnabled(!open);
    m_port->setEnabled(!open);
    if (const QString notice = monitor.paneNotice(); m_consoleText->placeholderText() != notice) {
        m_consoleText->setPlaceholderText(notice);
        m_consoleText->viewport()->update(); // the view does not repaint for a new placeholder
    }
    m_sideColumn->setVisible(monitor.CaptureVisible);
    for (int panel = 1; panel <= 3; ++panel) {
        QLabel *label = m_panels[size_t(panel - 1)];
        label->setText(monitor.StatusPanel[size_t(panel)]);
        label->setToolTip(monitor.StatusTip[size_t(panel)]);
    }
}

void ConsoleForm::showConsoleText(const ConsoleMonitor &monitor) {
    const QString &raw = monitor.ConsoleText;
    const qint64 added = monitor.consoleTextAdded() - m_textShown;
    const bool restart = monitor.consoleTextClears() != m_textClearsShown || added < 0 || added > raw.size();
    if (!restart && added == 0) {
        return;
    }
    QTextDocument *document = m_consoleText->document();
    // One edit, so the view lays its text out once per render.
    QTextCursor edit(document);
    edit.beginEditBlock();
    // Usually only new text came; appending it keeps the view cheap and the selection intact.
    // After a new connection, or when more came than the monitor keeps, the view starts anew.
    if (restart) {
        edit.select(QTextCursor::Document);
        m_textEndsInCR = false;
        m_lastLineLength = 0;
        edit.insertText(shownText(raw));
    } else {
        edit.movePosition(QTextCursor::End);
        edit.insertText(shownText(QStringView(raw).right(added)));
    }
    // The view keeps what the monitor keeps, at most: the oldest lines leave from the top.
    const int excess = document->characterCount() - 1 - ConsoleMonitor::TextLimit;
    if (excess > 0) {
        QTextCursor front(document);
        front.setPosition(excess, QTextCursor::KeepAnchor);
        front.removeSelectedText();
    }
    edit.endEditBlock();
    m_textClearsShown = monitor.consoleTextClears();
    m_textShown = monitor.consoleTextAdded();
    // Like a terminal: the caret and the view follow the end, unless the user is selecting.
    if (!m_consoleText->textCursor().hasSelection()) {
        m_consoleText->moveCursor(QTextCursor::End);
    }
    m_consoleText->verticalScrollBar()->setValue(m_consoleText->verticalScrollBar()->maximum());
}

QString ConsoleForm::shownText(QStringView raw) {
    QString shown;
    shown.reserve(raw.size() + raw.size() / FoldLength + 1);
    for (const QChar c : raw) {
        // CR LF, LF and a bare CR are one line break each, also when a CR LF pair is split
        // between two renders.
        if (c == u'\n' && m_textEndsInCR) {
            m_textEndsInCR = false;
            continue;
        }
        m_textEndsInCR = c == u'\r';
        if (c == u'\r' || c == u'\n') {
            shown += u'\n';
            m_lastLineLength = 0;
            continue;
        }
        // A text view lays out a whole line whenever any of it changes: a line of tens of
        // thousands of characters, growing as it streams in, would be laid out again on every
        // render. Shown in pieces, only the last piece is.
        if (m_lastLineLength == FoldLength) {
            shown += u'\n';
            m_lastLineLength = 0;
        }
        shown += ControlPicture(c);
        ++m_lastLineLength;
    }
    return shown;
}

void ConsoleForm::showCurls(const ConsoleMonitor &monitor) {
    // The monitor's list holds the fetches numbered first..added-1; the view those numbered
    // up to m_curlsShown. Those the monitor let go leave the top, the new ones are added.
    const QStringList &curls = monitor.TheCurlList();
    const qint64 added = monitor.curlsAdded();
    const qint64 first = added - curls.size();
    const qint64 shownFirst = m_curlsShown - m_curlList->count();
    const int gone = int(std::clamp<qint64>(first - shownFirst, 0, m_curlList->count()));
    if (gone == 0 && added == m_curlsShown) {
        return;
    }
    if (gone > 0) {
        m_curlList->model()->removeRows(0, gone);
    }
    for (qint64 n = std::max(first, m_curlsShown); n < added; ++n) {
        m_curlList->addItem(curls.at(qsizetype(n - first)));
    }
    m_curlsShown = added;
    m_curlList->scrollToBottom();
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
        // Tab moves the focus on, as everywhere else; the console has no use for it.
        if ((key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab) &&
            !(key->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
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
