#include "cli/Command.h"

#include "cli/Commands.h"
#include "cli/ExitCodes.h"
#include "cli/RadioClient.h"
#include "platform/ControlPictures.h"
#include "session/RadioSession.h"

#include <QTextStream>

int Command::runWithoutRadio(RadioClient &, QTextStream &, QTextStream &) {
    return ExitCode::Failed;
}

void Command::start(RadioClient &client, QTextStream &out, QTextStream &err) {
    m_client = &client;
    m_out = &out;
    m_err = &err;
    connect(&client, &RadioClient::unreachable, this, [this](const QString &why) {
        if (!m_finished) {
            unreachable(why);
        }
    });
    // Whatever the command asked to send and the link could not: the script must hear of it.
    connect(&client.session(), &RadioSession::commandsNotSent, this, [this](int count, const QString &why) {
        m_notSent += count;
        complain(QStringLiteral("%1 not sent: %2")
                     .arg(count == 1 ? QStringLiteral("1 command") : QStringLiteral("%1 commands").arg(count), why));
    });
    run();
}

void Command::interrupt() {
    // Keys not sent yet stay unsent; the one on the wire is let arrive and be answered.
    client().session().cancelKeys();
    finishWhenDrained(ExitCode::Interrupted);
}

void Command::unreachable(const QString &why) {
    complain(why + QStringLiteral("\n  Is the radio on and on the network? Name it with --radio HOST[:PORT], or set "
                                  "its address in CV Remote's settings."));
    finishNow(ExitCode::Unreachable);
}

void Command::finishWhenDrained(int exitCode) {
    if (m_finishing) {
        return;
    }
    m_finishing = true;
    client().whenDrained([this, exitCode] { finishNow(exitCode); });
}

void Command::finishNow(int exitCode) {
    if (m_finished) {
        return;
    }
    m_finished = true;
    m_finishing = true;
    if (m_notSent > 0 && exitCode == ExitCode::Done) {
        exitCode = ExitCode::Failed;
    }
    out().flush();
    err().flush();
    Q_EMIT finished(exitCode);
}

void Command::complain(const QString &text) {
    err() << "cvremote-cli: " << ShowControls(text) << '\n';
    err().flush();
}

std::vector<std::unique_ptr<Command>> MakeCommands() {
    std::vector<std::unique_ptr<Command>> commands;
    commands.push_back(MakeKeyCommand());
    commands.push_back(MakeSendCommand());
    commands.push_back(MakeStatusCommand());
    commands.push_back(MakeVolumeCommand());
    commands.push_back(MakeTypeCommand());
    commands.push_back(MakeMacroCommand());
    commands.push_back(MakeWatchCommand());
    commands.push_back(MakeFindCommand());
    return commands;
}
