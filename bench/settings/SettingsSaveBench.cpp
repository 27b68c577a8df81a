// What one save of the settings file costs: a value changed, then the whole file written in one
// step (read back, changes laid over, written, flushed, synced, renamed). For a file as the
// program writes it, and for the largest file it accepts to read.
//   settings_save_bench
//   settings_save_bench --benchmark_filter=Largest

#include "settings/INIFILES.h"

#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

// A file as a few weeks of use leave it: the main window's keys, the time-outs, six window
// places and the places of three remote layouts.
QByteArray TypicalFile() {
    QByteArray text = "[General]\r\nLastRemote=remote1\r\nRaidoURL=192.168.1.119\r\nRaidoPORT=8080\r\n"
                      "KeepConnected=0\r\nAutoRefresh=1\r\nAuto21Exit=1\r\nUnLock=0\r\n"
                      "ConsoleAddress=192.168.1.88\r\nConsolePort=8899\r\n"
                      "[Timeouts]\r\nConnect=0.5\r\nPollWhenOn=10\r\nPollWhenOff=60\r\n";
    for (const char *window : {"ConfigForm", "RemoteForm", "DisplayForm", "MacroForm", "InfoForm", "ConsoleForm",
                               "remote1", "remote2", "remote3"}) {
        text += QByteArray("[") + window + "]\r\nFC=120,93.33334,400,250,\r\n";
    }
    text += "[UpdateForm]\r\nTL=1500,3000,\r\n[DisplayForm]\r\nOpen=1\r\n";
    return text;
}

// Just under the largest size read: many layouts' places, as a file that grew for years might.
QByteArray LargestFile() {
    QByteArray text = TypicalFile();
    for (int i = 0; text.size() < INIFILES::MaxFileBytes - 64; ++i) {
        text += "[layout" + QByteArray::number(i) + "]\r\nFC=120,93.33334,400,250,\r\n";
    }
    return text;
}

void SaveOneChange(benchmark::State &state, const QByteArray &file) {
    QTemporaryDir dir;
    INIFILES ini;
    ini.SetProgramPaths(dir.filePath(QStringLiteral("CVRemote")));
    {
        QFile f(ini.SettingsFile());
        if (!f.open(QIODevice::WriteOnly) || f.write(file) != file.size()) {
            state.SkipWithError("cannot write the settings file");
            return;
        }
    }
    int n = 0;
    for (auto _ : state) {
        ini.WriteSetting(QStringLiteral("General"), QStringLiteral("RaidoPORT"), QString::number(8000 + (++n % 2)));
        if (!ini.Save().ok) {
            state.SkipWithError("save failed");
            return;
        }
    }
    state.SetBytesProcessed(qint64(state.iterations()) * file.size());
    state.counters["file_bytes"] = double(file.size());
}

void BM_SaveTypicalFile(benchmark::State &state) {
    SaveOneChange(state, TypicalFile());
}

void BM_SaveLargestAcceptedFile(benchmark::State &state) {
    SaveOneChange(state, LargestFile());
}

// A thousand keys changed between two saves still make one write.
void BM_SaveThousandChanges(benchmark::State &state) {
    QTemporaryDir dir;
    INIFILES ini;
    ini.SetProgramPaths(dir.filePath(QStringLiteral("CVRemote")));
    int n = 0;
    for (auto _ : state) {
        ++n;
        for (int k = 0; k < 1000; ++k) {
            ini.WriteSetting(QStringLiteral("layout%1").arg(k), QStringLiteral("FC"), QString::number(n));
        }
        if (!ini.Save().ok) {
            state.SkipWithError("save failed");
            return;
        }
    }
}

} // namespace

BENCHMARK(BM_SaveTypicalFile)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_SaveLargestAcceptedFile)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SaveThousandChanges)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
