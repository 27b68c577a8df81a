#include "macros/MacroCompiler.h"
#include "platform/FileBits.h"

#include <QDir>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

// A macro file of about the given size, made of macros like the shipped ones: commands, tests,
// pauses, typing, includes, back-up directives, comments.
QString macroFile(qsizetype bytes) {
    QString text = QStringLiteral("# generated\r\n[!Helper]\r\n\t-HOME\r\n\t?menustate=0\r\n\t-UP\r\n\t-LEFT\r\n"
                                  "\t?menuitem=1\r\nEND-OF-MACRO\r\n");
    for (int n = 0; text.size() < bytes; ++n) {
        text += QStringLiteral("[Macro %1]\r\n"
                               "\tI Helper\r\n"
                               "\t-RIGHT\t\t# next item\r\n"
                               "{BACKUP}\r\n"
                               "\t?menustate=14\r\n"
                               "\tS rock %2.\r\n"
                               "\t?L=\"rock %2\"\r\n"
                               "\tD 300\r\n"
                               "\tM 3\r\n"
                               "\t-VOLp\r\n"
                               "END-OF-MACRO\r\n\r\n")
                    .arg(n)
                    .arg(n % 10);
    }
    return text;
}

void LoadMacrosOfSize(benchmark::State &state) {
    QTemporaryDir dir;
    const QString text = macroFile(qsizetype(state.range(0)));
    FileBits::WriteWholeFile(QDir(dir.path()).filePath(QStringLiteral("macros.txt")), text);
    MacroTable table;
    for (auto _ : state) {
        LoadMacros(table, dir.path());
        benchmark::DoNotOptimize(table.Macros.data());
    }
    size_t steps = 0;
    for (const MacroDef &m : table.Macros) {
        steps += m.Steps.size();
    }
    state.counters["macros"] = double(table.Macros.size());
    state.counters["steps"] = double(steps);
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(text.size()));
    state.SetComplexityN(state.range(0));
}

} // namespace

BENCHMARK(LoadMacrosOfSize)
    ->RangeMultiplier(2)
    ->Range(64 << 10, 1 << 20)
    ->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oN);
BENCHMARK_MAIN();
