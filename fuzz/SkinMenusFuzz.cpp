#include "FuzzSupport.h"
#include "skin/Skin.h"

// The skin's screen file: any bytes give some table, and the lookups the renderer and the
// decoder make stay inside it.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    SkinTables skin;
    ParseScreenFile(skin, Fuzz::Latin1(data, size));
    const int count = int(skin.MenuArray.size());
    for (const char *name : {"Main", "Screen", "Playing", "", "Default"}) {
        const QString n = QString::fromLatin1(name);
        for (const int found :
             {FindDefinition(skin, n), FindScreen(skin, n), FindStatus(skin, n), FindLabels(skin, n)}) {
            if (found < -1 || found >= count) {
                Fuzz::Fail("lookup beyond the screen table");
            }
        }
    }
    return 0;
}
