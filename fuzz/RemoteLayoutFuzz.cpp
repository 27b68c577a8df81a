#include "FuzzSupport.h"
#include "remote/RemoteLayout.h"
#include "settings/INIFILES.h"

// A remote layout file, loaded as the program loads it from its folder: any bytes give a
// button table, and the table written back holds as many rectangles.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    const QDir folder = Fuzz::ScratchFolder();
    Fuzz::WriteFile(folder.filePath(QStringLiteral("fuzzed.txt")), Fuzz::Bytes(data, size));
    INIFILES settings;
    settings.SetProgramPaths(folder.filePath(QStringLiteral("CVRemote")));
    RemoteLayout layout;
    LoadLayout(layout, QStringLiteral("fuzzed"), settings, nullptr);
    if (layout.RemoteButtons.empty()) {
        Fuzz::Fail("empty button table");
    }
    const std::vector<RemoteButton> again = ParseLayoutText(LayoutText(layout.RemoteButtons));
    if (again.size() != layout.RemoteButtons.size()) {
        Fuzz::Fail("written layout reads back with another number of rectangles");
    }
    return 0;
}
