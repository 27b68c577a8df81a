// Building and refreshing the emulated screen from the shipped skin. DisplayScreen runs on
// every screen change the radio reports; RefreshDisplays after every reply and on every 100 ms
// display tick, so it must stay far below a millisecond.
#include "display/ScreenRenderer.h"
#include "session/RadioSession.h"
#include "session/RadioView.h"
#include "settings/INIFILES.h"
#include "skin/Skin.h"
#include "support/FakePlatform.h"
#include "support/FixedWallClock.h"

#include <QGuiApplication>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

const QString Data = QStringLiteral(CV_DATA_DIR);

struct Shipped {
    QTemporaryDir folder;
    FakePlatform platform;
    RadioSession session{platform, folder.path()};
    SkinTables &skin = session.skin();
    RadioView &view = session.view();
    FixedWallClock clock{QDateTime(QDate(2026, 12, 6), QTime(18, 30, 5))};

    Shipped() {
        INIFILES ini;
        GetTheMenuArray(skin, Data);
        GetTheIndexs(skin, ini, Data);
    }
};

// The main menu's first page: sixteen icons with captions, three status icons, five labels.
void DisplayScreenCold(benchmark::State &state) {
    Shipped shipped;
    for (auto _ : state) {
        ScreenRenderer renderer(shipped.session, shipped.clock, Data);
        renderer.DisplayScreen(QStringLiteral("main2"));
        benchmark::DoNotOptimize(renderer.OverlayImages.data());
    }
}

void DisplayScreenWarm(benchmark::State &state) {
    Shipped shipped;
    ScreenRenderer renderer(shipped.session, shipped.clock, Data);
    renderer.DisplayScreen(QStringLiteral("main2"));
    for (auto _ : state) {
        renderer.DisplayScreen(QStringLiteral("main2"));
        benchmark::DoNotOptimize(renderer.OverlayImages.data());
    }
    state.counters["disk loads"] = renderer.diskLoads();
}

// Three full lists on one screen: seven entries of the station list, the now-playing lines and
// the menu lines, each with its selection, plus the time.
void RefreshDisplaysThreeLists(benchmark::State &state) {
    Shipped shipped;
    QString set = QStringLiteral("[bench]\r\nB=,,320x240/list,,\r\nI=bench\r\n[Labels_bench]\r\nL=28,4,%TIME,,\r\n");
    for (const char *token : {"%INFO", "%META", "%MENU"}) {
        for (int i = 0; i < 9; ++i) {
            set += QStringLiteral("L=12,T24,") + QLatin1String(token) + QStringLiteral(",,\r\n");
        }
    }
    ParseScreenFile(shipped.skin, set);
    RadioView &view = shipped.view;
    view.InfoList = {QStringLiteral("List - Updated 06/12/2026 18:30"), QStringLiteral("pos=10 (3)")};
    for (int i = 1; i <= 7; ++i) {
        view.InfoList << QString::number(i) + QStringLiteral("=Station number ") + QString::number(i);
    }
    view.MetaList = {QStringLiteral("Meta - Updated"),
                     QStringLiteral("title=Velvet Rain"),
                     QStringLiteral("artist=Ella Northwood"),
                     QStringLiteral("album=After Hours"),
                     QStringLiteral("url=http://streams.example.net/smooth-jazz.mp3"),
                     QStringLiteral("status=playing")};
    view.MenuList = {QStringLiteral("Menu - Updated"), QStringLiteral("state=3"), QStringLiteral("mp=1"),
                     QStringLiteral("ms=1"), QStringLiteral("title=Stations")};
    view.InfoListEnabled = view.MetaListEnabled = true;
    view.InfoListIndex = 4;
    view.MetaListIndex = 2;
    ScreenRenderer renderer(shipped.session, shipped.clock, Data);
    renderer.DisplayScreen(QStringLiteral("bench"));
    for (auto _ : state) {
        renderer.RefreshDisplays();
        benchmark::DoNotOptimize(renderer.OverlayLabel.data());
    }
    state.counters["labels"] = double(renderer.OverlayLabel.size());
}

void RenderMainMenu(benchmark::State &state) {
    Shipped shipped;
    ScreenRenderer renderer(shipped.session, shipped.clock, Data);
    renderer.DisplayScreen(QStringLiteral("main2"));
    for (auto _ : state) {
        benchmark::DoNotOptimize(renderer.render());
    }
}

} // namespace

BENCHMARK(DisplayScreenCold)->Unit(benchmark::kMillisecond);
BENCHMARK(DisplayScreenWarm)->Unit(benchmark::kMillisecond);
BENCHMARK(RefreshDisplaysThreeLists)->Unit(benchmark::kMicrosecond);
BENCHMARK(RenderMainMenu)->Unit(benchmark::kMillisecond);

// Text needs a GUI application's fonts; none is shown.
int main(int argc, char **argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
