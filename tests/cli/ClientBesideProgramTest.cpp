#include "e2e/RadioRun.h"
#include "radio_link/RadioLink.h"
#include "radio_link/RadioState.h"
#include "remote/RemoteForm.h"
#include "remote/RemoteLayout.h"
#include "remote/RemoteWindow.h"

#include <QDir>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QSignalSpy>

// The window program and the command-line client at the same time, on one program folder and
// one radio: the client runs although the program holds the folder's single-copy lock, and
// between them the radio gets every key once, none lost, none twice.
class ClientBesideProgramTest : public QObject {
    Q_OBJECT

    static constexpr int Patience = 90000;

    static int runClient(QProcess &client, const QString &folder, const QStringList &arguments) {
        client.setProgram(QDir(qEnvironmentVariable("CV_PROGRAM_DIR")).filePath(QStringLiteral("cvremote-cli")));
        client.setArguments(QStringList{QStringLiteral("--program-folder"), folder} + arguments);
        QSignalSpy done(&client, &QProcess::finished);
        client.start();
        if (!done.wait(Patience)) {
            client.kill();
            client.waitForFinished();
            return -1;
        }
        return client.exitStatus() == QProcess::NormalExit ? client.exitCode() : -1;
    }

private Q_SLOTS:
    void keysFromBothReachTheRadioOnceEach() {
        RadioRun run;
        QVERIFY(run.begin());
        QTRY_VERIFY_WITH_TIMEOUT(run.program->link().view.TelnetData.contains(QStringLiteral("Menu state=")), Patience);
        QCOMPARE(run.sim.volume(), 20);

        // The client's keys go while the remote window's are clicked.
        QProcess client;
        client.setProgram(QDir(qEnvironmentVariable("CV_PROGRAM_DIR")).filePath(QStringLiteral("cvremote-cli")));
        // No --radio: the settings the program runs with name the radio.
        client.setArguments({QStringLiteral("--program-folder"), run.dir.path(), QStringLiteral("key"),
                             QStringLiteral("VOLp"), QStringLiteral("VOLp"), QStringLiteral("VOLp")});
        QSignalSpy done(&client, &QProcess::finished);
        client.start();

        QWidget *image = run.program->remote().form().RemoteImage();
        const std::vector<RemoteButton> &buttons = run.program->layout().RemoteButtons;
        const RemoteButton &down = buttons.at(size_t(FindButton(buttons, QStringLiteral("VOLm"))));
        const QPoint at(image->width() * (down.Left + down.Right) / 200,
                        image->height() * (down.Top + down.Bottom) / 200);
        QTest::mouseClick(image, Qt::LeftButton, {}, at);
        QTRY_VERIFY_WITH_TIMEOUT(run.logged({QStringLiteral("VOLm")}).size() == 1, Patience);
        QTest::mouseClick(image, Qt::LeftButton, {}, at);

        QVERIFY(done.wait(Patience));
        QCOMPARE(client.exitStatus(), QProcess::NormalExit);
        QVERIFY2(client.exitCode() == 0, client.readAllStandardError().constData());
        QTRY_COMPARE_WITH_TIMEOUT(run.logged({QStringLiteral("VOLm")}).size(), 2, Patience);
        // Above five the radio steps by five, whatever the order: 20 + 15 - 10.
        QTRY_COMPARE_WITH_TIMEOUT(run.sim.volume(), 25, Patience);
        QCOMPARE(run.logged({QStringLiteral("VOLp")}).size(), 3);
        QVERIFY(run.extra().isEmpty());

        // Both see the same radio.
        QProcess status;
        QCOMPARE(runClient(status, run.dir.path(), {QStringLiteral("status"), QStringLiteral("--json")}), 0);
        QCOMPARE(QJsonDocument::fromJson(status.readAllStandardOutput()).object()[QStringLiteral("volume")].toInt(),
                 25);
        QTRY_COMPARE_WITH_TIMEOUT(run.program->state().VolumeText, QStringLiteral("25"), Patience);
        QCOMPARE(run.logged({QStringLiteral("VOLp"), QStringLiteral("VOLm")}).size(), 5);
    }
};

QTEST_MAIN(ClientBesideProgramTest)
#include "ClientBesideProgramTest.moc"
