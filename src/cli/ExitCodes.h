#pragma once

// What cvremote-cli's exit status tells a script; the manual page and --help list the same.
namespace ExitCode {
constexpr int Done = 0;
constexpr int Failed = 1;        // anything else that went wrong (the radio said no, a command not sent, no folder)
constexpr int Usage = 2;         // the command line is wrong: nothing was sent
constexpr int Unreachable = 3;   // no connection to the radio, or it does not answer
constexpr int MacroGaveUp = 4;   // a macro ran but did not reach its end
constexpr int Interrupted = 130; // stopped by Ctrl-C or SIGTERM (128 + SIGINT, as shells report it)
} // namespace ExitCode
