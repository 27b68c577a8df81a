#pragma once

#include "macros/MacroCompiler.h"
#include "radio_link/LinkHarness.h"
#include "RadioModel.h"
#include "session/MacroRunner.h"
#include "settings/INIFILES.h"
#include "skin/Skin.h"

#include <QStringList>

#include <gtest/gtest.h>
#include <optional>

inline void PrintTo(const QStringList &list, std::ostream *os) {
    *os << '{' << list.join(QStringLiteral(", ")).toStdString() << '}';
}

// The macro runner on fake time, wired to the real queue, connection and decoder as the program
// wires them, with the simulator's radio model answering on the other end of fake sockets.
// The harness answers the runner's questions itself: the display's search box is a string, an
// opened list row is noted, the switch is the link's setting; the rest is not looked at.
struct RunnerHarness : LinkHarness, MacroSurroundings {
    MacroTable table;
    RadioModel radio;
    MacroRunner runner{platform, link.telnet, link.poll, state, timeouts, table, skin};
    QString searchBox;
    QList<int> listRowsOpened; // rows the runner had the information panel open
    std::function<void(const QString &)> menuPictureLoaded = [](const QString &) {};

    bool radioOffline() const override { return link.view.RadioOffline; }
    bool displayLabels() const override { return link.settings.UpdateDisplayLabels; }
    void setDisplayLabels(bool on) override { link.settings.UpdateDisplayLabels = on; }
    void clearTerminal() override {}
    QStringList infoListRows() const override { return link.view.InfoList; }
    void selectInfoListRow(int row) override { listRowsOpened << row; }
    void showMacroList(bool) override {}
    void loadMenuPicture(const QString &picture) override { menuPictureLoaded(picture); }
    void setCurrentMenuLabel(const QString &) override {}
    QString searchText() const override { return searchBox; }
    void setSearchText(const QString &text) override { searchBox = text; }

    // Lines separated by "|" make the macro file. By default the first poll has told the
    // program where the radio is before the test goes on.
    explicit RunnerHarness(const char *macros = "", qint64 settleMs = 1500) {
        INIFILES ini;
        GetTheIndexs(skin, ini, qEnvironmentVariable("CV_TEST_DATA"));
        CompileMacros(table, QString::fromLatin1(macros).replace(u'|', QStringLiteral("\r\n")));
        answer = [this](const QString &command) { return std::optional<QString>(radio.handle(command)); };
        link.hooks.answerMacroQuestions(runner);
        runner.shareWaitFrame(state.WaitFrame);
        QObject::connect(&link.view, &RadioView::macroTrace, &runner, &MacroRunner::AddToMacroText);
        runner.setSurroundings(*this);
        link.start();
        run(settleMs);
    }

    // Starts the macro with this name, as a double click in the macro list does.
    void start(const QString &name) {
        for (size_t i = 0; i < table.Macros.size(); ++i) {
            if (table.Macros[i].Name == name) {
                runner.Start(int(i));
                return;
            }
        }
        ADD_FAILURE() << "no macro " << name.toStdString();
    }

    // Runs until the runner is idle again and what it queued has gone out; false when it still
    // runs after the limit.
    bool runToEnd(qint64 limitMs = 120000) {
        for (qint64 t = 0; t < limitMs && runner.running(); t += 10) {
            run(10);
        }
        run(1000);
        return !runner.running();
    }

    const QString &trace() const { return runner.MacroText(); }
    // The runner's trace without the radio traffic, on one line: "Command _ok Command _ok ...".
    QString steps() const { return trace().simplified(); }
    // Key commands the radio took on the command channel, the status queries left out.
    QStringList keys() const {
        QStringList list;
        for (const Sent &s : sent) {
            if (s.channel == 0) {
                list << s.command;
            }
        }
        return list;
    }
    bool idle() {
        return !runner.running() && !runner.MacroTimer().isEnabled() && !runner.MacroWaitTimer().isEnabled();
    }
};
