#pragma once

#include "cli/Command.h"

#include <memory>

// The commands, each in a file of its own.
std::unique_ptr<Command> MakeKeyCommand();
std::unique_ptr<Command> MakeSendCommand();
std::unique_ptr<Command> MakeStatusCommand();
std::unique_ptr<Command> MakeVolumeCommand();
std::unique_ptr<Command> MakeTypeCommand();
std::unique_ptr<Command> MakeMacroCommand();
std::unique_ptr<Command> MakeWatchCommand();
std::unique_ptr<Command> MakeFindCommand();
