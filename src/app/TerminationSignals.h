#pragma once

#include <QObject>

class QSocketNotifier;

// Brings SIGTERM (a desktop logging out, a service manager stopping the program) and SIGINT
// (Ctrl-C in the terminal it was started from) into the event loop: the handler only writes
// the signal's number into a socket pair, and the loop reads it and emits requested(), so the
// program can close as when the user closes its main window, settings saved. While an object
// exists the two signals no longer end the process at once; at its end their former handling
// is restored. The first of them is handed to the loop; the same signal again (the loop being
// stuck) ends the process at once, as it would have without this object. One object at a time.
class TerminationSignals : public QObject {
    Q_OBJECT
public:
    explicit TerminationSignals(QObject *parent = nullptr);
    ~TerminationSignals() override;
    TerminationSignals(const TerminationSignals &) = delete;
    TerminationSignals &operator=(const TerminationSignals &) = delete;

    // False when the handlers could not be installed (the signals then keep their old effect).
    bool installed() const { return m_installed; }

Q_SIGNALS:
    void requested(int signalNumber);

private:
    void readPending();

    QSocketNotifier *m_notifier = nullptr;
    bool m_installed = false;
};
