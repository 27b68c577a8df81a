#include "update/UpdateGroup.h"

#include <QCheckBox>
#include <QEvent>
#include <QGridLayout>
#include <QKeyEvent>
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
    // A link; with the focus, a ring in the highlight colour, as the lists have.
    m_checkLabel->setStyleSheet(
        QStringLiteral("QLabel { color: #1a4fc4; text-decoration: underline; border: 2px solid transparent; }"
                       "QLabel:focus { border-color: palette(highlight); }"));
    m_checkLabel->setCursor(Qt::PointingHandCursor);
    m_checkLabel->installEventFilter(this);
    // Reached by Tab too; Enter or Space starts the check as a click does.
    m_checkLabel->setFocusPolicy(Qt::StrongFocus);
    layout->addWidget(m_checkLabel);

    auto *proxy = new QGroupBox(QStringLiteral("Proxy"));
    auto *proxyGrid = new QGridLayout(proxy);
    auto *useProxy = new QCheckBox(QStringLiteral("U&se Proxy"));
    useProxy->setObjectName(QStringLiteral("chkUseProxy"));
    m_useProxy = useProxy;
    proxyGrid->addWidget(useProxy, 0, 0, 1, 2);
    const QStringList labels{QStringLiteral("Proxy Ser&ver:"), QStringLiteral("&Port:"), QStringLiteral("Us&er name:"),
                             QStringLiteral("P&assword:")};
    const QStringList names{QStringLiteral("txtProxyServer"), QStringLiteral("txtProxyPort"),
                            QStringLiteral("txtProxyUserName"), QStringLiteral("txtProxyPassword")};
    std::array<QWidget *, 9> fields{};
    std::array<QLineEdit *, 4> edits{};
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
        edits[size_t(i)] = edit;
        connect(edit, &QLineEdit::textEdited, this, &UpdateGroup::proxyEdited);
    }
    m_server = edits[0];
    m_port = edits[1];
    m_userName = edits[2];
    m_password = edits[3];
    m_rememberPassword = new QCheckBox(QStringLiteral("Remember pass&word"));
    m_rememberPassword->setObjectName(QStringLiteral("chkRememberProxyPassword"));
    m_rememberPassword->setToolTip(QStringLiteral("Keep the password in the settings file. Unticked, it is kept only "
                                                  "until CV Remote closes."));
    proxyGrid->addWidget(m_rememberPassword, 5, 0, 1, 2);
    fields[8] = m_rememberPassword;
    connect(useProxy, &QCheckBox::clicked, this, &UpdateGroup::proxyEdited);
    connect(m_rememberPassword, &QCheckBox::clicked, this, &UpdateGroup::proxyEdited);
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

void UpdateGroup::setProxy(const UpdateProxy &proxy) {
    m_useProxy->setChecked(proxy.use);
    m_server->setText(proxy.server);
    m_port->setText(QString::number(proxy.port));
    m_userName->setText(proxy.userName);
    m_password->setText(proxy.password);
    m_rememberPassword->setChecked(proxy.rememberPassword);
}

UpdateProxy UpdateGroup::proxy() const {
    UpdateProxy proxy;
    proxy.use = m_useProxy->isChecked();
    proxy.server = m_server->text().trimmed();
    bool ok = false;
    const uint port = m_port->text().trimmed().toUInt(&ok);
    proxy.port = ok && port >= 1 && port <= 65535 ? quint16(port) : 0;
    proxy.userName = m_userName->text();
    proxy.password = m_password->text();
    proxy.rememberPassword = m_rememberPassword->isChecked();
    return proxy;
}

bool UpdateGroup::eventFilter(QObject *watched, QEvent *event) {
    if (watched == m_checkLabel && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Space) {
            Q_EMIT checkRequested();
            return true;
        }
    }
    if (watched == m_checkLabel && event->type() == QEvent::MouseButtonRelease) {
        Q_EMIT checkRequested();
        return true;
    }
    return QGroupBox::eventFilter(watched, event);
}
