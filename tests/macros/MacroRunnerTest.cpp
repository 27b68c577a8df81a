#include "RunnerHarness.h"

#include <QRegularExpression>

namespace {

// Milliseconds at which the radio took each of these key commands on the command channel.
QList<qint64> timesOf(const RunnerHarness &h, const QStringList &commands) {
    QList<qint64> times;
    for (const LinkHarness::Sent &s : h.sent) {
        if (s.channel == 0 && commands.contains(s.command)) {
            times << s.at;
        }
    }
    return times;
}

} // namespace

TEST(MacroRunner, CommandStepsGoOutOneAfterAnotherEachAfterItsAcknowledgement) {
    RunnerHarness h("[Three]|-UP|-DOWN|-LEFT");
    h.runner.IncludeTheRx = true;
    h.start("Three");
    ASSERT_TRUE(h.runToEnd());
    EXPECT_EQ(h.keys(), (QStringList{"UP", "DOWN", "LEFT"}));
    // Each command leaves after the radio acknowledged the one before and the 200 ms gap.
    const QList<qint64> at = timesOf(h, {"UP", "DOWN", "LEFT"});
    EXPECT_GE(at[1] - at[0], 200);
    EXPECT_GE(at[2] - at[1], 200);
    EXPECT_LT(at[2] - at[0], 1000);
    // The radio's traffic is traced between the steps; the run ends with the finish line.
    EXPECT_TRUE(h.steps().startsWith("MacroName: = Three Command _ok >UP <OK Command _ok >DOWN <OK Command _ok"))
        << h.steps().toStdString();
    EXPECT_TRUE(h.trace().endsWith("MACRO FINISHED\r\n")) << h.trace().right(300).toStdString();
    EXPECT_EQ(h.trace().count("_ok"), 3);
    EXPECT_TRUE(h.idle());
    // A reply far slower than the step time-out does not stop the run: the step counts as
    // answered and the next command queues behind it.
    RunnerHarness slow("[Three]|-UP|-DOWN|-LEFT");
    slow.replyDelay = 1400;
    slow.start("Three");
    ASSERT_TRUE(slow.runToEnd());
    slow.run(3000);
    EXPECT_EQ(slow.keys(), (QStringList{"UP", "DOWN", "LEFT"}));
    EXPECT_EQ(slow.trace().count("Command _ok"), 3);
    // A tick that comes late counts the time it was late: the step time-out is time, not a
    // number of ticks, however busy the machine.
    RunnerHarness mute("[Two]|-UP|-DOWN");
    mute.answer = [](const QString &) { return std::optional<QString>(); };
    mute.start("Two");
    mute.run(100);
    ASSERT_TRUE(mute.state.awaits.AwaitOk);
    mute.platform.fakeClock.setNow(mute.platform.fakeClock.nowMs() + 950);
    mute.runner.MacroTimer_Timer();
    EXPECT_EQ(mute.trace().count("Command _ok"), 2);
}

// A step counts as answered only once its command has gone: while the radio cannot be reached
// the run waits on its first command, and when the link gives the radio up the run stops, says
// why, and its commands are not sent later.
TEST(MacroRunner, AStepWaitsForItsCommandToGoAndAnUnreachableRadioStopsTheRun) {
    RunnerHarness h("[Three]|-UP|-DOWN|-LEFT");
    h.accept = false;
    h.start("Three");
    h.run(3000);
    EXPECT_EQ(h.trace().count("Command _ok"), 1) << h.steps().toStdString();
    EXPECT_EQ(h.link.telnet.pending(0), (QStringList{"UP", "QXDELAY"}));
    ASSERT_TRUE(h.runToEnd(20000));
    EXPECT_TRUE(h.trace().endsWith("MACRO STOPPED: radio not answering\r\n")) << h.trace().right(300).toStdString();
    EXPECT_FALSE(h.trace().contains("MACRO FINISHED"));
    EXPECT_TRUE(h.link.view.TelnetData.contains("[not sent: UP;")) << h.link.view.TelnetData.toStdString();
    h.accept = true;
    h.run(5000);
    EXPECT_TRUE(h.keys().isEmpty());
    // Back, the radio runs the macro as ever.
    h.start("Three");
    ASSERT_TRUE(h.runToEnd());
    EXPECT_EQ(h.keys(), (QStringList{"UP", "DOWN", "LEFT"}));
    EXPECT_TRUE(h.trace().endsWith("MACRO FINISHED\r\n"));

    // Away for less than it takes to count as offline, the radio misses a key all the same: the
    // run stops there and sends nothing more, rather than go on without it and end "finished".
    RunnerHarness brief("[Three]|-UP|-DOWN|-LEFT");
    brief.timeouts.KeyTimeLimit = 1;
    brief.accept = false;
    brief.start("Three");
    brief.run(2000);
    brief.accept = true;
    ASSERT_TRUE(brief.runToEnd(20000));
    EXPECT_FALSE(brief.link.view.RadioOffline);
    EXPECT_TRUE(brief.trace().endsWith("MACRO STOPPED: radio not answering\r\n"))
        << brief.trace().right(300).toStdString();
    EXPECT_TRUE(brief.keys().isEmpty()) << brief.keys().join(u' ').toStdString();
}

// Each macro's trace (line ends as "/") and the keys the radio took.
TEST(MacroRunner, PausesAndTestStepsAsTheTraceShowsThem) {
    const struct {
        const char *macro;
        const char *trace;
        QStringList keys;
    } cases[] = {
        // Out-of-range pauses run as one step interval.
        {"[P]|D 0|D 40000|D -5|-UP|D 300|-DOWN",
         "^MacroName: = P/Delayset 5 _ok/PreSet Delay 5 _ok/PreSet Delay 5 _ok/Command _ok/PreSet Delay 300 _ok/"
         "Command _ok/MACRO FINISHED/$",
         {"UP", "DOWN"}},
        // Known true before the step is reached: done without being run. menuitem=2 only holds
        // once RIGHT has been acknowledged and a fresh menu reply decoded. menustate=3 never
        // comes: the step waits for fresh values with a growing interval, then the run ends.
        {"[L]|-HOME|?menustate=0|?!menustate=21|-RIGHT|?menuitem=2|?menustate=3",
         "^MacroName: = L/Command _ok/Prefetch menustate=0 _ok/Prefetch !menustate=21 _ok/Command _ok/"
         "Menu Item 2 _ok/Wait 7, Wait 8, Wait 9, Wait 11, Wait 14, .*MACRO FINISHED Failed Last/$",
         {"HOME", "RIGHT"}},
        // The back-off grows by half from a quarter of the last interval.
        {"[B]|D 200|?menustate=99|-OK",
         "^MacroName: = B/Delayset 200 _ok/Wait 275, Wait 312, Wait 368, Wait 452, Wait 578,",
         {}},
        // A last step that fails ends the run without a restart.
        {"[F]|-HOME|?menustate=99", "^MacroName: = F/Command _ok/(Wait 5, ){5,}MACRO FINISHED Failed Last/$", {"HOME"}},
    };
    for (const auto &c : cases) {
        RunnerHarness h(c.macro);
        h.start(QString(c.macro).mid(1, 1));
        ASSERT_TRUE(h.runToEnd()) << c.macro;
        const QString trace = QString(h.trace()).replace("\r\n", "/");
        EXPECT_TRUE(trace.contains(QRegularExpression(c.trace))) << trace.toStdString();
        EXPECT_EQ(h.keys(), c.keys) << c.macro;
        EXPECT_TRUE(h.idle()) << c.macro;
        if (c.macro[1] == 'P') {
            // The table keeps the pause it ran. The pause after UP runs while UP is acknowledged:
            // DOWN goes about 300 ms after UP (give or take a queue tick), not after the
            // acknowledgement, the 200 ms gap and the pause.
            const auto &steps = h.table.Macros[0].Steps;
            EXPECT_EQ((QList<int>{steps[0].Delayx, steps[1].Delayx, steps[2].Delayx}), (QList<int>{5, 5, 5}));
            const QList<qint64> at = timesOf(h, {"UP", "DOWN"});
            EXPECT_GE(at[1] - at[0], 300 - 75);
            EXPECT_LT(at[1] - at[0], 300 + 75);
        }
    }
}

TEST(MacroRunner, AFailingStepBacksUpToItsTargetWithExitOrRestartsFiveTimes) {
    RunnerHarness h("[B]|-HOME|-UP|-DOWN|{BACKUP=1}|?menustate=99|-OK|[R]|-HOME|?menustate=99|-OK|[Other]|-UP");
    h.start("B");
    h.run(20000);
    // Six failed checks, then EXIT and back to step 2; the fail count stays, so the next
    // failure backs up again at once.
    EXPECT_EQ(h.table.Macros[0].Steps[3].BackupTo, "2");
    EXPECT_EQ(h.keys().mid(0, 6), (QStringList{"HOME", "UP", "DOWN", "EXIT", "DOWN", "EXIT"}));
    EXPECT_TRUE(h.trace().contains("BACKUP TO 2\r\n================================\r\n")) << h.trace().toStdString();
    EXPECT_FALSE(h.trace().contains("RESTARTED"));
    h.runner.Stop();
    h.run(100);
    EXPECT_TRUE(h.idle());

    // Without a target the run restarts five times, then is abandoned.
    h.sent.clear();
    h.link.settings.UpdateDisplayLabels = false;
    h.start("R");
    ASSERT_TRUE(h.runToEnd(300000));
    EXPECT_EQ(h.keys().count("HOME"), 6);
    EXPECT_EQ(h.trace().count("Bailed"), 5); // the finish drops the trace of the first run
    EXPECT_TRUE(h.trace().endsWith("Bailed\r\nMACRO FINISHED Fail overload\r\n")) << h.trace().toStdString();
    EXPECT_EQ(h.runner.MacroLabelToolTip, "R, Step: 1, Fc: 5 (1)");
    // Abandoned means idle: the user's setting is back and the next start runs normally.
    EXPECT_TRUE(h.idle());
    EXPECT_FALSE(h.link.settings.UpdateDisplayLabels);
    EXPECT_EQ(h.table.Macros[1].RestartCount, 0);
    h.start("Other");
    ASSERT_TRUE(h.runToEnd());
    EXPECT_EQ(h.keys().last(), "UP");
    EXPECT_TRUE(h.trace().endsWith("MACRO FINISHED\r\n"));
}

TEST(MacroRunner, ListSearchOpensTheRowOrGivesUpOnNoResults) {
    // Rows as the decoder fills the list: head, cursor position, entries.
    RunnerHarness h("[S]|?L=\"smooth jazz\"|-X|[T]|?L=\"jazz.fm\"|-X|[N]|-HOME|{BACKUP=0}|?L=\"zzz\"|-X|"
                    "[NoTarget]|-HOME|?L=\"zzz\"|-X",
                    0);
    const auto list = [&h](const QStringList &rows) {
        h.link.view.InfoList = QStringList{"List - Updated now", "pos=1 (1)"} + rows;
        h.state.SelectedListItem = "1";
        h.state.fresh.FreshList = true;
    };
    h.accept = false; // nothing reaches the radio: the runner alone is under test
    list({"1=Jazz FM Lounge", "2=Smooth Jazz Nights"});
    h.start("S");
    h.run(20);
    EXPECT_EQ(h.listRowsOpened, QList<int>{3}); // not under the cursor: the panel opens it
    EXPECT_TRUE(h.state.awaits.AwaitList);
    // Under the cursor the runner presses OK itself; a blank may stand for a "." in the row.
    h.link.telnet.ClearChannel(0);
    list({"1=Jazz.FM Lounge"});
    h.start("T");
    h.run(20);
    EXPECT_EQ(h.link.telnet.pending(0), (QStringList{"OK"}));
    EXPECT_TRUE(h.state.awaits.AwaitOk && h.state.awaits.AwaitList);
    // "no results" gives up on the step at once: back up when it has a target, restart when not.
    for (const auto &[name, outcome] :
         {std::pair{"N", "NO RESULTS BACKUP TO 0"}, std::pair{"NoTarget", "NO RESULTS Bailed MACRO RESTARTED"}}) {
        h.link.telnet.ClearChannel(0);
        h.runner.Stop();
        h.run(20);
        h.start(name);
        h.run(20);
        h.link.telnet.ClearChannel(0);
        list({"1=no results"});
        h.run(1200);
        EXPECT_TRUE(h.steps().contains(outcome)) << h.steps().toStdString();
    }
}

TEST(MacroRunner, StopEndsAnyMacroOnTheNextTick) {
    // Far more steps than the old "step 2000" stop could reach, and a long pause under way.
    RunnerHarness h(("[Long]|D 30000" + QString("|-UP").repeated(2500)).toLatin1().constData());
    h.start("Long");
    h.run(100);
    ASSERT_EQ(h.runner.MacroTimer().interval(), 30000);
    h.runner.Stop();
    h.run(10);
    EXPECT_TRUE(h.trace().endsWith("_ok\r\nMACRO FINISHED\r\n")) << h.trace().right(80).toStdString();
    EXPECT_TRUE(h.idle());
    // Stopped between the start and its first tick: nothing is sent.
    h.start("Long");
    h.runner.Stop();
    h.run(10);
    EXPECT_TRUE(h.idle());
    EXPECT_TRUE(h.keys().isEmpty());
}

TEST(MacroRunner, ARadioInStandbyIsWokenBeforeTheFirstStep) {
    RunnerHarness h("[W]|-HOME", 0);
    h.radio.handle("POWER");
    h.run(1500);
    ASSERT_TRUE(h.state.poll.RadioStandby);
    h.start("W");
    ASSERT_TRUE(h.runToEnd());
    EXPECT_EQ(h.keys(), (QStringList{"POWER", "MINFO", "HOME"}));
    EXPECT_EQ(h.radio.screen(), 0);
}

TEST(MacroRunner, IndexesFromTheFileOrAReloadNeverReachOutsideTheTable) {
    // Back-up targets before the first step and past the last: no target, so the run bails.
    RunnerHarness h("[Before]|{BACKUP=5}|-HOME|?menustate=99|-OK|[After]|-HOME|{BACKUP=-40}|?menustate=99|-OK");
    ASSERT_EQ(h.table.Macros[0].Steps[1].BackupTo, "-5");
    ASSERT_EQ(h.table.Macros[1].Steps[1].BackupTo, "41");
    for (const char *name : {"Before", "After"}) {
        h.start(name);
        h.run(12000);
        EXPECT_TRUE(h.steps().contains("Bailed MACRO RESTARTED")) << h.steps().toStdString();
        EXPECT_FALSE(h.trace().contains("BACKUP TO"));
        h.runner.Stop();
        h.run(20);
    }
    // A reload that shortens the running macro, then one that removes it.
    h.start("After");
    for (int t = 0; t < 3000 && h.runner.CurrentStep != 1; t += 10) {
        h.run(10);
    }
    ASSERT_EQ(h.runner.CurrentStep, 1) << h.steps().toStdString();
    CompileMacros(h.table, "[Before]\r\n[After]\r\n-HOME\r\n");
    h.run(1000);
    EXPECT_TRUE(h.trace().endsWith("MACRO FINISHED\r\n")) << h.trace().right(300).toStdString();
    EXPECT_TRUE(h.idle());
    h.start("After");
    CompileMacros(h.table, "[Before]");
    h.run(100);
    EXPECT_TRUE(h.trace().endsWith("MACRO Ended\r\n")) << h.trace().toStdString();
    EXPECT_TRUE(h.idle());
}

// The end-to-end tests run "Wake up at volume 20" from standby against the simulated radio.
TEST(MacroRunner, ShippedPlayJazzDrivesTheRadio) {
    RunnerHarness h;
    LoadMacros(h.table, qEnvironmentVariable("CV_TEST_DATA"));
    h.start("Play jazz");
    ASSERT_TRUE(h.runToEnd());
    EXPECT_TRUE(h.trace().endsWith("Menu State 5 _ok\r\nMACRO FINISHED\r\n")) << h.trace().right(300).toStdString();
    EXPECT_EQ(h.radio.screen(), 5);
    EXPECT_TRUE(h.radio.currentStation() >= 0 && h.radio.listEntries().isEmpty());
    EXPECT_EQ(h.searchBox, "jazz");
}

TEST(MacroWindow, StepListTraceJoiningAndIncludeRx) {
    RunnerHarness h("[Inner]|-UP|[Wake up]|-POWER|D 300|?menustate=3,EXIT|I Inner|M 4|L \"x\"", 0);
    MacroRunner &r = h.runner;
    r.MakeMacroStuff(1);
    EXPECT_EQ(r.MacroStepList,
              (QStringList{"Wake up Macro", "[ Wake up ] 0: = POWER,-1,-1,,-1,,", "[ Wake up ] 1: = ,300,-1,,-1,,",
                           "[ Wake up ] 2: = EXIT,-1,-1,,-1,,menustate=3", "[ Inner ] 3: = UP,-1,-1,,-1,,",
                           "[ Wake up ] 4: = ,-1,-1,,4,,", "[ Wake up ] 5: = ,-1,-1,x,-1,,"}));
    EXPECT_EQ(r.MacroText(), "MacroName: = Wake up\r\n");
    // A CR LF at the join of two traces is written once.
    r.AddToText("\r\nX\r\n");
    r.AddToText("\r\n");
    r.AddToText("Y");
    EXPECT_EQ(r.MacroText(), "MacroName: = Wake up\r\nX\r\nY");
    // The radio's traffic only while a macro runs and "Include RX" is ticked.
    r.AddToMacroText("RX");
    r.IncludeTheRx = true;
    r.AddToMacroText("RX");
    EXPECT_TRUE(r.MacroText().endsWith("Y"));
    // Double click on a step line selects the title; on the title it starts the macro
    // selected in the panel's list, else the one listed here.
    r.MacroStepList_DblClick(3);
    EXPECT_EQ(r.MacroStepListIndex, 0);
    h.table.List.Selected = 0;
    r.MacroStepList_DblClick(0);
    EXPECT_EQ(r.CurrentMacro, 0);
    h.table.List.Selected = -1;
    r.MacroStepList_DblClick(0);
    EXPECT_EQ(r.CurrentMacro, 1);
    r.AddToMacroText("RX");
    EXPECT_TRUE(r.MacroText().endsWith("YRX"));
    // A restarted run keeps its trace when it lists the macro again.
    r.AddToText("MACRO RESTARTED\r\n");
    r.MakeMacroStuff(1);
    EXPECT_TRUE(r.MacroText().endsWith("MACRO RESTARTED\r\nMacroName: = Wake up\r\n"));
    // Hours of tracing keep the newest part only.
    const QString line = QString(99, u'x') + "\r\n";
    for (int i = 0; i < 5000; ++i) {
        r.AddToText(line);
    }
    EXPECT_LE(r.MacroText().size(), MacroRunner::TraceLimit);
    EXPECT_TRUE(r.MacroText().endsWith(line));
    r.MacroText_DblClick();
    EXPECT_TRUE(r.MacroText().isEmpty());
}

TEST(MacroWindow, WaitAnimationRunsWhileTheRunnerTicks) {
    RunnerHarness h("[P]|D 2000|-UP", 0);
    QStringList pictures;
    h.menuPictureLoaded = [&](const QString &picture) { pictures << picture.right(2); };
    qint16 shared = 0; // the display window's animation counts on the same frame
    h.runner.shareWaitFrame(shared);
    h.run(1500);
    h.start("P");
    h.run(1050);
    EXPECT_EQ(pictures.mid(0, 10), (QStringList{"09", "08", "07", "06", "05", "04", "03", "02", "01", "08"}));
    // Found stopped by the display: one tick without a picture, then from the first frame.
    pictures.clear();
    shared = -2;
    h.run(300);
    EXPECT_EQ(pictures, (QStringList{"09", "08"}));
    ASSERT_TRUE(h.runToEnd());
    // The run's end gives the panel back the picture of the selected main-menu item.
    ASSERT_FALSE(pictures.isEmpty());
    EXPECT_EQ(pictures.last(), "ns"); // 320x240/menu/stations
    EXPECT_TRUE(h.runner.MacroLabelCaption.isEmpty());
}
