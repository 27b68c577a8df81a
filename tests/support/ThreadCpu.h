#pragma once

#include <QtGlobal>

#include <ctime>

// Milliseconds of CPU this thread has used. A bound on the program's own work measured this way
// holds on a busy machine, where wall-clock time also counts the waits for a CPU.
inline qint64 ThreadCpuMs() {
    timespec now{};
    ::clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return qint64(now.tv_sec) * 1000 + now.tv_nsec / 1000000;
}
