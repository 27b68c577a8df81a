#include "finder/FirstRunDialog.h"

#include "finder/FirstContact.h"
#include "settings/Accessibility.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

QLabel *WrappedLabel(const QString &name) {
    auto *label = new QLabel;
    label->setObjectName(name);
    label->setWordWrap(true);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return label;
}

} // namespace

FirstRunDialog::FirstRunDialog(FirstContact &contact, QWidget *parent)
    : QDialog(parent)
    , m_contact(contact) {
    setObjectName(QStringLiteral("FirstRunDialog"));
    setWindowTitle(QStringLiteral("Radio Address - CV Remote"));
    setModal(false);

    auto *intro = new QLabel(QStringLiteral("Which radio should CV Remote control? Type its address, or let "
                                            "CV Remote find the radios on your network and pick one."));
    intro->setWordWrap(true);

    m_radioHost = new QLineEdit;
    m_radioHost->setObjectName(QStringLiteral("RadioHost"));
    m_radioHost->setPlaceholderText(QStringLiteral("e.g. 192.168.1.119"));
    m_radioPort = new QLineEdit;
    m_radioPort->setObjectName(QStringLiteral("RadioPort"));
    m_radioPort->setMaximumWidth(fontMetrics().horizontalAdvance(QStringLiteral("0000000")) + 16);
    m_find = new QPushButton(QStringLiteral("&Find radios"));
    m_find->setObjectName(QStringLiteral("FindRadios"));
    m_test = new QPushButton(QStringLiteral("&Test"));
    m_test->setObjectName(QStringLiteral("TestRadio"));
    m_test->setToolTip(QStringLiteral("Ask the address typed for its version, once"));
    auto *addressRow = new QHBoxLayout;
    addressRow->addWidget(m_radioHost, 1);
    addressRow->addWidget(new QLabel(QStringLiteral("Port:")));
    addressRow->addWidget(m_radioPort);
    addressRow->addWidget(m_test);
    addressRow->addWidget(m_find);

    m_found = new QListWidget;
    ShowFocusRing(*m_found);
    m_found->setObjectName(QStringLiteral("FoundRadios"));
    m_found->setToolTip(QStringLiteral("Click a radio to take its address; a double click takes it and closes"));
    m_found->setMaximumHeight(fontMetrics().height() * 6);
    m_findText = WrappedLabel(QStringLiteral("FindText"));
    m_testText = WrappedLabel(QStringLiteral("TestText"));

    auto *radioBox = new QGroupBox(QStringLiteral("The radio"));
    auto *radioLayout = new QVBoxLayout(radioBox);
    auto *radioForm = new QFormLayout;
    radioForm->addRow(QStringLiteral("&Address:"), addressRow);
    static_cast<QLabel *>(radioForm->labelForField(addressRow))->setBuddy(m_radioHost);
    radioLayout->addLayout(radioForm);
    radioLayout->addWidget(m_testText);
    radioLayout->addWidget(m_findText);
    radioLayout->addWidget(m_found);

    m_consoleFollows = new QCheckBox(QStringLiteral("On the radio's &host"));
    m_consoleFollows->setObjectName(QStringLiteral("ConsoleFollowsRadio"));
    m_consoleHost = new QLineEdit;
    m_consoleHost->setObjectName(QStringLiteral("ConsoleHost"));
    m_consolePort = new QLineEdit;
    m_consolePort->setObjectName(QStringLiteral("ConsolePort"));
    m_consolePort->setMaximumWidth(m_radioPort->maximumWidth());
    auto *consoleRow = new QHBoxLayout;
    consoleRow->addWidget(m_consoleFollows);
    consoleRow->addWidget(m_consoleHost, 1);
    consoleRow->addWidget(new QLabel(QStringLiteral("Port:")));
    consoleRow->addWidget(m_consolePort);
    auto *consoleBox = new QGroupBox(QStringLiteral("The radio's debug console"));
    auto *consoleForm = new QFormLayout(consoleBox);
    consoleForm->addRow(QStringLiteral("Address:"), consoleRow);

    m_problem = WrappedLabel(QStringLiteral("Problem"));
    m_problem->setStyleSheet(QStringLiteral("color: #b00000"));

    auto *buttons = new QDialogButtonBox;
    m_use = buttons->addButton(QStringLiteral("&Use these"), QDialogButtonBox::AcceptRole);
    m_use->setObjectName(QStringLiteral("UseThese"));
    m_use->setDefault(true);
    QPushButton *close = buttons->addButton(QDialogButtonBox::Close);
    close->setObjectName(QStringLiteral("CloseDialog"));
    close->setToolTip(QStringLiteral("Close without changing anything"));

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(intro);
    layout->addWidget(radioBox);
    layout->addWidget(consoleBox);
    layout->addWidget(m_problem);
    layout->addStretch(1);
    layout->addWidget(buttons);

    connect(m_radioHost, &QLineEdit::textEdited, &m_contact, &FirstContact::setRadioHost);
    connect(m_radioPort, &QLineEdit::textEdited, &m_contact, &FirstContact::setRadioPort);
    connect(m_consoleHost, &QLineEdit::textEdited, &m_contact, &FirstContact::setConsoleHost);
    connect(m_consolePort, &QLineEdit::textEdited, &m_contact, &FirstContact::setConsolePort);
    connect(m_consoleFollows, &QCheckBox::clicked, &m_contact, &FirstContact::setConsoleFollowsRadio);
    connect(m_find, &QPushButton::clicked, &m_contact, &FirstContact::find);
    connect(m_test, &QPushButton::clicked, &m_contact, &FirstContact::test);
    connect(m_found, &QListWidget::itemClicked, this,
            [this](QListWidgetItem *item) { m_contact.pick(m_found->row(item)); });
    const auto useThese = [this] {
        if (m_contact.apply()) {
            hide();
            m_contact.stop();
        }
    };
    // A double click (or Enter) on a radio found takes it at once.
    connect(m_found, &QListWidget::itemActivated, this, [this, useThese](QListWidgetItem *item) {
        m_contact.pick(m_found->row(item));
        useThese();
    });
    connect(m_use, &QPushButton::clicked, this, useThese);
    connect(close, &QPushButton::clicked, this, &QWidget::close);
    connect(this, &QDialog::rejected, &m_contact, &FirstContact::stop); // Esc
    connect(&m_contact, &FirstContact::changed, this, &FirstRunDialog::render);
    render();
}

FirstRunDialog::~FirstRunDialog() = default;

void FirstRunDialog::setText(QLineEdit *edit, const QString &text) {
    if (edit->text().trimmed() != text) {
        edit->setText(text);
    }
}

void FirstRunDialog::render() {
    const FirstContact::Choice &choice = m_contact.choice();
    setText(m_radioHost, choice.radioHost);
    setText(m_radioPort, choice.radioPort);
    m_consoleFollows->setChecked(choice.consoleFollowsRadio);
    setText(m_consoleHost, choice.consoleHostUsed());
    m_consoleHost->setEnabled(!choice.consoleFollowsRadio);
    setText(m_consolePort, choice.consolePort);

    m_find->setEnabled(!m_contact.finding());
    m_find->setText(m_contact.finding() ? QStringLiteral("Finding...") : QStringLiteral("&Find radios"));
    m_test->setEnabled(!m_contact.testing());
    m_findText->setText(m_contact.findText());
    m_findText->setVisible(!m_contact.findText().isEmpty());
    m_testText->setText(m_contact.testText());
    m_testText->setVisible(!m_contact.testText().isEmpty());
    m_testText->setStyleSheet(m_contact.testPassed() || m_contact.testing() ? QString()
                                                                            : QStringLiteral("color: #b00000"));

    QStringList rows;
    for (const FoundRadio &radio : m_contact.found()) {
        rows << QStringLiteral("%1:%2    version %3").arg(radio.addressText()).arg(radio.port).arg(radio.version);
    }
    QStringList shown;
    for (int i = 0; i < m_found->count(); ++i) {
        shown << m_found->item(i)->text();
    }
    if (shown != rows) {
        m_found->clear();
        m_found->addItems(rows);
    }
    m_found->setVisible(!rows.isEmpty());

    const QString problem = m_contact.problem();
    m_problem->setText(problem);
    m_problem->setVisible(!problem.isEmpty());
    m_use->setEnabled(problem.isEmpty());
}

void FirstRunDialog::closeEvent(QCloseEvent *event) {
    m_contact.stop();
    render();
    QDialog::closeEvent(event);
}
