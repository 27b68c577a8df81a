#include "FuzzSupport.h"
#include "settings/INIFILES.h"
#include "skin/Skin.h"

// The skin's index file, read through the settings reader as the program reads it.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    const QDir folder = Fuzz::ScratchFolder();
    const QString path = folder.filePath(QStringLiteral("indexes.txt"));
    Fuzz::WriteFile(path, Fuzz::Bytes(data, size));
    INIFILES ini; // a fresh one: its cache must not hand back the previous input
    SkinTables skin;
    ReadIndexFile(skin, ini, path);
    for (const int number : {-1, 0, 50, 100, 101}) {
        const bool inRange = number >= 0 && number <= 100;
        if ((MenuEntryAt(skin, number) != nullptr) != inRange || (StateEntryAt(skin, number) != nullptr) != inRange) {
            Fuzz::Fail("index entry lookup outside 0..100");
        }
    }
    return 0;
}
