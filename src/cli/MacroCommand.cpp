#include "cli/Commands.h"
#include "cli/ExitCodes.h"
#include "cli/RadioClient.h"
#include "platform/ControlPictures.h"
#include "session/RadioSession.h"

#include <QDir>
#include <QTextStream>

#include <algorithm>

namespace {

// Runs a macro of the macro file to its end, printing the runner's trace as it goes.
class MacroCommand final : public Command {
public:
    QString name() const override { return QStringLiteral("macro"); }
    QString arguments() const override { return QStringLiteral("NAME"); }
    QString summary() const override { return QStringLiteral("run a macro of the macro file, or list them"); }
    QString description() const override {
        return QStringLiteral("Runs the macro NAME of the program folder's macros.txt to its end and prints its\n"
                              "trace as it goes: a line per step, \"_ok\" where a step passed, \"MACRO FINISHED\"\n"
                              "at the end. Ends with 0 when the macro finished, 4 when it gave up (a step kept\n"
                              "failing: \"MACRO FINISHED Failed Last\" or \"... Fail overload\"). Ctrl-C stops it\n"
                              "after the step under way; the exit status is then 130.\n"
                              "Example: cvremote-cli macro \"Play jazz\"");
    }
    QList<QCommandLineOption> options() const override {
        return {{QStringLiteral("list"), QStringLiteral("Print the macros' names, one a line, and end.")},
                {QStringLiteral("all"), QStringLiteral("With --list: the hidden macros (\"!\" names) too.")},
                {QStringLiteral("rx"),
                 QStringLiteral("Trace the commands sent (\">\") and the radio's replies (\"<\") as well.")}};
    }
    bool take(const QCommandLineParser &parser, QString &error) override {
        m_list = parser.isSet(QStringLiteral("list"));
        m_all = parser.isSet(QStringLiteral("all"));
        m_rx = parser.isSet(QStringLiteral("rx"));
        m_name = parser.positionalArguments().join(u' ');
        if (m_list && !m_name.isEmpty()) {
            error = QStringLiteral("macro --list takes no name");
            return false;
        }
        if (!m_list && m_name.isEmpty()) {
            error = QStringLiteral("macro wants the name of a macro (macro --list shows them)");
            return false;
        }
        if (m_all && !m_list) {
            error = QStringLiteral("--all goes with --list");
            return false;
        }
        return true;
    }
    bool needsRadio() const override { return !m_list; }
    int runWithoutRadio(RadioClient &client, QTextStream &out, QTextStream &err) override {
        for (const QString &name : names(client)) {
            out << name << '\n';
        }
        // Lines the compiler could not read: the macros may not do what their author meant.
        for (const QString &problem : client.session().macros().Problems) {
            err << "cvremote-cli: " << problem << '\n';
        }
        return ExitCode::Done;
    }
    bool ready(RadioClient &client, QString &error) override {
        if (m_list || names(client, true).contains(m_name)) {
            return true;
        }
        error =
            QStringLiteral("there is no macro \"%1\" in %2; macro --list shows the names")
                .arg(m_name, QDir::toNativeSeparators(
                                 QDir(client.session().ini().ProgramFolder()).filePath(QStringLiteral("macros.txt"))));
        return false;
    }
    void interrupt() override {
        m_interrupted = true;
        if (client().session().macroRunning()) {
            client().session().stopMacro(); // macroEnded follows at the runner's next tick
        } else {
            Command::interrupt();
        }
    }

protected:
    void run() override {
        RadioSession &session = client().session();
        if (m_rx) {
            // What went to the radio and what it said, as it happens, rather than the runner's
            // copy of it, which stops at the run's end: a command the last step queued still
            // goes out after that, and shows.
            connect(&session, &RadioSession::commandSent, this, [this](const QString &command) {
                print((m_atLineStart ? QString() : QStringLiteral("\n")) + QStringLiteral("\t>") + command +
                      QStringLiteral("\n"));
            });
            connect(&session, &RadioSession::replyReceived, this, [this](const QString &reply) {
                QString shown = reply;
                shown.replace(QStringLiteral("\r\n\r\n"), QStringLiteral("\r\n"));
                print((m_atLineStart ? QString() : QStringLiteral("\n")) + QStringLiteral("\t<") + shown);
            });
        }
        connect(&session, &RadioSession::macroTrace, this, &MacroCommand::print);
        // The trace says that a step sent a command; which one is what a reader wants.
        connect(&session, &RadioSession::macroStepSent, this,
                [this](const QString &command) { print(command + u' '); });
        connect(&session, &RadioSession::macroEnded, this, [this](MacroOutcome outcome, const QString &line) {
            if (!m_atLineStart) {
                print(QStringLiteral("\n"));
            }
            int code = ExitCode::Done;
            if (m_interrupted) {
                code = ExitCode::Interrupted;
            } else if (outcome != MacroOutcome::Finished) {
                complain(QStringLiteral("the macro \"%1\" gave up (%2): the radio did not get where it should. "
                                        "Run it again, or look at the trace (--rx shows the radio's replies)")
                             .arg(m_name, line));
                code = ExitCode::MacroGaveUp;
            }
            finishWhenDrained(code);
        });
        session.startMacro(m_name);
    }

private:
    QStringList names(RadioClient &client, bool hidden = false) const {
        QStringList found;
        for (const MacroDef &macro : client.session().macros().Macros) {
            if (!macro.Name.isEmpty() && (hidden || m_all || !macro.Name.startsWith(u'!')) &&
                !found.contains(macro.Name)) {
                found << macro.Name;
            }
        }
        return found;
    }

    // The trace comes in pieces ("Command ", "_ok" and a line end); they go out as they come,
    // so a person sees each step as it is taken.
    void print(const QString &piece) {
        QString text = piece;
        text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        text.remove(u'\r');
        if (text.isEmpty()) {
            return;
        }
        out() << ShowControls(text);
        out().flush();
        m_atLineStart = text.endsWith(u'\n');
    }

    QString m_name;
    bool m_list = false;
    bool m_all = false;
    bool m_rx = false;
    bool m_interrupted = false;
    bool m_atLineStart = true;
};

} // namespace

std::unique_ptr<Command> MakeMacroCommand() {
    return std::make_unique<MacroCommand>();
}
