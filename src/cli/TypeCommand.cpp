#include "cli/Commands.h"
#include "cli/ExitCodes.h"
#include "cli/RadioClient.h"
#include "keyboard/KeyboardGrid.h"
#include "session/RadioSession.h"

#include <QTextStream>

namespace {

// Types a text on the radio's search keyboard, as the display window's search box does.
class TypeCommand final : public Command {
public:
    QString name() const override { return QStringLiteral("type"); }
    QString arguments() const override { return QStringLiteral("TEXT..."); }
    QString summary() const override { return QStringLiteral("type a text on the radio's search keyboard"); }
    QString description() const override {
        return QStringLiteral("Moves the cursor of the radio's search keyboard (screen 14) from key to key and\n"
                              "presses OK on each character of TEXT, as the display window's search box does.\n"
                              "The keyboard has letters, digits, blank, ^ ? _ and *; a \".\" presses \"_\", which\n"
                              "starts the search. Other characters are left out. The radio must show its\n"
                              "keyboard, freshly opened (the cursor on G).\n"
                              "Example: cvremote-cli type jazz.");
    }
    bool take(const QCommandLineParser &parser, QString &error) override {
        m_text = parser.positionalArguments().join(u' ');
        QString left;
        for (const QChar c : std::as_const(m_text)) {
            if (!IsOnKeyboard(c) && !left.contains(c)) {
                left += c;
            }
        }
        m_keys = TypingKeys(m_text);
        if (m_keys.isEmpty()) {
            error = QStringLiteral("type wants a text of letters, digits or blanks, e.g. \"type jazz.\"");
            return false;
        }
        m_leftOut = left;
        return true;
    }

protected:
    void run() override {
        if (!m_leftOut.isEmpty()) {
            complain(QStringLiteral("the radio's keyboard has no key for \"%1\"; typing the rest").arg(m_leftOut));
        }
        // The paths start on the key the radio's cursor rests on when its keyboard opens, so the
        // screen must be known to be the keyboard first.
        client().whenRefreshed([this] {
            if (finishing()) {
                return;
            }
            RadioSession &session = client().session();
            const RadioStatus &status = session.status();
            if (status.screen != 14) {
                QString shown = !status.screen ? QStringLiteral("an unknown screen")
                                               : QStringLiteral("screen ") + QString::number(*status.screen);
                if (status.screen && !status.screenName.isEmpty()) {
                    shown += QStringLiteral(" (") + status.screenName + u')';
                }
                complain(QStringLiteral("the radio shows %1, not its search keyboard (screen 14): open it first, "
                                        "e.g. from the main menu's Search item")
                             .arg(shown));
                finishNow(ExitCode::Failed);
                return;
            }
            session.typeKeys(m_keys);
            finishWhenDrained(ExitCode::Done);
        });
    }

private:
    QString m_text;
    QString m_leftOut;
    QStringList m_keys;
};

} // namespace

std::unique_ptr<Command> MakeTypeCommand() {
    return std::make_unique<TypeCommand>();
}
