#include "platform/Platform.h"
#include "update/UpdateChecker.h"
#include "UpdatePage.h"

#include <QTest>

// The update check on real sockets against the simulator's update page on a free port.
class UpdateLoopbackTest : public QObject {
    Q_OBJECT

    static constexpr int Patience = 10000;

    static QString urlOf(const UpdatePage &page) {
        return QStringLiteral("127.0.0.1:%1/corvale/versions.php").arg(page.port());
    }

private Q_SLOTS:
    void thePageIsAskedForShownAndItsVersionNoted() {
        UpdatePage page;
        QVERIFY(page.start(QHostAddress::LocalHost, 0));
        page.setVersion(QStringLiteral("1.4.0"));
        QtPlatform platform;
        UpdateChecker checker(platform, QString(), QStringLiteral("1.3.9"));

        checker.OpenThisWebUrl(QStringLiteral("http://") + urlOf(page));
        QTRY_VERIFY_WITH_TIMEOUT(!checker.RawTexta.isEmpty(), Patience);
        QCOMPARE(page.requests().size(), 1);
        QCOMPARE(page.requests().first(), BuildUpdateRequest(SplitUpdateUrl(urlOf(page))));
        QCOMPARE(checker.RawTexta, QStringLiteral("CV Remote update service \r\n"
                                                  "Corvale Remote Software V.1.4.0 \r\n"
                                                  "Ask your dealer for the download. \r\n"));
        QCOMPARE(checker.NewerVersion, QStringLiteral("1.4.0"));
    }

    void aPageWithoutEndIsCutAndShown() {
        UpdatePage page;
        QVERIFY(page.start(QHostAddress::LocalHost, 0));
        page.setFaults(UpdatePage::Faults{false, true, 3 * UpdateChecker::ResponseCap}); // big, and never closed
        QtPlatform platform;
        UpdateChecker checker(platform, QString(), QStringLiteral("1.0.0"));

        checker.OpenThisWebUrl(urlOf(page));
        QTRY_VERIFY_WITH_TIMEOUT(
            checker.RawTexta.endsWith(QStringLiteral("[The answer was cut after 1048576 bytes.]\r\n")), Patience);
        QVERIFY(checker.RawTexta.startsWith(QStringLiteral("CV Remote update service \r\n")));
        QCOMPARE(checker.wscHttp().State(), qint16(TcpSocket::sckClosed));
    }
};

QTEST_GUILESS_MAIN(UpdateLoopbackTest)
#include "UpdateLoopbackTest.moc"
