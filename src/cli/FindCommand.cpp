#include "cli/Commands.h"
#include "cli/ExitCodes.h"
#include "cli/RadioClient.h"
#include "finder/RadioFinder.h"
#include "platform/Platform.h"

#include <QCoreApplication>
#include <QTextStream>

#include <algorithm>

namespace {

// Looks for radios on the machine's private networks, or on the networks named, and prints
// one line per radio found: "ADDRESS:PORT VERSION", ready for --radio.
class FindCommand final : public Command {
public:
    QString name() const override { return QStringLiteral("find"); }
    QString arguments() const override { return QString(); }
    QString summary() const override { return QStringLiteral("look for radios on the local network"); }
    QString description() const override {
        return QStringLiteral(
            "Asks every address of the local network for the radio's version on its command port and\n"
            "prints one line per radio that answers: its address and port, then its version, e.g.\n"
            "  192.168.1.119:8080 3.1.7\n"
            "Without --network it searches the private IPv4 networks this machine is on, each cut to\n"
            "the /24 around the machine's own address. Only private networks (10.0.0.0/8,\n"
            "172.16.0.0/12, 192.168.0.0/16) and loopback (127.0.0.0/8) are searched, at most a /24\n"
            "each; a public or a wider network is refused. A search takes a few seconds.\n"
            "Ends with 3 when no radio answered.\n"
            "Examples: cvremote-cli find\n"
            "          cvremote-cli find --network 192.168.1.0/24 --port 8080");
    }
    QList<QCommandLineOption> options() const override { return {m_networkOption, m_portOption}; }

    bool take(const QCommandLineParser &parser, QString &error) override {
        if (!parser.positionalArguments().isEmpty()) {
            error = QStringLiteral("find takes no arguments; name networks with --network CIDR");
            return false;
        }
        for (const QString &text : parser.values(m_networkOption)) {
            const FindNetworkChoice choice = ParseFindNetwork(text);
            if (!choice.ok()) {
                error = QStringLiteral("--network: ") + choice.error;
                return false;
            }
            m_networks << choice.network;
        }
        if (parser.isSet(m_portOption)) {
            bool ok = false;
            const uint port = parser.value(m_portOption).toUInt(&ok);
            if (!ok || port < 1 || port > 65535) {
                error = QStringLiteral("--port: \"%1\" is no port from 1 to 65535").arg(parser.value(m_portOption));
                return false;
            }
            m_port = quint16(port);
        }
        return true;
    }

    bool needsRadio() const override { return false; }

    int runWithoutRadio(RadioClient &client, QTextStream &out, QTextStream &err) override {
        if (m_port == 0) {
            const RadioAddress set = client.address();
            m_port = set.ok() ? set.port : RadioAddress::DefaultPort;
        }
        if (m_networks.isEmpty()) {
            m_networks = LocalPrivateNetworks();
            if (m_networks.isEmpty()) {
                err << "cvremote-cli: this machine is on no private IPv4 network (10.x.x.x, 172.16-31.x.x, "
                       "192.168.x.x) to search\n  Name the radio's network with --network CIDR.\n";
                return ExitCode::Failed;
            }
        }
        QtPlatform platform(QtPlatform::Sounds::Silent);
        RadioFinder finder(platform);
        QString error;
        if (!finder.start(m_networks, m_port, &error)) {
            err << "cvremote-cli: " << error << '\n';
            return ExitCode::Usage;
        }
        // The search's own loop: the client has no radio session running beside it.
        connect(
            &finder, &RadioFinder::finished, this, [] { QCoreApplication::exit(0); }, Qt::QueuedConnection);
        QCoreApplication::exec();
        return report(finder, out, err);
    }

protected:
    void run() override {} // never: the command runs without the radio

private:
    int report(const RadioFinder &finder, QTextStream &out, QTextStream &err) const {
        QList<FoundRadio> found = finder.found();
        std::sort(found.begin(), found.end(),
                  [](const FoundRadio &a, const FoundRadio &b) { return a.address < b.address; });
        for (const FoundRadio &radio : std::as_const(found)) {
            out << radio.addressText() << ':' << radio.port << ' ' << radio.version << '\n';
        }
        out.flush();
        if (!found.isEmpty()) {
            return ExitCode::Done;
        }
        QStringList networks;
        for (const Ipv4Network &network : m_networks) {
            networks << network.text();
        }
        const RadioFinder::Tally &tally = finder.tally();
        err << "cvremote-cli: no radio answered on port " << m_port << " in " << networks.join(QStringLiteral(", "))
            << " (" << tally.asked << " addresses asked: " << tally.refused << " refused, " << tally.silent
            << " silent, " << tally.other << " answered something else)\n"
            << "  Is the radio on and on this network? Another port: --port N; another network: --network CIDR.\n";
        err.flush();
        return ExitCode::Unreachable;
    }

    const QCommandLineOption m_networkOption{
        QStringLiteral("network"),
        QStringLiteral("Search this network instead of the machine's own, e.g. 192.168.1.0/24 (a private or "
                       "loopback network, /24 or narrower; may be given several times)."),
        QStringLiteral("CIDR")};
    const QCommandLineOption m_portOption{QStringLiteral("port"),
                                          QStringLiteral("The radio's command port (the settings' port, else 8080)."),
                                          QStringLiteral("N")};
    QList<Ipv4Network> m_networks;
    quint16 m_port = 0;
};

} // namespace

std::unique_ptr<Command> MakeFindCommand() {
    return std::make_unique<FindCommand>();
}
