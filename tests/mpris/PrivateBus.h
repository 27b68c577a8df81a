#pragma once

#include <QByteArray>
#include <QProcess>
#include <QString>

// A session bus of the test's own: a dbus-daemon started for it and ended with it, so the
// user's own session bus is never touched. address is "" when the daemon did not start.
class PrivateBus {
public:
    PrivateBus() {
        m_daemon.start(QStringLiteral("dbus-daemon"),
                       {QStringLiteral("--session"), QStringLiteral("--print-address"), QStringLiteral("--nofork")});
        if (!m_daemon.waitForStarted(10000)) {
            error = QStringLiteral("dbus-daemon did not start: ") + m_daemon.errorString();
            return;
        }
        while (!m_daemon.canReadLine() && m_daemon.waitForReadyRead(10000)) {
        }
        address = QString::fromUtf8(m_daemon.readLine().trimmed());
        if (address.isEmpty()) {
            error = QStringLiteral("dbus-daemon printed no address: ") +
                    QString::fromLocal8Bit(m_daemon.readAllStandardError());
        }
    }
    ~PrivateBus() {
        if (m_daemon.state() != QProcess::NotRunning) {
            m_daemon.terminate();
            if (!m_daemon.waitForFinished(5000)) {
                m_daemon.kill();
                m_daemon.waitForFinished(5000);
            }
        }
    }
    PrivateBus(const PrivateBus &) = delete;
    PrivateBus &operator=(const PrivateBus &) = delete;

    QString address;
    QString error;

private:
    QProcess m_daemon;
};
