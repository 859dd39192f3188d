// quillet-bench: times the fills, a heading click, the exports and a deletion on large
// device folders, next to the naive procedures they replace.
//
//   quillet-bench [--quillet_folders=DIR] [benchmark options]
//
// DIR holds the folders that writeBenchFolders writes (quillet-bench-peak --make DIR
// writes them); without it they are written into a scratch directory first.

#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <unistd.h>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/fill_list.h"
#include "bench_folder.h"
#include "edit/delete_records.h"
#include "export/gpx_export.h"
#include "naive_baselines.h"
#include "scenarios.h"

namespace fs = std::filesystem;
using namespace quillet;
using namespace quillet::bench;

namespace {

fs::path gFolders;                   // the folders of writeBenchFolders
std::optional<ScratchDir> gScratch;  // outputs, copies, and the folders when generated

// One opened folder per name, kept for the whole run: opening a folder fills its first
// tab, which the benchmarks that do not time fills need not repeat.
struct Opened {
    BenchUi ui;
    std::unique_ptr<AppState> state;
};

Opened& opened(const std::string& name) {
    static std::map<std::string, Opened> folders;
    auto& entry = folders[name];
    if (!entry.state) {
        entry.state = openFolder(gFolders / name, entry.ui);
    }
    return entry;
}

fs::path scratch(const std::string& name) {
    return gScratch->path() / name;
}

// ---- Fills

void fillView(benchmark::State& bm, const char* name, ViewKind view) {
    auto& folder = opened(name);
    showView(*folder.state, folder.ui, view);
    for (auto _ : bm) {
        fillList(*folder.state, folder.ui);
    }
    bm.counters["rows"] = static_cast<double>(folder.state->list.rowCount());
}

void BM_FillWaypoints(benchmark::State& bm) {
    fillView(bm, folder::kWaypoints, ViewKind::Waypoints);
}
void BM_FillTracks_Saved(benchmark::State& bm) {
    fillView(bm, folder::kSavedTracks, ViewKind::Tracks);
}
void BM_FillTracks_Active(benchmark::State& bm) {
    fillView(bm, folder::kActiveTrack, ViewKind::Tracks);
}
void BM_FillTracks_Both(benchmark::State& bm) {
    fillView(bm, folder::kTracks, ViewKind::Tracks);
}

// ---- A heading click: from the list as a fill leaves it, sorted by number.

void headingClick(benchmark::State& bm, const char* name, std::size_t column) {
    auto& folder = opened(name);
    showView(*folder.state, folder.ui, ViewKind::Waypoints);
    const RecordList filled = folder.state->list;
    for (auto _ : bm) {
        bm.PauseTiming();
        folder.state->list = filled;
        bm.ResumeTiming();
        folder.state->list.onColumnClick(column);
    }
    bm.counters["rows"] = static_cast<double>(filled.rowCount());
}

void BM_SortClick(benchmark::State& bm) {
    headingClick(bm, folder::kWaypoints, static_cast<std::size_t>(bm.range(0)));
}
void BM_SortClick_10k(benchmark::State& bm) {
    headingClick(bm, folder::kWaypoints10k, static_cast<std::size_t>(bm.range(0)));
}

void BM_NaiveSort_10k(benchmark::State& bm) {
    auto& folder = opened(folder::kWaypoints10k);
    showView(*folder.state, folder.ui, ViewKind::Waypoints);
    const auto column = static_cast<std::size_t>(bm.range(0));
    for (auto _ : bm) {
        benchmark::DoNotOptimize(naiveSortOrder(folder.state->list, column, true));
    }
    bm.counters["rows"] = static_cast<double>(folder.state->list.rowCount());
}

// ---- Exports of every row

void exportAll(benchmark::State& bm, const char* name, ViewKind view) {
    auto& folder = opened(name);
    showView(*folder.state, folder.ui, view);
    selectAll(folder.state->list);
    folder.ui.savePath = scratch(std::string(name) + ".gpx");
    std::uintmax_t bytes = 0;
    for (auto _ : bm) {
        bytes = exportSelected(*folder.state, folder.ui);
    }
    bm.SetBytesProcessed(static_cast<std::int64_t>(bytes) * bm.iterations());
    bm.counters["rows"] = static_cast<double>(folder.state->list.rowCount());
    bm.counters["bytes"] = static_cast<double>(bytes);
}

void BM_ExportWaypoints(benchmark::State& bm) {
    exportAll(bm, folder::kWaypoints, ViewKind::Waypoints);
}
void BM_ExportTracks_Saved(benchmark::State& bm) {
    exportAll(bm, folder::kSavedTracks, ViewKind::Tracks);
}
void BM_ExportTracks_Active(benchmark::State& bm) {
    exportAll(bm, folder::kActiveTrack, ViewKind::Tracks);
}
void BM_ExportTracks_Both(benchmark::State& bm) {
    exportAll(bm, folder::kTracks, ViewKind::Tracks);
}

// The naive track export writes `range(0)` of the saved tracks; each costs one walk
// through the whole file, so all of them cost kSavedTracks / range(0) times as much.
void BM_NaiveTrackExport(benchmark::State& bm) {
    std::vector<std::uint32_t> tracks;
    for (std::uint32_t t = 1; t <= static_cast<std::uint32_t>(bm.range(0)); ++t) {
        tracks.push_back(t * static_cast<std::uint32_t>(kSavedTracks / bm.range(0)));
    }
    const auto output = scratch("naive-tracks.gpx");
    std::uintmax_t bytes = 0;
    for (auto _ : bm) {
        bytes =
            naiveTrackExport(gFolders / folder::kSavedTracks / "GARMIN_STRK.NVM", tracks, output);
    }
    bm.SetBytesProcessed(static_cast<std::int64_t>(bytes) * bm.iterations());
    bm.counters["tracks"] = static_cast<double>(tracks.size());
}

// ---- Deletion of one waypoint from the middle of the file. Each pass deletes from a
// fresh copy of the folder, filled and with one row selected (not timed).

void deleteOne(benchmark::State& bm, const char* name) {
    const auto copy = scratch(std::string("delete-") + name);
    copyFolder(gFolders / name, copy);
    BenchUi ui;
    auto state = openFolder(copy, ui);
    for (auto _ : bm) {
        bm.PauseTiming();
        copyFolder(gFolders / name, copy);
        fillList(*state, ui);
        selectOnly(state->list, state->list.rowCount() / 2);
        bm.ResumeTiming();
        if (onDelete(*state, ui).outcome != CommandOutcome::Done) {
            bm.SkipWithError("the deletion did not run");
            break;
        }
    }
    bm.counters["rows"] = static_cast<double>(state->list.rowCount() + 1);
}

void BM_DeleteOneWaypoint(benchmark::State& bm) {
    deleteOne(bm, folder::kWaypoints);
}
void BM_DeleteOneWaypoint_10k(benchmark::State& bm) {
    deleteOne(bm, folder::kWaypoints10k);
}

void BM_NaiveDelete_10k(benchmark::State& bm) {
    const auto copy = scratch("naive-delete");
    copyFolder(gFolders / folder::kWaypoints10k, copy);
    BenchUi ui;
    auto state = openFolder(copy, ui);
    for (auto _ : bm) {
        bm.PauseTiming();
        copyFolder(gFolders / folder::kWaypoints10k, copy);
        fillList(*state, ui);
        selectOnly(state->list, state->list.rowCount() / 2);
        bm.ResumeTiming();
        naiveRewrite(copy / "GARMIN_WPT.NVM", copy / "GARMIN_WPT.NV_", copy / "GARMIN_WPT.BAK",
                     state->list, state->recordCount);
    }
    bm.counters["rows"] = static_cast<double>(state->list.rowCount());
}

// What the flush of a rewritten waypoint file costs on this disk: a file of the same
// size written and flushed with fsync.
void BM_FlushWaypointFile(benchmark::State& bm) {
    const auto size = fs::file_size(gFolders / folder::kWaypoints / "GARMIN_WPT.NVM");
    const std::vector<char> bytes(size, 'x');
    const auto path = scratch("flush.bin");
    for (auto _ : bm) {
        const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (fd < 0 || ::write(fd, bytes.data(), bytes.size()) < 0) {
            bm.SkipWithError("cannot write the flush file");
            break;
        }
        ::fsync(fd);
        ::close(fd);
    }
}

BENCHMARK(BM_FillWaypoints)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FillTracks_Saved)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FillTracks_Active)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FillTracks_Both)->Unit(benchmark::kMillisecond);
// Columns: 1 "#", 2 "Name", 4 "Latitude", 7 "Universal time".
BENCHMARK(BM_SortClick)->Arg(1)->Arg(2)->Arg(4)->Arg(7)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SortClick_10k)->Arg(2)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_NaiveSort_10k)->Arg(2)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_ExportWaypoints)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ExportTracks_Saved)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ExportTracks_Active)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ExportTracks_Both)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_NaiveTrackExport)->Arg(10)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_DeleteOneWaypoint)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DeleteOneWaypoint_10k)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_NaiveDelete_10k)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_FlushWaypointFile)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
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
    gScratch.emplace();
    if (gFolders.empty()) {
        gFolders = gScratch->path() / "folders";
        std::fprintf(stderr, "writing the benchmark folders into %s ...\n", gFolders.c_str());
        writeBenchFolders(gFolders);
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
