#pragma once

#include <cstdio>
#include <cstring>
#include <optional>

// The picture generators take folders (and names) only. "--help" or "-h" says what a generator
// does and how to call it; any other word starting with "-" is refused, never taken for a folder
// to draw into; a wrong number of arguments is refused. Returns the exit code when the call is
// answered here, nothing when the generator should go on.
inline std::optional<int> AnswerGeneratorArguments(int argc, char **argv, int wanted, const char *usage,
                                                   const char *purpose) {
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            std::printf("usage: %s\n%s\n", usage, purpose);
            return 0;
        }
        if (argv[i][0] == '-') {
            std::fprintf(stderr, "unknown option %s\nusage: %s\n", argv[i], usage);
            return 2;
        }
    }
    if (argc != wanted + 1) {
        std::fprintf(stderr, "usage: %s\n", usage);
        return 2;
    }
    return std::nullopt;
}
