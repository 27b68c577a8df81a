#include "console/ConsoleLines.h"
#include "FuzzSupport.h"

// The radio's debug console: any bytes, in packets of any size, keep the unfinished line and
// the fetch list within their caps.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    ConsoleLineReader reader;
    const QString text = Fuzz::Latin1(data, size);
    // The first byte chooses the packet size, so lines are torn at every kind of border.
    const qsizetype packet = size > 0 ? 1 + data[0] % 64 : 1;
    for (qsizetype at = 0; at < text.size(); at += packet) {
        reader.feed(text.mid(at, packet));
        if (reader.pendingLength() > ConsoleLineReader::MaxLineLength) {
            Fuzz::Fail("unfinished line beyond its cap");
        }
        if (reader.curls().size() > ConsoleLineReader::MaxCurls) {
            Fuzz::Fail("fetch list beyond its cap");
        }
    }
    (void)reader.summary().text();
    return 0;
}
