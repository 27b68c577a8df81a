#include "update/UpdateChecker.h"

#include "settings/INIFILES.h"
#include "support/FakePlatform.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

const QString Page = "HTTP/1.1 200 OK\r\nContent-Type: text/html\r\nConnection: close\r\n\r\n"
                     "Versions<br/>\r\n<br/>\r\nCorvale Remote Software V.1.2.4<br/>\r\n";

QString programFolderIn(const QTemporaryDir &dir) {
    const QString folder = QDir(dir.path()).filePath("program");
    QDir().mkpath(folder);
    return folder;
}

// The checker on a fake socket and fake time, in a program folder of its own (a subfolder,
// so a file written beside it would show).
struct Checker {
    QTemporaryDir dir;
    QString folder = programFolderIn(dir);
    FakePlatform platform;
    UpdateChecker checker{platform, folder, "1.2.3"};
    FakeTcpSocket &socket = *platform.sockets.at(0);
    int shown = 0;
    Checker() {
        socket.completeSendsAtOnce = true;
        QObject::connect(&checker, &UpdateChecker::showRequested, [this] { ++shown; });
    }
    void run(qint64 ms) { platform.fakeClock.advance(ms); }
    QStringList filesAround() const {
        return QDir(dir.path()).entryList(QDir::Files) + QDir(folder).entryList(QDir::Files);
    }
};

} // namespace

TEST(UpdateChecker, AsksOncePerConnectionAndShowsThePageAfterTheClose) {
    Checker c;
    c.checker.OpenThisWebUrl("");
    EXPECT_EQ(c.socket.connectCalls, 0);
    c.checker.OpenThisWebUrl("http://updates.test/corvale/versions.php");
    EXPECT_EQ((std::tuple{c.shown, c.socket.host, c.socket.port, c.socket.localPort}),
              (std::tuple{1, QString("updates.test"), quint16(80), quint16(0)}));
    c.socket.acceptConnection();
    ASSERT_EQ(c.socket.sent.size(), 1);
    EXPECT_TRUE(c.socket.sent.at(0).startsWith("GET /corvale/versions.php HTTP/1.1\r\nHost: updates.test\r\n"));
    c.socket.receive(Page.left(40));
    c.socket.receive(Page.mid(40));
    c.run(1000);
    EXPECT_EQ(c.checker.RawTexta, ""); // nothing before the server closes
    EXPECT_EQ(c.checker.NewsLine, "Asking the update server...");
    c.socket.peerClose();
    EXPECT_EQ(c.checker.RawTexta, "");
    c.run(UpdateChecker::Timer1Interval);
    const QString shown = "Versions \r\nCorvale Remote Software V.1.2.4 \r\n";
    EXPECT_EQ(c.checker.RawTexta, shown);
    EXPECT_EQ(c.checker.NewerVersion, "1.2.4");
    EXPECT_EQ(c.checker.NewsLine, "A newer version, V.1.2.4, is available.");
    EXPECT_FALSE(c.checker.Timer1().isEnabled());
    EXPECT_EQ(c.socket.state, TcpSocket::sckClosed);
    c.run(UpdateChecker::TimeLimit); // the time limit of a finished check has nothing left to say
    EXPECT_EQ(c.checker.RawTexta, shown);
    c.checker.RawTexta_DblClick();
    EXPECT_EQ(c.checker.RawTexta, "");
}

TEST(UpdateChecker, ASecondCheckDiscardsTheFirstAnswer) {
    Checker c;
    c.checker.OpenThisWebUrl("first.test/a");
    c.socket.acceptConnection();
    c.socket.receive("HTTP/1.1 200 OK\r\n\r\nfrom the first<br/>\r\n");
    c.checker.OpenThisWebUrl("second.test/b");
    EXPECT_EQ(c.socket.connectCalls, 2);
    c.socket.acceptConnection();
    c.socket.receive("HTTP/1.1 200 OK\r\n\r\nfrom the second\r\n");
    c.socket.peerClose();
    c.run(UpdateChecker::Timer1Interval);
    EXPECT_EQ(c.checker.RawTexta, "from the second\r\n");
    // Also when the first had already closed and only waited to be shown.
    c.checker.OpenThisWebUrl("third.test/c");
    c.socket.acceptConnection();
    c.socket.receive("HTTP/1.1 200 OK\r\n\r\nfrom the third\r\n");
    c.socket.peerClose();
    c.checker.OpenThisWebUrl("fourth.test/d");
    c.run(UpdateChecker::Timer1Interval * 4);
    EXPECT_EQ(c.checker.RawTexta, "");
}

TEST(UpdateChecker, ServersThatNeverCloseOrNeverStopAreCut) {
    Checker c;
    c.checker.OpenThisWebUrl("slow.test/v");
    c.socket.acceptConnection();
    c.socket.receive("HTTP/1.1 200 OK\r\nContent-Type: text/html\r\n\r\nhalf a pa");
    c.run(UpdateChecker::TimeLimit - 1);
    EXPECT_EQ(c.checker.RawTexta, "");
    EXPECT_NE(c.socket.state, TcpSocket::sckClosed);
    c.run(1 + UpdateChecker::Timer1Interval);
    EXPECT_EQ(c.socket.state, TcpSocket::sckClosed);
    EXPECT_EQ(c.checker.RawTexta, "half a pa\r\n[No complete answer from slow.test within 15 seconds; gave up.]\r\n");
    // A server that refuses, or cannot be found, says so at once.
    c.checker.OpenThisWebUrl("refusing.test/v");
    c.socket.refuseConnection();
    c.run(UpdateChecker::Timer1Interval);
    EXPECT_EQ(c.checker.RawTexta, "[No answer from refusing.test: Connection refused]\r\n");
    EXPECT_EQ(c.checker.NewsLine, "Could not tell whether a newer version is available: no answer from the server.");
    EXPECT_EQ(c.socket.state, TcpSocket::sckClosed);
    // A server that is never reached gets the time limit's line.
    c.checker.OpenThisWebUrl("nowhere.test/v");
    c.run(UpdateChecker::TimeLimit + UpdateChecker::Timer1Interval);
    EXPECT_EQ(c.checker.RawTexta, "[No complete answer from nowhere.test within 15 seconds; gave up.]\r\n");
    Checker flood;
    flood.checker.OpenThisWebUrl("flood.test/v");
    flood.socket.acceptConnection();
    flood.socket.receive("HTTP/1.1 200 OK\r\nContent-Type: text/html\r\n\r\n");
    const QString lines = QString("0123456789abcdef0123456789abcdef0123456789abcdef0123456789abcde\n").repeated(1024);
    for (int i = 0; i < 20 && flood.socket.state != TcpSocket::sckClosed; ++i) {
        flood.socket.receive(lines);
    }
    EXPECT_EQ(flood.socket.state, TcpSocket::sckClosed);
    flood.run(UpdateChecker::Timer1Interval);
    const QStringList shown = flood.checker.RawTexta.split("\r\n", Qt::SkipEmptyParts);
    EXPECT_EQ(shown.last(), "[The answer was cut after 1048576 bytes.]");
    // The page's first lines, a line saying it went on, then the note.
    ASSERT_EQ(shown.size(), MaxPageLines + 2);
    EXPECT_EQ(shown.at(MaxPageLines - 1), lines.left(63));
    EXPECT_TRUE(shown.at(MaxPageLines).startsWith("[The page was cut here"));
    // Nothing arrives any more, so the time limit adds nothing.
    flood.run(UpdateChecker::TimeLimit);
    EXPECT_EQ(flood.checker.RawTexta.split("\r\n", Qt::SkipEmptyParts).size(), shown.size());
}

TEST(UpdateChecker, EndlessLinesAndUnreadableChunksAreNotShownWhole) {
    // (A megabyte of short lines, plain or chunked, is the loopback test's.)
    Checker c;
    // One endless line is cut by its size.
    c.checker.OpenThisWebUrl("long.test/v");
    c.socket.acceptConnection();
    c.socket.receive("HTTP/1.1 200 OK\r\n\r\n" + QString(200000, u'y'));
    c.socket.peerClose();
    c.run(UpdateChecker::Timer1Interval);
    EXPECT_EQ(c.checker.RawTexta.indexOf("\r\n"), MaxPageBytes);
    EXPECT_LT(c.checker.RawTexta.size(), MaxPageBytes + 200);

    // Chunks that cannot be read are not shown as text: the window says so.
    c.checker.OpenThisWebUrl("bad.test/v");
    c.socket.acceptConnection();
    c.socket.receive(
        "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\nzz\r\nCorvale Remote Software V.9\r\n0\r\n\r\n");
    c.socket.peerClose();
    c.run(UpdateChecker::Timer1Interval);
    EXPECT_EQ(c.checker.RawTexta, "[The answer came in chunks that could not be read; nothing of it is shown.]\r\n");
    EXPECT_EQ(c.checker.NewerVersion, "");
}

TEST(UpdateChecker, ZipAnswersOnlyLandAsPlainNamesInTheProgramFolder) {
    Checker c;
    // Bytes travel as Latin-1 text, one character each.
    const QString zip =
        QString::fromLatin1("HTTP/1.1 200 OK\r\nContent-Type: application/zip\r\n\r\nPK\x03\x04\xff\x80 bytes");
    const auto answer = [&c](const QString &response) {
        c.checker.OpenThisWebUrl("zip.test/get");
        c.socket.acceptConnection();
        c.socket.receive(response);
        c.socket.peerClose();
        c.run(UpdateChecker::Timer1Interval);
    };
    // Nothing noted yet: no name to save under.
    answer(zip);
    EXPECT_TRUE(c.filesAround().isEmpty());
    for (const char *hostile : {"../x", "a/b", "..", ".profile"}) {
        c.checker.NewerVersion = hostile;
        answer(zip);
    }
    EXPECT_TRUE(c.filesAround().isEmpty()) << c.filesAround().join(',').toStdString();
    c.checker.NewerVersion = "2.0.1";
    answer(zip);
    QFile saved(QDir(c.folder).filePath("2.0.1.zip"));
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    EXPECT_EQ(saved.readAll(), QByteArray("PK\x03\x04\xff\x80 bytes"));
    EXPECT_EQ(c.checker.RawTexta, "");
    saved.close();
    // A zip that cannot be written (a folder stands in its name) is said, not passed over.
    saved.remove();
    ASSERT_TRUE(QDir(c.folder).mkdir("2.0.1.zip"));
    answer(zip);
    EXPECT_TRUE(c.checker.RawTexta.startsWith("[The update was not saved: could not "))
        << c.checker.RawTexta.toStdString();
    ASSERT_TRUE(QDir(c.folder).rmdir("2.0.1.zip"));
    c.checker.RawTexta.clear();
    // Pictures and other applications show nothing and leave no file behind.
    saved.remove();
    answer("HTTP/1.1 200 OK\r\nContent-Type: image/png\r\n\r\n\x89PNG");
    answer("HTTP/1.1 200 OK\r\nContent-Type: application/json\r\n\r\n{\"v\": 1}");
    EXPECT_TRUE(c.filesAround().isEmpty());
    EXPECT_EQ(c.checker.RawTexta, "");
    EXPECT_FALSE(c.checker.Timer1().isEnabled());
}

TEST(UpdateChecker, WithoutAnAddressNothingIsAskedAndTheWindowSaysHowToSetOne) {
    Checker c;
    INIFILES ini;
    ini.SetProgramPaths(QDir(c.folder).filePath("CVRemote"));
    c.checker.CheckForUpdates(ini);
    EXPECT_EQ(c.socket.connectCalls, 0);
    EXPECT_EQ(c.shown, 1);
    EXPECT_EQ(c.checker.NewsLine, "No update server is set, so there is nothing to ask.");
    EXPECT_TRUE(c.checker.RawTexta.contains("UpdateURL=host[:port]/path")) << c.checker.RawTexta.toStdString();
    EXPECT_TRUE(c.checker.RawTexta.contains(QDir::toNativeSeparators(ini.SettingsFile())));
    EXPECT_TRUE(c.checker.RawTexta.contains("-DCV_UPDATE_URL="));
    c.run(UpdateChecker::TimeLimit); // no time limit or tick overwrites the message
    EXPECT_EQ(c.checker.NewsLine, "No update server is set, so there is nothing to ask.");

    // Names reserved never to exist are not looked up, as the server's or as the proxy's.
    ini.WriteSetting("General", "UpdateURL", "www.cvremote.example/corvale/versions.php");
    c.checker.CheckForUpdates(ini);
    EXPECT_EQ(c.socket.connectCalls, 0);
    EXPECT_TRUE(c.checker.RawTexta.contains("www.cvremote.example is a name that cannot exist"));
    ini.WriteSetting("General", "UpdateURL", "127.0.0.1:8123/corvale/versions.php");
    UpdateProxy proxy;
    proxy.use = true;
    proxy.server = "proxy.invalid.";
    c.checker.setProxy(proxy);
    c.checker.CheckForUpdates(ini);
    EXPECT_EQ(c.socket.connectCalls, 0);
    EXPECT_TRUE(c.checker.RawTexta.contains("proxy.invalid. is a name that cannot exist"));
    // A path the request line cannot carry is not sent either.
    c.checker.setProxy(UpdateProxy{});
    ini.WriteSetting("General", "UpdateURL", "127.0.0.1:8123/corvale/versions.php?x=a b");
    c.checker.CheckForUpdates(ini);
    EXPECT_EQ(c.socket.connectCalls, 0);

    ini.WriteSetting("General", "UpdateURL", "127.0.0.1:8123/corvale/versions.php");
    c.checker.CheckForUpdates(ini);
    EXPECT_EQ((std::tuple{c.socket.host, c.socket.port, c.shown}),
              (std::tuple{QString("127.0.0.1"), quint16(8123), 5}));
}

TEST(UpdateChecker, AProxyTakesTheRequestWithTheWholeAddress) {
    Checker c;
    UpdateProxy proxy;
    proxy.use = true;
    proxy.server = "127.0.0.1";
    proxy.port = 3128;
    proxy.userName = "alice";
    proxy.password = "s3cret";
    c.checker.setProxy(proxy);
    c.checker.OpenThisWebUrl("updates.test:8123/corvale/versions.php");
    EXPECT_EQ((std::tuple{c.socket.host, c.socket.port}), (std::tuple{QString("127.0.0.1"), quint16(3128)}));
    c.checker.setProxy(UpdateProxy{}); // an edit while the request is on its way changes nothing of it
    c.socket.acceptConnection();
    ASSERT_EQ(c.socket.sent.size(), 1);
    EXPECT_TRUE(c.socket.sent.at(0).startsWith("GET http://updates.test:8123/corvale/versions.php HTTP/1.1\r\n"
                                               "Host: updates.test:8123\r\n"
                                               "Proxy-Authorization: Basic YWxpY2U6czNjcmV0\r\n"))
        << c.socket.sent.at(0).toStdString();
    c.socket.receive("HTTP/1.1 407 Proxy Authentication Required\r\nProxy-Authenticate: Basic\r\n\r\n");
    c.socket.peerClose();
    c.run(UpdateChecker::Timer1Interval);
    EXPECT_TRUE(c.checker.RawTexta.contains("[The proxy did not take the user name and password.]"))
        << c.checker.RawTexta.toStdString();
    // Unticked, or ticked without a server, the request goes straight to the server.
    proxy.server = "";
    c.checker.setProxy(proxy);
    c.checker.OpenThisWebUrl("updates.test/v");
    EXPECT_EQ(c.socket.host, "updates.test");
}
