#include "main_window/ConfigForm.h"

#include "main_window/CommandList.h"
#include "main_window/FoldingGroup.h"
#include "platform/ShownForm.h"
#include "remote/LayoutEditorPanel.h"
#include "session/LinkHealthLook.h"
#include "settings/Accessibility.h"
#include "settings/LinkHealthBadge.h"
#include "settings/NamedWidgets.h"
#include "update/UpdateGroup.h"

#include <QAbstractListModel>
#include <QCheckBox>
#include <QCloseEvent>
#include <QFontDatabase>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QStatusBar>
#include <QTextCursor>
#include <QTextDocument>
#include <QToolTip>
#include <QVBoxLayout>

#include <algorithm>
#include <initializer_list>
#include <utility>
#include <vector>

// Shows the command list's entries. Very long entries are cut for display only: laying out a
// line of a megabyte on every paint would stall the window, and nobody reads that far.
class CommandListModel final : public QAbstractListModel {
public:
    static constexpr int DisplayLimit = 500;

    explicit CommandListModel(const CommandList &commands, QObject *parent)
        : QAbstractListModel(parent)
        , m_commands(commands) {}

    int rowCount(const QModelIndex &parent) const override { return parent.isValid() ? 0 : m_commands.count(); }

    QVariant data(const QModelIndex &index, int role) const override {
        if (!index.isValid() || index.row() >= m_commands.count()) {
            return {};
        }
        if (role == Qt::DisplayRole) {
            return m_commands.entries().at(index.row()).left(DisplayLimit);
        }
        return {};
    }

    void reload() {
        beginResetModel();
        endResetModel();
    }

private:
    const CommandList &m_commands;
};

namespace {

// How many characters at the end of before begin after (after = the end of before followed by
// new text): the longest suffix of before that is a prefix of after; -1 when there is none.
// Linear (a prefix-function match of after over before): a view full of repeated lines, a
// flood of filler, say, must not make every refresh quadratic.
qsizetype keptTail(const QString &before, const QString &after) {
    if (before.isEmpty()) {
        return 0;
    }
    if (after.isEmpty()) {
        return -1;
    }
    const QStringView pattern(after);
    std::vector<qsizetype> fail(size_t(pattern.size()), 0);
    for (qsizetype i = 1, k = 0; i < pattern.size(); ++i) {
        while (k > 0 && pattern[i] != pattern[k]) {
            k = fail[size_t(k - 1)];
        }
        if (pattern[i] == pattern[k]) {
            ++k;
        }
        fail[size_t(i)] = k;
    }
    qsizetype matched = 0;
    for (const QChar c : QStringView(before)) {
        while (matched > 0 && (matched == pattern.size() || c != pattern[matched])) {
            matched = fail[size_t(matched - 1)];
        }
        if (c == pattern[matched]) {
            ++matched;
        }
    }
    return matched > 0 ? matched : -1;
}

// Characters a text takes in a text box, where CR LF is one line break.
qsizetype shownLength(QStringView text) {
    qsizetype pairs = 0;
    for (qsizetype i = 1; i < text.size(); ++i) {
        if (text[i] == u'\n' && text[i - 1] == u'\r') {
            ++pairs;
        }
    }
    return text.size() - pairs;
}

// The column of options and foldable groups. It asks for the height its content needs, but
// never more than MostHeight: with every group open it scrolls instead, so the window still fits
// a laptop's screen.
class OptionsScroll final : public QScrollArea {
public:
    static constexpr int MostHeight = 540;

    QSize minimumSizeHint() const override {
        QSize hint = QScrollArea::minimumSizeHint();
        if (widget() != nullptr) {
            hint.setHeight(std::min(widget()->minimumSizeHint().height() + 2 * frameWidth(), MostHeight));
        }
        return hint;
    }

protected:
    // A group opened or folded in the column changes the height it asks for; the scroll area
    // alone would not tell the window.
    bool eventFilter(QObject *watched, QEvent *event) override {
        if (watched == widget() && event->type() == QEvent::LayoutRequest) {
            updateGeometry();
        }
        return QScrollArea::eventFilter(watched, event);
    }
};

} // namespace

ConfigForm::ConfigForm(CommandList &commands, QWidget *parent)
    : QMainWindow(parent)
    , m_commands(commands) {
    setObjectName(QStringLiteral("ConfigForm"));

    auto *central = new QWidget(this);
    auto *outer = new QVBoxLayout(central);
    outer->addWidget(buildConnectionRow());
    auto *body = new QHBoxLayout;
    body->addWidget(buildCommandColumn());
    body->addWidget(buildOptionsColumn());
    body->addWidget(buildTerminal(), 1);
    outer->addLayout(body, 1);
    setCentralWidget(central);
    buildStatusBar();
    buildMenu();
    buildRadioMenu();
    buildHelpMenu();

    connect(&m_commands, &CommandList::entriesChanged, this, [this] { m_model->reload(); });
    connect(&m_commands, &CommandList::selectionChanged, this, [this](int index) { renderSelection(index); });
    m_model->reload();
    renderSelection(m_commands.selectedIndex());

    resize(1140, 660);
}

ConfigForm::~ConfigForm() = default;

QWidget *ConfigForm::buildConnectionRow() {
    // Two rows, so the window can be narrow: the address and the connection's controls, then
    // the connection hint with Retry.
    auto *rows = new QWidget;
    auto *column = new QVBoxLayout(rows);
    column->setContentsMargins(0, 0, 0, 0);
    auto *layout = new QHBoxLayout;
    auto *hintRow = new QHBoxLayout;
    column->addLayout(layout);
    column->addLayout(hintRow);

    m_txtUrl = lineEdit(QStringLiteral("txtUrl"), QStringLiteral("192.168.1.119"));
    m_txtUrl->setMinimumWidth(110);
    m_txtUrl->setMaximumWidth(320);
    m_txtPort = lineEdit(QStringLiteral("txtPort"), QStringLiteral("8080"));
    m_txtPort->setMaximumWidth(70);
    m_connect = button(QStringLiteral("ConnectButton"), QStringLiteral("Connect"));
    m_disconnect = button(QStringLiteral("DisconnectButton"), QStringLiteral("Disconnect"));
    m_keepConnected = checkBox(QStringLiteral("KeepAsConnected"), QStringLiteral("Keep As Connected"),
                               QStringLiteral("Reconnect whenever the connection is found closed"), false);
    m_holdOn = lineEdit(QStringLiteral("HoldOn"), QStringLiteral("Waiting for you"));
    m_holdOn->setReadOnly(true);
    // Read only, but Tab reaches it, so a screen reader reads the hint.
    m_holdOn->setFocusPolicy(Qt::TabFocus);
    m_holdOn->setMinimumWidth(150);
    m_holdOn->setMaximumWidth(560);
    m_retry = button(QStringLiteral("RetryButton"), QStringLiteral("Retry"));
    // The hint and Retry come and go; the row keeps its height, so the window below it does
    // not jump.
    for (QWidget *comesAndGoes : std::initializer_list<QWidget *>{m_holdOn, m_retry}) {
        QSizePolicy policy = comesAndGoes->sizePolicy();
        policy.setRetainSizeWhenHidden(true);
        comesAndGoes->setSizePolicy(policy);
    }
    connect(m_txtUrl, &QLineEdit::textChanged, this, &ConfigForm::urlEdited);
    connect(m_txtPort, &QLineEdit::textChanged, this, &ConfigForm::portEdited);
    connect(m_connect, &QPushButton::clicked, this, &ConfigForm::connectClicked);
    connect(m_disconnect, &QPushButton::clicked, this, &ConfigForm::disconnectClicked);
    connect(m_keepConnected, &QCheckBox::toggled, this, &ConfigForm::keepConnectedToggled);
    connect(m_retry, &QPushButton::clicked, this, &ConfigForm::retryClicked);

    // The captions name their fields for screen readers.
    auto *radioCaption = new QLabel(QStringLiteral("Radio"));
    radioCaption->setBuddy(m_txtUrl);
    auto *portCaption = new QLabel(QStringLiteral("Port"));
    portCaption->setBuddy(m_txtPort);
    m_txtUrl->setAccessibleName(QStringLiteral("Radio address"));
    m_txtPort->setAccessibleName(QStringLiteral("Radio port"));
    m_holdOn->setAccessibleName(QStringLiteral("Connection hint"));
    layout->addWidget(radioCaption);
    layout->addWidget(m_txtUrl, 1);
    layout->addWidget(portCaption);
    layout->addWidget(m_txtPort);
    layout->addWidget(m_connect);
    layout->addWidget(m_disconnect);
    layout->addWidget(m_keepConnected);
    layout->addStretch(1);
    hintRow->addWidget(m_holdOn, 1);
    hintRow->addWidget(m_retry);
    hintRow->addStretch(1);
    return rows;
}

QWidget *ConfigForm::buildCommandColumn() {
    auto *column = new QWidget;
    column->setFixedWidth(170);
    auto *layout = new QVBoxLayout(column);
    layout->setContentsMargins(0, 0, 0, 0);

    m_searchText = lineEdit(QStringLiteral("Do_SearchText"), QString(),
                            QStringLiteral("Command text: Enter sends what you typed, or the selected command"));
    m_searchText->installEventFilter(this);
    m_searchText->setAccessibleName(QStringLiteral("Command to send"));

    m_model = new CommandListModel(m_commands, this);
    m_theList = new QListView;
    ShowFocusRing(*m_theList);
    m_theList->setObjectName(QStringLiteral("TheList"));
    m_theList->setAccessibleName(QStringLiteral("Commands"));
    m_theList->setToolTip(QStringLiteral("Command list: double click, Enter or Space sends the command"));
    m_theList->installEventFilter(this);
    m_theList->setModel(m_model);
    m_theList->setUniformItemSizes(true);
    m_theList->setSelectionMode(QAbstractItemView::SingleSelection);
    m_theList->setEditTriggers(QAbstractItemView::NoEditTriggers);
    connect(m_theList->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex &current) {
                if (!m_settingSelection) {
                    m_commands.select(current.isValid() ? current.row() : -1);
                }
            });
    // A click on the entry already selected changes nothing in the view, yet it must act again
    // (mark the command on the remote once more): the press is told apart by the row that was
    // current before it.
    m_theList->viewport()->installEventFilter(this);
    connect(m_theList, &QListView::pressed, this, [this](const QModelIndex &index) {
        if (index.isValid() && index.row() == m_rowBeforePress) {
            m_commands.select(index.row());
        }
    });
    connect(m_theList, &QListView::doubleClicked, this, [this] { onListDoubleClicked(); });

    layout->addWidget(m_searchText);
    layout->addWidget(m_theList, 1);
    return column;
}

QWidget *ConfigForm::buildOptionsColumn() {
    auto *scroll = new OptionsScroll;
    scroll->setObjectName(QStringLiteral("OptionsScroll"));
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scroll->setWidgetResizable(true);
    // Not a stop of its own for Tab: each control in it is, and is scrolled into sight when
    // Tab reaches it.
    scroll->setFocusPolicy(Qt::NoFocus);
    auto *column = new QWidget;
    column->setFixedWidth(240);
    // Room for the scroll bar beside the column, so that it covers nothing when it comes.
    scroll->setFixedWidth(240 + scroll->verticalScrollBar()->sizeHint().width());
    auto *layout = new QVBoxLayout(column);
    layout->setContentsMargins(0, 0, 0, 0);

    m_functionFrames = new QGroupBox(QStringLiteral("Functions"));
    m_functionFrames->setObjectName(QStringLiteral("FunctionFrames"));
    m_functionFrames->installEventFilter(this);

    auto *functions = new QVBoxLayout(m_functionFrames);

    m_updateDisplayLabels = checkBox(QStringLiteral("UpdateDisplayLabels"), QStringLiteral("Auto Refresh Labels"),
                                     QStringLiteral("Auto refresh labels on the display form"), true);
    m_auto21Backout = checkBox(QStringLiteral("Auto21Backout"), QStringLiteral("Auto 21 Back out"),
                               QStringLiteral("Auto Send key on Screen 21"), true);
    m_displayButton =
        button(QStringLiteral("DisplayButton"), QStringLiteral("Display"), QStringLiteral("Display the Display form"));
    connect(m_updateDisplayLabels, &QCheckBox::toggled, this, &ConfigForm::autoRefreshToggled);
    connect(m_updateDisplayLabels, &QCheckBox::clicked, this, &ConfigForm::autoRefreshClicked);
    connect(m_auto21Backout, &QCheckBox::toggled, this, &ConfigForm::auto21BackoutToggled);
    connect(m_displayButton, &QPushButton::clicked, this, &ConfigForm::displayRequested);
    functions->addWidget(m_updateDisplayLabels);
    functions->addWidget(m_auto21Backout);
    functions->addWidget(m_displayButton);

    // The layout editor: measures button rectangles on the remote picture. It and the update
    // group are tools for now and then, and fold away under their captions, which lets the
    // window be small.
    m_layoutEditor = new LayoutEditorPanel;
    m_layoutEditorFolding = new FoldingGroup(m_layoutEditor);
    functions->addWidget(m_layoutEditorFolding);

    // The update group: asks the update server for a newer version.
    m_updateGroup = new UpdateGroup;
    m_updatesFolding = new FoldingGroup(m_updateGroup);
    for (FoldingGroup *folding : {m_layoutEditorFolding, m_updatesFolding}) {
        connect(folding, &FoldingGroup::openedByUser, this, &ConfigForm::foldsChanged);
    }

    layout->addWidget(m_functionFrames);
    layout->addWidget(m_updatesFolding);
    layout->addStretch(1);
    scroll->setWidget(column);
    return scroll;
}

QWidget *ConfigForm::buildTerminal() {
    auto *column = new QWidget;
    auto *layout = new QVBoxLayout(column);
    layout->setContentsMargins(0, 0, 0, 0);

    m_telnetData = new QPlainTextEdit;
    ShowFocusRing(*m_telnetData);
    m_telnetData->setObjectName(QStringLiteral("TelnetData"));
    m_telnetData->setAccessibleName(QStringLiteral("Terminal"));
    m_telnetData->setToolTip(QStringLiteral("Terminal"));
    m_telnetData->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    m_telnetData->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_telnetData->setReadOnly(true);
    // Every reply edits the view; an undo history of those edits would grow for as long as the
    // program runs.
    m_telnetData->setUndoRedoEnabled(false);
    // The view prefers room for the 80-column ruler but, on a small screen, gives it up and
    // scrolls sideways; a few words of a reply stay readable.
    const QFontMetrics metrics(m_telnetData->font());
    m_telnetData->setMinimumWidth(metrics.horizontalAdvance(QString(TerminalMinimumColumns, u'0')) +
                                  m_telnetData->verticalScrollBar()->sizeHint().width() + 12);
    m_telnetData->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_telnetData->viewport()->installEventFilter(this);
    connect(m_telnetData, &QPlainTextEdit::textChanged, this, [this] { onTerminalTextChanged(); });

    m_unlock = checkBox(QStringLiteral("UnLockTextBox"), QStringLiteral("UnLock"),
                        QStringLiteral("Unlock Terminal screen"), false);
    // Ticked by the user or by the settings, the view may be edited; the user's tick also
    // puts the cursor there.
    connect(m_unlock, &QCheckBox::toggled, this, [this](bool ticked) { m_telnetData->setReadOnly(!ticked); });
    connect(m_unlock, &QCheckBox::clicked, this, [this] { m_telnetData->setFocus(); });
    connect(m_unlock, &QCheckBox::toggled, this, &ConfigForm::terminalUnlockToggled);

    layout->addWidget(m_telnetData, 1);
    layout->addWidget(m_unlock);
    return column;
}

void ConfigForm::buildMenu() {
    // The way in to every window and action for someone who does not know the gestures; the
    // gestures stay, and the tooltips where they work name them.
    QMenu *view = menuBar()->addMenu(QStringLiteral("&View"));
    view->setObjectName(QStringLiteral("ViewMenu"));
    const auto add = [this, view](const QString &name, const QString &text, const QList<QKeySequence> &keys,
                                  const QString &tip, void (ConfigForm::*signal)()) {
        QAction *action = view->addAction(text);
        action->setObjectName(name);
        action->setShortcuts(keys);
        action->setStatusTip(tip);
        action->setToolTip(tip);
        // The shortcuts work in every window of the program, wherever the focus is.
        action->setShortcutContext(Qt::ApplicationShortcut);
        addAction(action);
        connect(action, &QAction::triggered, this, signal);
        return action;
    };
    add(QStringLiteral("ViewDisplay"), QStringLiteral("&Display"), {QKeySequence(Qt::CTRL | Qt::Key_D)},
        QStringLiteral("The display window (also the Display button)"), &ConfigForm::displayRequested);
    add(QStringLiteral("ViewRemote"), QStringLiteral("&Remote"), {}, QStringLiteral("The remote-control window"),
        &ConfigForm::remoteRequested);
    add(QStringLiteral("ViewInformation"), QStringLiteral("&Information"), {},
        QStringLiteral("The information panel (also the remote window's status bar)"), &ConfigForm::infoPanelRequested);
    add(QStringLiteral("ViewMacros"), QStringLiteral("&Macros"), {QKeySequence(Qt::CTRL | Qt::Key_M)},
        QStringLiteral("The macro list on the information panel (also a right click on its picture)"),
        &ConfigForm::macrosRequested);
    add(QStringLiteral("ViewConsole"), QStringLiteral("&Console"), {QKeySequence(Qt::CTRL | Qt::Key_T)},
        QStringLiteral("The radio's console monitor (also a double click on the \"Functions\" title)"),
        &ConfigForm::consoleRequested);
    view->addSeparator();
    add(QStringLiteral("ViewCheckForUpdates"), QStringLiteral("Check for &Updates"), {},
        QStringLiteral("Asks the update server for a newer version (also \"Check for Updates\" below)"),
        &ConfigForm::updateCheckRequested);
    add(QStringLiteral("ViewReload"), QStringLiteral("&Reload"),
        {QKeySequence(Qt::Key_F5), QKeySequence(Qt::CTRL | Qt::Key_R)},
        QStringLiteral("Reads the command list, skin, macros and layout again (also the layout editor's Reload)"),
        &ConfigForm::reloadRequested);
    view->addSeparator();
    add(QStringLiteral("ViewQuit"), QStringLiteral("&Quit"), {QKeySequence(Qt::CTRL | Qt::Key_Q)},
        QStringLiteral("Closes CV Remote as closing this window does"), &ConfigForm::quitRequested);
    // Quitting is closing this window: the same close, the same saving of the settings.
    connect(this, &ConfigForm::quitRequested, this, &QWidget::close);
}

void ConfigForm::buildHelpMenu() {
    QMenu *help = menuBar()->addMenu(QStringLiteral("&Help"));
    help->setObjectName(QStringLiteral("HelpMenu"));
    const auto add = [this, help](const QString &name, const QString &text, const QKeySequence &key, const QString &tip,
                                  void (ConfigForm::*signal)()) {
        QAction *action = help->addAction(text);
        action->setObjectName(name);
        action->setShortcut(key);
        action->setStatusTip(tip);
        action->setShortcutContext(Qt::ApplicationShortcut);
        addAction(action);
        connect(action, &QAction::triggered, this, signal);
    };
    add(QStringLiteral("HelpKeyboardKeys"), QStringLiteral("&Keyboard Keys"), QKeySequence(Qt::Key_F1),
        QStringLiteral("The keyboard's keys for the remote and the display (also the remote window's \"?\")"),
        &ConfigForm::keyboardKeysRequested);
    add(QStringLiteral("HelpAbout"), QStringLiteral("&About CV Remote"), {},
        QStringLiteral("The version, the licence and the program folder"), &ConfigForm::aboutRequested);
}

void ConfigForm::showAbout(const QString &text) {
    if (m_about == nullptr) {
        m_about = new QMessageBox(QMessageBox::Information, QStringLiteral("About CV Remote"), QString(),
                                  QMessageBox::Close, this);
        m_about->setObjectName(QStringLiteral("AboutBox"));
        // A folder's name is shown as it is, never read as markup.
        m_about->setTextFormat(Qt::PlainText);
        m_about->setModal(false);
        m_about->setTextInteractionFlags(Qt::TextSelectableByMouse);
    }
    m_about->setText(text);
    m_about->show();
    m_about->raise();
    m_about->activateWindow();
}

void ConfigForm::buildStatusBar() {
    auto *bar = new QStatusBar(this);
    bar->setObjectName(QStringLiteral("StatusBar1"));
    bar->setSizeGripEnabled(true);
    const std::array<int, 4> minimumWidths{25, 25, 50, 25};
    for (size_t i = 0; i < m_panels.size(); ++i) {
        auto *panel = new QLabel;
        panel->setObjectName(QStringLiteral("StatusPanel%1").arg(i + 1));
        panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        panel->setMinimumWidth(minimumWidths[i]);
        panel->installEventFilter(this);
        m_panels[i] = panel;
    }
    // Whether the radio answers takes panel 1's place, in the words and colours every window
    // uses; panel 1 keeps its text for those who ask for it but is not shown.
    m_health = new LinkHealthBadge;
    m_health->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    m_health->setMinimumWidth(minimumWidths[0]);
    m_health->installEventFilter(this);
    // The badge and panel 3 share the free width, 2 fits its text; 4 shows the keys still waiting
    // to go to the radio, beside the badge, and only while some do.
    m_panels[3]->setToolTip(QStringLiteral("Keys pressed that have not gone to the radio yet; a key that cannot go "
                                           "within a few seconds is dropped, and the terminal says so"));
    bar->addWidget(m_health, 2);
    bar->addWidget(m_panels[3], 0);
    bar->addWidget(m_panels[1], 0);
    bar->addWidget(m_panels[2], 3); // the connection's outcome, with the reason of a failure
    m_panels[3]->hide();
    setStatusBar(bar);
    m_panels[0]->setParent(bar); // in no layout, and hidden
    m_panels[0]->hide();
}

void ConfigForm::render(const RadioView &view) {
    setTerminalText(view.TelnetData, view.terminalMark());
    setHoldOn(view.HoldOnText, view.HoldOnColour, view.HoldOnVisible);
    setRetryVisible(view.RetryButtonVisible);
    for (int panel = 1; panel <= 3; ++panel) {
        setStatusPanel(panel, view.StatusPanel[size_t(panel)]);
    }
    m_health->showLook(LinkHealthLookOf(view));
    const QString waiting = view.waitingText();
    m_panels[3]->setText(waiting);
    m_panels[3]->setVisible(!waiting.isEmpty());
    setUrlToolTip(view.UrlToolTip);
}

void ConfigForm::setTerminalText(const QString &text, const RadioView::TerminalMark &mark) {
    const std::optional<RadioView::TerminalMark> shown = m_shownMark;
    if (!shown || mark.revision != shown->revision || mark.size != text.size() || mark.appended < shown->appended) {
        setTerminalText(text);
        m_shownMark = mark;
        return;
    }
    m_shownMark = mark;
    const qint64 fresh = mark.appended - shown->appended;
    if (fresh > 0) {
        m_settingTerminal = true;
        if (fresh >= text.size()) {
            // Nothing shown so far stays.
            m_telnetData->setPlainText(ShownLineBreaks(text));
        } else {
            const qsizetype before = text.size() - qsizetype(fresh);
            QStringView added = QStringView(text).mid(before);
            // A CR LF that came in two appends is one line break, and the CR shows as one already.
            if (before > 0 && text[before - 1] == u'\r' && added.startsWith(u'\n')) {
                added = added.mid(1);
            }
            QTextDocument *document = m_telnetData->document();
            QTextCursor edit(document);
            edit.movePosition(QTextCursor::End);
            edit.insertText(ShownLineBreaks(added.toString()));
            // As much falls off the front as the text lost there.
            const qsizetype excess = qsizetype(document->characterCount() - 1) - shownLength(text);
            if (excess > 0) {
                edit.setPosition(0);
                edit.setPosition(int(excess), QTextCursor::KeepAnchor);
                edit.removeSelectedText();
            } else if (excess < 0) {
                m_telnetData->setPlainText(ShownLineBreaks(text));
            }
        }
        m_settingTerminal = false;
        // The newest reply is always in view; with nothing new the view is left alone.
        m_telnetData->moveCursor(QTextCursor::End);
        m_telnetData->ensureCursorVisible();
    }
}

void ConfigForm::setTerminalText(const QString &text) {
    m_shownMark.reset();
    const QString shown = ShownLineBreaks(text);
    const QString current = m_telnetData->toPlainText();
    if (shown != current) {
        m_settingTerminal = true;
        // Replies mostly arrive at the end while the oldest text falls off the front; editing
        // just those two places keeps a full 20000-character view cheap to update.
        const qsizetype kept = keptTail(current, shown);
        if (kept >= 0) {
            QTextCursor edit(m_telnetData->document());
            if (kept < current.size()) {
                edit.setPosition(int(current.size() - kept), QTextCursor::KeepAnchor);
                edit.removeSelectedText();
            }
            edit.movePosition(QTextCursor::End);
            edit.insertText(shown.mid(kept));
        } else {
            m_telnetData->setPlainText(shown);
        }
        m_settingTerminal = false;
    }
    // The newest reply is always in view.
    m_telnetData->moveCursor(QTextCursor::End);
    m_telnetData->ensureCursorVisible();
}

void ConfigForm::onTerminalTextChanged() {
    if (m_settingTerminal) {
        return;
    }
    QString text = m_telnetData->toPlainText();
    text.replace(u'\n', QStringLiteral("\r\n"));
    Q_EMIT terminalEdited(text);
}

void ConfigForm::setHoldOn(const QString &text, int colour, bool visible) {
    if (m_holdOn->text() != text) {
        m_holdOn->setText(text);
    }
    // The text colour is the signal; the background follows it so yellow and green stay as
    // readable as blue and black.
    const QColor shade = ShownColour(colour);
    QPalette palette = m_holdOn->palette();
    palette.setColor(QPalette::Text, shade);
    const double luminance = 0.299 * shade.redF() + 0.587 * shade.greenF() + 0.114 * shade.blueF();
    palette.setColor(QPalette::Base, luminance > 0.5 ? QColor(0x30, 0x30, 0x30) : QColor(0xf4, 0xf4, 0xf4));
    if (palette != m_holdOn->palette()) {
        m_holdOn->setPalette(palette);
    }
    m_holdOn->setVisible(visible);
}

void ConfigForm::setRetryVisible(bool visible) {
    m_retry->setVisible(visible);
}

void ConfigForm::setStatusPanel(int panel, const QString &text) {
    if (panel >= 1 && panel <= int(m_panels.size())) {
        m_panels[size_t(panel - 1)]->setText(text);
        if (panel == 3) {
            m_panels[2]->setToolTip(text); // whole, where the bar is too narrow for it
        }
    }
}

QString ConfigForm::statusPanel(int panel) const {
    return panel >= 1 && panel <= int(m_panels.size()) ? m_panels[size_t(panel - 1)]->text() : QString();
}

void ConfigForm::setUrlToolTip(const QString &tip) {
    m_txtUrl->setToolTip(tip);
}

void ConfigForm::applySettings(const GeneralSettings &settings) {
    m_txtUrl->setText(settings.RaidoURL);
    m_txtPort->setText(settings.RaidoPORT);
    m_keepConnected->setChecked(settings.KeepConnected);
    m_updateDisplayLabels->setChecked(settings.AutoRefresh);
    m_auto21Backout->setChecked(settings.Auto21Exit);
    m_unlock->setChecked(settings.UnLock);
}

void ConfigForm::collectSettings(GeneralSettings &settings) const {
    settings.RaidoURL = m_txtUrl->text();
    settings.RaidoPORT = m_txtPort->text();
    settings.KeepConnected = m_keepConnected->isChecked();
    settings.AutoRefresh = m_updateDisplayLabels->isChecked();
    settings.Auto21Exit = m_auto21Backout->isChecked();
    settings.UnLock = m_unlock->isChecked();
}

void ConfigForm::applyFolds(const MainWindowFolds &folds) {
    m_layoutEditorFolding->setOpen(folds.LayoutEditorOpen);
    m_updatesFolding->setOpen(folds.UpdatesOpen);
}

MainWindowFolds ConfigForm::folds() const {
    MainWindowFolds folds;
    folds.LayoutEditorOpen = m_layoutEditorFolding->isOpen();
    folds.UpdatesOpen = m_updatesFolding->isOpen();
    return folds;
}

bool ConfigForm::terminalUnlocked() const {
    return m_unlock->isChecked();
}

bool ConfigForm::autoRefresh() const {
    return m_updateDisplayLabels->isChecked();
}

void ConfigForm::setAutoRefresh(bool on) {
    m_updateDisplayLabels->setChecked(on);
}

void ConfigForm::renderSelection(int index) {
    m_settingSelection = true;
    if (index >= 0 && index < m_model->rowCount(QModelIndex())) {
        const QModelIndex item = m_model->index(index);
        m_theList->selectionModel()->setCurrentIndex(item, QItemSelectionModel::ClearAndSelect);
        m_theList->scrollTo(item);
    } else {
        m_theList->selectionModel()->clear();
    }
    m_settingSelection = false;
}

void ConfigForm::onListDoubleClicked() {
    const QString entry = m_commands.selectedEntry();
    if (entry.isEmpty()) {
        return;
    }
    m_searchText->setText(entry);
    // The entry itself is sent, not the box's copy: a text box may cut a very long entry.
    Q_EMIT sendCommand(CommandList::StripMarks(entry));
}

void ConfigForm::onCommandBoxEnter() {
    // A command typed into the box goes as typed; a box left as the list put it (or moved
    // through with the arrow keys) sends the selected entry, whole, as a double click does.
    const QString typed = m_searchText->text().trimmed();
    if (m_searchText->isModified() && !typed.isEmpty()) {
        m_searchText->setModified(false);
        Q_EMIT sendCommand(CommandList::StripMarks(typed));
        return;
    }
    onListDoubleClicked();
}

void ConfigForm::closeEvent(QCloseEvent *event) {
    Q_EMIT unloading();
    if (std::exchange(m_holdClose, false)) {
        event->ignore();
    } else {
        event->accept();
    }
}

bool ConfigForm::eventFilter(QObject *watched, QEvent *event) {
    if (watched == m_searchText && event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            onCommandBoxEnter();
            return true;
        }
        if (m_commands.MoveByKey(key->key(), key->modifiers())) {
            // The box's text no longer is what the user wants sent: the selection is.
            m_searchText->setModified(false);
            return true;
        }
        return false;
    }
    if (watched == m_theList && event->type() == QEvent::KeyPress) {
        // The keyboard's way to do what a double click does. Space would otherwise only toggle
        // the selection, and the view gives Enter to item editing, which this list has none of.
        const auto *key = static_cast<QKeyEvent *>(event);
        if ((key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter || key->key() == Qt::Key_Space) &&
            !(key->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))) {
            if (!key->isAutoRepeat()) {
                onListDoubleClicked();
            }
            return true;
        }
    }
    if (m_theList && watched == m_theList->viewport() && event->type() == QEvent::MouseButtonPress) {
        m_rowBeforePress = m_theList->currentIndex().isValid() ? m_theList->currentIndex().row() : -1;
    }
    if (m_telnetData && watched == m_telnetData->viewport() && event->type() == QEvent::MouseButtonDblClick) {
        Q_EMIT terminalCleared();
        return true;
    }
    if (watched == m_functionFrames && event->type() == QEvent::ToolTip) {
        // Only where the double click works (the title and the frame, not the controls in it)
        // does the tip name it; a tip set on the box would show over every control inside.
        const auto *help = static_cast<QHelpEvent *>(event);
        if (m_functionFrames->childAt(help->pos()) == nullptr) {
            QToolTip::showText(help->globalPos(),
                               QStringLiteral("Double click here for the console monitor (View > Console)"),
                               m_functionFrames);
        } else {
            QToolTip::hideText();
        }
        return true;
    }
    if (watched == m_functionFrames && event->type() == QEvent::MouseButtonDblClick) {
        Q_EMIT functionFramesDoubleClicked();
        return true;
    }
    if (event->type() == QEvent::MouseButtonPress && watched == m_health) {
        Q_EMIT statusPanelClicked(1);
        return true;
    }
    if (event->type() == QEvent::MouseButtonPress) {
        for (size_t i = 0; i < m_panels.size(); ++i) {
            if (watched == m_panels[i]) {
                Q_EMIT statusPanelClicked(int(i) + 1);
                return true;
            }
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void ConfigForm::buildRadioMenu() {
    // The radio's address: typed, tested or found in the first-run dialog, which these open.
    QMenu *radio = menuBar()->addMenu(QStringLiteral("&Radio"));
    radio->setObjectName(QStringLiteral("RadioMenu"));
    const auto add = [this, radio](const QString &name, const QString &text, const QString &tip,
                                   void (ConfigForm::*signal)()) {
        QAction *action = radio->addAction(text);
        action->setObjectName(name);
        action->setStatusTip(tip);
        action->setToolTip(tip);
        connect(action, &QAction::triggered, this, signal);
        return action;
    };
    add(QStringLiteral("RadioAddressAction"), QStringLiteral("Radio &Address..."),
        QStringLiteral("Type, test or find the radio's address and its console's"), &ConfigForm::radioAddressRequested);
    add(QStringLiteral("FindRadiosAction"), QStringLiteral("&Find Radios..."),
        QStringLiteral("Look for radios on this computer's network and pick one"), &ConfigForm::findRadiosRequested);
}
