#include "remote/LayoutEditorPanel.h"

#include "platform/ShownForm.h"
#include "remote/LayoutEditor.h"
#include "settings/Accessibility.h"
#include "settings/NamedWidgets.h"

#include <QCheckBox>
#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

LayoutEditorPanel::LayoutEditorPanel(QWidget *parent)
    : QGroupBox(QStringLiteral("Remote layout"), parent) {
    setObjectName(QStringLiteral("LayoutEditor"));
    auto *grid = new QGridLayout(this);
    m_remoteList = new QListWidget;
    ShowFocusRing(*m_remoteList);
    m_remoteList->setObjectName(QStringLiteral("RemoteList"));
    m_remoteList->setAccessibleName(QStringLiteral("Remote layouts"));
    m_remoteList->setMaximumHeight(70);
    connect(m_remoteList, &QListWidget::itemDoubleClicked, this,
            [this](QListWidgetItem *item) { Q_EMIT layoutChosen(item->text()); });
    grid->addWidget(m_remoteList, 0, 0, 1, 4);
    const QStringList tips{QStringLiteral("Top"), QStringLiteral("Bottom"), QStringLiteral("Left"),
                           QStringLiteral("Right"), QStringLiteral("Top, Bottom, Left, Right")};
    const QStringList spoken{
        QStringLiteral("Key rectangle top, percent"), QStringLiteral("Key rectangle bottom, percent"),
        QStringLiteral("Key rectangle left, percent"), QStringLiteral("Key rectangle right, percent"),
        QStringLiteral("Key rectangle, all four edges")};
    for (int i = 0; i < 5; ++i) {
        auto *box = new QLineEdit;
        box->setObjectName(QStringLiteral("ButtonLocations_%1").arg(i));
        box->setToolTip(tips.at(i));
        box->setAccessibleName(spoken.at(i));
        box->installEventFilter(this);
        box->setAutoFillBackground(true);
        connect(box, &QLineEdit::textEdited, this, [this, i](const QString &text) { Q_EMIT boxEdited(i, text); });
        m_buttonLocations[size_t(i)] = box;
        if (i < 4) {
            grid->addWidget(box, 1, i);
        }
    }
    grid->addWidget(m_buttonLocations[4], 2, 0, 1, 4);
    QPushButton *set = button(QStringLiteral("SetButton"), QStringLiteral("Set"),
                              QStringLiteral("Set the current command/button position"));
    QPushButton *save =
        button(QStringLiteral("UpdateButtons"), QStringLiteral("Save"), QStringLiteral("Save the Layout for Remote"));
    QPushButton *reload = button(QStringLiteral("ReloadButton"), QStringLiteral("Reload"),
                                 QStringLiteral("Reload the Layout for Remote"));
    connect(set, &QPushButton::clicked, this, &LayoutEditorPanel::setClicked);
    connect(save, &QPushButton::clicked, this, &LayoutEditorPanel::saveClicked);
    connect(reload, &QPushButton::clicked, this, &LayoutEditorPanel::reloadClicked);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(set);
    buttons->addWidget(save);
    buttons->addWidget(reload);
    grid->addLayout(buttons, 3, 0, 1, 4);
    m_showPointer = checkBox(QStringLiteral("ShowPointer"), QStringLiteral("Show Pointer aid"),
                             QStringLiteral("Show the pointer aid"), true);
    m_staticPointer = checkBox(QStringLiteral("StaticPointer"), QStringLiteral("Keep Aid still"),
                               QStringLiteral("Static Pointer"), false);
    connect(m_showPointer, &QCheckBox::clicked, this, &LayoutEditorPanel::showPointerClicked);
    connect(m_staticPointer, &QCheckBox::clicked, this, &LayoutEditorPanel::staticPointerClicked);
    grid->addWidget(m_showPointer, 4, 0, 1, 4);
    grid->addWidget(m_staticPointer, 5, 0, 1, 4);
    m_status = new QLabel;
    m_status->setObjectName(QStringLiteral("LayoutStatus"));
    m_status->setWordWrap(true);
    grid->addWidget(m_status, 6, 0, 1, 4);
    // Enabled once the editor's logic is attached.
    setEnabled(false);
}

LayoutEditorPanel::~LayoutEditorPanel() = default;

void LayoutEditorPanel::setLayoutNames(const QStringList &names, int current) {
    m_remoteList->clear();
    m_remoteList->addItems(names);
    m_remoteList->setCurrentRow(current);
}

void LayoutEditorPanel::attach(const LayoutEditor &editor) {
    m_editor = &editor;
    connect(&editor, &LayoutEditor::changed, this, &LayoutEditorPanel::render);
    setEnabled(true);
    render();
}

void LayoutEditorPanel::render() {
    const LayoutEditor &editor = *m_editor;
    for (int i = 0; i < LayoutEditor::Boxes; ++i) {
        QLineEdit *box = m_buttonLocations[size_t(i)];
        const QString &text = editor.ButtonLocations[size_t(i)];
        if (box->text() != text) {
            box->setText(text);
        }
        QPalette palette = box->palette();
        palette.setColor(QPalette::Base, ShownColour(editor.boxColour(i)));
        palette.setColor(QPalette::Text, Qt::black);
        box->setPalette(palette);
    }
    m_showPointer->setChecked(editor.ShowPointer);
    m_staticPointer->setChecked(editor.StaticPointer);
    m_status->setText(editor.StatusText);
}

bool LayoutEditorPanel::eventFilter(QObject *watched, QEvent *event) {
    for (int i = 0; i < int(m_buttonLocations.size()); ++i) {
        if (watched != m_buttonLocations[size_t(i)]) {
            continue;
        }
        if (event->type() == QEvent::FocusIn) {
            Q_EMIT boxFocused(i);
        } else if (event->type() == QEvent::KeyPress) {
            const int key = static_cast<QKeyEvent *>(event)->key();
            if (key == Qt::Key_Up || key == Qt::Key_Down) {
                Q_EMIT boxArrow(i, key == Qt::Key_Up);
                return true;
            }
        }
    }
    return QGroupBox::eventFilter(watched, event);
}
