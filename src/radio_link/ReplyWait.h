#pragma once

#include <QtGlobal>

#include <array>

// How long the link waits for the radio to start answering a command, from the moment the
// command was sent. A radio on a slow network or busy with its own work answers later than the
// usual few hundred milliseconds; a fixed wait would take every one of its answers for silence.
// The wait is learnt from the answers that do come: twice the slowest of the last few, never
// shorter than the floor and never longer than the ceiling. A wait that ran out doubles the next
// one (up to the ceiling), so a radio slower than the floor is still heard after a command or two;
// the first answer that comes puts the learning back on the answers themselves.
class ReplyWait {
public:
    static constexpr int FloorMs = 2500;
    static constexpr int DefaultCeilingMs = 10000;
    static constexpr int Remembered = 8;

    // The ceiling from the [Timeouts] setting, in seconds; values below the floor give the floor.
    void setCeilingSeconds(double seconds);
    int ceilingMs() const { return m_ceilingMs; }

    // The wait for the next command.
    int ms() const;
    // The radio started answering this long after the send.
    void answered(qint64 ms);
    // A wait ran out without a byte from the radio.
    void unanswered();

private:
    std::array<qint64, Remembered> m_recent{};
    int m_count = 0;
    int m_next = 0;
    int m_stretch = 0; // waits run out in a row since the last answer, capped
    int m_ceilingMs = DefaultCeilingMs;
};
