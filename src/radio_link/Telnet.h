#pragma once

#include "platform/Timer.h"

#include <QString>
#include <QStringList>

#include <array>
#include <functional>
#include <memory>

class Clock;
class RadioView;
class Platform;
struct RadioState;
struct Timeouts;

// One connection channel of the command link: its outbound queue and its reply texts.
struct TelnetChannel {
    QString LastReply;        // reply last handed to the decoder
    QString Completed;        // replies of closed connections not yet shown
    QString Received;         // what the open connection delivered so far
    bool ReceivedCut = false; // Received reached its cap and the excess was dropped
    bool SendDone = false;
    bool WaitAborted = false;
    // Pending commands in order; "" marks a free slot; never empty.
    QStringList Outbound{QString()};
    // Beside each slot of Outbound: when its command is too late to go (on the platform clock),
    // 0 for never. Kept the same length as Outbound by the queue's own operations.
    QList<qint64> Expires{0};
    // Bumped whenever the queue is emptied wholesale, so a send in flight can tell that the
    // slot it came from no longer holds its command.
    quint32 Generation = 0;
};

// The outbound queues. Every window sends to the radio through QueueCommand; channel 0 carries
// commands, channel 1 status queries, and channel 0 always goes first. The CheckOutBuffer timer
// lives here; its tick belongs to the connection, which does the sending.
//
// The tick runs when there may be something to do, not on a fixed beat: a command queued on a
// free link goes at once (the tick is woken for the next turn of the event loop), and the tick
// sleeps while it waits for a connection, a reply or a connection's end, whose events wake it.
// Only the designed gaps are waited out: the 200 ms after a QXDELAY, and a short pause before
// trying a connection again that failed.
class Telnet {
public:
    static constexpr int Limit = 200;        // live commands per channel that survive compaction
    static constexpr auto Delay = "QXDELAY"; // pseudo-command: a 200 ms gap on channel 0

    Telnet(Platform &platform, RadioState &state, const Timeouts &timeouts);

    std::array<TelnetChannel, 2> Channels;

    // Appends a command and arms the queue timer. Never blocks; a command equal to "" is
    // ignored (it would be a free slot). Channel 0 postpones the next full refresh.
    //
    // A command on channel 0 is a key press, meant for now: one that has not gone to the radio
    // within KeyTimeLimit seconds is dropped, never sent later, and the terminal says so. A
    // channel already holding Limit commands refuses the newest one (false), and the terminal
    // says how many were not sent; nothing queued before is lost.
    bool QueueCommand(int channel, const QString &command);
    // Packs both queues and wakes the display refresh timer when both channels are idle.
    void CompactQueues();
    // Puts a command that never reached the radio back at the head of its channel's queue,
    // keeping the time by which it had to go.
    void RequeueFirst(int channel, const QString &command, qint64 expiresMs = 0);
    // Empties a channel to a single free slot (and, for channel 0, drops the keys still to be fed).
    void ClearChannel(int channel);

    // Commands that go to the radio one after the other on channel 0, fed into the queue as it
    // drains, a command with the gaps that follow it at a time: a typed text of any length goes
    // whole, and a key pressed meanwhile is not stuck behind all of it. Each fed command's time
    // limit counts from when it is fed. When one of them is dropped for time, the rest go with it.
    void Feed(const QStringList &commands);
    // The same for keys, each with a gap after it.
    void FeedKeys(const QStringList &keys);
    // The next fed command into channel 0 when it holds nothing; called by the queue tick.
    void FeedIfIdle();
    // Commands (and gaps) still to be fed.
    qsizetype feeding() const { return m_feed.size(); }
    // Everything that is to go on channel 0, in order: what is queued, then each key still to
    // be fed with its gap.
    QStringList toGo() const;

    // Drops channel 0's commands whose time is up (the expiry timer's handler). A command whose
    // connection is being opened is dropped too: the send checks its slot before it goes.
    void DropExpired();
    // When the command in a slot is too late to go; 0 for never. A send that has begun may reach
    // the radio, so its slot's limit is lifted meanwhile (0), and put back if it did not go.
    qint64 expiresAt(int channel, qsizetype slot) const;
    void setExpiry(int channel, qsizetype slot, qint64 expiresMs);
    // Whether the slot still holds this command of this generation of the queue.
    bool slotHolds(int channel, qsizetype slot, const QString &command, quint32 generation) const;

    // Empties channel 0, as ClearChannel does, and says in the terminal which commands (and keys
    // still to be fed) will not go, and why.
    void DropQueued(const QString &why);
    // Commands dropped for time, refused by a full queue or dropped by DropQueued so far: a
    // caller that queued something can tell whether any of it may have been lost since.
    quint64 droppedCount() const { return m_droppedCount; }

    // Commands dropped or refused and not yet said in the terminal; said at the next turn of the
    // event loop, in one line per reason.
    bool reportPending() const { return m_reportTimer->isEnabled(); }
    void ReportTimer_Timer();

    static constexpr int RetryInterval = 75; // ms before a failed connection is tried again
    // A woken tick runs this soon: just after the event that woke it has been handled (a timer
    // of 0 ms never fires).
    static constexpr int WakeInterval = 1;

    // The tick runs at the next turn of the event loop, unless a gap holds it (it runs at the
    // gap's end then).
    void WakeQueue();
    // The tick runs no sooner than ms from now.
    void HoldQueue(int ms);
    // Called as a tick begins: the tick runs again only when woken or held.
    void QueueTickBegins();

    // Live commands of a channel, in order.
    QStringList pending(int channel) const;
    bool hasLive(int channel) const;
    // A live command other than a gap.
    bool hasCommands(int channel) const;

    Timer &CheckOutBuffer() { return *m_checkOutBuffer; }
    // Who is told when both channels fall idle (the automatic poll); none when empty.
    void whenIdle(std::function<void()> tell) { m_idle = std::move(tell); }
    // Where dropped and refused commands are said; may be null.
    void setView(RadioView *view) { m_view = view; }

private:
    qint64 deadlineFromNow() const;
    void armExpiry();
    // Says in the terminal that count commands will not go (named, when they are), and why.
    void noteNotSent(qsizetype count, const QStringList &named, const QString &why);
    void updateWaiting();

    RadioState &m_state;
    const Timeouts &m_timeouts;
    Clock &m_clock;
    std::unique_ptr<Timer> m_checkOutBuffer;
    std::unique_ptr<Timer> m_expiry;
    std::unique_ptr<Timer> m_reportTimer;
    bool m_queueHeld = false;
    std::function<void()> m_idle;
    RadioView *m_view = nullptr;
    QStringList m_feed;
    qsizetype m_refused = 0;
    quint64 m_droppedCount = 0;
    // Dropped for time, in the order they were dropped; said together.
    QStringList m_expired;
};

class SoundPlayer;

// Plays "name" (".Wav" appended unless it already ends in ".wav" in any case) from the current
// folder, else the program folder, else its "sounds" folder; silent when none exists.
// Returns the path played, or "".
QString PlaySoundFile(SoundPlayer &player, const QString &programFolder, const QString &name);
