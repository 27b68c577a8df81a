#pragma once

#include "platform/Timer.h"

#include <QString>
#include <QStringList>

#include <array>
#include <memory>

class AutomaticPoll;
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

    // Appends a command and arms the queue timer. Never blocks, never fails; a command
    // equal to "" is ignored (it would be a free slot). Channel 0 postpones the next full refresh.
    void QueueCommand(int channel, const QString &command);
    // Packs both queues, applies the 200 limit, and wakes the display refresh timer when both
    // channels are idle.
    void CompactQueues();
    // Puts a command that never reached the radio back at the head of its channel's queue.
    void RequeueFirst(int channel, const QString &command);
    // Empties a channel to a single free slot.
    void ClearChannel(int channel);

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

    Timer &CheckOutBuffer() { return *m_checkOutBuffer; }
    // The automatic poll, told when the link falls idle; may be null.
    void setPoll(AutomaticPoll *poll) { m_poll = poll; }

private:
    RadioState &m_state;
    const Timeouts &m_timeouts;
    std::unique_ptr<Timer> m_checkOutBuffer;
    bool m_queueHeld = false;
    AutomaticPoll *m_poll = nullptr;
};

class SoundPlayer;

// Plays "name" (".Wav" appended unless it already ends in ".wav" in any case) from the current
// folder, else the program folder, else its "sounds" folder; silent when none exists.
// Returns the path played, or "".
QString PlaySoundFile(SoundPlayer &player, const QString &programFolder, const QString &name);
