// quillet-window-bench: the window on a folder of 100,000 realistic waypoints, from the
// start of its creation (start-up, which fills the first tab) until the list has been
// painted with its first rows, through the table model and view the program uses. Runs
// on any Qt platform; QT_QPA_PLATFORM=offscreen needs no display.
//
//   quillet-window-bench [--quillet_folders=DIR] [benchmark options]

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QPixmap>
#include <QTableView>
#include <cstring>
#include <filesystem>
#include <optional>
#include <vector>

#include "bench_folder.h"
#include "main_window.h"
#include "scenarios.h"

namespace fs = std::filesystem;
using namespace quillet;
using namespace quillet::bench;

namespace {

fs::path gFolders;

void windowOn(benchmark::State& bm, const char* name) {
    BenchUi ui;
    std::size_t rows = 0;
    for (auto _ : bm) {
        auto window = gui::openMainWindow(gFolders / name, ui);
        if (!window) {
            bm.SkipWithError("the window did not open");
            break;
        }
        window->show();
        QApplication::processEvents();
        // Painting the list into a picture paints every row the list shows.
        const QPixmap painted = window->listView()->viewport()->grab();
        benchmark::DoNotOptimize(painted.isNull());
        rows = window->state().list.rowCount();
        bm.PauseTiming();
        window.reset();
        QApplication::processEvents();
        bm.ResumeTiming();
    }
    bm.counters["rows"] = static_cast<double>(rows);
}

void BM_WindowShowsRows(benchmark::State& bm) {
    windowOn(bm, folder::kWaypoints);
}
void BM_WindowShowsRows_Real(benchmark::State& bm) {
    windowOn(bm, folder::kRealWaypoints);
}

BENCHMARK(BM_WindowShowsRows)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WindowShowsRows_Real)->UseRealTime()->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    std::vector<char*> args;
    constexpr const char* kFoldersFlag = "--quillet_folders=";
    for (int i = 0; i < argc; ++i) {
        if (std::strncmp(argv[i], kFoldersFlag, std::strlen(kFoldersFlag)) == 0) {
            gFolders = argv[i] + std::strlen(kFoldersFlag);
        } else {
            args.push_back(argv[i]);
        }
    }
    int count = static_cast<int>(args.size());
    benchmark::Initialize(&count, args.data());
    if (benchmark::ReportUnrecognizedArguments(count, args.data())) {
        return 1;
    }
    std::optional<ScratchDir> scratch;
    if (gFolders.empty()) {
        scratch.emplace();
        gFolders = scratch->path() / "folders";
        writeBenchFolders(gFolders);
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
