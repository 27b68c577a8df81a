#include "cli/Commands.h"
#include "cli/ExitCodes.h"
#include "cli/RadioClient.h"
#include "cli/StatusReport.h"
#include "platform/ControlPictures.h"
#include "session/RadioSession.h"

#include <QJsonDocument>
#include <QTextStream>

namespace {

// Asks the radio for everything once and prints what it said.
class StatusCommand final : public Command {
public:
    QString name() const override { return QStringLiteral("status"); }
    QString arguments() const override { return QString(); }
    QString summary() const override { return QStringLiteral("print the radio's state"); }
    QString description() const override {
        return QStringLiteral("Asks the radio for its whole state once and prints it: power, volume, the screen and\n"
                              "the main-menu item with the skin's names for them, the list entry under the cursor\n"
                              "on a list screen, what is playing, and the radio's version. A value the radio did\n"
                              "not give shows as \"-\" (null in JSON).");
    }
    QList<QCommandLineOption> options() const override {
        return {{QStringLiteral("json"), QStringLiteral("Print one JSON object, for a program.")}};
    }
    bool take(const QCommandLineParser &parser, QString &error) override {
        if (!parser.positionalArguments().isEmpty()) {
            error = QStringLiteral("status takes no arguments, not \"%1\"").arg(parser.positionalArguments().first());
            return false;
        }
        m_json = parser.isSet(QStringLiteral("json"));
        return true;
    }

protected:
    void run() override {
        client().whenRefreshed([this] {
            if (finishing()) {
                return;
            }
            if (!client().answered()) {
                unreachable(QStringLiteral("the radio at %1 does not answer").arg(client().address().text()));
                return;
            }
            const StatusReport report = MakeStatusReport(client().address().text(), client().session().status());
            if (m_json) {
                out() << EscapeControlsInJson(QJsonDocument(StatusJson(report)).toJson(QJsonDocument::Indented));
            } else {
                out() << ShowControls(StatusText(report));
            }
            finishWhenDrained(ExitCode::Done);
        });
    }

private:
    bool m_json = false;
};

} // namespace

std::unique_ptr<Command> MakeStatusCommand() {
    return std::make_unique<StatusCommand>();
}
