#include "platform/Platform.h"
#include "update/UpdateChecker.h"
#include "update/UpdateForm.h"

#include <QPlainTextEdit>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>

#include <memory>

// The update check on real sockets against a hostile server of the test's own on loopback: the
// window it fills stays a few hundred lines, whatever the server sends.
class UpdateLoopbackTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void aMegabyteOfOneCharacterLinesShowsAsAShortPage_data() {
        QTest::addColumn<bool>("chunked");
        QTest::newRow("plain") << false;
        QTest::newRow("chunked") << true;
    }
    void aMegabyteOfOneCharacterLinesShowsAsAShortPage() {
        QFETCH(bool, chunked);
        QByteArray page;
        while (page.size() < 1 << 20) {
            page += "x\n";
        }
        QByteArray body = page;
        if (chunked) {
            // One-byte chunks: more framing than page.
            body.clear();
            for (qsizetype at = 0; at < (1 << 20) / 8; ++at) {
                body += "1\r\n" + page.mid(at, 1) + "\r\n";
            }
        }
        const QByteArray head = chunked ? "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n"
                                        : "HTTP/1.1 200 OK\r\nContent-Type: text/plain\r\n\r\n";
        QTcpServer server;
        QVERIFY(server.listen(QHostAddress::LocalHost));
        connect(&server, &QTcpServer::newConnection, &server, [&server, head, body] {
            QTcpSocket *peer = server.nextPendingConnection();
            connect(peer, &QTcpSocket::readyRead, peer, [peer, head, body] {
                if (peer->readAll().contains("\r\n\r\n")) {
                    peer->write(head + body);
                    peer->disconnectFromHost();
                }
            });
            connect(peer, &QTcpSocket::disconnected, peer, &QObject::deleteLater);
        });

        QTemporaryDir folder;
        QtPlatform platform(QtPlatform::Sounds::Silent);
        UpdateChecker checker(platform, folder.path(), QStringLiteral("1.0.0"));
        UpdateForm form;
        connect(&checker, &UpdateChecker::changed, &form, [&] { form.render(checker); });
        checker.OpenThisWebUrl(QStringLiteral("127.0.0.1:%1/corvale/versions.php").arg(server.serverPort()));
        QTRY_VERIFY_WITH_TIMEOUT(!checker.Timer1().isEnabled() && !checker.RawTexta.isEmpty(), 60000);

        // The page's first lines, the line saying it was cut, and (the plain page being a bit
        // over the answer's cap with its headers) the line saying the answer was cut.
        QCOMPARE(form.RawTexta()->document()->blockCount(), int(MaxPageLines) + (chunked ? 1 : 2));
        QCOMPARE(form.RawTexta()->document()->findBlockByNumber(int(MaxPageLines)).text().left(22),
                 QStringLiteral("[The page was cut here"));
        // Only the page's own lines, no chunk size shown as text.
        QCOMPARE(form.RawTexta()->toPlainText().count(QStringLiteral("x\n")), int(MaxPageLines));
        QVERIFY(checker.RawTexta.size() < 4096);
    }

    // A plain HTTP proxy of the test's own: it wants the whole address in the request line and
    // Basic credentials, answers the version page when they are right and 407 when not. The
    // update server's name is the proxy's business: nothing here looks it up.
    void theCheckGoesThroughAProxyWithBasicAuthentication() {
        QList<QByteArray> requests;
        QTcpServer proxy;
        QVERIFY(proxy.listen(QHostAddress::LocalHost));
        connect(&proxy, &QTcpServer::newConnection, &proxy, [&proxy, &requests] {
            QTcpSocket *peer = proxy.nextPendingConnection();
            auto received = std::make_shared<QByteArray>();
            connect(peer, &QTcpSocket::readyRead, peer, [peer, received, &requests] {
                *received += peer->readAll();
                if (!received->contains("\r\n\r\n")) {
                    return;
                }
                requests << *received;
                const bool wholeAddress =
                    received->startsWith("GET http://updates.cvremote.test/corvale/versions.php HTTP/1.1\r\n");
                const QByteArray credentials =
                    "\r\nProxy-Authorization: Basic " + QByteArray("alice:s3cret").toBase64() + "\r\n";
                const bool authorized = received->contains(credentials);
                if (wholeAddress && authorized) {
                    peer->write("HTTP/1.1 200 OK\r\nContent-Type: text/html\r\nConnection: close\r\n\r\n"
                                "Corvale Remote Software V.9.9.9<br/>\r\n");
                } else {
                    peer->write("HTTP/1.1 407 Proxy Authentication Required\r\nProxy-Authenticate: Basic "
                                "realm=\"test\"\r\nContent-Type: text/html\r\nConnection: close\r\n\r\n"
                                "Who are you?\r\n");
                }
                peer->disconnectFromHost();
            });
            connect(peer, &QTcpSocket::disconnected, peer, &QObject::deleteLater);
        });

        QTemporaryDir folder;
        QtPlatform platform(QtPlatform::Sounds::Silent);
        UpdateChecker checker(platform, folder.path(), QStringLiteral("1.0.0"));
        UpdateProxy settings;
        settings.use = true;
        settings.server = QStringLiteral("127.0.0.1");
        settings.port = proxy.serverPort();
        settings.userName = QStringLiteral("alice");
        settings.password = QStringLiteral("s3cret");
        checker.setProxy(settings);
        const QString url = QStringLiteral("http://updates.cvremote.test/corvale/versions.php");
        checker.OpenThisWebUrl(url);
        QTRY_VERIFY_WITH_TIMEOUT(!checker.Timer1().isEnabled() && !checker.RawTexta.isEmpty(), 30000);
        QCOMPARE(checker.NewerVersion, QStringLiteral("9.9.9"));
        QCOMPARE(checker.NewsLine, QStringLiteral("A newer version, V.9.9.9, is available."));
        QCOMPARE(requests.size(), 1);
        QVERIFY2(requests.first().contains("\r\nHost: updates.cvremote.test\r\n"), requests.first().constData());

        settings.password = QStringLiteral("wrong");
        checker.setProxy(settings);
        checker.OpenThisWebUrl(url);
        QTRY_VERIFY_WITH_TIMEOUT(!checker.Timer1().isEnabled() && !checker.RawTexta.isEmpty(), 30000);
        QCOMPARE(requests.size(), 2);
        QVERIFY2(checker.RawTexta.contains(QStringLiteral("[The proxy did not take the user name and password.]")),
                 qPrintable(checker.RawTexta));
    }
};

QTEST_MAIN(UpdateLoopbackTest)
#include "UpdateLoopbackTest.moc"
