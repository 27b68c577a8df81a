#include "FuzzSupport.h"
#include "radio_link/LinkHarness.h"
#include "radio_link/ReplyParser.h"
#include "radio_link/ReplyRows.h"
#include "settings/INIFILES.h"
#include "skin/Skin.h"

#include <deque>
#include <fuzzer/FuzzedDataProvider.h>

namespace {

// The bundled skin, so replies meet the screen and menu tables the program really has.
const SkinTables &bundledSkin() {
    static const SkinTables skin = [] {
        SkinTables s;
        INIFILES ini;
        GetTheIndexs(s, ini, QStringLiteral(CV_FUZZ_DATA));
        GetTheMenuArray(s, QStringLiteral(CV_FUZZ_DATA));
        return s;
    }();
    return skin;
}

// Every view the parser hands back lies inside the line it was given.
bool inside(QStringView part, QStringView line) {
    return part.isEmpty() || (part.utf16() >= line.utf16() && part.utf16() + part.size() <= line.utf16() + line.size());
}

// The parser alone on every line of the input, as the decoder would meet them.
void parseLines(const QString &reply) {
    using namespace ReplyParser;
    for (const QStringView line : QStringView(reply).tokenize(u"\r\n")) {
        const Line parsed = parseLine(line);
        if (!inside(parsed.value, line)) {
            Fuzz::Fail("a line's value lies outside it");
        }
        switch (parsed.kind) {
        case Kind::Menu:
            for (const MenuField &field : parseMenu(line)) {
                if (!inside(field.value, line) || (field.key == MenuField::Screen && field.value.size() > 4)) {
                    Fuzz::Fail("a menu field lies outside its line, or a garbled screen was kept");
                }
            }
            break;
        case Kind::Meta: {
            const MetaReply meta = parseMeta(line);
            if (meta.pairs + 1 != rowCount(line) || !inside(meta.statusKey, line) || !inside(meta.statusValue, line)) {
                Fuzz::Fail("the meta status is not one of the line's pairs");
            }
            break;
        }
        case Kind::List: {
            const ListReply list = parseList(line);
            const QChar first = list.place ? QChar(u'0' + (int(*list.place) % 10 + 10) % 10) : QChar(u'1');
            const int row = firstRowStartingWith(line, first);
            if (!inside(list.head, line) || row >= CrazyLines(line, QString()).size()) {
                Fuzz::Fail("the list's selected row is not one of its rows");
            }
            break;
        }
        default:
            break;
        }
    }
}

struct Pending {
    std::deque<QString> pieces; // what is still to arrive, one piece a millisecond
    bool closes = true;         // a radio that never closes leaves the link to its timeouts
};

} // namespace

// The reply parser on the input's lines, then the radio link on fake sockets and fake time, running as in the program
// (reply tick and automatic poll on), with the fuzzer playing the radio: every command sent is answered with fuzzed
// bytes, split into pieces that arrive a millisecond apart, with or without the radio's close.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    parseLines(Fuzz::Latin1(data, size));
    FuzzedDataProvider input(data, size);
    LinkHarness h;
    h.skin = bundledSkin();
    h.link.start();
    h.queue(0, {QStringLiteral("VOLp"), QStringLiteral("QXDELAY"), QStringLiteral("OK")});
    h.queue(1, {QStringLiteral("VERSION"), QStringLiteral("STATE"), QStringLiteral("MINFO")});

    std::array<Pending, 2> pending;
    std::array<qsizetype, 2> seen{{0, 0}};
    qint64 quietUntil = 0;
    for (qint64 ms = 0; ms < 20000; ++ms) {
        for (size_t c = 0; c < 2; ++c) {
            FakeTcpSocket &port = h.port(int(c));
            if (port.state == TcpSocket::sckConnecting) {
                port.acceptConnection(QStringLiteral("192.168.1.119"));
            }
            if (port.sent.size() > seen[c]) {
                seen[c] = port.sent.size();
                port.completeSends();
                if (input.remaining_bytes() > 0) {
                    const QString reply = QString::fromLatin1(input.ConsumeRandomLengthString(4096));
                    const int cuts = input.ConsumeIntegralInRange(0, 3);
                    Pending next;
                    next.closes = input.ConsumeIntegralInRange(0, 7) != 0;
                    qsizetype from = 0;
                    for (int i = 0; i < cuts && from < reply.size(); ++i) {
                        const qsizetype to = from + input.ConsumeIntegralInRange<qsizetype>(1, reply.size() - from);
                        next.pieces.push_back(reply.mid(from, to - from));
                        from = to;
                    }
                    next.pieces.push_back(reply.mid(from));
                    pending[c] = next;
                } else {
                    pending[c] = Pending{{QStringLiteral("OK")}, true};
                }
            }
            if (port.state != TcpSocket::sckConnected) {
                pending[c] = Pending{{}, false};
            } else if (!pending[c].pieces.empty()) {
                port.receive(pending[c].pieces.front());
                pending[c].pieces.pop_front();
                if (pending[c].pieces.empty() && pending[c].closes) {
                    port.peerClose();
                }
            }
        }
        // Once the fuzzer's bytes are used up the radio acknowledges; half a second of that
        // ends the run.
        if (input.remaining_bytes() > 0) {
            quietUntil = ms + 500;
        } else if (ms > quietUntil) {
            break;
        }
        h.platform.fakeClock.advance(1);
    }
    return 0;
}
