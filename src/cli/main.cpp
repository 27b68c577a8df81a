#include "app/TerminationSignals.h"
#include "app/Version.h"
#include "cli/Command.h"
#include "cli/ExitCodes.h"
#include "cli/RadioAddress.h"
#include "cli/RadioClient.h"
#include "settings/ProgramFolder.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QTextStream>

#include <algorithm>

// cvremote-cli: the radio from a shell, a timer or home automation. [OPTIONS] COMMAND
// [ARGUMENTS]; the shared options may come before or after the command.

namespace {

const QString Program = QStringLiteral("cvremote-cli");

struct SharedOptions {
    QCommandLineOption radio{QStringLiteral("radio"),
                             QStringLiteral("Talk to this radio (port 8080 unless given) instead of the one CV "
                                            "Remote's settings name. An IPv6 address with a port goes in brackets."),
                             QStringLiteral("HOST[:PORT]")};
    QCommandLineOption folder{QStringLiteral("program-folder"),
                              QStringLiteral("Read the settings and data files from DIR, as CVRemote "
                                             "--program-folder DIR would use them."),
                              QStringLiteral("DIR")};
    QCommandLineOption help{{QStringLiteral("h"), QStringLiteral("help")}, QStringLiteral("Show this help and end.")};
    QCommandLineOption version{{QStringLiteral("v"), QStringLiteral("version")},
                               QStringLiteral("Show the version and end.")};

    void addTo(QCommandLineParser &parser, bool withVersion) const {
        parser.addOption(radio);
        parser.addOption(folder);
        parser.addOption(help);
        if (withVersion) {
            parser.addOption(version);
        }
    }
};

// "  --radio HOST[:PORT]  text", the texts aligned and wrapped to the terminal's usual width.
QString optionLines(const QList<QCommandLineOption> &options) {
    QList<QPair<QString, QString>> rows;
    for (const QCommandLineOption &option : options) {
        QStringList names;
        for (const QString &name : option.names()) {
            names << (name.size() == 1 ? QStringLiteral("-") : QStringLiteral("--")) + name;
        }
        QString left = names.join(QStringLiteral(", "));
        if (!option.valueName().isEmpty()) {
            left += u' ' + option.valueName();
        }
        rows.append({left, option.description()});
    }
    qsizetype width = 0;
    for (const auto &row : rows) {
        width = std::max(width, row.first.size());
    }
    const qsizetype indent = width + 4;
    QString text;
    for (const auto &row : rows) {
        QString line = QStringLiteral("  ") + row.first.leftJustified(width + 2);
        for (const QString &word : row.second.split(u' ')) {
            if (line.size() + 1 + word.size() > 80 && line.size() > indent) {
                text += line + u'\n';
                line = QString(indent, u' ');
            } else if (line.size() > indent) {
                line += u' ';
            }
            line += word;
        }
        text += line + u'\n';
    }
    return text;
}

QString exitCodes() {
    return QStringLiteral("Exit status:\n"
                          "  0    done\n"
                          "  1    another failure: the radio refused or did not answer a command, a command could\n"
                          "       not be sent in time, no program folder\n"
                          "  2    usage error: nothing was sent\n"
                          "  3    radio unreachable: no connection within the connect time-out, or no answer (find:\n"
                          "       no radio answered)\n"
                          "  4    the macro gave up before its end\n"
                          "  130  interrupted by Ctrl-C or SIGTERM (watch ends with 0 then)\n");
}

QString overview(const std::vector<std::unique_ptr<Command>> &commands, const SharedOptions &shared) {
    QString text = QStringLiteral("Usage: %1 [OPTIONS] COMMAND [ARGUMENTS]\n\n"
                                  "Drives a networked internet radio from the command line, with CV Remote's link:\n"
                                  "every command reaches the radio once, in order, and the client ends only when the\n"
                                  "radio has answered. It suits shell scripts, timers and home automation, and runs\n"
                                  "beside the CV Remote window.\n\nCommands:\n")
                       .arg(Program);
    QList<QPair<QString, QString>> rows;
    for (const auto &command : commands) {
        rows.append({command->name() + u' ' + command->arguments(), command->summary()});
    }
    rows.append({QStringLiteral("help [COMMAND]"), QStringLiteral("show the help of the client or of a command")});
    qsizetype width = 0;
    for (const auto &row : rows) {
        width = std::max(width, row.first.trimmed().size());
    }
    for (const auto &row : rows) {
        text += QStringLiteral("  ") + row.first.trimmed().leftJustified(width + 2) + row.second + u'\n';
    }
    text += QStringLiteral("\nOptions (before or after the command):\n") +
            optionLines({shared.radio, shared.folder, shared.help, shared.version});
    text += QStringLiteral("\nWithout --radio, the radio's address comes from the settings in CV Remote's program\n"
                           "folder, which also give the time-outs and hold the macros. The client only reads\n"
                           "that folder (%1 for an installed copy).\n\n")
                .arg(QDir::toNativeSeparators(UserProgramFolder()));
    text += exitCodes();
    text += QStringLiteral("\n%1 COMMAND --help tells more about a command.\n").arg(Program);
    return text;
}

QString commandHelp(const Command &command, const SharedOptions &shared) {
    const QString arguments = command.arguments().isEmpty() ? QString() : u' ' + command.arguments();
    return QStringLiteral("Usage: %1 [OPTIONS] %2%3\n\n%4\n\nOptions:\n")
               .arg(Program, command.name(), arguments, command.description()) +
           optionLines(command.options() + QList<QCommandLineOption>{shared.radio, shared.folder, shared.help});
}

int usageError(QTextStream &err, const QString &text, const QString &helpOf = QString()) {
    err << Program << ": " << text << "\n  See " << Program << (helpOf.isEmpty() ? QString() : u' ' + helpOf)
        << " --help\n";
    return ExitCode::Usage;
}

} // namespace

int main(int argc, char *argv[]) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(Program);
    QCoreApplication::setApplicationVersion(VersionString());
    QTextStream out(stdout);
    QTextStream err(stderr);

    const std::vector<std::unique_ptr<Command>> commands = MakeCommands();
    const SharedOptions shared;

    // The options before the command; what follows the command is the command's to parse.
    QCommandLineParser global;
    global.setOptionsAfterPositionalArgumentsMode(QCommandLineParser::ParseAsPositionalArguments);
    global.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    shared.addTo(global, true);
    if (!global.parse(app.arguments())) {
        return usageError(err, global.errorText());
    }
    if (global.isSet(shared.version)) {
        out << Program << ' ' << VersionString() << '\n';
        return ExitCode::Done;
    }
    QStringList words = global.positionalArguments();
    if (global.isSet(shared.help) ||
        (!words.isEmpty() && words.first() == QLatin1String("help") && words.size() == 1)) {
        out << overview(commands, shared);
        return ExitCode::Done;
    }
    if (words.isEmpty()) {
        return usageError(err, QStringLiteral("a command is missing, e.g. \"%1 status\"").arg(Program));
    }
    bool helpOnly = false;
    if (words.first() == QLatin1String("help")) {
        helpOnly = true;
        words.removeFirst();
    }
    const QString name = words.takeFirst();
    const auto found =
        std::find_if(commands.begin(), commands.end(), [&name](const auto &c) { return c->name() == name; });
    if (found == commands.end()) {
        QStringList names;
        for (const auto &command : commands) {
            names << command->name();
        }
        return usageError(err, QStringLiteral("\"%1\" is no command; the commands are %2").arg(name, names.join(u' ')));
    }
    Command &command = **found;

    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    shared.addTo(parser, false);
    parser.addOptions(command.options());
    if (helpOnly) {
        out << commandHelp(command, shared);
        return ExitCode::Done;
    }
    if (!parser.parse(QStringList{Program} + words)) {
        return usageError(err, parser.errorText(), name);
    }
    if (parser.isSet(shared.help)) {
        out << commandHelp(command, shared);
        return ExitCode::Done;
    }
    QString error;
    if (!command.take(parser, error)) {
        return usageError(err, error, name);
    }
    const auto value = [&](const QCommandLineOption &option) {
        return parser.isSet(option) ? parser.value(option) : global.value(option);
    };
    const QString radioText = value(shared.radio);
    RadioAddress address;
    if (parser.isSet(shared.radio) || global.isSet(shared.radio)) {
        address = ParseRadioAddress(radioText);
        if (!address.ok()) {
            return usageError(err, QStringLiteral("--radio: ") + address.error, name);
        }
    }

    // The window program's folder, found as it finds it; nothing there is created or written,
    // and its single-copy lock is not taken: both programs run side by side.
    const ProgramFolderChoice folder =
        FindProgramFolder({QCoreApplication::applicationDirPath(), value(shared.folder), UserProgramFolder(), {}});
    if (!folder.ok()) {
        err << Program << ": " << folder.error << "\n  Name the folder with --program-folder DIR.\n";
        return ExitCode::Failed;
    }
    RadioClient client(folder.folder);
    if (!command.ready(client, error)) {
        return usageError(err, error, name);
    }
    if (!command.needsRadio()) {
        return command.runWithoutRadio(client, out, err);
    }
    if (address.ok() && !address.host.isEmpty()) {
        client.setAddress(address);
    } else if (const RadioAddress set = client.address(); !set.ok()) {
        err << Program << ": the settings in "
            << QDir::toNativeSeparators(QDir(folder.folder).filePath(QStringLiteral("CVRemote.ini")))
            << " name no usable radio: " << set.error << "\n  Name the radio with --radio HOST[:PORT].\n";
        return ExitCode::Failed;
    }

    // Ctrl-C and SIGTERM end the command cleanly; the same signal again ends the process.
    TerminationSignals termination;
    QObject::connect(&termination, &TerminationSignals::requested, &command, [&command] { command.interrupt(); });
    QObject::connect(
        &command, &Command::finished, &app, [](int code) { QCoreApplication::exit(code); }, Qt::QueuedConnection);
    client.start();
    command.start(client, out, err);
    return QCoreApplication::exec();
}
