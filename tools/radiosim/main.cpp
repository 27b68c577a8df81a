#include "RadioSimulator.h"
#include "UpdatePage.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QSocketNotifier>
#include <QTextStream>

#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

namespace {

int signalPipe[2] = {-1, -1};

// Only async-signal-safe work here: the event loop picks the byte up and quits.
void onSignal(int) {
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = ::write(signalPipe[0], &byte, 1);
}

QTextStream &err() {
    static QTextStream stream(stderr);
    return stream;
}

bool readNumber(const QCommandLineParser &parser, const QString &name, qint64 min, qint64 max, qint64 &value) {
    if (!parser.isSet(name)) {
        return true;
    }
    bool ok = false;
    const qint64 number = parser.value(name).toLongLong(&ok);
    if (!ok || number < min || number > max) {
        err() << "radiosim: --" << name << " wants a number from " << min << " to " << max << ", not \""
              << parser.value(name) << "\"\n";
        err().flush();
        return false;
    }
    value = number;
    return true;
}

} // namespace

int main(int argc, char *argv[]) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("radiosim"));

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("A simulated internet radio for CV Remote.\n\n"
                       "It takes one plain-text command per connection on the command port (VERSION, STATE, VOLUME,\n"
                       "MINFO, LISTINFO, METAINFO, the keys UP DOWN LEFT RIGHT OK EXIT HOME POWER STOP PAUSE RECORD\n"
                       "MUTE VOLp VOLm, and MESSAGE text), answers with CR LF terminated lines and closes the\n"
                       "connection. The debug console port streams what the radio's player does.\n"
                       "Try it:  nc 127.0.0.1 8080, type VERSION and press Enter.\n\n"
                       "It runs until interrupted (Ctrl-C, SIGTERM)."));
    parser.addHelpOption();
    parser.addOptions({
        {QStringLiteral("bind"), QStringLiteral("Address to listen on (default 127.0.0.1)."), QStringLiteral("address"),
         QStringLiteral("127.0.0.1")},
        {QStringLiteral("port"), QStringLiteral("Command port (default 8080; 0 picks a free one)."),
         QStringLiteral("port"), QStringLiteral("8080")},
        {QStringLiteral("console-port"), QStringLiteral("Debug console port (default 8899; 0 picks a free one)."),
         QStringLiteral("port"), QStringLiteral("8899")},
        {QStringLiteral("log"),
         QStringLiteral("Write every command received to FILE: <ms since start> TAB <port> TAB <connection "
                        "number> TAB <command>, with CR, LF, TAB and backslash written as \\r \\n \\t \\\\. Bytes "
                        "sent on a connection after its command get a line of their own: <ms> TAB <port> TAB "
                        "<connection> TAB EXTRA TAB <bytes>."),
         QStringLiteral("FILE")},
        {QStringLiteral("refuse"), QStringLiteral("Fault: refuse connections on the command port.")},
        {QStringLiteral("delay"), QStringLiteral("Fault: send every reply MS milliseconds late."),
         QStringLiteral("MS")},
        {QStringLiteral("stall"), QStringLiteral("Fault: accept commands but never act, reply or close.")},
        {QStringLiteral("no-close"), QStringLiteral("Fault: reply, then keep the connection open.")},
        {QStringLiteral("split"), QStringLiteral("Fault: send replies in several small packets with pauses.")},
        {QStringLiteral("drop-every"), QStringLiteral("Fault: close every Nth connection without a reply."),
         QStringLiteral("N")},
        {QStringLiteral("garbage"), QStringLiteral("Fault: reply with random bytes.")},
        {QStringLiteral("big"), QStringLiteral("Fault: pad every reply with filler lines to N bytes."),
         QStringLiteral("N")},
        {QStringLiteral("trickle"), QStringLiteral("Fault: write every reply one byte every MS milliseconds."),
         QStringLiteral("MS")},
        {QStringLiteral("lines"),
         QStringLiteral("Fault: follow every reply with N short status lines (VOL=, Menu, List, Meta) before the "
                        "close."),
         QStringLiteral("N")},
        {QStringLiteral("idle-timeout"), QStringLiteral("Close command connections idle this long (default 30000 ms)."),
         QStringLiteral("MS")},
        {QStringLiteral("max-connections"),
         QStringLiteral("Command connections held at once; the oldest gives way (default 256)."), QStringLiteral("N")},
        {QStringLiteral("http-port"),
         QStringLiteral("Also play the update server on this port: any GET gets a version page (0 picks a free one)."),
         QStringLiteral("port")},
        {QStringLiteral("http-version"),
         QStringLiteral("The version the update page names (default %1).").arg(UpdatePage::defaultVersion()),
         QStringLiteral("V")},
        {QStringLiteral("status-step"),
         QStringLiteral("Length of each player status step, connecting, caching, playing (default 1000 ms)."),
         QStringLiteral("MS")},
    });
    parser.process(app);
    if (!parser.positionalArguments().isEmpty()) {
        err() << "radiosim: unexpected argument \"" << parser.positionalArguments().first()
              << "\" (see radiosim --help)\n";
        return 2;
    }

    QString bindText = parser.value(QStringLiteral("bind"));
    if (bindText == QLatin1String("localhost")) {
        bindText = QStringLiteral("127.0.0.1");
    }
    const QHostAddress bind(bindText);
    if (bind.isNull()) {
        err() << "radiosim: --bind wants an IP address, not \"" << bindText << "\"\n";
        return 2;
    }

    qint64 port = 8080;
    qint64 consolePort = 8899;
    qint64 delay = 0;
    qint64 dropEvery = 0;
    qint64 big = 0;
    qint64 trickle = 0;
    qint64 lines = 0;
    qint64 idle = 30000;
    qint64 maxConnections = 256;
    qint64 statusStep = 1000;
    qint64 httpPort = -1;
    if (!readNumber(parser, QStringLiteral("port"), 0, 65535, port) ||
        !readNumber(parser, QStringLiteral("console-port"), 0, 65535, consolePort) ||
        !readNumber(parser, QStringLiteral("delay"), 0, 3600000, delay) ||
        !readNumber(parser, QStringLiteral("drop-every"), 0, 1000000, dropEvery) ||
        !readNumber(parser, QStringLiteral("big"), 0, qint64(1) << 30, big) ||
        !readNumber(parser, QStringLiteral("trickle"), 0, 3600000, trickle) ||
        !readNumber(parser, QStringLiteral("lines"), 0, RadioSimulator::MaxExtraLines, lines) ||
        !readNumber(parser, QStringLiteral("idle-timeout"), 1, 3600000, idle) ||
        !readNumber(parser, QStringLiteral("max-connections"), 1, 100000, maxConnections) ||
        !readNumber(parser, QStringLiteral("status-step"), 1, 3600000, statusStep) ||
        !readNumber(parser, QStringLiteral("http-port"), 0, 65535, httpPort)) {
        return 2;
    }

    RadioSimulator simulator;
    RadioSimulator::Faults faults;
    faults.refuse = parser.isSet(QStringLiteral("refuse"));
    faults.delayMs = static_cast<int>(delay);
    faults.stall = parser.isSet(QStringLiteral("stall"));
    faults.noClose = parser.isSet(QStringLiteral("no-close"));
    faults.split = parser.isSet(QStringLiteral("split"));
    faults.dropEvery = static_cast<int>(dropEvery);
    faults.garbage = parser.isSet(QStringLiteral("garbage"));
    faults.bigBytes = big;
    faults.trickleMs = static_cast<int>(trickle);
    faults.extraLines = static_cast<int>(lines);
    simulator.setFaults(faults);
    simulator.setIdleTimeoutMs(static_cast<int>(idle));
    simulator.setMaxConnections(static_cast<int>(maxConnections));
    simulator.setStatusStepMs(static_cast<int>(statusStep));

    if (parser.isSet(QStringLiteral("log")) && !simulator.setLogFile(parser.value(QStringLiteral("log")))) {
        err() << "radiosim: " << simulator.errorString() << "\n";
        return 1;
    }
    if (!simulator.start(bind, static_cast<quint16>(port), static_cast<quint16>(consolePort))) {
        err() << "radiosim: " << simulator.errorString() << "\n";
        return 1;
    }

    UpdatePage updatePage;
    if (httpPort >= 0) {
        if (parser.isSet(QStringLiteral("http-version"))) {
            updatePage.setVersion(parser.value(QStringLiteral("http-version")));
        }
        updatePage.setFaults(UpdatePage::Faults{faults.stall, faults.noClose, faults.bigBytes});
        if (!updatePage.start(bind, static_cast<quint16>(httpPort))) {
            err() << "radiosim: " << updatePage.errorString() << "\n";
            return 1;
        }
    }

    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, signalPipe) != 0) {
        err() << "radiosim: cannot set up signal handling\n";
        return 1;
    }
    QSocketNotifier notifier(signalPipe[1], QSocketNotifier::Read);
    QObject::connect(&notifier, &QSocketNotifier::activated, &app, [] {
        char byte = 0;
        [[maybe_unused]] const ssize_t got = ::read(signalPipe[1], &byte, 1);
        QCoreApplication::quit();
    });
    struct sigaction action = {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
    // A client that vanishes mid-reply must not end the simulator.
    std::signal(SIGPIPE, SIG_IGN);

    QTextStream out(stdout);
    out << "radiosim: commands on " << bind.toString() << ":" << simulator.commandPort() << ", console on "
        << bind.toString() << ":" << simulator.consolePort() << Qt::endl;
    if (httpPort >= 0) {
        out << "radiosim: update page on " << bind.toString() << ":" << updatePage.port() << Qt::endl;
    }

    const int code = QCoreApplication::exec();
    simulator.stop();
    out << "radiosim: stopped" << Qt::endl;
    return code;
}
