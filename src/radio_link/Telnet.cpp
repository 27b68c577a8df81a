#include "radio_link/Telnet.h"

#include "platform/Platform.h"
#include "radio_link/AutomaticPoll.h"
#include "radio_link/RadioState.h"
#include "settings/Timeouts.h"

#include <QDir>
#include <QFileInfo>

Telnet::Telnet(Platform &platform, RadioState &state, const Timeouts &timeouts)
    : m_state(state)
    , m_timeouts(timeouts)
    , m_checkOutBuffer(platform.createTimer()) {
    m_checkOutBuffer->setInterval(WakeInterval);
}

void Telnet::WakeQueue() {
    if (m_queueHeld || (m_checkOutBuffer->isEnabled() && m_checkOutBuffer->interval() == WakeInterval)) {
        return;
    }
    m_checkOutBuffer->setEnabled(false);
    m_checkOutBuffer->setInterval(WakeInterval);
    m_checkOutBuffer->setEnabled(true);
}

void Telnet::HoldQueue(int ms) {
    m_queueHeld = true;
    m_checkOutBuffer->setEnabled(false);
    m_checkOutBuffer->setInterval(ms);
    m_checkOutBuffer->setEnabled(true);
}

void Telnet::QueueTickBegins() {
    m_queueHeld = false;
    m_checkOutBuffer->setEnabled(false);
}

void Telnet::QueueCommand(int channel, const QString &command) {
    if (channel < 0 || channel > 1 || command.isEmpty()) {
        return;
    }
    if (channel == 0) {
        // A user command postpones the next full refresh of all lists.
        m_state.poll.FullRefreshCountdown = m_state.poll.RadioStandby ? m_timeouts.CheckAllOff : m_timeouts.CheckAllOn;
        m_state.needs.FullRefreshDue = false;
    }
    CompactQueues();
    QStringList &outbound = Channels[size_t(channel)].Outbound;
    if (!outbound.last().isEmpty()) {
        outbound.append(QString());
    }
    outbound.last() = command;
    WakeQueue();
}

void Telnet::RequeueFirst(int channel, const QString &command) {
    if (channel < 0 || channel > 1 || command.isEmpty()) {
        return;
    }
    Channels[size_t(channel)].Outbound.prepend(command);
    CompactQueues();
    WakeQueue();
}

void Telnet::CompactQueues() {
    bool anyLive = false;
    for (size_t c = 0; c < Channels.size(); ++c) {
        QStringList &outbound = Channels[c].Outbound;
        // Live commands move up over every free slot, keeping their order. (Closing only one
        // gap per pass would let a command behind a double gap fall off the end.)
        outbound.removeAll(QString());
        qsizetype n = outbound.size();
        outbound.append(QString());
        if (n > Limit) {
            // Flooded: keep only the oldest command (it stays in slot 0, so a send of it in
            // flight still finds it there).
            n = 0;
        }
        outbound.resize(n + 1);
        if (!outbound[0].isEmpty()) {
            anyLive = true;
        }
    }
    if (!anyLive && m_poll) {
        m_poll->linkIdle();
    }
}

void Telnet::ClearChannel(int channel) {
    TelnetChannel &ch = Channels[size_t(channel)];
    ch.Outbound = QStringList{QString()};
    ++ch.Generation;
}

QStringList Telnet::pending(int channel) const {
    QStringList live;
    for (const QString &slot : Channels[size_t(channel)].Outbound) {
        if (!slot.isEmpty()) {
            live << slot;
        }
    }
    return live;
}

bool Telnet::hasLive(int channel) const {
    for (const QString &slot : Channels[size_t(channel)].Outbound) {
        if (!slot.isEmpty()) {
            return true;
        }
    }
    return false;
}

namespace {

// The sound files come from a system whose file names ignore case; look the name up that way
// when the exact spelling is not there.
QString existingFile(const QString &path) {
    if (QFileInfo::exists(path)) {
        return path;
    }
    const QFileInfo info(path);
    const QDir dir = info.dir();
    if (!dir.exists()) {
        return QString();
    }
    const QStringList entries = dir.entryList(QDir::Files);
    for (const QString &entry : entries) {
        if (entry.compare(info.fileName(), Qt::CaseInsensitive) == 0) {
            return dir.filePath(entry);
        }
    }
    return QString();
}

} // namespace

QString PlaySoundFile(SoundPlayer &player, const QString &programFolder, const QString &name) {
    if (name.isEmpty()) {
        return QString();
    }
    QString file = name;
    if (file.right(4).compare(QStringLiteral(".WAV"), Qt::CaseInsensitive) != 0) {
        file += QStringLiteral(".Wav");
    }
    const QString folder = programFolder.isEmpty() ? QStringLiteral(".") : programFolder;
    QString path = existingFile(file);
    if (path.isEmpty()) {
        path = existingFile(folder + QLatin1Char('/') + file);
    }
    if (path.isEmpty()) {
        path = existingFile(folder + QStringLiteral("/sounds/") + file);
    }
    if (path.isEmpty()) {
        return QString();
    }
    player.play(path);
    return path;
}
