#include "update/UpdateGroup.h"

#include <QCheckBox>
#include <QEvent>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QVBoxLayout>

#include <array>

UpdateGroup::UpdateGroup(QWidget *parent)
    : QGroupBox(QStringLiteral("Updates"), parent) {
    setObjectName(QStringLiteral("UpdateGroup"));
    auto *layout = new QVBoxLayout(this);
    m_checkLabel = new QLabel(QStringLiteral("Check for Updates"));
    m_checkLabel->setObjectName(QStringLiteral("CheckUpdateLabel"));
    m_checkLabel->setToolTip(QStringLiteral("Check for software updates"));
    // A label that works as a link: it looks like one and starts the check when clicked.
    m_checkLabel->setStyleSheet(QStringLiteral("color: #1a4fc4; text-decoration: underline;"));
    m_checkLabel->setCursor(Qt::PointingHandCursor);
    m_checkLabel->installEventFilter(this);
    layout->addWidget(m_checkLabel);

    auto *proxy = new QGroupBox(QStringLiteral("Proxy"));
    auto *proxyGrid = new QGridLayout(proxy);
    auto *useProxy = new QCheckBox(QStringLiteral("U&se Proxy"));
    useProxy->setObjectName(QStringLiteral("chkUseProxy"));
    proxyGrid->addWidget(useProxy, 0, 0, 1, 2);
    const QStringList labels{QStringLiteral("Proxy Ser&ver:"), QStringLiteral("&Port:"), QStringLiteral("Us&er name:"),
                             QStringLiteral("P&assword:")};
    const QStringList names{QStringLiteral("txtProxyServer"), QStringLiteral("txtProxyPort"),
                            QStringLiteral("txtProxyUserName"), QStringLiteral("txtProxyPassword")};
    std::array<QWidget *, 8> fields{};
    for (int i = 0; i < 4; ++i) {
        auto *label = new QLabel(labels.at(i));
        auto *edit = new QLineEdit;
        edit->setObjectName(names.at(i));
        label->setBuddy(edit);
        if (i == 3) {
            edit->setEchoMode(QLineEdit::Password);
        }
        proxyGrid->addWidget(label, i + 1, 0);
        proxyGrid->addWidget(edit, i + 1, 1);
        fields[size_t(i)] = label;
        fields[size_t(i) + 4] = edit;
    }
    const auto enableProxy = [fields](bool on) {
        for (QWidget *field : fields) {
            field->setEnabled(on);
        }
    };
    connect(useProxy, &QCheckBox::toggled, this, enableProxy);
    enableProxy(useProxy->isChecked());
    layout->addWidget(proxy);

    auto *progress = new QProgressBar;
    progress->setObjectName(QStringLiteral("ProgressBar1"));
    progress->setToolTip(QStringLiteral("Download progress."));
    progress->setValue(0);
    layout->addWidget(progress);
}

UpdateGroup::~UpdateGroup() = default;

bool UpdateGroup::eventFilter(QObject *watched, QEvent *event) {
    if (watched == m_checkLabel && event->type() == QEvent::MouseButtonRelease) {
        Q_EMIT checkRequested();
        return true;
    }
    return QGroupBox::eventFilter(watched, event);
}
