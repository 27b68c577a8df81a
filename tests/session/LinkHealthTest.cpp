#include "e2e/FilledFolder.h"
#include "platform/Platform.h"
#include "session/LinkHealthLook.h"
#include "session/RadioSession.h"
#include "session/RadioView.h"
#include "support/FakeSoundPlayer.h"
#include "support/FakeTimer.h"

#include <QCoreApplication>
#include <QHostAddress>
#include <QMap>
#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>

#include <memory>
#include <optional>
#include <sys/socket.h>
#include <utility>
#include <vector>

namespace {

// What the radio's end of the loopback does.
enum class Outage { None, Refused, Reset, Stalled, BlackHole };

// The radio on loopback: answers the poll's queries and closes, as the radio does; or takes
// the connection and never answers (stalled); or resets every connection it takes.
class LoopbackRadio : public QObject {
public:
    LoopbackRadio() {
        m_server.listen(QHostAddress(QHostAddress::LocalHost), 0);
        connect(&m_server, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket *peer = m_server.nextPendingConnection()) {
                take(peer);
            }
        });
        // A socket bound but never listening holds a port on which every connect is refused.
        m_refusing.bind(QHostAddress(QHostAddress::LocalHost), 0);
    }
    quint16 port() const { return m_server.serverPort(); }
    quint16 refusingPort() const { return m_refusing.localPort(); }

    // A radio that comes back from a stall has dropped the connections it held (it restarted).
    void setOutage(Outage now) {
        if (outage == Outage::Stalled && now != Outage::Stalled) {
            for (const QPointer<QTcpSocket> &peer : std::exchange(m_held, {})) {
                if (peer) {
                    peer->abort();
                }
            }
        }
        outage = now;
    }

    Outage outage = Outage::None;
    int commandsHeard = 0;   // commands read while stalled
    int repliesSent = 0;     // answers given
    qint64 lastReplyAt = -1; // the fake clock's time of the last answer
    const Clock *clock = nullptr;

private:
    void take(QTcpSocket *peer) {
        connect(peer, &QTcpSocket::disconnected, peer, &QObject::deleteLater);
        connect(peer, &QTcpSocket::readyRead, this, [this, peer] {
            const QString command = QString::fromLatin1(peer->readAll()).trimmed();
            if (outage == Outage::Reset) {
                // Closing with a zero linger sends a reset instead of an orderly close.
                const linger hard{1, 0};
                ::setsockopt(int(peer->socketDescriptor()), SOL_SOCKET, SO_LINGER, &hard, sizeof hard);
                peer->abort();
                return;
            }
            if (outage == Outage::Stalled) {
                m_held.push_back(peer);
                ++commandsHeard;
                return;
            }
            static const QMap<QString, QString> replies{{"MINFO", "Menu state=0 mp=1 ms=1 title=Main Menu"},
                                                        {"VOLUME", "VOL=20"},
                                                        {"STATE", "STATE=ON"},
                                                        {"VERSION", "VER=3.1.7"},
                                                        {"METAINFO", "Meta title=a status=stopped"},
                                                        {"LISTINFO", "List pos=0"}};
            peer->write(replies.value(command, QStringLiteral("OK")).toLatin1() + "\r\n");
            peer->disconnectFromHost();
            ++repliesSent;
            lastReplyAt = clock->nowMs();
        });
    }

    QTcpServer m_server;
    QTcpSocket m_refusing;
    std::vector<QPointer<QTcpSocket>> m_held;
};

// A real loopback socket, except in a black hole, where a connect is never heard of again.
// busy() says a real event is on its way, so the test lets it arrive before time moves on.
class OutageSocket final : public TcpSocket {
public:
    explicit OutageSocket(LoopbackRadio &radio)
        : m_radio(radio) {
        connect(&m_real, &TcpSocket::ConnectEvent, this, [this] {
            m_connecting = false;
            Q_EMIT ConnectEvent();
        });
        connect(&m_real, &TcpSocket::DataArrival, this, &TcpSocket::DataArrival);
        connect(&m_real, &TcpSocket::CloseEvent, this, [this] {
            settled();
            Q_EMIT CloseEvent();
        });
        connect(&m_real, &TcpSocket::ErrorEvent, this, [this](int number, const QString &text) {
            settled();
            Q_EMIT ErrorEvent(number, text);
        });
        connect(&m_real, &TcpSocket::SendProgress, this, &TcpSocket::SendProgress);
        connect(&m_real, &TcpSocket::SendComplete, this, &TcpSocket::SendComplete);
    }

    qint16 State() const override { return m_void ? qint16(sckConnecting) : m_real.State(); }
    void setLocalPort(quint16 port) override { m_real.setLocalPort(port); }
    void Connect(const QString &host, quint16 port) override {
        settled();
        m_void = m_radio.outage == Outage::BlackHole;
        if (!m_void) {
            m_connecting = true;
            m_heardBefore = m_radio.commandsHeard;
            m_real.Connect(host, m_radio.outage == Outage::Refused ? m_radio.refusingPort() : port);
        }
    }
    void Close() override {
        settled();
        m_real.Close();
    }
    void SendData(const QString &text) override {
        m_sent = m_real.State() == sckConnected;
        m_real.SendData(text);
    }
    QString GetData() override { return m_real.GetData(); }
    QString RemoteHostIP() const override { return m_real.RemoteHostIP(); }
    bool PeerReset() const override { return m_real.PeerReset(); }
    void setReadPaused(bool paused) override { m_real.setReadPaused(paused); }

    bool busy() const {
        if (m_connecting) {
            return true;
        }
        if (m_real.State() != sckConnected) {
            return false;
        }
        switch (m_radio.outage) {
        case Outage::Stalled:
            return m_sent && m_radio.commandsHeard == m_heardBefore;
        default:
            return m_sent; // the answer and the close are on their way
        }
    }

private:
    void settled() {
        m_void = false;
        m_connecting = false;
        m_sent = false;
    }

    LoopbackRadio &m_radio;
    QtTcpSocket m_real;
    bool m_void = false;
    bool m_connecting = false;
    bool m_sent = false;
    int m_heardBefore = 0;
};

// The date and time of day, moving with the fake clock from a fixed morning.
class FollowingWallClock final : public WallClock {
public:
    explicit FollowingWallClock(const FakeClock &clock)
        : m_clock(clock) {}
    QDateTime now() const override { return QDateTime(QDate(2026, 12, 8), QTime(5, 37, 0)).addMSecs(m_clock.nowMs()); }

private:
    const FakeClock &m_clock;
};

// Fake time and timers, real loopback sockets.
class LoopbackPlatform final : public Platform {
public:
    explicit LoopbackPlatform(LoopbackRadio &radio)
        : m_radio(radio) {}
    Clock &clock() override { return fakeClock; }
    const WallClock &wallClock() override { return m_wallClock; }
    std::unique_ptr<Timer> createTimer() override { return std::make_unique<FakeTimer>(fakeClock); }
    std::unique_ptr<TcpSocket> createSocket() override {
        auto socket = std::make_unique<OutageSocket>(m_radio);
        sockets.push_back(socket.get());
        return socket;
    }
    SoundPlayer &sound() override { return m_sound; }

    bool busy() const {
        return std::any_of(sockets.begin(), sockets.end(), [](const OutageSocket *s) { return s->busy(); });
    }

    FakeClock fakeClock;
    std::vector<OutageSocket *> sockets;

private:
    LoopbackRadio &m_radio;
    FollowingWallClock m_wallClock{fakeClock};
    FakeSoundPlayer m_sound;
};

} // namespace

// How the session tells whether the radio answers, for every way a radio can be gone, on fake
// time: the link's own timers run on the fake clock, and the clock stands still while a real
// socket event is on its way over loopback.
class LinkHealthTest : public QObject {
    Q_OBJECT

    struct Rig {
        LoopbackRadio radio;
        LoopbackPlatform platform{radio};
        QTemporaryDir folder;
        std::unique_ptr<RadioSession> session;
        bool stuck = false;

        Rig() {
            radio.clock = &platform.fakeClock;
            if (!FillProgramFolder(folder.path(), radio.port())) {
                return;
            }
            session = std::make_unique<RadioSession>(platform, folder.path());
            session->loadSettings();
            session->loadData();
            session->setRadioAddress(QStringLiteral("127.0.0.1"), radio.port());
        }
        void settle() {
            for (int i = 0; i < 3; ++i) {
                QCoreApplication::processEvents();
            }
            if (platform.busy() && !QTest::qWaitFor([this] { return !platform.busy(); }, 5000)) {
                stuck = true;
            }
        }
        // Runs the fake clock on until done() holds or limitMs have passed; the time it took.
        std::optional<qint64> runUntil(const std::function<bool()> &done, qint64 limitMs) {
            const qint64 from = platform.fakeClock.nowMs();
            while (platform.fakeClock.nowMs() - from <= limitMs && !stuck) {
                settle();
                if (done()) {
                    return platform.fakeClock.nowMs() - from;
                }
                platform.fakeClock.advance(1);
            }
            return std::nullopt;
        }
        LinkHealth health() const { return session->status().health; }
    };

private Q_SLOTS:
    void goesOfflineInTheSameFewSecondsForEveryOutage_data() {
        QTest::addColumn<Outage>("outage");
        QTest::addColumn<QString>("reason");
        QTest::newRow("refused") << Outage::Refused << "connection refused";
        QTest::newRow("reset") << Outage::Reset << "connection reset";
        QTest::newRow("stalled") << Outage::Stalled << "no reply";
        QTest::newRow("black hole") << Outage::BlackHole << "no answer in time";
    }

    void goesOfflineInTheSameFewSecondsForEveryOutage() {
        QFETCH(Outage, outage);
        QFETCH(QString, reason);
        Rig rig;
        QVERIFY(rig.session);
        RadioSession &session = *rig.session;
        LinkHealthLook look = LinkHealthLookOf(session.view());
        QCOMPARE(look.health, LinkHealth::NotYetAnswered);
        QCOMPARE(look.text, QStringLiteral("Connecting to 127.0.0.1:%1…").arg(rig.radio.port()));

        session.start();
        QVERIFY(rig.runUntil([&] { return rig.health() == LinkHealth::Answers; }, 3000));
        look = LinkHealthLookOf(session.view());
        QCOMPARE(look.text, QStringLiteral("Radio answers"));
        QVERIFY(look.toolTip.startsWith(QStringLiteral("Radio answers (last reply 05:37:0")));
        // Past the first full refresh, into the steady polls.
        rig.runUntil([] { return false; }, 4000);
        QVERIFY(!rig.stuck);
        QCOMPARE(rig.health(), LinkHealth::Answers);

        rig.radio.setOutage(outage);
        const qint64 outageAt = rig.platform.fakeClock.nowMs();
        const std::optional<qint64> offlineAfter =
            rig.runUntil([&] { return rig.health() == LinkHealth::Offline; }, 60000);
        QVERIFY(!rig.stuck);
        QVERIFY2(offlineAfter, "never offline");
        qInfo("offline %lld ms after the outage began", qlonglong(*offlineAfter));
        QVERIFY2(*offlineAfter >= 3000 && *offlineAfter <= 6000, QByteArray::number(*offlineAfter));

        // Every window draws this one look; the client and the media player read the status.
        look = LinkHealthLookOf(session.view());
        const RadioStatus &status = session.status();
        QCOMPARE(look.health, LinkHealth::Offline);
        QCOMPARE(status.offlineSince, session.view().OfflineSince);
        const QTime since = QTime::fromString(status.offlineSince, QStringLiteral("HH:mm:ss"));
        const QTime began = QTime(5, 37, 0).addMSecs(int(outageAt));
        QVERIFY2(since.secsTo(began) <= 0 && began.secsTo(since) <= 2, qPrintable(status.offlineSince));
        QCOMPARE(look.text, QStringLiteral("Radio offline since %1: %2").arg(status.offlineSince, reason));
        QVERIFY(look.toolTip.startsWith(look.text));
        QCOMPARE(status.offlineReason, reason);

        // A minute on, the same words: nothing turns it back but an answer.
        rig.runUntil([] { return false; }, 60000);
        QVERIFY(!rig.stuck);
        QCOMPARE(LinkHealthLookOf(session.view()), look);

        // The first good reply brings it back, at once.
        rig.radio.setOutage(Outage::None);
        const int repliesBefore = rig.radio.repliesSent;
        QVERIFY(rig.runUntil([&] { return rig.health() == LinkHealth::Answers; }, 15000));
        QVERIFY(!rig.stuck);
        QCOMPARE(rig.radio.repliesSent, repliesBefore + 1);
        QCOMPARE(LinkHealthLookOf(session.view()).text, QStringLiteral("Radio answers"));
    }
};

QTEST_GUILESS_MAIN(LinkHealthTest)
#include "LinkHealthTest.moc"
