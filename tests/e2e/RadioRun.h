#pragma once

#include "app/Program.h"
#include "e2e/ProgramFolder.h"
#include "platform/Platform.h"
#include "RadioSimulator.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

// The real program (windows, radio link, real sockets and timers) in a temporary program folder,
// against the simulated radio over loopback, which logs what it takes into that folder.
struct RadioRun {
    static constexpr int Patience = 20000; // a busy machine, a sanitizer build

    QtPlatform platform;
    RadioSimulator sim;
    QTemporaryDir dir;
    std::unique_ptr<Program> program;

    // The simulator listening (unless it already is) and logging, the folder filled as
    // FillProgramFolder does, and the program started.
    bool begin(const QString &moreSettings = QString()) {
        return (sim.isRunning() || sim.start()) && sim.setLogFile(dir.filePath(QStringLiteral("radiosim.log"))) &&
               FillProgramFolder(dir.path(), sim.commandPort(), moreSettings) && startProgram();
    }
    // A new program in the same folder; the last one ends first.
    bool startProgram() {
        program.reset();
        program = QuietProgram(platform, dir.path());
        return program->start();
    }

    // The command port's lines of the simulator's log file: the command, or "EXTRA\t<bytes>"
    // for bytes written onto a connection after its command.
    QStringList log() const {
        QFile file(dir.filePath(QStringLiteral("radiosim.log")));
        QStringList lines;
        if (!file.open(QIODevice::ReadOnly)) {
            return lines;
        }
        for (const QByteArray &line : file.readAll().split('\n')) {
            const QList<QByteArray> fields = line.split('\t'); // time, port, connection, command...
            if (fields.size() >= 4 && fields[1].toInt() == sim.commandPort()) {
                lines << QString::fromLatin1(fields.mid(3).join('\t'));
            }
        }
        return lines;
    }
    // The logged commands that are among these, in the order the radio took them.
    QStringList logged(const QStringList &among) const {
        QStringList commands = log();
        commands.removeIf([&among](const QString &command) { return !among.contains(command); });
        return commands;
    }
    QStringList extra() const { return log().filter(QStringLiteral("EXTRA\t")); }
    // Empty when, of the commands among, the radio took exactly these, in this order (none lost,
    // none twice, none out of turn), and no connection carried anything after its command;
    // otherwise what went wrong, for the test's message.
    QString deliveryFault(const QStringList &among, const QStringList &expected) const {
        const QStringList took = logged(among);
        if (took != expected) {
            return QStringLiteral("the radio took %1; sent were %2")
                .arg(took.join(QLatin1Char(',')), expected.join(QLatin1Char(',')));
        }
        const QStringList after = extra();
        return after.isEmpty() ? QString() : QStringLiteral("written after a command: ") + after.join(QLatin1Char(';'));
    }
};

// A double click as a user makes it: a click, then the double click.
inline void doubleClick(QWidget *widget, QPoint at) {
    QTest::mouseClick(widget, Qt::LeftButton, {}, at);
    QTest::mouseDClick(widget, Qt::LeftButton, {}, at);
}
