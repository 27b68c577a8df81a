#include "cli/Commands.h"
#include "cli/ExitCodes.h"
#include "cli/RadioClient.h"
#include "session/RadioSession.h"

#include <QTextStream>

#include <cstdlib>
#include <optional>

namespace {

// Brings the volume to a value the way the information panel's slider does, and prints the
// volume the radio reports afterwards.
class VolumeCommand final : public Command {
public:
    QString name() const override { return QStringLiteral("volume"); }
    QString arguments() const override { return QStringLiteral("N"); }
    QString summary() const override { return QStringLiteral("bring the volume to N (0 to 100)"); }
    QString description() const override {
        return QStringLiteral("Brings the radio's volume to N, as the information panel's slider does: the radio\n"
                              "steps by 1 below 5 and by 5 from there, so N of 5 and more goes to the nearest\n"
                              "multiple of 5. Prints the volume the radio reports once the keys are through.");
    }
    bool take(const QCommandLineParser &parser, QString &error) override {
        const QStringList args = parser.positionalArguments();
        bool number = false;
        m_target = args.size() == 1 ? args[0].toInt(&number, 10) : -1;
        if (!number || m_target < 0 || m_target > 100) {
            error = QStringLiteral("volume wants one number from 0 to 100, e.g. \"volume 35\"");
            return false;
        }
        return true;
    }

protected:
    void run() override {
        // The keys are counted from the volume the radio reported: the first poll brings it.
        client().whenRefreshed([this] {
            if (finishing()) {
                return;
            }
            RadioSession &session = client().session();
            if (!session.status().volume) {
                complain(client().answered()
                             ? QStringLiteral("the radio did not tell its volume; run the command again")
                             : QStringLiteral("the radio at %1 does not answer").arg(client().address().text()));
                finishNow(client().answered() ? ExitCode::Failed : ExitCode::Unreachable);
                return;
            }
            session.setVolume(m_target);
            client().whenDrained([this] { confirm(); });
        });
    }

private:
    // Asks the radio once more, so the volume printed is the one it reached.
    void confirm() {
        if (finishing()) {
            return;
        }
        RadioSession &session = client().session();
        connect(&session, &RadioSession::volumeReported, this, [this](int volume) { m_reached = volume; });
        session.refresh(RadioSession::Refresh::Volume);
        client().when(
            [this] { return m_reached && client().session().idle(); },
            [this] {
                if (finishing()) {
                    return;
                }
                const int volume = *m_reached;
                out() << volume << '\n';
                // A target of 5 and more is rounded to the radio's steps of 5.
                if (std::abs(volume - m_target) > (m_target >= 5 ? 2 : 0)) {
                    complain(
                        QStringLiteral("the radio stopped at %1 instead of %2 (a key that only closes a message on its "
                                       "screen changes nothing); run the command again")
                            .arg(volume)
                            .arg(m_target));
                    finishNow(ExitCode::Failed);
                } else {
                    finishNow(ExitCode::Done);
                }
            });
    }

    int m_target = 0;
    std::optional<int> m_reached; // the volume the radio reported after the keys
};

} // namespace

std::unique_ptr<Command> MakeVolumeCommand() {
    return std::make_unique<VolumeCommand>();
}
