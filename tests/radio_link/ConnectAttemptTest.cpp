#include "radio_link/ConnectAttempt.h"

#include "platform/Platform.h"

#include <QStringList>

#include <gtest/gtest.h>

// Two sockets sharing one extra time, as the command link and the console monitor do.
TEST(ConnectAttempt, EndsOnTheSocketOrAtTheDeadlineAndAdaptsTheSharedExtra) {
    FakePlatform platform;
    ConnectExtraTime extra;
    FakeTcpSocket a;
    FakeTcpSocket b;
    ConnectAttempt first(platform, a, extra);
    ConnectAttempt second(platform, b, extra);
    QStringList results;
    for (ConnectAttempt *attempt : {&first, &second}) {
        QObject::connect(attempt, &ConnectAttempt::finished, [&](bool connected, const QString &result) {
            results << QString(connected ? "+" : "-") + result;
        });
    }

    // Nobody answers: the deadline ends it, the socket is closed, the next wait is longer.
    a.state = TcpSocket::sckError; // a failed socket is reset before the attempt
    EXPECT_TRUE(first.start("radio", 8899, 0.5f));
    EXPECT_EQ((std::tuple{a.closeCalls, a.localPort, a.host, a.port}),
              (std::tuple{1, quint16(0), QString("radio"), quint16(8899)}));
    EXPECT_FALSE(first.start("other", 1, 0.5f)); // one at a time: a second request joins the first
    platform.fakeClock.advance(499);
    EXPECT_TRUE(first.isActive());
    platform.fakeClock.advance(1);
    EXPECT_FALSE(first.isActive());
    EXPECT_EQ(a.state, TcpSocket::sckClosed);
    // Refused on the other socket: it ends at once, and its wait already counted the failure.
    second.start("radio", 8899, 0.5f);
    platform.fakeClock.advance(123);
    b.refuseConnection();
    // Connected: the extra shrinks again; a socket connected already succeeds at once.
    first.start("radio", 8899, 0.5f);
    platform.fakeClock.advance(20);
    a.acceptConnection();
    first.start("radio", 8899, 0.5f);
    EXPECT_EQ(a.connectCalls, 2);
    EXPECT_EQ(results, (QStringList{"-Fail in 0.5 sec [0.5]", "-Fail in 0.12 sec [0.6]", "+Open in 0.02 sec [0.7]",
                                    "+Open in 0 sec [0.6]"}));
    EXPECT_FLOAT_EQ(extra.seconds, 0.0f);
    // Past three seconds of extra waiting it starts again from nothing.
    extra.seconds = 2.95f;
    extra.failed();
    EXPECT_EQ(extra.seconds, 0.0f);
}
