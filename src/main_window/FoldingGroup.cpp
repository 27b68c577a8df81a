#include "main_window/FoldingGroup.h"

#include <QGroupBox>
#include <QToolButton>
#include <QVBoxLayout>

FoldingGroup::FoldingGroup(QGroupBox *group, QWidget *parent)
    : QWidget(parent)
    , m_group(group) {
    setObjectName(group->objectName() + QStringLiteral("Folding"));
    m_button = new QToolButton;
    m_button->setObjectName(group->objectName() + QStringLiteral("Fold"));
    m_button->setText(group->title());
    m_button->setCheckable(true);
    m_button->setAutoRaise(true);
    m_button->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    m_button->setToolTip(QStringLiteral("Shows or folds away the \"%1\" group").arg(group->title()));
    QFont bold = m_button->font();
    bold.setBold(true);
    m_button->setFont(bold);
    group->setTitle(QString());

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_button, 0, Qt::AlignLeft);
    layout->addWidget(group);
    setOpen(false);
    connect(m_button, &QToolButton::clicked, this, [this](bool open) {
        setOpen(open);
        Q_EMIT openedByUser(open);
    });
}

FoldingGroup::~FoldingGroup() = default;

bool FoldingGroup::isOpen() const {
    return m_button->isChecked();
}

void FoldingGroup::setOpen(bool open) {
    m_button->setChecked(open);
    m_button->setArrowType(open ? Qt::DownArrow : Qt::RightArrow);
    m_group->setVisible(open);
}
