#pragma once

#include "app/Program.h"
#include "e2e/FilledFolder.h"

#include <QString>

#include <memory>

// The real program in that folder, ending quietly: no bell and no quit of the test's event loop.
inline std::unique_ptr<Program> QuietProgram(Platform &platform, const QString &folder) {
    auto program = std::make_unique<Program>(platform, folder);
    program->endProgram = [] {};
    program->beep = [] {};
    return program;
}
