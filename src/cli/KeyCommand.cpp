#include "cli/Commands.h"
#include "cli/ExitCodes.h"
#include "cli/RadioClient.h"
#include "session/RadioSession.h"

#include <QStringList>

#include <algorithm>

namespace {

// The keys of the radio's remote control.
const QStringList RemoteKeys{QStringLiteral("UP"),    QStringLiteral("DOWN"),   QStringLiteral("LEFT"),
                             QStringLiteral("RIGHT"), QStringLiteral("OK"),     QStringLiteral("EXIT"),
                             QStringLiteral("HOME"),  QStringLiteral("POWER"),  QStringLiteral("STOP"),
                             QStringLiteral("PAUSE"), QStringLiteral("RECORD"), QStringLiteral("MUTE"),
                             QStringLiteral("VOLp"),  QStringLiteral("VOLm")};

// Presses keys as clicks on the remote window do: each key one command, followed by the
// remote's pause, in the order given.
class KeyCommand final : public Command {
public:
    QString name() const override { return QStringLiteral("key"); }
    QString arguments() const override { return QStringLiteral("KEY..."); }
    QString summary() const override { return QStringLiteral("press keys of the remote, in order"); }
    QString description() const override {
        return QStringLiteral("Presses the remote's keys in the order given, each one command on the radio, with\n"
                              "the remote's pause between two keys. Ends when the radio has answered the last.\n"
                              "Keys (case does not matter): ") +
               RemoteKeys.join(u' ') + QStringLiteral(".\nExample: cvremote-cli key VOLp VOLp OK");
    }

    bool take(const QCommandLineParser &parser, QString &error) override {
        const QStringList names = parser.positionalArguments();
        if (names.isEmpty()) {
            error = QStringLiteral("key wants at least one key, e.g. \"key VOLp\"");
            return false;
        }
        for (const QString &typed : names) {
            const auto found = std::find_if(RemoteKeys.begin(), RemoteKeys.end(), [&typed](const QString &key) {
                return key.compare(typed, Qt::CaseInsensitive) == 0;
            });
            if (found == RemoteKeys.end()) {
                error = QStringLiteral("\"%1\" is no key of the remote; the keys are %2 (send TEXT sends any "
                                       "other command)")
                            .arg(typed, RemoteKeys.join(u' '));
                return false;
            }
            m_keys << *found;
        }
        return true;
    }

protected:
    void run() override {
        connect(&client().session(), &RadioSession::replyReceived, this,
                [this](const QString &, bool query) { m_replies += query ? 0 : 1; });
        // One after the other as the radio takes them: each key has its own time to reach it.
        client().session().typeKeys(m_keys);
        client().whenDrained([this] {
            if (finishing()) {
                return; // interrupted: that ending is under way
            }
            if (!client().answered()) {
                unreachable(QStringLiteral("the radio at %1 took the connection but does not answer")
                                .arg(client().address().text()));
            } else if (m_replies < m_keys.size()) {
                complain(QStringLiteral("the radio did not answer %1 of the %2 keys; it may or may not have acted "
                                        "on them. Ask it with: cvremote-cli status")
                             .arg(m_keys.size() - m_replies)
                             .arg(m_keys.size()));
                finishNow(ExitCode::Failed);
            } else {
                finishNow(ExitCode::Done);
            }
        });
    }

private:
    QStringList m_keys;
    int m_replies = 0;
};

} // namespace

std::unique_ptr<Command> MakeKeyCommand() {
    return std::make_unique<KeyCommand>();
}
