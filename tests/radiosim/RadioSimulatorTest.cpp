#include "RadioSimulator.h"

#include <QElapsedTimer>
#include <QFile>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>

#include <memory>
#include <vector>

namespace {

const QByteArray Version = "VER=3.1.7\r\n";

// A client of the command port that keeps every packet it reads.
struct Client {
    QTcpSocket socket;
    QByteArray received;
    QList<QByteArray> packets;
    bool closed = false;
    QAbstractSocket::SocketError error = QAbstractSocket::UnknownSocketError;
    explicit Client(quint16 port, const QByteArray &command = {}) {
        QObject::connect(&socket, &QTcpSocket::readyRead, [this] {
            const QByteArray packet = socket.readAll();
            packets << packet;
            received += packet;
        });
        QObject::connect(&socket, &QTcpSocket::disconnected, [this] { closed = true; });
        QObject::connect(&socket, &QTcpSocket::errorOccurred, [this](QAbstractSocket::SocketError e) {
            error = e;
            if (e != QAbstractSocket::RemoteHostClosedError) {
                closed = true;
            }
        });
        if (!command.isEmpty()) {
            QObject::connect(&socket, &QTcpSocket::connected, [this, command] { socket.write(command); });
        }
        socket.connectToHost(QHostAddress(QHostAddress::LocalHost), port);
    }
    bool waitClosed(int ms = 5000) {
        return QTest::qWaitFor([this] { return closed; }, ms);
    }
};

// One whole exchange: send, read until the simulator closes.
QByteArray ask(quint16 port, const QByteArray &command) {
    Client client(port, command);
    if (!client.waitClosed()) {
        return "(still open)";
    }
    return client.received;
}

} // namespace

class RadioSimulatorTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init() {
        m_sim = std::make_unique<RadioSimulator>();
        QVERIFY2(m_sim->start(), qPrintable(m_sim->errorString()));
    }
    void cleanup() { m_sim.reset(); }
    // Every command is logged on a line of its own, escaped. A second write onto a connection
    // whose command was taken is not acted on, but logged as EXTRA, so that client fault shows.
    void answersEachConnectionAndLogsWhatCameIn() {
        QTemporaryDir dir;
        const QString logPath = dir.filePath(QStringLiteral("commands.log"));
        QVERIFY(m_sim->setLogFile(logPath));
        QSignalSpy received(m_sim.get(), &RadioSimulator::commandReceived);
        const quint16 port = m_sim->commandPort();
        m_sim->setDelayMs(300); // the connection stays open while the second write comes
        const int volume = m_sim->volume();
        Client twice(port, "VOLp");
        QTRY_COMPARE(m_sim->commandTexts().size(), 1);
        twice.socket.write("VOLp\tVOLp");
        QTRY_COMPARE(m_sim->extraBytes().size(), 1);
        QVERIFY(twice.waitClosed());
        QCOMPARE(twice.received, QByteArray("OK\r\n"));
        QCOMPARE(m_sim->volume(), volume + 5);
        QCOMPARE(m_sim->extraBytes().first().command, QByteArray("VOLp\tVOLp"));
        QCOMPARE(m_sim->extraBytes().first().connection, 1);
        m_sim->setDelayMs(0);
        QCOMPARE(ask(port, "VERSION"), Version);
        QCOMPARE(ask(port, "MESSAGE a\tb\\c\r\nd"), QByteArray("OK\r\n"));
        QCOMPARE(ask(port, "NOPE"), QByteArray("ERROR unknown command\r\n"));
        QCOMPARE(m_sim->lastMessage(), QStringLiteral("a\tb\\c\r\nd"));
        QCOMPARE(received.count(), 4);
        QCOMPARE(received.at(2).at(0).toInt(), 3);
        QCOMPARE(m_sim->commandTexts(), (QStringList{"VOLp", "VERSION", "MESSAGE a\tb\\c\r\nd", "NOPE"}));
        QCOMPARE(m_sim->commands().at(3).connection, 4);
        QFile log(logPath);
        QVERIFY(log.open(QIODevice::ReadOnly));
        const QList<QByteArray> lines = log.readAll().split('\n');
        const QByteArray p = '\t' + QByteArray::number(port) + '\t';
        const QList<QByteArray> expected{p + "1\tVOLp", p + "1\tEXTRA\tVOLp\\tVOLp", p + "2\tVERSION",
                                         p + "3\tMESSAGE a\\tb\\\\c\\r\\nd", p + "4\tNOPE"};
        QCOMPARE(lines.size(), expected.size() + 1); // and the empty rest after the last line end
        qint64 previous = 0;
        for (qsizetype i = 0; i < expected.size(); ++i) {
            const qsizetype tab = lines[i].indexOf('\t');
            bool number = false;
            const qint64 ms = lines[i].left(tab).toLongLong(&number);
            QVERIFY2(number && ms >= previous, lines[i].constData());
            previous = ms;
            QCOMPARE(lines[i].mid(tab), expected[i]);
        }
        QTRY_COMPARE(m_sim->openConnections(), 0);
    }

    void floodOfInputIsCutToOneCommandAndOthersAreStillServed() {
        const QByteArray flood(10 * 1024 * 1024, 'x');
        Client flooder(m_sim->commandPort(), flood);
        QTRY_COMPARE(m_sim->commands().size(), 1);
        QCOMPARE(m_sim->commands().first().command, QByteArray(RadioSimulator::MaxCommandBytes, 'x'));
        QCOMPARE(ask(m_sim->commandPort(), "VERSION"), Version);
        // The rest is extra, recorded only up to a limit.
        QTRY_VERIFY(!m_sim->extraBytes().isEmpty());
        qint64 extra = 0;
        for (const RadioSimulator::ReceivedCommand &piece : m_sim->extraBytes()) {
            extra += piece.command.size();
        }
        QVERIFY(extra <= RadioSimulator::MaxCommandBytes);
        QVERIFY(flooder.waitClosed(10000));
        QTRY_COMPARE(m_sim->openConnections(), 0);
    }

    void silentAndSurplusConnectionsDoNotLockOthersOut() {
        m_sim->setIdleTimeoutMs(200);
        Client silent(m_sim->commandPort());
        QVERIFY(silent.waitClosed());
        QVERIFY(silent.received.isEmpty());
        m_sim->setIdleTimeoutMs(30000);
        m_sim->setMaxConnections(40);
        std::vector<std::unique_ptr<Client>> crowd;
        for (int i = 0; i < 100; ++i) {
            crowd.push_back(std::make_unique<Client>(m_sim->commandPort()));
        }
        QTRY_COMPARE_WITH_TIMEOUT(m_sim->connectionsAccepted(), 101, 10000);
        QCOMPARE(m_sim->openConnections(), 40);
        QCOMPARE(ask(m_sim->commandPort(), "VERSION"), Version);
        QVERIFY(crowd.front()->waitClosed()); // the oldest gave way
        crowd.clear();
        QTRY_COMPARE(m_sim->openConnections(), 0);
    }

    // Each fault shapes the answer while it is on; with all of them off again the radio answers
    // as usual.
    void faultsShapeTheAnswerWhileSwitchedOn() {
        const quint16 port = m_sim->commandPort();
        QVERIFY(m_sim->setRefuse(true));
        Client refused(port, "VERSION");
        QVERIFY(refused.waitClosed());
        QCOMPARE(refused.error, QAbstractSocket::ConnectionRefusedError);
        QVERIFY(m_sim->setRefuse(false));
        m_sim->setDelayMs(300);
        QElapsedTimer clock;
        clock.start();
        QCOMPARE(ask(port, "VERSION"), Version);
        QVERIFY(clock.elapsed() >= 300);
        m_sim->setDelayMs(0);
        m_sim->setSplit(true);
        Client split(port, "VERSION");
        QVERIFY(split.waitClosed());
        QCOMPARE(split.received, Version);
        QVERIFY2(split.packets.size() >= 2, QByteArray::number(split.packets.size()).constData());
        m_sim->setSplit(false);
        m_sim->setGarbage(true);
        const QByteArray garbage = ask(port, "VERSION");
        QVERIFY(!garbage.isEmpty() && garbage != "(still open)" && !garbage.startsWith("VER="));
        m_sim->setGarbage(false);
        m_sim->setBigReply(100000);
        const QByteArray big = ask(port, "VERSION");
        QCOMPARE(big.size(), 100000);
        QVERIFY(big.startsWith(Version) && big.endsWith("\r\n"));
        for (const QByteArray &line : big.split('\n')) {
            QVERIFY(line.size() <= 80);
        }
        // A client leaving in the middle of a big reply hurts nobody.
        m_sim->setBigReply(20 * 1024 * 1024);
        {
            Client leaver(port, "VERSION");
            QTRY_VERIFY(!leaver.received.isEmpty());
            QVERIFY(leaver.received.startsWith(Version));
            leaver.socket.abort();
        }
        m_sim->setBigReply(0);
        QCOMPARE(ask(port, "VERSION"), Version);
        QTRY_COMPARE(m_sim->openConnections(), 0);
    }

    // Extra lines are status lines of the radio as it is after the command, in a steady
    // mix, each ended by CR LF; filler still pads the whole to the size asked for. A trickled
    // reply arrives byte by byte, whole, and only then is the connection closed.
    void extraLinesAndTrickle() {
        const quint16 port = m_sim->commandPort();
        m_sim->setExtraLines(6);
        const QList<QByteArray> six = ask(port, "RIGHT").split('\n');
        QCOMPARE(six.size(), 8); // OK, six lines, the empty rest
        QCOMPARE(six[0], QByteArray("OK\r"));
        QVERIFY2(six[1].startsWith("Menu state=0 mp=1 ms=2 title=") && six[1].endsWith('\r'), six[1].constData());
        QCOMPARE(six[2], QByteArray("VOL=20\r"));
        QCOMPARE(six[3], QByteArray("List pos=0\r"));
        QVERIFY(six[4].startsWith("Meta title=") && six[4].endsWith("status=stopped\r"));
        QCOMPARE(six[5], six[1]);
        QCOMPARE(six[6], six[2]);
        QVERIFY(six[7].isEmpty());

        m_sim->setExtraLines(20000);
        const QByteArray many = ask(port, "VERSION");
        QVERIFY(many.startsWith(Version) && many.endsWith("\r\n"));
        QCOMPARE(many.count('\n'), 20001);
        QCOMPARE(many.count('\r'), 20001);
        QVERIFY2(many.size() > 400000 && many.size() < 2000000, QByteArray::number(many.size()).constData());
        m_sim->setBigReply(many.size() + 1000);
        QCOMPARE(ask(port, "VERSION").size(), many.size() + 1000);
        m_sim->setBigReply(0);
        m_sim->setExtraLines(0);

        m_sim->setTrickleMs(10);
        QElapsedTimer clock;
        clock.start();
        Client trickled(port, "VERSION");
        QVERIFY(trickled.waitClosed());
        QCOMPARE(trickled.received, Version);
        QVERIFY(clock.elapsed() >= (Version.size() - 1) * 10);
        QVERIFY2(trickled.packets.size() >= 3, QByteArray::number(trickled.packets.size()).constData());
        m_sim->setTrickleMs(0);
        QCOMPARE(ask(port, "VERSION"), Version);
        QTRY_COMPARE(m_sim->openConnections(), 0);
    }

    // A dropped connection never reaches the radio; a kept one stays open after its reply; a
    // stalled one takes its command, does nothing with it, and is freed by the idle limit.
    void droppedKeptAndStalledConnections() {
        const quint16 port = m_sim->commandPort();
        m_sim->setDropEvery(2);
        QCOMPARE(ask(port, "VERSION"), Version);
        QCOMPARE(ask(port, "VOLp"), QByteArray());
        QCOMPARE(ask(port, "VERSION"), Version);
        QCOMPARE(m_sim->commandTexts(), (QStringList{"VERSION", "VERSION"}));
        QCOMPARE(m_sim->volume(), 20);
        m_sim->setDropEvery(0);
        m_sim->setNoClose(true);
        Client kept(port, "VERSION");
        QTRY_COMPARE(kept.received, Version);
        m_sim->setNoClose(false);
        QCOMPARE(ask(port, "STATE"), QByteArray("STATE=ON\r\n"));
        QVERIFY(!kept.closed);
        QCOMPARE(m_sim->openConnections(), 1);
        kept.socket.disconnectFromHost();
        QTRY_COMPARE(m_sim->openConnections(), 0);
        m_sim->setIdleTimeoutMs(2000);
        m_sim->setStall(true);
        Client stalled(port, "DOWN");
        QTRY_COMPARE(m_sim->commandTexts().size(), 5);
        m_sim->setStall(false);
        QCOMPARE(ask(port, "VERSION"), Version);
        QVERIFY(stalled.received.isEmpty());
        QCOMPARE(stalled.socket.state(), QAbstractSocket::ConnectedState);
        QCOMPARE(m_sim->mainMenuItem(), 1); // DOWN was not acted on
        QVERIFY(stalled.waitClosed());
    }

    void consoleFollowsThePlayerAndEchoesInput() {
        m_sim->setStatusStepMs(20);
        Client console(m_sim->consolePort());
        QTRY_COMPARE(m_sim->consoleClients(), 1);
        QCOMPARE(ask(m_sim->commandPort(), "OK"), QByteArray("OK\r\n"));
        QCOMPARE(ask(m_sim->commandPort(), "OK"), QByteArray("OK\r\n"));
        QTRY_VERIFY(console.received.contains("Playing http://streams.example.net/jazz-fm-lounge.mp3"));
        QTRY_VERIFY(console.received.endsWith('\n'));
        QCOMPARE(ask(m_sim->commandPort(), "METAINFO").split('=').last(), QByteArray("playing\r\n"));
        const QList<QByteArray> lines = console.received.split('\n');
        const QList<QByteArray> starts{"cURL: ",          "Starting mplayer : [", "ICY Info: StreamTitle='",
                                       "load coverart [", "Check ID3 on: [",      "Playing "};
        QCOMPARE(lines.size(), starts.size() + 1);
        qsizetype crlf = 0;
        for (qsizetype i = 0; i < starts.size(); ++i) {
            QVERIFY2(lines[i].startsWith(starts[i]), lines[i].constData());
            crlf += lines[i].endsWith('\r') ? 1 : 0;
        }
        QVERIFY(crlf > 0 && crlf < starts.size()); // both line ends occur
        const bool splitLine = std::any_of(console.packets.begin(), console.packets.end(),
                                           [](const QByteArray &packet) { return !packet.endsWith('\n'); });
        QVERIFY(splitLine);
        console.received.clear();
        console.socket.write("ab");
        QTRY_COMPARE(console.received, QByteArray("ab\r\n"));
        QCOMPARE(m_sim->commands().last().port, m_sim->consolePort());
        QCOMPARE(m_sim->commands().last().command, QByteArray("ab"));
    }

    void consoleDropsAClientThatFallsTooFarBehind() {
        Client console(m_sim->consolePort());
        QTRY_COMPARE(m_sim->consoleClients(), 1);
        const QString line(1000, QLatin1Char('x'));
        for (int i = 0; i < 300; ++i) {
            m_sim->writeConsoleLine(line);
        }
        QCOMPARE(m_sim->consoleClients(), 0);
        QVERIFY(console.waitClosed());
        Client next(m_sim->consolePort());
        QTRY_COMPARE(m_sim->consoleClients(), 1);
    }

private:
    std::unique_ptr<RadioSimulator> m_sim;
};

QTEST_GUILESS_MAIN(RadioSimulatorTest)
#include "RadioSimulatorTest.moc"
