#include "app/TerminationSignals.h"

#include <QSocketNotifier>

#include <array>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

constexpr std::array<int, 2> Handled{SIGTERM, SIGINT};

// Written by the handler, read by the event loop; -1 while no object exists.
int g_writeEnd = -1;
int g_readEnd = -1;
struct sigaction g_previous[Handled.size()];

extern "C" void onTerminationSignal(int number) {
    // Only async-signal-safe calls here; errno belongs to the code the signal interrupted.
    const int savedErrno = errno;
    const char byte = char(number);
    [[maybe_unused]] const ssize_t written = ::write(g_writeEnd, &byte, 1);
    // Should the event loop be stuck, the same signal again ends the process at once.
    ::signal(number, SIG_DFL);
    errno = savedErrno;
}

} // namespace

TerminationSignals::TerminationSignals(QObject *parent)
    : QObject(parent) {
    if (g_writeEnd >= 0) {
        return; // another object already listens
    }
    int ends[2];
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, ends) != 0) {
        return;
    }
    // A burst of signals must never block the handler on a full socket.
    ::fcntl(ends[0], F_SETFL, ::fcntl(ends[0], F_GETFL) | O_NONBLOCK);
    ::fcntl(ends[1], F_SETFL, ::fcntl(ends[1], F_GETFL) | O_NONBLOCK);
    g_writeEnd = ends[0];
    g_readEnd = ends[1];
    m_notifier = new QSocketNotifier(g_readEnd, QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &TerminationSignals::readPending);

    struct sigaction action {};
    action.sa_handler = onTerminationSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (size_t i = 0; i < Handled.size(); ++i) {
        ::sigaction(Handled[i], &action, &g_previous[i]);
    }
    m_installed = true;
}

TerminationSignals::~TerminationSignals() {
    if (!m_installed) {
        return;
    }
    for (size_t i = 0; i < Handled.size(); ++i) {
        ::sigaction(Handled[i], &g_previous[i], nullptr);
    }
    delete m_notifier;
    ::close(g_writeEnd);
    ::close(g_readEnd);
    g_writeEnd = g_readEnd = -1;
}

void TerminationSignals::readPending() {
    char bytes[16];
    ssize_t count;
    while ((count = ::read(g_readEnd, bytes, sizeof bytes)) > 0) {
        for (ssize_t i = 0; i < count; ++i) {
            Q_EMIT requested(int(bytes[i]));
        }
    }
}
