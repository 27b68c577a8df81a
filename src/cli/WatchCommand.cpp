#include "cli/Commands.h"
#include "cli/ExitCodes.h"
#include "cli/RadioClient.h"
#include "cli/StatusReport.h"
#include "platform/ControlPictures.h"
#include "session/RadioSession.h"

#include <QDateTime>
#include <QJsonDocument>
#include <QTextStream>

namespace {

// Prints the state whenever what it prints changes, until interrupted.
class WatchCommand final : public Command {
public:
    QString name() const override { return QStringLiteral("watch"); }
    QString arguments() const override { return QString(); }
    QString summary() const override { return QStringLiteral("print a line whenever the state changes"); }
    QString description() const override {
        return QStringLiteral("Prints the radio's state once it is known, then a line whenever it changes (the\n"
                              "values status shows), each with the time of day, until Ctrl-C or SIGTERM ends it;\n"
                              "that is its normal end, with exit status 0. A radio that stops answering is a\n"
                              "change too (\"no answer from ...\"); watching goes on until it answers again.\n"
                              "Changes show as the window program's automatic poll learns them: what the screen\n"
                              "shows about every second, everything about every ten seconds (PollWhenOn and\n"
                              "CheckAllOn in the settings' [Timeouts]).");
    }
    QList<QCommandLineOption> options() const override {
        return {{QStringLiteral("json"), QStringLiteral("Print one JSON object a line, for a program.")}};
    }
    bool take(const QCommandLineParser &parser, QString &error) override {
        if (!parser.positionalArguments().isEmpty()) {
            error = QStringLiteral("watch takes no arguments, not \"%1\"").arg(parser.positionalArguments().first());
            return false;
        }
        m_json = parser.isSet(QStringLiteral("json"));
        return true;
    }
    void interrupt() override { finishWhenDrained(ExitCode::Done); }

protected:
    void run() override {
        client().whenRefreshed([this] {
            m_watching = true;
            show();
        });
        connect(&client().session(), &RadioSession::statusChanged, this, [this] {
            if (m_watching && !finishing()) {
                show();
            }
        });
    }
    void unreachable(const QString &why) override {
        if (!m_watching) {
            Command::unreachable(why); // never reached: nothing to watch
        }
        // Later the state shows it, and the poll goes on trying.
    }

private:
    void show() {
        const StatusReport report = MakeStatusReport(client().address().text(), client().session().status());
        if (m_shown && report == m_last) {
            return;
        }
        m_shown = true;
        m_last = report;
        const QDateTime now = QDateTime::currentDateTime();
        if (m_json) {
            QJsonObject line = StatusJson(report);
            line.insert(QStringLiteral("time"), now.toString(Qt::ISODate));
            out() << EscapeControlsInJson(QJsonDocument(line).toJson(QJsonDocument::Compact)) << '\n';
        } else {
            out() << now.toString(QStringLiteral("HH:mm:ss ")) << ShowControls(StatusLine(report)) << '\n';
        }
        out().flush();
    }

    bool m_json = false;
    bool m_watching = false;
    bool m_shown = false;
    StatusReport m_last;
};

} // namespace

std::unique_ptr<Command> MakeWatchCommand() {
    return std::make_unique<WatchCommand>();
}
