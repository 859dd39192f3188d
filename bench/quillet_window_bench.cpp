// SPDX-License-Identifier: GPL-3.0-or-later
// quillet-window-bench: the window on a folder of 100,000 realistic waypoints, from the
// start of its creation (start-up, which fills the first tab) until the list has been
// painted with its first rows, through the table model and view the program uses. Runs
// on any Qt platform; QT_QPA_PLATFORM=offscreen needs no display.
//
// BM_PreviewOfActiveTrack: the "Preview" window on the selected active track of
// 1,000,000 points, from Space until the picture with its elevation profile has been
// painted. Its time is the main thread's alone (the window's calls and the events it
// handles); "longest_ms" is the longest the main thread was busy in one go, and
// "latency_ms" the wall time until the picture was there, "opening_ms" the part of
// the main thread's time before the worker took over.
//
//   quillet-window-bench [--quillet_folders=DIR] [benchmark options]

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QPixmap>
#include <QTableView>
#include <algorithm>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <optional>
#include <thread>
#include <vector>

#include "bench_folder.h"
#include "main_window.h"
#include "preview_window.h"
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

void BM_PreviewOfActiveTrack(benchmark::State& bm) {
    using Clock = std::chrono::steady_clock;
    const auto seconds = [](Clock::duration d) { return std::chrono::duration<double>(d).count(); };
    BenchUi ui;
    double longest = 0;
    double latency = 0;
    double opening = 0;
    std::size_t profilePoints = 0;
    for (auto _ : bm) {
        auto window = gui::openMainWindow(gFolders / folder::kActiveTrack, ui);
        if (!window) {
            bm.SkipWithError("the window did not open");
            break;
        }
        window->show();
        QApplication::processEvents();
        window->listView()->selectRow(0);
        QApplication::processEvents();

        const Clock::time_point start = Clock::now();
        double busy = 0;
        longest = 0;
        const auto onMainThread = [&](auto&& work) {
            const Clock::time_point from = Clock::now();
            work();
            const double took = seconds(Clock::now() - from);
            busy += took;
            longest = std::max(longest, took);
        };
        onMainThread([&] { window->showPreview(); });
        gui::PreviewWindow* preview = window->previewWindow();
        opening = busy;
        // The main thread is free while the worker draws: its event loop would wait.
        while (preview->layingOut()) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        onMainThread([&] {
            QApplication::processEvents();
            benchmark::DoNotOptimize(preview->grab().isNull());
        });
        latency = seconds(Clock::now() - start);
        bm.SetIterationTime(busy);
        if (!preview->scene().profile) {
            bm.SkipWithError("no elevation profile");
            break;
        }
        profilePoints = preview->scene().profile->line.size();
        bm.PauseTiming();
        window.reset();
        QApplication::processEvents();
        bm.ResumeTiming();
    }
    bm.counters["longest_ms"] = longest * 1000;
    bm.counters["latency_ms"] = latency * 1000;
    bm.counters["opening_ms"] = opening * 1000;
    bm.counters["profile_points"] = static_cast<double>(profilePoints);
}

BENCHMARK(BM_WindowShowsRows)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WindowShowsRows_Real)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PreviewOfActiveTrack)->UseManualTime()->Unit(benchmark::kMillisecond);

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
