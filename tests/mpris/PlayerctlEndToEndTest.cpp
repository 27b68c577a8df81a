#include "Catalogue.h"
#include "e2e/RadioRun.h"
#include "info_panel/InfoForm.h"
#include "info_panel/InfoWindow.h"
#include "main_window/ConfigForm.h"
#include "mpris/MediaPlayer.h"
#include "mpris/PrivateBus.h"
#include "session/RadioSession.h"

#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusPendingCall>
#include <QDir>
#include <QEventLoop>
#include <QProcess>
#include <QSignalSpy>
#include <QSlider>
#include <QTimer>
#include <QUrl>

// The real program (in this process, windows and all) against the simulated radio, on a session
// bus of the test's own, driven by playerctl: a client of the media-player interfaces we did
// not write.
class PlayerctlEndToEndTest : public QObject {
    Q_OBJECT

    static constexpr int Patience = RadioRun::Patience;

    PrivateBus m_bus;

    struct Answer {
        bool ran = false;
        int exitCode = -1;
        QString out;
        QString err;
    };
    // playerctl on the test's bus, waited for in the event loop: the program answering it runs
    // on this thread.
    Answer playerctl(const QStringList &arguments) {
        QProcess process;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), m_bus.address);
        process.setProcessEnvironment(environment);
        QEventLoop loop;
        connect(&process, &QProcess::finished, &loop, &QEventLoop::quit);
        QTimer::singleShot(Patience, &loop, &QEventLoop::quit);
        process.start(QStringLiteral("playerctl"), QStringList{QStringLiteral("--player=cvremote")} + arguments);
        Answer answer;
        if (!process.waitForStarted(Patience)) {
            answer.err =
                QStringLiteral("playerctl did not start (%1); scripts/setup installs it").arg(process.errorString());
            return answer;
        }
        if (process.state() != QProcess::NotRunning) {
            loop.exec();
        }
        answer.ran = process.state() == QProcess::NotRunning && process.exitStatus() == QProcess::NormalExit;
        answer.exitCode = process.exitCode();
        answer.out = QString::fromUtf8(process.readAllStandardOutput()).trimmed();
        answer.err = QString::fromUtf8(process.readAllStandardError()).trimmed();
        return answer;
    }
    // What playerctl printed for a command that has to succeed; "" with a failed check otherwise.
    QString ask(const QStringList &arguments) {
        const Answer answer = playerctl(arguments);
        if (!answer.ran || answer.exitCode != 0) {
            qWarning("playerctl %s: exit %d, %s", qPrintable(arguments.join(u' ')), answer.exitCode,
                     qPrintable(answer.err));
            return QStringLiteral("<failed>");
        }
        return answer.out;
    }

private Q_SLOTS:
    void initTestCase() {
        QVERIFY2(!m_bus.address.isEmpty(), qPrintable(m_bus.error));
        // The program reaches the session bus the environment names: ours, never the user's.
        qputenv("DBUS_SESSION_BUS_ADDRESS", m_bus.address.toUtf8());
        const Answer version = playerctl({QStringLiteral("--version")});
        QVERIFY2(version.ran && version.exitCode == 0, qPrintable(version.err));
    }

    // Status, title, cover, volume, play-pause and stop through playerctl; each reaches the radio
    // as one key, as a click on the remote does, and the panel's slider follows the volume.
    void playerctlControlsTheRadio() {
        RadioRun run;
        run.sim.setStatusStepMs(100);
        QVERIFY(run.begin());
        QDBusConnection client = QDBusConnection::connectToBus(m_bus.address, QStringLiteral("e2e-client"));
        QTRY_VERIFY_WITH_TIMEOUT(client.interface()->isServiceRegistered(Mpris::ServiceName), Patience);
        // Nothing plays yet: the player says it can neither play nor pause, and playerctl leaves it be.
        QCOMPARE(ask({QStringLiteral("status")}), QStringLiteral("Stopped"));
        const Answer refused = playerctl({QStringLiteral("play-pause")});
        QVERIFY(refused.ran && refused.exitCode != 0);

        // The user opens the stations and plays the first one on the remote.
        const RadioStatus &status = run.program->session().status();
        QTRY_COMPARE_WITH_TIMEOUT(status.screen.value_or(-1), 0, Patience);
        run.program->session().pressKey(QStringLiteral("OK"));
        QTRY_COMPARE_WITH_TIMEOUT(status.screen.value_or(-1), 3, Patience);
        run.program->session().pressKey(QStringLiteral("OK"));
        QTRY_COMPARE_WITH_TIMEOUT(run.sim.screen(), int(Catalogue::NowPlaying), Patience);
        const Station station = Catalogue::stations().at(size_t(run.sim.model().currentStation()));
        QTRY_VERIFY2_WITH_TIMEOUT(status.playing.live && status.playing.status == u"playing",
                                  qPrintable(status.playing.status + QStringLiteral(" live: ") +
                                             QString::number(status.playing.live) + QStringLiteral(" screen ") +
                                             QString::number(status.screen.value_or(-1))),
                                  Patience);
        QCOMPARE(ask({QStringLiteral("status")}), QStringLiteral("Playing"));
        QCOMPARE(ask({QStringLiteral("metadata"), QStringLiteral("title")}), station.title);
        QCOMPARE(ask({QStringLiteral("metadata"), QStringLiteral("artist")}), station.artist);
        QCOMPARE(ask({QStringLiteral("metadata"), QStringLiteral("mpris:artUrl")}),
                 QUrl::fromLocalFile(QDir(run.dir.path()).filePath(QStringLiteral("coverart.png"))).toString());

        // Four quick sets from 20, faster than the radio reports its volume: each counts from
        // where the keys before it lead, and the radio ends at the last one. The slider moves
        // with the radio's answer.
        QSlider *slider = run.program->info().form().VolumeAdjuster();
        QTRY_COMPARE_WITH_TIMEOUT(slider->value(), 20, Patience);
        for (const char *volume : {"0.25", "0.30", "0.35", "0.40"}) {
            QCOMPARE(ask({QStringLiteral("volume"), QLatin1String(volume)}), QString());
        }
        QTRY_COMPARE_WITH_TIMEOUT(run.sim.volume(), 40, Patience);
        QTRY_VERIFY_WITH_TIMEOUT(slider->value() == 40 && slider->isEnabled(), Patience);
        QCOMPARE(ask({QStringLiteral("volume")}).toDouble(), 0.4);

        // Pause twice before the radio has said it paused: it pauses once.
        QCOMPARE(ask({QStringLiteral("pause")}), QString());
        QCOMPARE(ask({QStringLiteral("pause")}), QString());
        QTRY_VERIFY_WITH_TIMEOUT(run.sim.model().status() == RadioModel::Status::Paused, Patience);
        QTRY_VERIFY_WITH_TIMEOUT(status.playing.status == u"paused", Patience);
        QCOMPARE(ask({QStringLiteral("status")}), QStringLiteral("Paused"));

        QCOMPARE(ask({QStringLiteral("stop")}), QString());
        QTRY_VERIFY_WITH_TIMEOUT(run.sim.model().status() == RadioModel::Status::Stopped, Patience);
        QTRY_VERIFY_WITH_TIMEOUT(!status.playing.live, Patience); // back on the station list
        QCOMPARE(ask({QStringLiteral("status")}), QStringLiteral("Stopped"));

        const QStringList keys = QStringLiteral("PAUSE,STOP,VOLp,VOLm,RECORD").split(u',');
        QCOMPARE(run.logged(keys), QStringLiteral("VOLp,VOLp,VOLp,VOLp,PAUSE,STOP").split(u','));
        QVERIFY2(run.extra().isEmpty(), qPrintable(run.extra().join(QLatin1Char(';'))));

        // Raise shows the main window; Quit closes the program as its main window's close does.
        run.program->mainWindow().hide();
        QDBusPendingCall raise = client.asyncCall(QDBusMessage::createMethodCall(
            Mpris::ServiceName, Mpris::ObjectPath, Mpris::RootInterface, QStringLiteral("Raise")));
        QTRY_VERIFY_WITH_TIMEOUT(raise.isFinished() && run.program->mainWindow().isVisible(), Patience);
        QSignalSpy ended(run.program.get(), &Program::ended);
        QDBusPendingCall quit = client.asyncCall(QDBusMessage::createMethodCall(
            Mpris::ServiceName, Mpris::ObjectPath, Mpris::RootInterface, QStringLiteral("Quit")));
        QTRY_COMPARE_WITH_TIMEOUT(ended.size(), 1, Patience);
        QVERIFY(quit.isFinished() && !quit.isError());
        QVERIFY(!run.program->linkRunning());
        QTRY_VERIFY_WITH_TIMEOUT(!client.interface()->isServiceRegistered(Mpris::ServiceName), Patience);
        QDBusConnection::disconnectFromBus(client.name());
    }
};

QTEST_MAIN(PlayerctlEndToEndTest)
#include "PlayerctlEndToEndTest.moc"
