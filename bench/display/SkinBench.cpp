// Loading the skin's screen file: the display window does it at start and on every reload,
// so a large hand-made skin must still load at once. Time should grow linearly with size.
#include "platform/FileBits.h"
#include "skin/Skin.h"

#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

// A screen file of about `bytes` bytes made of definitions like the shipped skin's.
QString screenFileOfSize(qsizetype bytes) {
    QString text;
    text.reserve(bytes + 512);
    for (int n = 0; text.size() < bytes; ++n) {
        const QString number = QString::number(n);
        text += QStringLiteral("; screen ") + number + QStringLiteral("\r\n[screen") + number +
                QStringLiteral("]\r\nB=,,320x240/list,main,EXIT\r\nS=top\r\nI=list\r\n");
        for (int i = 0; i < 8; ++i) {
            text += QStringLiteral("O=L8,T2,320x240/menu/item") + QString::number(i) + QStringLiteral(",Caption ") +
                    QString::number(i) + QStringLiteral(",OK\r\n");
            text += QStringLiteral("L=12,T24,%INFO,Entry,\r\n");
        }
    }
    return text;
}

void GetTheMenuArrayOfFileSize(benchmark::State &state) {
    QTemporaryDir dir;
    const QString text = screenFileOfSize(state.range(0));
    FileBits::WriteWholeFile(dir.filePath(QStringLiteral("menus.txt")), text);
    SkinTables skin;
    for (auto _ : state) {
        GetTheMenuArray(skin, dir.path());
        benchmark::DoNotOptimize(skin.MenuArray.data());
    }
    state.SetBytesProcessed(state.iterations() * state.range(0));
    state.SetComplexityN(state.range(0));
    state.counters["definitions"] = double(skin.MenuArray.size());
}

} // namespace

BENCHMARK(GetTheMenuArrayOfFileSize)
    ->RangeMultiplier(2)
    ->Range(128 << 10, 4 << 20)
    ->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oN);

BENCHMARK_MAIN();
