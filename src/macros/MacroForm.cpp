#include "macros/MacroForm.h"

#include "platform/ShownForm.h"
#include "session/MacroRunner.h"
#include "settings/Accessibility.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QFontDatabase>
#include <QFontMetricsF>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QStatusBar>
#include <QTextCursor>

namespace {

constexpr int StepListWidth = 420;
constexpr int Gap = 4;

} // namespace

MacroForm::MacroForm(MacroRunner &runner, QWidget *parent)
    : QWidget(parent, Qt::Window)
    , m_runner(runner) {
    setObjectName(QStringLiteral("MacroForm"));
    InstallWindowRoles();
    setWindowTitle(QStringLiteral("Macro"));
    resize(900, 420);

    m_text = new QPlainTextEdit(this);
    ShowFocusRing(*m_text);
    m_text->setObjectName(QStringLiteral("MacroText"));
    m_text->setAccessibleName(QStringLiteral("Macro trace"));
    m_text->setReadOnly(true);
    m_text->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    m_text->setLineWrapMode(QPlainTextEdit::NoWrap);
    // The radio's traffic is indented by a TAB; a narrow stop keeps it beside the runner's lines.
    m_text->setTabStopDistance(4 * QFontMetricsF(m_text->font()).horizontalAdvance(u' '));
    m_text->viewport()->installEventFilter(this);

    m_steps = new QListWidget(this);
    ShowFocusRing(*m_steps);
    m_steps->setObjectName(QStringLiteral("MacroStepList"));
    m_steps->setAccessibleName(QStringLiteral("Macro steps"));
    m_steps->setUniformItemSizes(true);
    m_steps->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    // Step lines end in their test; scroll to it rather than cut it off.
    m_steps->setTextElideMode(Qt::ElideNone);
    m_steps->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);

    // Inside the trace's lower right corner, over the text.
    m_includeRx = new QCheckBox(QStringLiteral("Include RX"), this);
    m_includeRx->setObjectName(QStringLiteral("IncludeTheRx"));
    m_includeRx->setToolTip(QStringLiteral("Include the RX Data in MacroDebug"));
    m_includeRx->setAutoFillBackground(true);

    m_statusBar = new QStatusBar(this);
    m_statusBar->setSizeGripEnabled(true);

    connect(m_includeRx, &QCheckBox::toggled, this, [this](bool on) {
        if (!m_rendering) {
            m_runner.IncludeTheRx = on;
        }
    });
    connect(m_steps, &QListWidget::currentRowChanged, this, [this](int row) {
        if (!m_rendering) {
            m_runner.MacroStepListIndex = row;
        }
    });
    connect(m_steps, &QListWidget::itemDoubleClicked, this,
            [this] { m_runner.MacroStepList_DblClick(m_steps->currentRow()); });
    connect(&m_runner, &MacroRunner::traceAppended, this, &MacroForm::appendTrace);
    connect(&m_runner, &MacroRunner::traceReset, this, &MacroForm::resetTrace);
    connect(&m_runner, &MacroRunner::changed, this, &MacroForm::render);

    resetTrace();
    render();
    layOut();
}

MacroForm::~MacroForm() = default;

void MacroForm::render() {
    m_rendering = true;
    if (m_shownSteps != m_runner.MacroStepList) {
        m_shownSteps = m_runner.MacroStepList;
        m_steps->clear();
        m_steps->addItems(m_shownSteps);
    }
    const int row = m_runner.MacroStepListIndex;
    if (row >= 0 && row < m_steps->count()) {
        m_steps->setCurrentRow(row);
        m_steps->scrollToItem(m_steps->item(row));
    } else {
        m_steps->setCurrentRow(-1);
    }
    m_includeRx->setChecked(m_runner.IncludeTheRx);
    m_rendering = false;
}

void MacroForm::appendTrace(const QString &text) {
    QString shown = text;
    if (m_pendingLineFeed && shown.startsWith(u'\n')) {
        shown.remove(0, 1);
    }
    m_pendingLineFeed = shown.endsWith(u'\r');
    shown = ShownLineBreaks(shown);
    // The newest trace stays in view.
    QTextCursor end(m_text->document());
    end.movePosition(QTextCursor::End);
    end.insertText(shown);
    m_text->moveCursor(QTextCursor::End);
    m_text->verticalScrollBar()->setValue(m_text->verticalScrollBar()->maximum());
}

void MacroForm::resetTrace() {
    m_text->clear();
    m_pendingLineFeed = false;
    appendTrace(m_runner.MacroText());
}

void MacroForm::closeEvent(QCloseEvent *event) {
    Q_EMIT unloading();
    event->accept();
}

void MacroForm::showEvent(QShowEvent *event) {
    m_everShown = true;
    QWidget::showEvent(event);
}

void MacroForm::resizeEvent(QResizeEvent *event) {
    QWidget::resizeEvent(event);
    layOut();
}

void MacroForm::layOut() {
    // The trace fills what the step list and the status bar leave; the list is as tall.
    const int barHeight = m_statusBar->sizeHint().height();
    m_statusBar->setGeometry(0, height() - barHeight, width(), barHeight);
    const int listWidth = std::min(StepListWidth, width() / 2);
    const int textHeight = std::max(0, height() - barHeight);
    const int textWidth = std::max(0, width() - listWidth - Gap);
    m_text->setGeometry(0, 0, textWidth, textHeight);
    m_steps->setGeometry(textWidth + Gap, 0, listWidth, textHeight);
    const QSize box = m_includeRx->sizeHint();
    const int scrollBar = m_text->verticalScrollBar()->sizeHint().width();
    m_includeRx->setGeometry(textWidth - box.width() - scrollBar - Gap, textHeight - box.height() - scrollBar - Gap,
                             box.width(), box.height());
    m_includeRx->raise();
}

bool MacroForm::eventFilter(QObject *watched, QEvent *event) {
    if (watched == m_text->viewport() && event->type() == QEvent::MouseButtonDblClick) {
        m_runner.MacroText_DblClick();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}
