#include "Catalogue.h"
#include "e2e/FilledFolder.h"
#include "keyboard/KeyboardGrid.h"
#include "RadioSimulator.h"

#include <QCryptographicHash>
#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

namespace {

// A radio that takes connections and never reads from them: what a client sends stays in the
// system's buffer, seen only by peeking. resetAll() closes them with that unread, which the
// system tells the client as a reset.
class UnreadingRadio final : public QTcpServer {
public:
    ~UnreadingRadio() override { resetAll(); }
    // What each connection holds so far, one after the other.
    QByteArray received() const {
        QByteArray all;
        for (const qintptr socket : m_sockets) {
            char bytes[256];
            const ssize_t n = ::recv(int(socket), bytes, sizeof bytes, MSG_PEEK | MSG_DONTWAIT);
            if (n > 0) {
                all.append(bytes, qsizetype(n)).append('|');
            }
        }
        return all;
    }
    void resetAll() {
        for (const qintptr socket : m_sockets) {
            ::close(int(socket));
        }
        m_sockets.clear();
    }

protected:
    void incomingConnection(qintptr socket) override { m_sockets << socket; }

private:
    QList<qintptr> m_sockets;
};

} // namespace

// The real cvremote-cli, as a script runs it, against the simulated radio on loopback. The
// simulator runs in this process: the test's event loop keeps answering while the client runs.
class ClientEndToEndTest : public QObject {
    Q_OBJECT

    static constexpr int Patience = 90000; // a whole macro on a busy machine, a sanitizer build

    struct Result {
        int code = -1; // -1: crashed or did not end
        QString out;
        QString err;
        qint64 ms = 0;
    };

    RadioSimulator *sim = nullptr;
    QTemporaryDir *dir = nullptr;

    static QString clientPath() {
        return QDir(qEnvironmentVariable("CV_PROGRAM_DIR")).filePath(QStringLiteral("cvremote-cli"));
    }
    QString logPath() const { return dir->filePath(QStringLiteral("radiosim.log")); }
    QString radio() const { return QStringLiteral("127.0.0.1:%1").arg(sim->commandPort()); }

    // Starts the client; the caller waits for it.
    std::unique_ptr<QProcess> launch(const QStringList &arguments) const {
        auto process = std::make_unique<QProcess>();
        process->setProgram(clientPath());
        // Always a program folder of the test's own: the settings of the build's folder may
        // name a real radio.
        process->setArguments(QStringList{QStringLiteral("--program-folder"), dir->path()} + arguments);
        process->start();
        return process;
    }
    Result finish(QProcess &process, QElapsedTimer clock, int patience = Patience) const {
        Result result;
        if (process.state() != QProcess::NotRunning) {
            QSignalSpy done(&process, &QProcess::finished);
            if (!done.wait(patience)) {
                process.kill();
                process.waitForFinished();
            }
        }
        result.ms = clock.elapsed();
        if (process.exitStatus() == QProcess::NormalExit) {
            result.code = process.exitCode();
        }
        result.out = QString::fromUtf8(process.readAllStandardOutput());
        result.err = QString::fromUtf8(process.readAllStandardError());
        return result;
    }
    Result run(const QStringList &arguments, int patience = Patience) const {
        QElapsedTimer clock;
        clock.start();
        auto process = launch(arguments);
        return finish(*process, clock, patience);
    }
    Result runOn(const QStringList &arguments) const { return run(QStringList{"--radio", radio()} + arguments); }

    // The commands the radio took, from its log file, oldest first.
    QStringList logged() const {
        QFile file(logPath());
        QStringList commands;
        if (!file.open(QIODevice::ReadOnly)) {
            return commands;
        }
        for (const QByteArray &line : file.readAll().split('\n')) {
            const QList<QByteArray> fields = line.split('\t');
            if (fields.size() >= 4 && fields[1].toInt() == sim->commandPort()) {
                commands << QString::fromLatin1(fields.mid(3).join('\t'));
            }
        }
        return commands;
    }
    static bool isQuery(const QString &command) {
        return QStringList{"MINFO", "VOLUME", "METAINFO", "LISTINFO", "STATE", "VERSION"}.contains(command);
    }
    // What the radio took besides the automatic poll's queries.
    QStringList loggedCommands() const {
        QStringList commands = logged();
        commands.removeIf(isQuery);
        return commands;
    }

    // Every file of the folder with a hash of its contents.
    static QStringList folderPrint(const QString &folder) {
        QStringList files;
        QDirIterator it(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString path = it.next();
            QFile file(path);
            file.open(QIODevice::ReadOnly);
            files << QDir(folder).relativeFilePath(path) + u' ' +
                         QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha1).toHex();
        }
        files.sort();
        return files;
    }

private Q_SLOTS:
    void init() {
        sim = new RadioSimulator;
        sim->setStatusStepMs(100);
        dir = new QTemporaryDir;
        QVERIFY(sim->start());
        QVERIFY(sim->setLogFile(logPath()));
        // Settings that name a port where nothing listens: a command that uses them instead of
        // --radio would fail.
        QVERIFY(FillProgramFolder(dir->path(), 1));
    }
    void cleanup() {
        delete sim;
        delete dir;
    }

    void keysReachTheRadioOnceEachInOrder() {
        const Result r = runOn({"key", "VOLp", "volp", "OK"});
        QCOMPARE(r.code, 0);
        QVERIFY2(r.err.isEmpty(), qPrintable(r.err));
        // Everything was answered before the client ended: the log is complete now.
        QCOMPARE(loggedCommands(), (QStringList{"VOLp", "VOLp", "OK"}));
        QCOMPARE(sim->volume(), 30);
        QVERIFY(sim->extraBytes().isEmpty());
        QCOMPARE(sim->openConnections(), 0);

        // A key the radio took but never answered fails the run, though the radio answers the
        // rest: it may or may not have acted on that key.
        connect(sim, &RadioSimulator::commandReceived, this, [this](int, const QString &command) {
            if (command == QLatin1String("OK")) {
                sim->setStall(true); // for this one connection
                QMetaObject::invokeMethod(
                    sim, [this] { sim->setStall(false); }, Qt::QueuedConnection);
            }
        });
        const Result unanswered = runOn({"key", "VOLp", "OK"});
        QCOMPARE(unanswered.code, 1);
        QVERIFY2(unanswered.err.contains(QStringLiteral("did not answer 1 of the 2 keys")), qPrintable(unanswered.err));
        QCOMPARE(loggedCommands(), (QStringList{"VOLp", "VOLp", "OK", "VOLp", "OK"}));
    }

    void sendPrintsTheReplyAndRefusalsFail() {
        Result r = runOn({"send", "MESSAGE", "Hello"});
        QCOMPARE(r.code, 0);
        QCOMPARE(r.out, QStringLiteral("OK\n"));
        QCOMPARE(sim->lastMessage(), QStringLiteral("Hello"));

        r = runOn({"send", "VERSION"});
        QCOMPARE(r.code, 0);
        QCOMPARE(r.out, QStringLiteral("VER=3.1.7\n"));

        r = runOn({"send", "DANCE"});
        QCOMPARE(r.code, 1);
        QCOMPARE(r.out, QStringLiteral("ERROR unknown command\n"));
        QVERIFY(r.err.contains(QStringLiteral("refused")));
        QCOMPARE(loggedCommands(), (QStringList{"MESSAGE Hello", "DANCE"}));
    }

    // Whatever bytes a radio sends, the client's output (UTF-8) holds no code a terminal acts on:
    // no C0 code besides LF and TAB, no DEL, no C1 code.
    static QString terminalCommandsIn(const QByteArray &out) {
        const QString text = QString::fromUtf8(out);
        if (text.toUtf8() != out) {
            return QStringLiteral("not UTF-8");
        }
        for (qsizetype i = 0; i < text.size(); ++i) {
            const char16_t u = text.at(i).unicode();
            if ((u < 0x20 && u != u'\n' && u != u'\t') || (u >= 0x7f && u < 0xa0)) {
                return QStringLiteral("U+%1 at %2").arg(int(u), 4, 16, QLatin1Char('0')).arg(i);
            }
        }
        return QString();
    }

    void aHostileRadioCannotCommandTheTerminal() {
        // A radio of the test's own: the title, a screen clear, a colour (8-bit CSI), a link,
        // a bell and a DEL in every answer, the version line included.
        const QByteArray hostile = "\x1b]0;owned\x07\x1b[2J\x9b"
                                   "31mred\x1b]8;;http://x/\x1b\\link\x1b]8;;\x1b\\\x7f"
                                   "tail";
        QTcpServer radio;
        QVERIFY(radio.listen(QHostAddress::LocalHost));
        connect(&radio, &QTcpServer::newConnection, &radio, [&radio, hostile] {
            while (QTcpSocket *peer = radio.nextPendingConnection()) {
                connect(peer, &QTcpSocket::readyRead, peer, [peer, hostile] {
                    const QByteArray command = peer->readAll().trimmed();
                    peer->write((command == "VERSION" ? "VER=" + hostile : hostile) + "\r\n");
                    peer->disconnectFromHost();
                });
                connect(peer, &QTcpSocket::disconnected, peer, &QObject::deleteLater);
            }
        });
        const QString address = QStringLiteral("127.0.0.1:%1").arg(radio.serverPort());
        const QString shown = QString::fromUtf8("␛]0;owned␇␛[2J␦31mred␛]8;;http://x/␛\\link␛]8;;␛\\␡tail");

        for (const QStringList &command : {QStringList{"send", "PING"}, QStringList{"status"}}) {
            auto process = launch(QStringList{"--radio", address} + command);
            QSignalSpy done(process.get(), &QProcess::finished);
            QVERIFY(done.wait(Patience));
            const QByteArray out = process->readAllStandardOutput();
            const QByteArray err = process->readAllStandardError();
            QVERIFY2(terminalCommandsIn(out).isEmpty(), qPrintable(command.join(' ') + ": " + terminalCommandsIn(out)));
            QVERIFY2(terminalCommandsIn(err).isEmpty(), qPrintable(command.join(' ') + ": " + terminalCommandsIn(err)));
            // Shown, not dropped: the reader sees what the radio sent.
            QVERIFY2(QString::fromUtf8(out).contains(shown), out.constData());
        }

        // JSON escapes what it must and stays lossless: the value reads back as sent.
        auto process = launch({"--radio", address, "status", "--json"});
        QSignalSpy done(process.get(), &QProcess::finished);
        QVERIFY(done.wait(Patience));
        const QByteArray out = process->readAllStandardOutput();
        QVERIFY2(terminalCommandsIn(out).isEmpty(), qPrintable(terminalCommandsIn(out)));
        const QJsonObject json = QJsonDocument::fromJson(out).object();
        QCOMPARE(json["version"].toString(), QString::fromLatin1(hostile).trimmed());
    }

    void statusMatchesTheRadio() {
        // Somewhere other than where the radio starts: a station playing, the volume changed.
        QCOMPARE(runOn({"key", "VOLm", "OK", "DOWN", "DOWN", "OK"}).code, 0);
        QTRY_COMPARE_WITH_TIMEOUT(sim->playerStatus(), QStringLiteral("playing"), Patience);

        const Result r = runOn({"status", "--json"});
        QCOMPARE(r.code, 0);
        QJsonParseError error;
        const QJsonObject json = QJsonDocument::fromJson(r.out.toUtf8(), &error).object();
        QVERIFY2(error.error == QJsonParseError::NoError, qPrintable(r.out));
        QCOMPARE(json["volume"].toInt(), sim->volume());
        QCOMPARE(json["screen"].toInt(), sim->screen());
        QCOMPARE(json["screenName"].toString(), QStringLiteral("Now Playing"));
        QCOMPARE(json["power"].toString(), QStringLiteral("on"));
        QCOMPARE(json["version"].toString(), sim->model().version());
        QCOMPARE(json["menuItem"].toInt(), sim->mainMenuItem());
        const QJsonObject playing = json["playing"].toObject();
        QCOMPARE(playing["status"].toString(), sim->playerStatus());
        const Station &station = Catalogue::stations().at(size_t(sim->model().currentStation()));
        QVERIFY2(playing["url"].toString().contains(station.address) ||
                     station.address.contains(playing["url"].toString()),
                 qPrintable(r.out));
        QVERIFY(json["answers"].toBool());

        // For a person: the same, as aligned lines.
        const Result text = runOn({"status"});
        QCOMPARE(text.code, 0);
        QVERIFY2(text.out.contains(QStringLiteral("\nVolume:    %1\n").arg(sim->volume())), qPrintable(text.out));
        QVERIFY2(text.out.contains(QStringLiteral("\nScreen:    5 Now Playing\n")), qPrintable(text.out));
        // Looking changes nothing on the radio.
        QCOMPARE(loggedCommands(), (QStringList{"VOLm", "OK", "DOWN", "DOWN", "OK"}));
    }

    void volumeGoesWhereTheSliderWould() {
        QCOMPARE(sim->volume(), 20);
        Result r = runOn({"volume", "35"});
        QCOMPARE(r.code, 0);
        QCOMPARE(r.out, QStringLiteral("35\n"));
        QCOMPARE(sim->volume(), 35);
        QCOMPARE(loggedCommands(), (QStringList{"VOLp", "VOLp", "VOLp"}));

        // Below five the radio steps by one; above, the target goes to the nearest step of five.
        r = runOn({"volume", "3"});
        QCOMPARE(r.code, 0);
        QCOMPARE(r.out, QStringLiteral("3\n"));
        r = runOn({"volume", "12"});
        QCOMPARE(r.code, 0);
        QCOMPARE(r.out, QStringLiteral("10\n"));
        QCOMPARE(sim->volume(), 10);
        r = runOn({"volume", "10"});
        QCOMPARE(r.code, 0);
        QCOMPARE(r.out, QStringLiteral("10\n"));

        // A message on the radio's screen takes the first key away: the radio stops a step
        // short, and the client says where rather than claim the target.
        QCOMPARE(runOn({"send", "MESSAGE", "Hello"}).code, 0);
        r = runOn({"volume", "20"});
        QCOMPARE(r.code, 1);
        QCOMPARE(r.out, QStringLiteral("15\n"));
        QVERIFY2(r.err.contains(QStringLiteral("stopped at 15 instead of 20")), qPrintable(r.err));
    }

    void aMacroRunsToItsEndAndEveryCommandGoesOnce() {
        const Result r = runOn({"macro", "--rx", "Play jazz"});
        QVERIFY2(r.code == 0, qPrintable(r.out.right(3000) + r.err));
        QVERIFY2(r.out.startsWith(QStringLiteral("MacroName: = Play jazz\n")), qPrintable(r.out.left(500)));
        // The end line, then only the link's trace of what was still on its way.
        const QString afterEnd = r.out.section(QStringLiteral("\nMACRO FINISHED\n"), 1);
        QVERIFY2(r.out.contains(QStringLiteral("\nMACRO FINISHED\n")), qPrintable(r.out.right(500)));
        for (const QString &line : afterEnd.split(u'\n', Qt::SkipEmptyParts)) {
            QVERIFY2(line.startsWith(u'\t'), qPrintable(line));
        }
        QVERIFY(r.out.contains(QStringLiteral("Command RIGHT _ok\n")));
        QCOMPARE(sim->screen(), int(Catalogue::NowPlaying));
        const int station = sim->model().currentStation();
        QVERIFY(station >= 0 && Catalogue::stations().at(size_t(station)).name.contains(QStringLiteral("Jazz")));

        // The trace names each command as it went out ("\t>"); the radio took exactly those
        // keys, each once, in that order.
        QStringList sent;
        for (const QString &line : r.out.split(u'\n')) {
            if (line.startsWith(QStringLiteral("\t>")) && !isQuery(line.mid(2).trimmed())) {
                sent << line.mid(2).trimmed();
            }
        }
        QVERIFY(sent.size() > 20);
        QCOMPARE(loggedCommands(), sent);
        QVERIFY(sim->extraBytes().isEmpty());
    }

    void aMacroThatGivesUpSaysSo() {
        QFile macros(dir->filePath(QStringLiteral("macros.txt")));
        QVERIFY(macros.open(QIODevice::Append));
        macros.write("\r\n[Never there]\r\n\t-HOME\r\n\t?menustate=99\r\nEND-OF-MACRO\r\n");
        macros.close();
        const Result r = runOn({"macro", "Never there"});
        QCOMPARE(r.code, 4);
        QVERIFY2(r.out.contains(QStringLiteral("MACRO FINISHED Fail")), qPrintable(r.out.right(1000)));
        QVERIFY2(r.err.contains(QStringLiteral("gave up")), qPrintable(r.err));
    }

    void ctrlCStopsAMacroCleanly() {
        QElapsedTimer clock;
        clock.start();
        auto process = launch({"--radio", radio(), "macro", "--rx", "Play jazz"});
        QTRY_VERIFY_WITH_TIMEOUT(process->peek(1 << 20).contains("Menu State 0 _ok"), Patience);
        process->terminate(); // SIGTERM, as Ctrl-C's SIGINT
        const Result r = finish(*process, clock);
        QCOMPARE(r.code, 130);
        QVERIFY2(r.out.contains(QStringLiteral("MACRO FINISHED\n")), qPrintable(r.out.right(1000)));
        QVERIFY(sim->screen() != int(Catalogue::NowPlaying));
        // What went out before the stop was answered; nothing went twice, nothing after the end.
        QStringList sent;
        for (const QString &line : r.out.split(u'\n')) {
            if (line.startsWith(QStringLiteral("\t>")) && !isQuery(line.mid(2).trimmed())) {
                sent << line.mid(2).trimmed();
            }
        }
        QCOMPARE(loggedCommands(), sent);
        QCOMPARE(sim->openConnections(), 0);
    }

    void typingOnTheSearchKeyboard() {
        // Not on the keyboard: nothing is typed.
        Result r = runOn({"type", "jazz"});
        QCOMPARE(r.code, 1);
        QVERIFY2(r.err.contains(QStringLiteral("search keyboard")), qPrintable(r.err));
        QVERIFY(loggedCommands().isEmpty());

        // Main-menu item 3 opens the keyboard; the text and "." (the search key) are typed.
        QCOMPARE(runOn({"key", "RIGHT", "RIGHT", "OK"}).code, 0);
        QCOMPARE(sim->screen(), int(Catalogue::SearchScreen));
        r = runOn({"type", "ja!zz."});
        QCOMPARE(r.code, 0);
        QVERIFY2(r.err.contains(QStringLiteral("\"!\"")), qPrintable(r.err)); // left out, and said so
        QCOMPARE(sim->screen(), int(Catalogue::SearchResults));
        QCOMPARE(sim->searchText().toLower(), QStringLiteral("jazz")); // the radio types capitals until "^"

        // A long search goes whole, each key once: the radio holds all 30 characters.
        QCOMPARE(runOn({"key", "HOME", "OK"}).code, 0);
        QCOMPARE(sim->screen(), int(Catalogue::SearchScreen));
        const int before = int(loggedCommands().size());
        const QString text = QStringLiteral("smooth jazz nights and more 42");
        QCOMPARE(text.size(), 30);
        r = runOn({"type", text});
        QCOMPARE(r.code, 0);
        QCOMPARE(sim->searchText().toLower(), text);
        QCOMPARE(loggedCommands().mid(before), TypingKeys(text));
    }

    void watchPrintsChangesUntilInterrupted() {
        QElapsedTimer clock;
        clock.start();
        auto watcher = launch({"--radio", radio(), "watch", "--json"});
        QTRY_VERIFY_WITH_TIMEOUT(watcher->canReadLine(), Patience);
        const QJsonObject first = QJsonDocument::fromJson(watcher->readLine()).object();
        QCOMPARE(first["volume"].toInt(), 20);
        QVERIFY(!first["time"].toString().isEmpty());

        QCOMPARE(runOn({"key", "VOLp"}).code, 0);
        QJsonObject seen;
        QTRY_VERIFY_WITH_TIMEOUT(
            [&] {
                while (watcher->canReadLine()) {
                    seen = QJsonDocument::fromJson(watcher->readLine()).object();
                }
                return seen["volume"].toInt() == 25;
            }(),
            Patience);
        watcher->terminate();
        const Result r = finish(*watcher, clock);
        QCOMPARE(r.code, 0);
        for (const QString &line : r.out.split(u'\n', Qt::SkipEmptyParts)) {
            QVERIFY2(QJsonDocument::fromJson(line.toUtf8()).isObject(), qPrintable(line));
        }
    }

    void anUnreachableRadioIsReportedWithinTheConnectTimeout() {
        // A port that was free a moment ago and now refuses.
        QTcpServer gone;
        QVERIFY(gone.listen(QHostAddress::LocalHost));
        const quint16 port = gone.serverPort();
        gone.close();
        // The connect time-out of the settings file is the one the client keeps to.
        QFile ini(dir->filePath(QStringLiteral("CVRemote.ini")));
        QVERIFY(ini.open(QIODevice::Append));
        ini.write("[Timeouts]\r\nConnect=0.5\r\n");
        ini.close();
        const qint64 limitMs = 500 + 1000 + 2000; // the time-out, a second, and the process's start on a busy machine
        for (const QStringList &command : {QStringList{"status"}, QStringList{"key", "OK"}}) {
            const Result r = run(QStringList{"--radio", QStringLiteral("127.0.0.1:%1").arg(port)} + command);
            QCOMPARE(r.code, 3);
            QVERIFY2(r.ms < limitMs, qPrintable(QString::number(r.ms)));
            QVERIFY2(r.err.contains(QStringLiteral("cannot connect")) && r.err.contains(QStringLiteral("--radio")),
                     qPrintable(r.err));
        }
        // A radio that refuses connections: the same.
        QVERIFY(sim->setRefuse(true));
        const Result r = runOn({"key", "OK"});
        QCOMPARE(r.code, 3);
        QVERIFY2(r.ms < limitMs, qPrintable(QString::number(r.ms)));
        QVERIFY(logged().isEmpty());
    }

    // The shared options may follow the command: named after it, the radio is the one asked,
    // exactly as when named before it (the settings name a port where nothing listens), and the
    // command's own words stay its own.
    void theRadioMayBeNamedAfterTheCommand() {
        for (const QStringList &command : {QStringList{"status"}, QStringList{"status", "--json"}}) {
            const Result before = run(QStringList{"--radio", radio()} + command);
            const Result after = run(command + QStringList{"--radio", radio()});
            QCOMPARE(before.code, 0);
            QCOMPARE(after.code, 0);
            QVERIFY2(after.err.isEmpty(), qPrintable(after.err));
            QVERIFY2(after.out.contains(radio()), qPrintable(after.out));
            QCOMPARE(after.out, before.out);
        }
        const Result key = run({"key", "VOLp", "--radio", radio()});
        QCOMPARE(key.code, 0);
        QVERIFY2(key.err.isEmpty(), qPrintable(key.err));
        QCOMPARE(loggedCommands(), QStringList{"VOLp"});
    }

    // Ctrl-C while a key is on its way to a radio that has not read it yet: the radio then
    // closes the connection with the key unread (a reset), which would otherwise send it again.
    // The key was cancelled: it never reaches the radio, not when the radio is back, not with
    // the next command.
    void aKeyCancelledByCtrlCIsNeverSentAgainAfterAReset() {
        // For now the radio's port is held by a radio that takes connections but reads nothing.
        const quint16 port = sim->commandPort();
        QVERIFY(sim->setRefuse(true));
        UnreadingRadio away;
        QVERIFY2(away.listen(QHostAddress::LocalHost, port), qPrintable(away.errorString()));
        QElapsedTimer clock;
        clock.start();
        auto process = launch({"--radio", radio(), "key", "VOLp"});
        QTRY_VERIFY_WITH_TIMEOUT(away.received().contains(QByteArray("VOLp")), Patience);
        QCOMPARE(::kill(pid_t(process->processId()), SIGINT), 0);
        // The signal is with the client before the reset: the radio comes back and closes the
        // connections it held with what they carried unread.
        away.close();
        QVERIFY(sim->setRefuse(false));
        away.resetAll();
        const Result r = finish(*process, clock);
        QCOMPARE(r.code, 130);
        QCOMPARE(runOn({"key", "OK"}).code, 0);
        QCOMPARE(loggedCommands(), QStringList{"OK"});
        QCOMPARE(sim->volume(), 20);
    }

    void usageErrorsSendNothing() {
        const QList<QStringList> wrong{
            {},
            {"dance"},
            {"key"},
            {"key", "VOLUMEUP"},
            {"volume", "101"},
            {"volume", "ten"},
            {"send"},
            {"send", "MESSAGE\nPOWER"},
            {"status", "now"},
            {"status", "--xml"},
            {"macro"},
            {"macro", "No such macro"},
            {"--radio", "127.0.0.1:99999", "status"},
            {"key", "OK", "--radio"},
        };
        for (const QStringList &arguments : wrong) {
            const Result r =
                run(arguments.contains("--radio") ? arguments : QStringList{"--radio", radio()} + arguments);
            QVERIFY2(r.code == 2,
                     qPrintable(arguments.join(u' ') + QStringLiteral(" gave ") + QString::number(r.code)));
            QVERIFY2(r.err.startsWith(QStringLiteral("cvremote-cli: ")) && r.err.contains(QStringLiteral("--help")),
                     qPrintable(r.err));
            QVERIFY(r.out.isEmpty());
        }
        QVERIFY(logged().isEmpty());

        Result r = run({"--help"});
        QCOMPARE(r.code, 0);
        for (const char *word : {"key KEY...", "status", "--radio HOST[:PORT]", "Exit status", "130"}) {
            QVERIFY2(r.out.contains(QLatin1String(word)), word);
        }
        r = run({"macro", "--help"});
        QCOMPARE(r.code, 0);
        QVERIFY(r.out.startsWith(QStringLiteral("Usage: cvremote-cli [OPTIONS] macro NAME")));
        QVERIFY(r.out.contains(QStringLiteral("--list")));
        QCOMPARE(run({"help", "status"}).out, run({"status", "-h"}).out);
    }

    void theProgramFolderIsOnlyRead() {
        // Settings that name the simulator: no --radio needed.
        QVERIFY(FillProgramFolder(dir->path(), sim->commandPort()));
        const QStringList before = folderPrint(dir->path());

        Result r = run({"macro", "--list"});
        QCOMPARE(r.code, 0);
        const QStringList names = r.out.split(u'\n', Qt::SkipEmptyParts);
        QVERIFY(names.contains(QStringLiteral("Play jazz")));
        QVERIFY(!names.contains(QStringLiteral("!Five down")));
        QVERIFY(run({"macro", "--list", "--all"}).out.contains(QStringLiteral("!Five down\n")));

        r = run({"key", "VOLp"});
        QCOMPARE(r.code, 0);
        QCOMPARE(loggedCommands(), QStringList{"VOLp"});
        QCOMPARE(run({"status"}).code, 0);
        // The radio's log is the only file that changed: no settings written, no lock taken.
        QStringList after = folderPrint(dir->path());
        after.removeIf([](const QString &line) { return line.startsWith(QStringLiteral("radiosim.log ")); });
        QStringList expected = before;
        expected.removeIf([](const QString &line) { return line.startsWith(QStringLiteral("radiosim.log ")); });
        QCOMPARE(after, expected);

        // A folder that is not there is not made.
        r = run({"--program-folder", dir->filePath(QStringLiteral("nowhere")), "status"});
        QCOMPARE(r.code, 1);
        QVERIFY(!QFileInfo::exists(dir->filePath(QStringLiteral("nowhere"))));
    }
};

QTEST_GUILESS_MAIN(ClientEndToEndTest)
#include "ClientEndToEndTest.moc"
