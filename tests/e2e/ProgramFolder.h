#pragma once

#include "app/Program.h"
#include "e2e/FilledFolder.h"

#include <QString>

#include <memory>

// The real program in that folder, ending quietly: no bell and no quit of the test's event loop
// (only the executable connects those).
inline std::unique_ptr<Program> QuietProgram(Platform &platform, const QString &folder) {
    return std::make_unique<Program>(platform, folder);
}
