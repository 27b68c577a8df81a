#include "e2e/RadioRun.h"
#include "main_window/ConfigForm.h"
#include "radio_link/RadioLink.h"
#include "remote/RemoteControl.h"
#include "remote/RemoteForm.h"
#include "remote/RemoteWindow.h"
#include "support/ChildWidget.h"
#include "support/ScaleOfTheRun.h"

#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

// The real program with the default remote layout, against the simulated radio.
class RemoteEndToEndTest : public QObject {
    Q_OBJECT

    static constexpr int Patience = RadioRun::Patience;

private Q_SLOTS:
    // A click beside the buttons only connects; one on Volume Up raises the radio's volume; a
    // rectangle measured by shift-clicks is set, saved, reloaded and clicked. The radio gets
    // each pressed key once, in order, and nothing else of the remote's.
    void clicksReachTheRadioAndAMeasuredRectangleIsKept() {
        RadioRun run;
        QVERIFY(run.begin());
        RemoteForm &remote = run.program->remote().form();
        QWidget *image = remote.RemoteImage();
        QVERIFY(remote.isVisible());
        QCOMPARE(image->devicePixelRatioF(), ScaleOfTheRun());
        QTRY_VERIFY_WITH_TIMEOUT(ChildWidget<QPlainTextEdit>(run.program->mainWindow(), QStringLiteral("TelnetData"))
                                     ->toPlainText()
                                     .contains(QStringLiteral("Menu state=")),
                                 Patience);
        const std::vector<RemoteButton> &buttons = run.program->layout().RemoteButtons;
        QStringList keys;
        for (const RemoteButton &button : buttons) {
            keys << button.Function;
        }

        RadioConnection &link = run.program->link().connection;
        QCOMPARE(link.RadioPort(0).State(), TcpSocket::sckClosed);
        QTest::mouseClick(image, Qt::LeftButton, {}, QPoint(3, 3));
        QTRY_COMPARE_WITH_TIMEOUT(link.RadioPort(0).State(), TcpSocket::sckConnected, Patience);
        QCOMPARE(remote.statusPanel(2)->text(), QStringLiteral("rC= "));

        const int before = run.sim.volume();
        const RemoteButton &up = buttons.at(size_t(FindButton(buttons, QStringLiteral("VOLp"))));
        QTest::mouseClick(
            image, Qt::LeftButton, {},
            QPoint(image->width() * (up.Left + up.Right) / 200, image->height() * (up.Top + up.Bottom) / 200));
        QTRY_COMPARE_WITH_TIMEOUT(run.sim.volume(), before + 5, Patience);
        QCOMPARE(remote.statusPanel(2)->text(), QStringLiteral("rC= VOLp"));

        // The list shows the entry with its mark; the layout holds the command without it.
        CommandList &commands = run.program->commands();
        commands.select(commands.indexOf(QStringLiteral("MUTE[]")));
        // Shift-clicks: choose the first box, then top, bottom, left and right.
        const auto at = [image](int yp, int xp) {
            return QPoint((image->width() * xp + 99) / 100, (image->height() * yp + 99) / 100);
        };
        for (const QPoint p : {at(1, 1), at(40, 10), at(44, 10), at(10, 20), at(10, 30)}) {
            QTest::mouseClick(image, Qt::LeftButton, Qt::ShiftModifier, p);
        }
        ConfigForm &form = run.program->mainWindow();
        QCOMPARE(ChildWidget<QLineEdit>(form, QStringLiteral("ButtonLocations_4"))->text(),
                 QStringLiteral("40, 44, 20, 30, "));
        ChildWidget<QPushButton>(form, QStringLiteral("SetButton"))->click();
        ChildWidget<QPushButton>(form, QStringLiteral("UpdateButtons"))->click();
        QVERIFY(buttons.at(size_t(FindButton(buttons, QStringLiteral("MUTE")))) ==
                (RemoteButton{40, 44, 20, 30, QStringLiteral("MUTE")}));
        // Hidden by hand, Reload reads the file again and shows the window.
        QVERIFY(!remote.close());
        QVERIFY(!remote.isVisible());
        run.program->remote().editor().ButtonLocations.fill(QString());
        int redraws = 0;
        QObject::connect(run.program.get(), &Program::skinReloaded, this, [&redraws] { ++redraws; });
        ChildWidget<QPushButton>(form, QStringLiteral("ReloadButton"))->click();
        QVERIFY(remote.isVisible());
        QCOMPARE(redraws, 1);
        QCOMPARE(ChildWidget<QLineEdit>(form, QStringLiteral("ButtonLocations_4"))->text(),
                 QStringLiteral("40, 44, 20, 30, "));
        QTest::mouseClick(image, Qt::LeftButton, {}, at(42, 25));
        QTRY_VERIFY_WITH_TIMEOUT(run.sim.commandTexts().contains(QStringLiteral("MUTE")), Patience);
        QCOMPARE(run.deliveryFault(keys, {QStringLiteral("VOLp"), QStringLiteral("MUTE")}), QString());
    }

    // A double click as Qt delivers it (press, release, double click, release) presses MUTE and
    // POWER once each, and VOLp twice. Keys clicked while the radio is away go nowhere: the
    // terminal says they were not sent, and the radio never gets them when it is back.
    void doubleClicksAndKeysDuringAnOutage() {
        RadioRun run;
        QVERIFY(run.begin());
        RemoteForm &remote = run.program->remote().form();
        QWidget *image = remote.RemoteImage();
        const std::vector<RemoteButton> &buttons = run.program->layout().RemoteButtons;
        const auto middleOf = [&](const char *command) {
            const RemoteButton &b = buttons.at(size_t(FindButton(buttons, QLatin1String(command))));
            return QPoint(image->width() * (b.Left + b.Right) / 200, image->height() * (b.Top + b.Bottom) / 200);
        };
        const auto doubleClick = [&](const char *command) {
            QTest::mouseClick(image, Qt::LeftButton, {}, middleOf(command));
            QTest::mouseDClick(image, Qt::LeftButton, {}, middleOf(command));
            QTest::mouseRelease(image, Qt::LeftButton, {}, middleOf(command));
        };
        QPlainTextEdit *terminal = ChildWidget<QPlainTextEdit>(run.program->mainWindow(), QStringLiteral("TelnetData"));
        QTRY_VERIFY_WITH_TIMEOUT(terminal->toPlainText().contains(QStringLiteral("Menu state=")), Patience);
        const QStringList keys = QStringLiteral("MUTE,POWER,VOLp").split(u',');
        doubleClick("VOLp");
        QTRY_COMPARE_WITH_TIMEOUT(run.logged(keys).size(), 2, Patience);
        doubleClick("MUTE");
        QTRY_VERIFY_WITH_TIMEOUT(run.sim.model().muted(), Patience);

        QVERIFY(run.sim.setRefuse(true));
        for (int i = 0; i < 10; ++i) {
            QTest::mouseClick(image, Qt::LeftButton, {}, middleOf("VOLp"));
        }
        QTRY_VERIFY_WITH_TIMEOUT(terminal->toPlainText().contains(QStringLiteral("[not sent: VOLp")), Patience);
        QVERIFY(run.program->link().telnet.toGo().isEmpty());
        QVERIFY(run.sim.setRefuse(false));
        doubleClick("POWER");
        QTRY_VERIFY_WITH_TIMEOUT(!run.sim.model().isOn(), Patience);
        QTRY_VERIFY_WITH_TIMEOUT(run.program->link().telnet.toGo().isEmpty(), Patience);
        QCOMPARE(run.deliveryFault(keys, QStringLiteral("VOLp,VOLp,MUTE,POWER").split(u',')), QString());
    }
};

QTEST_MAIN(RemoteEndToEndTest)
#include "RemoteEndToEndTest.moc"
