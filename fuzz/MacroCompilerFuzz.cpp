#include "FuzzSupport.h"
#include "macros/MacroCompiler.h"

// The macro file, loaded from a program folder as the program loads it, so an I line that
// names another macro (or the macro itself) is resolved the way it is at run time. The table
// keeps within its limits whatever the file holds.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    const QDir folder = Fuzz::ScratchFolder();
    Fuzz::WriteFile(folder.filePath(QStringLiteral("macros.txt")), Fuzz::Bytes(data, size));
    MacroTable table;
    LoadMacros(table, folder.path());
    if (table.Macros.empty() || int(table.Macros.size()) > MacroTable::MaxMacros) {
        Fuzz::Fail("macro count outside its limits");
    }
    size_t steps = 0;
    for (const MacroDef &macro : table.Macros) {
        if (int(macro.Steps.size()) > MacroTable::MaxStepsPerMacro) {
            Fuzz::Fail("macro longer than its limit");
        }
        steps += macro.Steps.size();
    }
    if (steps > size_t(MacroTable::MaxSteps)) {
        Fuzz::Fail("more steps than the table's limit");
    }
    RefillMacroList(table);
    return 0;
}
