#include "info_panel/InfoForm.h"

#include "macros/MacroTable.h"
#include "platform/Contrast.h"
#include "session/LinkHealthLook.h"
#include "session/RadioView.h"
#include "settings/Accessibility.h"
#include "settings/LinkHealthBadge.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QEvent>
#include <QFontDatabase>
#include <QGridLayout>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSlider>
#include <QStackedWidget>
#include <QStatusBar>
#include <QVBoxLayout>

namespace {

// Which panel list a list widget is, for the shared event filter.
const char *const ListKind = "cvPanelList";

// The picture area keeps the radio menu icons' 4:3 shape.
constexpr QSize PictureSize(192, 144);

QLabel *valueLabel(const QString &toolTip) {
    auto *label = new QLabel;
    label->setToolTip(toolTip);
    label->setFrameShape(QFrame::StyledPanel);
    label->setMinimumWidth(60);
    label->setTextInteractionFlags(Qt::NoTextInteraction);
    return label;
}

} // namespace

InfoForm::InfoForm(InfoPanel &panel, RadioView &view, QWidget *parent)
    : QMainWindow(parent)
    , m_panel(panel)
    , m_view(view) {
    setWindowTitle(QStringLiteral("Information"));
    // Values that went stale show greyed; the grey stays readable.
    setPalette(WithReadableDisabledText(palette()));
    auto *central = new QWidget;
    auto *column = new QVBoxLayout(central);
    column->setContentsMargins(8, 8, 8, 4);
    column->addWidget(buildValues());
    column->addWidget(buildFrame(), 1);
    column->addWidget(buildMessageRow());
    m_debug = new QPlainTextEdit;
    ShowFocusRing(*m_debug);
    m_debug->setAccessibleName(QStringLiteral("Debug"));
    m_debug->setReadOnly(true);
    m_debug->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    // Six lines where the window has the room; on a short screen it gives up height down to two
    // lines, before the lists do.
    const int line = m_debug->fontMetrics().lineSpacing();
    m_debug->setMinimumHeight(line * 2 + 12);
    m_debug->setMaximumHeight(line * 6 + 12);
    m_debug->setLineWrapMode(QPlainTextEdit::NoWrap);
    column->addWidget(m_debug);
    setCentralWidget(central);

    m_status = new QLabel;
    statusBar()->addWidget(m_status, 1);
    // Whether the radio answers, as the main window and the remote show it.
    m_health = new LinkHealthBadge;
    // Room for the whole words of a refused connection; the panel is wide enough to spare it.
    m_health->setMinimumWidth(
        m_health->fontMetrics().horizontalAdvance(QStringLiteral("Radio offline since 00:00:00: connection refused")) +
        m_health->fontMetrics().height() * 2);
    statusBar()->addPermanentWidget(m_health, 1);

    resize(760, 720);
    // The slider is moved by the program only here, marked as the program's move, so the
    // change it makes sends nothing back.
    m_slider->setValue(m_view.VolumeAdjusterValue);
    connect(&m_view, &RadioView::volumeAdjusterSet, this, [this](int value) {
        m_programMove = true;
        if (m_slider->value() == value) {
            m_panel.volumeShown(value); // no change signal, but the number must follow
        } else {
            m_slider->setValue(value);
        }
        m_programMove = false;
    });
    connect(&m_panel, &InfoPanel::changed, this, &InfoForm::render);
    connect(&m_view, &RadioView::changed, this, &InfoForm::render);
    render();
}

InfoForm::~InfoForm() = default;

QWidget *InfoForm::buildValues() {
    auto *box = new QWidget;
    auto *grid = new QGridLayout(box);
    grid->setContentsMargins(0, 0, 0, 0);

    const auto pair = [this, grid](QLabel *&caption, QLabel *&value, const QString &text, const QString &tip, int at) {
        caption = new QLabel(text);
        caption->setToolTip(tip);
        value = valueLabel(tip);
        caption->installEventFilter(this);
        value->installEventFilter(this);
        grid->addWidget(caption, 0, at);
        grid->addWidget(value, 0, at + 1);
        grid->setColumnStretch(at + 1, 1);
    };
    pair(m_stateCaption, m_state, QStringLiteral("State"), QStringLiteral("Click to get Power State"), 0);
    pair(m_versionCaption, m_version, QStringLiteral("Version"), QStringLiteral("Click to get Version"), 2);
    pair(m_volumeCaption, m_volume, QStringLiteral("Vol"), QStringLiteral("Click to get Current Volume"), 4);
    m_time = new QLabel(QStringLiteral("00:00:00"));
    m_time->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    grid->addWidget(m_time, 0, 6);

    m_slider = new QSlider(Qt::Horizontal);
    m_slider->setAccessibleName(QStringLiteral("Volume"));
    m_slider->setRange(0, 100);
    m_slider->setPageStep(5);
    m_slider->setTickPosition(QSlider::TicksBelow);
    m_slider->setTickInterval(10);
    connect(m_slider, &QSlider::sliderMoved, this, [this](int value) { m_panel.VolumeAdjuster_Scroll(value); });
    // A step by keys, the wheel or a click beside the handle lands where the radio can go; a
    // step of one above 5 would otherwise round back to the volume it started from.
    connect(m_slider, &QSlider::actionTriggered, this, [this](int action) {
        const bool step =
            action == QAbstractSlider::SliderSingleStepAdd || action == QAbstractSlider::SliderSingleStepSub ||
            action == QAbstractSlider::SliderPageStepAdd || action == QAbstractSlider::SliderPageStepSub ||
            (action == QAbstractSlider::SliderMove && !m_slider->isSliderDown());
        if (step) {
            m_slider->setSliderPosition(
                m_panel.VolumeAdjuster_Step(m_slider->value(), m_slider->sliderPosition() - m_slider->value()));
        }
    });
    connect(m_slider, &QSlider::sliderReleased, this, [this] { onSliderChanged(m_slider->value()); });
    connect(m_slider, &QSlider::valueChanged, this, [this](int value) {
        // Drawing the reported volume is not the user's change, nor is every step of a drag.
        if (!m_rendering && !m_slider->isSliderDown()) {
            onSliderChanged(value);
        }
    });
    m_sliderValue = new QLabel(QStringLiteral("100"));
    m_sliderValue->setToolTip(QStringLiteral("Double click to mute (sends MUTE)"));
    m_sliderValue->setMinimumWidth(m_sliderValue->fontMetrics().horizontalAdvance(QStringLiteral("1000")));
    m_sliderValue->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    m_sliderValue->installEventFilter(this);
    grid->addWidget(m_slider, 1, 0, 1, 6);
    grid->addWidget(m_sliderValue, 1, 6);

    // Shown only while the radio does not answer; the values above are then greyed.
    m_offline = new QLabel;
    m_offline->setObjectName(QStringLiteral("Offline"));
    m_offline->setAlignment(Qt::AlignCenter);
    m_offline->setStyleSheet(
        QStringLiteral("QLabel { background: #a01818; color: white; font-weight: bold; padding: 2px; }"));
    m_offline->setToolTip(QStringLiteral("The radio does not answer; what is shown is what it last reported"));
    m_offline->setWordWrap(true);
    m_offline->hide();
    grid->addWidget(m_offline, 2, 0, 1, 7);
    return box;
}

QListWidget *InfoForm::addList(PanelList which, const QString &toolTip) {
    auto *list = new QListWidget;
    ShowFocusRing(*list);
    list->setToolTip(toolTip);
    list->setProperty(ListKind, int(which));
    // On a short screen a list gives up height down to three rows, which it scrolls through.
    list->setMinimumHeight(list->fontMetrics().lineSpacing() * 3 + 2 * list->frameWidth() + 4);
    // Long values (a stream address) are cut with an ellipsis rather than scrolled sideways.
    list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    list->setTextElideMode(Qt::ElideRight);
    list->installEventFilter(this);
    list->viewport()->installEventFilter(this);
    connect(list, &QListWidget::currentRowChanged, this, [this, which](int row) {
        if (!m_rendering && row >= 0) {
            m_panel.selectRow(which, row);
        }
    });
    return list;
}

QGroupBox *InfoForm::buildFrame() {
    m_frame = new QGroupBox(QStringLiteral("Info Frame"));
    auto *grid = new QGridLayout(m_frame);

    // The current menu's picture, with the macro list laid exactly over it when shown.
    m_menuImage = new QLabel;
    m_menuImage->setAccessibleName(QStringLiteral("Current menu picture"));
    m_menuImage->setToolTip(
        QStringLiteral("Double click to refresh the display screen; right click for the macro list (View > Macros)"));
    m_menuImage->setFixedSize(PictureSize);
    m_menuImage->setAlignment(Qt::AlignCenter);
    m_menuImage->setFrameShape(QFrame::StyledPanel);
    m_menuImage->installEventFilter(this);
    m_macroList = new QListWidget;
    ShowFocusRing(*m_macroList);
    m_macroList->setAccessibleName(QStringLiteral("Macros"));
    m_macroList->setToolTip(QStringLiteral("Macro list: click shows a macro's steps, double click (or Enter or Space) "
                                           "runs it, right click closes the list"));
    m_macroList->setFixedSize(PictureSize);
    m_macroList->viewport()->installEventFilter(this);
    connect(m_macroList, &QListWidget::itemClicked, this,
            [this](QListWidgetItem *item) { m_panel.MacroList_Click(m_macroList->row(item)); });
    connect(m_macroList, &QListWidget::itemDoubleClicked, this,
            [this](QListWidgetItem *item) { m_panel.MacroList_DblClick(m_macroList->row(item)); });
    connect(m_macroList, &QListWidget::currentRowChanged, this, [this](int row) {
        if (!m_rendering) {
            m_panel.MacroList_Select(row);
        }
    });
    m_macroList->installEventFilter(this);
    m_pictureStack = new QStackedWidget;
    m_pictureStack->addWidget(m_menuImage);
    m_pictureStack->addWidget(m_macroList);
    m_pictureStack->setFixedSize(PictureSize);

    m_menuName = new QLabel;
    m_menuName->setAlignment(Qt::AlignCenter);
    QFont bold = m_menuName->font();
    bold.setBold(true);
    m_menuName->setFont(bold);
    m_macroLabel = new QLabel(QStringLiteral("Macro"));
    m_macroLabel->setAlignment(Qt::AlignCenter);
    m_macroLabel->installEventFilter(this);
    m_macroStop = new QPushButton(QStringLiteral("Stop"));
    m_macroStop->setObjectName(QStringLiteral("MacroStopButton"));
    m_macroStop->setToolTip(QStringLiteral("Stops the running macro (also a click on its progress text)"));
    m_macroStop->setVisible(false);
    connect(m_macroStop, &QPushButton::clicked, this, [this] { m_panel.MacroLabel_Click(); });
    auto *macroRow = new QHBoxLayout;
    macroRow->addWidget(m_macroLabel, 1);
    macroRow->addWidget(m_macroStop);

    m_record = new QPushButton(QStringLiteral("Record"));
    m_record->setToolTip(QStringLiteral("Stops playback or start stop record"));
    // Wide enough for its longest caption, so the row does not shift when the caption changes.
    QFont boldFont = m_record->font();
    boldFont.setBold(true);
    m_record->setMinimumWidth(QFontMetrics(boldFont).horizontalAdvance(QStringLiteral("Press to START RECORDING")) +
                              24);
    connect(m_record, &QPushButton::clicked, this, [this] { m_panel.RecordButtons_Click(); });
    m_refresh = new QPushButton(QStringLiteral("Refresh"));
    m_refresh->setToolTip(QStringLiteral("Refresh all the lists and status"));
    connect(m_refresh, &QPushButton::clicked, this, [this] { m_panel.RefreshButton_Click(); });

    // The picture column: what the radio's menu is, what runs, and the two buttons that act on
    // the whole radio rather than on one list.
    auto *pictureColumn = new QVBoxLayout;
    pictureColumn->addWidget(m_pictureStack, 0, Qt::AlignHCenter);
    pictureColumn->addWidget(m_menuName);
    pictureColumn->addLayout(macroRow);
    pictureColumn->addStretch(1);
    pictureColumn->addWidget(m_record);
    pictureColumn->addWidget(m_refresh);

    m_mainMenu = addList(PanelList::MainMenu, QStringLiteral("Double Click to select"));
    m_mainMenu->setAccessibleName(QStringLiteral("Main menu"));
    connect(m_mainMenu, &QListWidget::itemClicked, this,
            [this](QListWidgetItem *item) { m_panel.MainMenuList_Click(m_mainMenu->row(item)); });
    connect(m_mainMenu, &QListWidget::itemDoubleClicked, this, [this] { m_panel.MainMenuList_DblClick(); });

    m_menu = addList(PanelList::Menu, QStringLiteral("Right click to refresh (Double click top to goto HOME)"));
    m_menu->setAccessibleName(QStringLiteral("Menu"));
    connect(m_menu, &QListWidget::itemDoubleClicked, this, [this] { m_panel.MenuList_DblClick(); });
    m_meta = addList(PanelList::Meta, QStringLiteral("Right click to refresh (Double click does different things)"));
    m_meta->setAccessibleName(QStringLiteral("Now playing"));
    connect(m_meta, &QListWidget::itemDoubleClicked, this, [this] { m_panel.MetaList_DblClick(); });
    m_info = addList(PanelList::Info, QStringLiteral("Right click to refresh (Double click does different things)"));
    m_info->setAccessibleName(QStringLiteral("List"));
    connect(m_info, &QListWidget::itemDoubleClicked, this, [this] { m_panel.InfoList_DblClick(); });

    // Two columns: the picture above the current menu and the now-playing data on the left,
    // the main menu above the radio's list on the right, so the two navigable lists share
    // their left edge.
    auto *left = new QVBoxLayout;
    left->addWidget(m_menu, 2);
    left->addWidget(m_meta, 3);
    grid->addLayout(pictureColumn, 0, 0);
    grid->addWidget(m_mainMenu, 0, 1);
    grid->addLayout(left, 1, 0);
    grid->addWidget(m_info, 1, 1);
    grid->setColumnStretch(0, 1);
    grid->setColumnStretch(1, 1);
    grid->setRowStretch(0, 2);
    grid->setRowStretch(1, 3);
    return m_frame;
}

QWidget *InfoForm::buildMessageRow() {
    auto *box = new QWidget;
    auto *row = new QHBoxLayout(box);
    row->setContentsMargins(0, 0, 0, 0);
    m_message = new QLineEdit(m_panel.MessageText);
    m_message->setObjectName(QStringLiteral("MessageText"));
    m_message->setAccessibleName(QStringLiteral("Message for the radio's display"));
    m_message->setPlaceholderText(QStringLiteral("Message for the radio's display"));
    m_message->setToolTip(QStringLiteral("Type a message; Enter or Send shows it on the radio's display"));
    m_message->setCursorPosition(0);
    // A message as long as the ruler stays readable.
    m_message->setMinimumWidth(m_message->fontMetrics().horizontalAdvance(InfoPanel::messageRuler()) + 16);
    m_message->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    connect(m_message, &QLineEdit::textEdited, this, [this](const QString &text) {
        m_panel.MessageText_Change(text);
        m_send->setEnabled(!text.trimmed().isEmpty());
    });
    m_send = new QPushButton(QStringLiteral("Send"));
    m_send->setObjectName(QStringLiteral("SendMessageButton"));
    m_send->setToolTip(QStringLiteral("Send a display message to the radio"));
    m_send->setEnabled(!m_panel.MessageText.trimmed().isEmpty());
    connect(m_send, &QPushButton::clicked, this, [this] { m_panel.SendMessageButton_Click(); });
    connect(m_message, &QLineEdit::returnPressed, this, [this] { m_panel.SendMessageButton_Click(); });
    m_hideFrame = new QCheckBox(QStringLiteral("Hide Frame"));
    m_hideFrame->setToolTip(QStringLiteral("Hides the InfoFrame"));
    row->addWidget(m_message, 1);
    row->addWidget(m_send);
    row->addSpacing(12);
    row->addWidget(m_hideFrame);
    return box;
}

void InfoForm::onSliderChanged(int value) {
    // The radio's own reports neither send anything back nor take the focus from what the user
    // is doing.
    if (m_programMove) {
        m_panel.volumeShown(value);
        return;
    }
    // The focus stays where the user has it: on the slider, the next arrow key steps on.
    m_panel.VolumeAdjuster_Change(value);
}

void InfoForm::renderList(QListWidget *list, const QStringList &rows, int index, bool enabled) {
    // Rows are rewritten in place where only their text changed (each reply renews the time in
    // a list's first row): a refill would lay the whole list out again and lose its scrolling.
    if (list->count() == rows.size()) {
        for (int i = 0; i < list->count(); ++i) {
            if (list->item(i)->text() != rows[i]) {
                list->item(i)->setText(rows[i]);
            }
        }
    } else {
        list->clear();
        list->addItems(rows);
    }
    const int row = index >= 0 && index < rows.size() ? index : -1;
    if (list->currentRow() != row) {
        list->setCurrentRow(row);
    }
    list->setEnabled(enabled);
}

void InfoForm::changeEvent(QEvent *event) {
    if (event->type() == QEvent::ApplicationPaletteChange) {
        // A new desktop palette (a dark one): its greys are made readable again.
        setPalette(WithReadableDisabledText(QGuiApplication::palette()));
    }
    QMainWindow::changeEvent(event);
}

void InfoForm::render() {
    m_rendering = true;
    m_state->setText(m_view.DeviceState);
    m_version->setText(m_view.DeviceVersion);
    m_volume->setText(m_view.DeviceVolume);
    const bool live = !m_view.RadioOffline;
    for (QLabel *value : {m_state, m_version, m_volume}) {
        value->setEnabled(live);
    }
    QString offline = QStringLiteral("Radio offline since ") + m_view.OfflineSince;
    if (!m_view.ConnectProblem.isEmpty()) {
        offline += QStringLiteral(". ") + m_view.ConnectProblem;
    }
    if (const QString waiting = m_view.waitingText(); !waiting.isEmpty()) {
        offline += QStringLiteral("; ") + waiting;
    }
    m_offline->setText(live ? QString() : offline);
    m_health->showLook(LinkHealthLookOf(m_view));
    m_offline->setVisible(!live);
    m_time->setText(m_panel.TimeLabel);
    // The slider waits greyed for the radio's answer to a change, except while the user works it
    // by keys: greyed, it would throw the focus elsewhere and lose the next key. Its steps count
    // from where the radio is heading, so they need not wait.
    m_slider->setEnabled(m_view.VolumeAdjusterEnabled || m_slider->hasFocus());
    m_sliderValue->setText(m_panel.ScrollVolumeLabel);

    renderList(m_mainMenu, m_panel.MainMenuRows(), m_view.MainMenuListIndex, true);
    renderList(m_menu, m_view.MenuList, m_view.MenuListIndex, live);
    renderList(m_meta, m_view.MetaList, m_view.MetaListIndex, live && m_view.MetaListEnabled);
    renderList(m_info, m_view.InfoList, m_view.InfoListIndex, live && m_view.InfoListEnabled);

    QStringList macros;
    for (const MacroListEntry &entry : m_panel.macros().List.Entries) {
        macros << entry.Name;
    }
    renderList(m_macroList, macros, m_panel.macros().List.Selected, true);
    m_pictureStack->setCurrentWidget(m_view.MacroListVisible ? static_cast<QWidget *>(m_macroList) : m_menuImage);

    m_menuName->setText(m_view.CurrentMenuLabel);
    if (m_message->text() != m_panel.MessageText) {
        m_message->setText(m_panel.MessageText);
        m_message->setCursorPosition(0); // a long message reads from its start
        m_send->setEnabled(!m_panel.MessageText.trimmed().isEmpty());
    }
    m_record->setText(m_view.RecordButtonsCaption);
    if (m_record->font().bold() != m_view.RecordButtonsBold) {
        QFont font = m_record->font();
        font.setBold(m_view.RecordButtonsBold);
        m_record->setFont(font);
    }
    m_record->setEnabled(m_view.RecordButtonsEnabled);
    // Compared with what was set, not with what the box gives back: the box turns CR LF into
    // LF, so the comparison with its own text never matched and the box was filled (and
    // repainted) on every tick.
    if (const QString debug = m_view.DebugText.trimmed(); debug != m_debugShown) {
        m_debugShown = debug;
        m_debug->setPlainText(debug);
    }
    m_status->setText(m_panel.StatusMessage);
    m_rendering = false;
}

void InfoForm::setMenuPicture(const QImage &picture) {
    // Shown at its natural size; only a picture larger than the area is made to fit.
    const QSize area = m_menuImage->contentsRect().size();
    const bool fits = picture.width() <= area.width() && picture.height() <= area.height();
    m_menuImage->setPixmap(
        QPixmap::fromImage(fits ? picture : picture.scaled(area, Qt::KeepAspectRatio, Qt::SmoothTransformation)));
}

void InfoForm::setMacroLabel(const QString &caption, const QString &toolTip, bool green, bool running) {
    m_macroStop->setVisible(running);
    m_macroLabel->setText(caption);
    m_macroLabel->setToolTip(toolTip);
    QPalette palette = m_menuName->palette();
    if (green) {
        palette.setColor(QPalette::WindowText, QColor(0, 255, 0));
    }
    m_macroLabel->setPalette(palette);
}

QString InfoForm::statusPanel() const {
    return m_status->text();
}

void InfoForm::showEvent(QShowEvent *event) {
    QMainWindow::showEvent(event);
    m_view.MainMenuListVisible = true;
    m_panel.setClockShown(true);
}

void InfoForm::hideEvent(QHideEvent *event) {
    QMainWindow::hideEvent(event);
    m_view.MainMenuListVisible = false;
    m_panel.setClockShown(false);
}

void InfoForm::closeEvent(QCloseEvent *event) {
    if (m_closeAllowed) {
        event->accept();
        return;
    }
    // The panel is kept: the user gets it back without losing what it shows.
    event->ignore();
    hide();
}

bool InfoForm::eventFilter(QObject *watched, QEvent *event) {
    const QEvent::Type type = event->type();
    if (type == QEvent::MouseButtonPress) {
        const auto *mouse = static_cast<QMouseEvent *>(event);
        const bool right = mouse->button() == Qt::RightButton;
        if (watched == m_state || watched == m_stateCaption) {
            m_panel.DeviceState_Click();
        } else if (watched == m_version || watched == m_versionCaption) {
            m_panel.DeviceVersion_Click();
        } else if (watched == m_volume || watched == m_volumeCaption) {
            m_panel.DeviceVolume_Click();
        } else if (watched == m_macroLabel) {
            m_panel.MacroLabel_Click();
        } else if (watched == m_menuImage && right) {
            m_panel.CurrentMenuImage_RightPress(mouse->modifiers() &
                                                (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier));
            return true;
        } else if (watched == m_macroList->viewport() && right) {
            m_panel.MacroList_RightPress();
            return true;
        } else if (auto *list = qobject_cast<QListWidget *>(watched->parent());
                   list && watched == list->viewport() && list->property(ListKind).isValid()) {
            m_panel.List_MouseDown(PanelList(list->property(ListKind).toInt()), right);
            // A right click refreshes; it does not pick a row.
            return right;
        }
    } else if (type == QEvent::MouseButtonDblClick) {
        if (watched == m_sliderValue) {
            m_panel.ScrollVolumeLabel_DblClick();
            return true;
        }
        if (watched == m_menuImage) {
            m_panel.CurrentMenuImage_DblClick();
            return true;
        }
    } else if (type == QEvent::KeyPress && watched == m_macroList) {
        // The keyboard's double click: Enter or Space runs the selected macro.
        const int key = static_cast<QKeyEvent *>(event)->key();
        if ((key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Space) && m_macroList->currentRow() >= 0) {
            m_panel.MacroList_DblClick(m_macroList->currentRow());
            return true;
        }
    } else if (type == QEvent::KeyPress && watched->property(ListKind).isValid()) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        return m_panel.List_KeyDown(PanelList(watched->property(ListKind).toInt()),
                                    key == Qt::Key_Return || key == Qt::Key_Enter);
    }
    return QMainWindow::eventFilter(watched, event);
}
