#pragma once

#include "finder/RadioFinder.h"

#include <QObject>
#include <QString>

#include <functional>
#include <memory>

class Platform;
class TcpSocket;
class Timer;

// What the first-run dialog does, without its widgets: the radio's address and port, the
// console's address (the radio's own host unless the user names another) and port, a search
// for radios to pick from, a test of the address typed, and the check before the values are
// taken.
//
// The search looks in the networks the source gives: the machine's private networks in the
// program, loopback networks in tests. The test asks the address typed VERSION once, on a
// connection of its own, and says what came back or why nothing did; it never goes through the
// radio link, so it sends nothing to the radio the link would have to account for.
class FirstContact : public QObject {
    Q_OBJECT
public:
    using NetworkSource = std::function<QList<Ipv4Network>()>;

    struct Choice {
        QString radioHost;
        QString radioPort;
        QString consoleHost;
        QString consolePort;
        bool consoleFollowsRadio = true; // the console is on the radio's host

        // The console's host as it will be used.
        QString consoleHostUsed() const { return consoleFollowsRadio ? radioHost : consoleHost; }
    };

    // The test's patience: the connection, then the answer.
    struct TestLimits {
        int connectMs = 2000;
        int answerMs = 2500;
    };

    FirstContact(Platform &platform, NetworkSource networks, QObject *parent = nullptr);
    ~FirstContact() override;

    // The values to start from (the settings'); stops a search or a test under way.
    void load(const Choice &choice);
    const Choice &choice() const { return m_choice; }
    void setRadioHost(const QString &text);
    void setRadioPort(const QString &text);
    void setConsoleHost(const QString &text);
    void setConsolePort(const QString &text);
    void setConsoleFollowsRadio(bool follows);

    // Searches the source's networks on the port typed (8080 when it is no port). False, with
    // the reason in findText(), when there is nothing to search.
    bool find();
    bool finding() const { return m_finder.isRunning(); }
    // The radios found, by address.
    const QList<FoundRadio> &found() const { return m_found; }
    // "Looking in 192.168.1.0/24 ...", "2 radios found: pick one", or why none was.
    const QString &findText() const { return m_findText; }
    // Takes the address and port of a radio found.
    void pick(int index);

    void setTestLimits(const TestLimits &limits) { m_testLimits = limits; }
    // Asks the radio's address typed for its version, once; a test under way is ended first.
    void test();
    bool testing() const { return m_testing; }
    bool testPassed() const { return m_testPassed; }
    // "Testing 127.0.0.2:8080 ...", "The radio at ... answers: version 3.1.7", or why not.
    const QString &testText() const { return m_testText; }

    // What is wrong with the values, naming the field; "" when they can be taken.
    QString problem() const;
    // Emits applied() with the values when problem() is "".
    bool apply();

    // Ends a search or a test under way (the dialog closes).
    void stop();

Q_SIGNALS:
    // A value, the search or the test changed: the dialog shows it again.
    void changed();
    void applied(const FirstContact::Choice &choice);

private:
    void searchFinished();
    void testConnected();
    void testData();
    void testEnded(const QString &text, bool passed);
    QString radioAddressText() const;

    Platform &m_platform;
    NetworkSource m_networks;
    RadioFinder m_finder;
    Choice m_choice;
    QList<FoundRadio> m_found;
    QString m_findText;

    TestLimits m_testLimits;
    std::unique_ptr<TcpSocket> m_testSocket;
    std::unique_ptr<Timer> m_testDeadline;
    QByteArray m_testAnswer;
    QString m_testedAddress;
    bool m_testing = false;
    bool m_testConnected = false;
    bool m_testPassed = false;
    QString m_testText;
};
