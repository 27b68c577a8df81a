#include "update/UpdateHttp.h"

#include <gtest/gtest.h>

TEST(UpdateHttp, RequestBytesForTheBuiltInAndConfiguredAddresses) {
    EXPECT_EQ(BuiltInUpdateUrl(), "") << "no update server unless a packager builds one in";
    const UpdateAddress builtIn = SplitUpdateUrl("www.cvremote.test/corvale/versions.php");
    EXPECT_EQ(builtIn.port, 80);
    EXPECT_EQ(BuildUpdateRequest(builtIn), QByteArray("GET /corvale/versions.php HTTP/1.1\r\n"
                                                      "Host: www.cvremote.test\r\n"
                                                      "Connection: close\r\n"
                                                      "Accept: */*\r\n"
                                                      "http_accept_encoding: gzip, deflate\r\n"
                                                      "\r\n"));
    const UpdateAddress local = SplitUpdateUrl("http://127.0.0.1:8081/v/check.php?x=1");
    EXPECT_EQ(local.host, "127.0.0.1");
    EXPECT_EQ(local.port, 8081);
    EXPECT_EQ(local.path, "/v/check.php?x=1");
    EXPECT_TRUE(BuildUpdateRequest(local).startsWith("GET /v/check.php?x=1 HTTP/1.1\r\nHost: 127.0.0.1:8081\r\n"));
    // No path asks for the root; a port that is no port leaves 80.
    EXPECT_EQ(SplitUpdateUrl("updates.example").path, "/");
    const UpdateAddress badPort = SplitUpdateUrl("updates.example:99999/p");
    EXPECT_EQ(badPort.host, "updates.example");
    EXPECT_EQ(badPort.port, 80);
}

TEST(UpdateHttp, AnswersAreTakenApartByTheirContentType) {
    const UpdateResponse page = TakeUpdateResponseApart("HTTP/1.1 200 OK\r\nContent-Type: text/html\r\n"
                                                        "Connection: close\r\n\r\nline one\r\n\r\nline two");
    EXPECT_EQ(page.status, UpdateResponse::Ok);
    EXPECT_EQ(page.contentType, "text/html");
    EXPECT_EQ(page.kind, UpdateResponse::Page);
    EXPECT_EQ(page.body, "line one\r\n\r\nline two"); // only the first empty line ends the headers
    const std::pair<const char *, UpdateResponse::Kind> kinds[] = {
        {"content-type: image/png", UpdateResponse::Image},
        {"Content-Type: application/zip", UpdateResponse::Zip},
        {"Content-Type: application/zip; x=y", UpdateResponse::OtherApplication}};
    for (const auto &[header, kind] : kinds) {
        EXPECT_EQ(TakeUpdateResponseApart(QByteArray("HTTP/1.1 200 OK\r\n") + header + "\r\n\r\nPK").kind, kind)
            << header;
    }
    // The header name must start a line: a value that mentions it does not count.
    const UpdateResponse hidden =
        TakeUpdateResponseApart("HTTP/1.1 200 OK\r\nX-Content-Type: image/png\r\nX-Note: Content-Type: image/png\r\n"
                                "\r\nshown");
    EXPECT_EQ(hidden.contentType, "");
    EXPECT_EQ(hidden.kind, UpdateResponse::Page);
    const UpdateResponse cut = TakeUpdateResponseApart("HTTP/1.1 200 OK\r\nContent-Type: te");
    EXPECT_EQ(cut.status, UpdateResponse::Incomplete);
    EXPECT_TRUE(cut.body.isEmpty());
}

TEST(UpdateHttp, PageLinesDropBlanksAndTurnBreaksIntoBlanks) {
    EXPECT_EQ(PageLines("first<br/>\r\n<br/>\r\n\r\n \nsecond<br/>third\r\n"), (QStringList{"first ", "second third"}));
    EXPECT_TRUE(PageLines("").isEmpty());
}

TEST(UpdateHttp, TheMarkedVersionIsNotedOnlyWhenNewerAndStaysNoted) {
    QString noted;
    EXPECT_EQ(FindTheUpdate("corVALE remote SOFTWARE v. 2.0.1 ", "1.9.9", noted), "2.0.1");
    EXPECT_EQ(noted, "2.0.1");
    // A later line, newer still, does not replace what was noted.
    EXPECT_EQ(FindTheUpdate("Corvale Remote Software V.3.0.0", "1.9.9", noted), "3.0.0");
    EXPECT_EQ(noted, "2.0.1");
    // Lines without the marker change nothing.
    EXPECT_EQ(FindTheUpdate("Corvale Remote Software 9.9.9", "1.9.9", noted), "");
    EXPECT_EQ(noted, "2.0.1");
    // The same or an older version is no update.
    for (const auto &[offered, running] : {std::pair{"2.0.1", "2.0.1"}, std::pair{"1.0.9", "1.1.0"}}) {
        QString none;
        EXPECT_EQ(FindTheUpdate(QString("Corvale Remote Software V.") + offered, running, none) + none, "") << offered;
    }
    // Field by field: a two-digit field is not outnumbered by the digits of the others.
    EXPECT_LT(CompareVersions("1.2.15", "1.3.0"), 0);
    EXPECT_GT(CompareVersions("10.0.0", "9.9.99"), 0);
    EXPECT_EQ(CompareVersions("1.0", "1.0.0"), 0);
    EXPECT_GT(CompareVersions("1.0.1b", "1.0.0"), 0);
    QString twoDigits;
    EXPECT_EQ(FindTheUpdate("Corvale Remote Software V.1.3.0", "1.2.15", twoDigits), "1.3.0");
}

TEST(UpdateHttp, ZipNamesFromTheServerStayPlainFileNames) {
    EXPECT_EQ(SafeZipName("2.0.1"), "2.0.1.zip");
    EXPECT_EQ(SafeZipName("v2_0-beta"), "v2_0-beta.zip");
    const QStringList hostileNames{
        "../../x", "a/b", "a\\b", ".hidden", "", "..", "C:x", "a b", QString(QChar(0)) + "x", QString(101, u'1')};
    for (const QString &hostile : hostileNames) {
        EXPECT_EQ(SafeZipName(hostile), "") << hostile.toStdString();
    }
}

TEST(UpdateHttp, ChunkedBodiesAreJoinedAndBadOnesRefused) {
    QByteArray data;
    // Sizes in hex, an extension after ";", the last chunk and a trailer.
    EXPECT_EQ(DecodeChunked("5\r\nhello\r\nA;name=v\r\n, world!!!\r\n0\r\nX-Trailer: 1\r\n\r\n", data),
              ChunkedBody::Complete);
    EXPECT_EQ(data, "hello, world!!!");
    // An answer cut off keeps what arrived.
    EXPECT_EQ(DecodeChunked("5\r\nhello\r\n10\r\nabc", data), ChunkedBody::Truncated);
    EXPECT_EQ(data, "helloabc");
    EXPECT_EQ(DecodeChunked("5\r\nhel", data), ChunkedBody::Truncated);
    EXPECT_EQ(data, "hel");
    for (const QByteArray &bad :
         {QByteArray("zz\r\nhello\r\n0\r\n\r\n"), QByteArray("-5\r\nhello\r\n"), QByteArray("5\r\nhelloXY3\r\nabc\r\n"),
          QByteArray(5000, '1'), QByteArray("ffffffffffffffffffff\r\nx")}) {
        EXPECT_EQ(DecodeChunked(bad, data), ChunkedBody::Malformed) << bad.left(40).constData();
    }
    // Taken apart: the headers say chunked (in any case, among other codings), the body is joined.
    const UpdateResponse joined =
        TakeUpdateResponseApart("HTTP/1.1 200 OK\r\ntransfer-encoding: identity, Chunked\r\nContent-Type: "
                                "text/plain\r\n\r\n3\r\nabc\r\n0\r\n\r\n");
    EXPECT_EQ(joined.status, UpdateResponse::Ok);
    EXPECT_EQ(joined.body, "abc");
    const UpdateResponse refused =
        TakeUpdateResponseApart("HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\nnot a size\r\nabc");
    EXPECT_EQ(refused.status, UpdateResponse::Unreadable);
    EXPECT_TRUE(refused.body.isEmpty());
    // Without the header a body that looks chunked is plain text.
    EXPECT_EQ(TakeUpdateResponseApart("HTTP/1.1 200 OK\r\n\r\n3\r\nabc\r\n").body, "3\r\nabc\r\n");
}

TEST(UpdateHttp, ThroughAProxyTheRequestLineNamesTheWholeAddress) {
    UpdateProxy proxy;
    proxy.use = true;
    proxy.server = "proxy.lan";
    const UpdateAddress address = SplitUpdateUrl("http://updates.test/corvale/versions.php");
    EXPECT_TRUE(BuildUpdateRequest(address, proxy)
                    .startsWith("GET http://updates.test/corvale/versions.php HTTP/1.1\r\nHost: updates.test\r\n"
                                "Connection: close\r\n"));
    // Basic authentication, user name and password as UTF-8.
    proxy.userName = "j\u00fcrgen";
    proxy.password = "p\u00e4ss:w\u00f6rd \u20ac";
    const QByteArray request = BuildUpdateRequest(address, proxy);
    const QByteArray header = "\r\nProxy-Authorization: Basic ";
    const qsizetype at = request.indexOf(header);
    ASSERT_GE(at, 0) << request.toStdString();
    const QByteArray encoded = request.mid(at + header.size(), request.indexOf("\r\n", at + 2) - at - header.size());
    EXPECT_EQ(QString::fromUtf8(QByteArray::fromBase64(encoded)), proxy.userName + ":" + proxy.password);
    // Without the proxy, no trace of it.
    proxy.use = false;
    EXPECT_FALSE(BuildUpdateRequest(address, proxy).contains("Proxy-Authorization"));
    EXPECT_TRUE(BuildUpdateRequest(address, proxy).startsWith("GET /corvale/versions.php HTTP/1.1\r\n"));
}

TEST(UpdateHttp, WhatWouldBreakTheRequestIsRefusedAndReservedNamesAreNeverAsked) {
    UpdateProxy proxy;
    EXPECT_EQ(UpdateRequestProblem(SplitUpdateUrl("updates.test/v?a=1"), proxy), "");
    EXPECT_NE(UpdateRequestProblem(SplitUpdateUrl("updates.test/a b"), proxy), "");
    EXPECT_NE(UpdateRequestProblem(SplitUpdateUrl("updates.test/a\r\nX-Injected: 1"), proxy), "");
    EXPECT_NE(UpdateRequestProblem(SplitUpdateUrl("/only/a/path"), proxy), "");
    proxy.use = true;
    proxy.server = "proxy.lan";
    proxy.userName = "alice";
    proxy.password = "pass word";
    EXPECT_EQ(UpdateRequestProblem(SplitUpdateUrl("updates.test/v"), proxy), "");
    for (const auto &[user, password] :
         {std::pair{"al:ice", "x"}, std::pair{"al\nice", "x"}, std::pair{"alice", "x\r\ny"}}) {
        proxy.userName = user;
        proxy.password = password;
        EXPECT_NE(UpdateRequestProblem(SplitUpdateUrl("updates.test/v"), proxy), "") << user << " " << password;
    }
    proxy.userName = "";
    proxy.password = "";
    proxy.server = "proxy lan";
    EXPECT_NE(UpdateRequestProblem(SplitUpdateUrl("updates.test/v"), proxy), "");
    proxy.server = "proxy.lan";
    proxy.port = 0;
    EXPECT_NE(UpdateRequestProblem(SplitUpdateUrl("updates.test/v"), proxy), "");

    for (const char *never : {"www.cvremote.example", "EXAMPLE", "updates.invalid", "updates.invalid."}) {
        EXPECT_TRUE(UpdateHostCannotExist(never)) << never;
    }
    for (const char *maybe : {"updates.test", "example.com", "www.example.org", "127.0.0.1", "invalid.lan"}) {
        EXPECT_FALSE(UpdateHostCannotExist(maybe)) << maybe;
    }
}
