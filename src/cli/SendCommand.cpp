#include "cli/Commands.h"
#include "cli/ExitCodes.h"
#include "cli/RadioClient.h"
#include "platform/ControlPictures.h"
#include "session/RadioSession.h"

#include <QTextStream>

namespace {

// Sends one command of any kind, as the main window's command box does, and prints the reply.
class SendCommand final : public Command {
public:
    QString name() const override { return QStringLiteral("send"); }
    QString arguments() const override { return QStringLiteral("TEXT..."); }
    QString summary() const override { return QStringLiteral("send one command and print the radio's reply"); }
    QString description() const override {
        return QStringLiteral("Sends one command to the radio and prints its reply. The words given make up the\n"
                              "command, separated by single blanks; quote them to keep other blanks.\n"
                              "Ends with 1 when the radio answers ERROR or does not answer.\n"
                              "Examples: cvremote-cli send MESSAGE Hello\n"
                              "          cvremote-cli send VERSION");
    }

    bool take(const QCommandLineParser &parser, QString &error) override {
        m_text = parser.positionalArguments().join(u' ');
        if (m_text.trimmed().isEmpty()) {
            error = QStringLiteral("send wants the command to send, e.g. \"send MESSAGE Hello\"");
            return false;
        }
        if (m_text == RadioSession::gapCommand()) {
            error = QStringLiteral("%1 is the program's own pause between commands, not a command").arg(m_text);
            return false;
        }
        // One command per connection, and the radio takes whatever bytes arrive: a line end or
        // another control character would reach it as part of the command. The wire is
        // single-byte, so characters beyond Latin-1 would arrive as something else.
        for (const QChar c : std::as_const(m_text)) {
            if (c.unicode() < 0x20 || c.unicode() == 0x7f || c.unicode() > 0xff) {
                error = QStringLiteral("the command holds a character the radio cannot take (U+%1): use plain "
                                       "text on one line")
                            .arg(int(c.unicode()), 4, 16, QLatin1Char('0'));
                return false;
            }
        }
        return true;
    }

protected:
    void run() override {
        connect(&client().session(), &RadioSession::replyReceived, this, [this](const QString &reply, bool query) {
            if (query || m_replied) {
                return; // the poll's, or a second reply on the same connection
            }
            QString shown = reply;
            shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
            shown.remove(u'\r');
            while (shown.endsWith(u'\n')) {
                shown.chop(1);
            }
            m_reply = shown;
            m_replied = true;
            out() << ShowControls(shown) << '\n';
            out().flush();
        });
        client().session().sendCommand(m_text);
        client().whenDrained([this] {
            if (finishing()) {
                return;
            }
            if (!client().answered()) {
                unreachable(QStringLiteral("the radio at %1 took the connection but does not answer")
                                .arg(client().address().text()));
            } else if (!m_replied) {
                complain(QStringLiteral("the radio did not answer \"%1\"; it may or may not have acted on it. Ask it "
                                        "with: cvremote-cli status")
                             .arg(m_text));
                finishNow(ExitCode::Failed);
            } else if (m_reply.startsWith(QLatin1String("ERROR"))) {
                complain(QStringLiteral("the radio refused \"%1\": check the command's spelling (CV Remote's command "
                                        "list holds the ones it takes)")
                             .arg(m_text));
                finishNow(ExitCode::Failed);
            } else {
                finishNow(ExitCode::Done);
            }
        });
    }

private:
    QString m_text;
    QString m_reply;
    bool m_replied = false;
};

} // namespace

std::unique_ptr<Command> MakeSendCommand() {
    return std::make_unique<SendCommand>();
}
