#include "radio_link/Telnet.h"

#include "platform/Platform.h"
#include "radio_link/RadioState.h"
#include "session/RadioView.h"
#include "settings/Timeouts.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>
#include <climits>

Telnet::Telnet(Platform &platform, RadioState &state, const Timeouts &timeouts)
    : m_state(state)
    , m_timeouts(timeouts)
    , m_clock(platform.clock())
    , m_checkOutBuffer(platform.createTimer())
    , m_expiry(platform.createTimer())
    , m_reportTimer(platform.createTimer()) {
    m_checkOutBuffer->setInterval(WakeInterval);
    m_reportTimer->setInterval(WakeInterval);
    QObject::connect(m_expiry.get(), &Timer::timeout, m_expiry.get(), [this] { DropExpired(); });
    QObject::connect(m_reportTimer.get(), &Timer::timeout, m_reportTimer.get(), [this] { ReportTimer_Timer(); });
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

qint64 Telnet::deadlineFromNow() const {
    if (m_timeouts.KeyTimeLimit <= 0) {
        return 0;
    }
    return std::max<qint64>(1, m_clock.nowMs() + qint64(double(m_timeouts.KeyTimeLimit) * 1000));
}

bool Telnet::QueueCommand(int channel, const QString &command) {
    if (channel < 0 || channel > 1 || command.isEmpty()) {
        return false;
    }
    if (channel == 0) {
        // A user command postpones the next full refresh of all lists.
        m_state.poll.FullRefreshCountdown = m_state.poll.RadioStandby ? m_timeouts.CheckAllOff : m_timeouts.CheckAllOn;
        m_state.needs.FullRefreshDue = false;
    }
    CompactQueues();
    TelnetChannel &ch = Channels[size_t(channel)];
    if (ch.Outbound.size() - 1 >= Limit) {
        // Full: the newest command is the one refused, so a burst is never cut in its middle
        // without a word, and what came first still goes in order.
        if (command != QLatin1String(Delay)) {
            ++m_refused;
            ++m_droppedCount;
            m_reportTimer->setEnabled(true);
        }
        return false;
    }
    if (!ch.Outbound.last().isEmpty()) {
        ch.Outbound.append(QString());
        ch.Expires.append(0);
    }
    ch.Outbound.last() = command;
    ch.Expires.last() = channel == 0 ? deadlineFromNow() : 0;
    if (channel == 0) {
        armExpiry();
        updateWaiting();
    }
    WakeQueue();
    return true;
}

void Telnet::RequeueFirst(int channel, const QString &command, qint64 expiresMs) {
    if (channel < 0 || channel > 1 || command.isEmpty()) {
        return;
    }
    TelnetChannel &ch = Channels[size_t(channel)];
    ch.Outbound.prepend(command);
    ch.Expires.prepend(expiresMs);
    CompactQueues();
    armExpiry();
    updateWaiting();
    WakeQueue();
}

void Telnet::CompactQueues() {
    bool anyLive = false;
    for (size_t c = 0; c < Channels.size(); ++c) {
        TelnetChannel &ch = Channels[c];
        ch.Expires.resize(ch.Outbound.size(), 0); // a queue set by hand has no time limits
        // Live commands move up over every free slot, keeping their order. (Closing only one
        // gap per pass would let a command behind a double gap fall off the end.)
        qsizetype kept = 0;
        for (qsizetype j = 0; j < ch.Outbound.size(); ++j) {
            if (!ch.Outbound[j].isEmpty()) {
                ch.Outbound[kept] = ch.Outbound[j];
                ch.Expires[kept] = ch.Expires[j];
                ++kept;
            }
        }
        ch.Outbound.resize(kept + 1);
        ch.Expires.resize(kept + 1);
        ch.Outbound[kept].clear();
        ch.Expires[kept] = 0;
        if (kept > 0) {
            anyLive = true;
        }
    }
    updateWaiting();
    if (!anyLive && m_feed.isEmpty() && m_idle) {
        m_idle();
    }
}

void Telnet::ClearChannel(int channel) {
    TelnetChannel &ch = Channels[size_t(channel)];
    ch.Outbound = QStringList{QString()};
    ch.Expires = QList<qint64>{0};
    ++ch.Generation;
    if (channel == 0) {
        m_feed.clear();
        m_state.VolumeLead.reset(); // the volume keys on their way are gone
    }
    updateWaiting();
}

void Telnet::Feed(const QStringList &commands) {
    for (const QString &command : commands) {
        if (!command.isEmpty()) {
            m_feed << command;
        }
    }
    FeedIfIdle();
    updateWaiting();
    WakeQueue();
}

void Telnet::FeedKeys(const QStringList &keys) {
    QStringList commands;
    for (const QString &key : keys) {
        commands << key << QLatin1String(Delay);
    }
    Feed(commands);
}

void Telnet::FeedIfIdle() {
    if (m_feed.isEmpty() || hasLive(0)) {
        return;
    }
    // A command and the gaps after it.
    QueueCommand(0, m_feed.takeFirst());
    while (!m_feed.isEmpty() && m_feed.front() == QLatin1String(Delay)) {
        QueueCommand(0, m_feed.takeFirst());
    }
}

qint64 Telnet::expiresAt(int channel, qsizetype slot) const {
    const QList<qint64> &expires = Channels[size_t(channel)].Expires;
    return slot >= 0 && slot < expires.size() ? expires[slot] : 0;
}

void Telnet::setExpiry(int channel, qsizetype slot, qint64 expiresMs) {
    QList<qint64> &expires = Channels[size_t(channel)].Expires;
    expires.resize(Channels[size_t(channel)].Outbound.size(), 0);
    if (slot >= 0 && slot < expires.size()) {
        expires[slot] = expiresMs;
        if (channel == 0) {
            armExpiry();
        }
    }
}

bool Telnet::slotHolds(int channel, qsizetype slot, const QString &command, quint32 generation) const {
    const TelnetChannel &ch = Channels[size_t(channel)];
    return ch.Generation == generation && slot >= 0 && slot < ch.Outbound.size() && ch.Outbound[slot] == command;
}

void Telnet::armExpiry() {
    const TelnetChannel &ch = Channels[0];
    qint64 next = 0;
    for (qsizetype j = 0; j < ch.Outbound.size() && j < ch.Expires.size(); ++j) {
        if (!ch.Outbound[j].isEmpty() && ch.Expires[j] > 0 && (next == 0 || ch.Expires[j] < next)) {
            next = ch.Expires[j];
        }
    }
    m_expiry->setEnabled(false);
    if (next > 0) {
        m_expiry->setInterval(int(std::clamp<qint64>(next - m_clock.nowMs(), 1, 24LL * 3600 * 1000)));
        m_expiry->setEnabled(true);
    }
}

void Telnet::DropExpired() {
    TelnetChannel &ch = Channels[0];
    ch.Expires.resize(ch.Outbound.size(), 0);
    const qint64 now = m_clock.nowMs();
    // The first command whose time is up goes, and every command pressed after it: sent
    // without it, they would do something else than the user meant (a move without the HOME
    // before it, a volume step short).
    QStringList dropped;
    bool late = false;
    for (qsizetype j = 0; j < ch.Outbound.size(); ++j) {
        if (ch.Outbound[j].isEmpty()) {
            continue;
        }
        late = late || (ch.Expires[j] > 0 && ch.Expires[j] <= now);
        if (late && ch.Expires[j] != 0) {
            if (ch.Outbound[j] != QLatin1String(Delay)) {
                dropped << ch.Outbound[j];
            }
            ch.Outbound[j].clear();
        }
    }
    if (!dropped.isEmpty() && !m_feed.isEmpty()) {
        // A typed text with a key missing would leave a garbled text on the radio: the rest of
        // it goes with it.
        dropped += m_feed;
        dropped.removeAll(QLatin1String(Delay));
        m_feed.clear();
    }
    if (!dropped.isEmpty()) {
        m_state.VolumeLead.reset(); // where the volume keys led is not known any more
        m_expired += dropped;
        m_droppedCount += quint64(dropped.size());
        m_reportTimer->setEnabled(true);
    }
    CompactQueues();
    armExpiry();
    WakeQueue();
}

void Telnet::DropQueued(const QString &why) {
    QStringList dropped = pending(0) + m_feed;
    dropped.removeAll(QLatin1String(Delay));
    ClearChannel(0);
    armExpiry();
    if (!dropped.isEmpty()) {
        m_droppedCount += quint64(dropped.size());
        noteNotSent(dropped.size(), dropped, why);
    }
}

void Telnet::ReportTimer_Timer() {
    m_reportTimer->setEnabled(false);
    if (!m_expired.isEmpty()) {
        const QString limit = QString::number(double(m_timeouts.KeyTimeLimit));
        noteNotSent(m_expired.size(), m_expired, QStringLiteral("the radio did not take them within %1 s").arg(limit));
        m_expired.clear();
    }
    if (m_refused > 0) {
        const QString why = QStringLiteral("the queue to the radio is full (%1 commands)").arg(Limit);
        noteNotSent(m_refused, {}, why);
        m_refused = 0;
    }
}

void Telnet::noteNotSent(qsizetype count, const QStringList &named, const QString &why) {
    if (!m_view) {
        return;
    }
    QString line;
    if (named.isEmpty()) {
        line = QStringLiteral("[%1 not sent: %2]\r\n")
                   .arg(count == 1 ? QStringLiteral("1 command") : QStringLiteral("%1 commands").arg(count), why);
    } else {
        // A long run (a typed text) is named by its first keys and counted.
        constexpr qsizetype Shown = 12;
        QString list = named.mid(0, Shown).join(u' ');
        if (named.size() > Shown) {
            list += QStringLiteral(" ... (%1 in all)").arg(named.size());
        }
        line = QStringLiteral("[not sent: %1; %2]\r\n").arg(list, why);
    }
    m_view->appendTerminal(line);
    Q_EMIT m_view->commandsNotSent(int(std::min<qsizetype>(count, INT_MAX)), why);
    m_view->touch();
    m_view->flush();
}

void Telnet::updateWaiting() {
    if (!m_view) {
        return;
    }
    qsizetype waiting = 0;
    for (const QStringList *list : {&Channels[0].Outbound, &m_feed}) {
        for (const QString &slot : *list) {
            if (!slot.isEmpty() && slot != QLatin1String(Delay)) {
                ++waiting;
            }
        }
    }
    if (m_view->WaitingCommands != waiting) {
        m_view->WaitingCommands = waiting;
        m_view->touch();
    }
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

bool Telnet::hasCommands(int channel) const {
    const QStringList &outbound = Channels[size_t(channel)].Outbound;
    return std::any_of(outbound.begin(), outbound.end(),
                       [](const QString &slot) { return !slot.isEmpty() && slot != QLatin1String(Delay); });
}

QStringList Telnet::toGo() const {
    return pending(0) + m_feed;
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
