#include "app/Program.h"
#include "app/WireRemote.h"
#include "e2e/ProgramFolder.h"
#include "main_window/ConfigForm.h"
#include "platform/Platform.h"
#include "radio_link/RadioLink.h"
#include "RadioSimulator.h"
#include "remote/RemoteControl.h"
#include "remote/RemoteForm.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

// The real program with the default remote layout, against the simulated radio over loopback.
class RemoteEndToEndTest : public QObject {
    Q_OBJECT

    static constexpr int Patience = 20000;

    QtPlatform m_platform;
    std::unique_ptr<RadioSimulator> m_sim;
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<Program> m_program;

    RemoteForm &remote() { return m_program->remote().window(); }

    QPoint middleOf(const QString &command) {
        const RemoteLayout &layout = m_program->layout();
        const RemoteButton &b = layout.RemoteButtons.at(size_t(FindButton(layout.RemoteButtons, command)));
        const QSize size = remote().RemoteImage()->size();
        return QPoint(size.width() * (b.Left + b.Right) / 200, size.height() * (b.Top + b.Bottom) / 200);
    }

    QString terminal() const { return m_program->mainWindow().TelnetData()->toPlainText(); }

private Q_SLOTS:
    void init() {
        m_program.reset();
        m_sim = std::make_unique<RadioSimulator>();
        QVERIFY(m_sim->start());
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(FillProgramFolder(m_dir->path(), m_sim->commandPort()));
        m_program = QuietProgram(m_platform, m_dir->path());
        QVERIFY(m_program->start());
        QVERIFY(remote().isVisible());
        QTRY_VERIFY_WITH_TIMEOUT(terminal().contains(QStringLiteral("Menu state=")), Patience);
    }

    void cleanup() {
        m_program.reset();
        m_sim.reset();
    }

    void clickingVolumeUpRaisesTheRadiosVolume() {
        const int before = m_sim->volume();
        QTest::mouseClick(remote().RemoteImage(), Qt::LeftButton, {}, middleOf(QStringLiteral("VOLp")));
        QTRY_COMPARE_WITH_TIMEOUT(m_sim->volume(), before + 5, Patience);
        QVERIFY(m_sim->commandTexts().contains(QStringLiteral("VOLp")));
        QCOMPARE(remote().statusPanel(2)->text(), QStringLiteral("rC= VOLp"));
    }

    void aClickBesideTheButtonsConnects() {
        RadioConnection &link = m_program->link().connection;
        QCOMPARE(link.RadioPort(0).State(), TcpSocket::sckClosed);
        const int commands = int(m_sim->commandTexts().size());
        QTest::mouseClick(remote().RemoteImage(), Qt::LeftButton, {}, QPoint(3, 3));
        QTRY_COMPARE_WITH_TIMEOUT(link.RadioPort(0).State(), TcpSocket::sckConnected, Patience);
        QCOMPARE(remote().statusPanel(2)->text(), QStringLiteral("rC= "));
        QVERIFY(m_sim->commandTexts().mid(commands).filter(QStringLiteral("VOL")).isEmpty());
    }

    void aMeasuredRectangleIsSetSavedAndReloaded() {
        ConfigForm &form = m_program->mainWindow();
        CommandList &commands = m_program->commands();
        // The list shows the entry with its mark; the layout holds the command without it.
        commands.select(commands.indexOf(QStringLiteral("MUTE[]")));
        // Shift-clicks: choose the first box, then top, bottom, left and right.
        const QSize size = remote().RemoteImage()->size();
        const auto at = [&](int yp, int xp) {
            return QPoint((size.width() * xp + 99) / 100, (size.height() * yp + 99) / 100);
        };
        for (const QPoint p : {at(1, 1), at(40, 10), at(44, 10), at(10, 20), at(10, 30)}) {
            QTest::mouseClick(remote().RemoteImage(), Qt::LeftButton, Qt::ShiftModifier, p);
        }
        QCOMPARE(form.ButtonLocations(4)->text(), QStringLiteral("40, 44, 20, 30, "));
        form.SetButton()->click();
        form.UpdateButtons()->click();
        QVERIFY(m_program->layout().RemoteButtons.at(
                    size_t(FindButton(m_program->layout().RemoteButtons, QStringLiteral("MUTE")))) ==
                (RemoteButton{40, 44, 20, 30, QStringLiteral("MUTE")}));
        // Hidden by hand, Reload reads the file again and shows the window.
        QVERIFY(!remote().close());
        QVERIFY(!remote().isVisible());
        m_program->remote().editor.ButtonLocations.fill(QString());
        int redraws = 0;
        m_program->displayRedraw = [&redraws] { ++redraws; };
        form.ReloadButton()->click();
        QVERIFY(remote().isVisible());
        QCOMPARE(redraws, 1);
        QCOMPARE(form.ButtonLocations(4)->text(), QStringLiteral("40, 44, 20, 30, "));
        QTest::mouseClick(remote().RemoteImage(), Qt::LeftButton, {}, at(42, 25));
        QTRY_VERIFY_WITH_TIMEOUT(m_sim->commandTexts().contains(QStringLiteral("MUTE")), Patience);
    }
};

QTEST_MAIN(RemoteEndToEndTest)
#include "RemoteEndToEndTest.moc"
