// SPDX-License-Identifier: GPL-3.0-or-later
// quillet-bench: times the fills, a heading click, the exports and a deletion on large
// device folders, next to the naive procedures they replace.
//
//   quillet-bench [--quillet_folders=DIR] [benchmark options]
//
// DIR holds the folders that writeBenchFolders writes (quillet-bench-peak --make DIR
// writes them); without it they are written into a scratch directory first.

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <unistd.h>

#include "app/delete_command.h"
#include "app/fill_list.h"
#include "bench_folder.h"
#include "edit/file_operations.h"
#include "export/gpx_export.h"
#include "naive_baselines.h"
#include "preview/build_scene.h"
#include "preview/preview_selection.h"
#include "scenarios.h"
#include "views/list_text.h"

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
void BM_FillWaypoints_Real(benchmark::State& bm) {
    fillView(bm, folder::kRealWaypoints, ViewKind::Waypoints);
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

// ---- The preview of the active track: its points read again, projected, measured and
// thinned into the scene of an 800 x 600 picture.

void BM_PreviewActiveTrack(benchmark::State& bm) {
    auto& folder = opened(folder::kActiveTrack);
    showView(*folder.state, folder.ui, ViewKind::Tracks);
    selectAll(folder.state->list);
    std::size_t points = 0;
    std::size_t drawn = 0;
    for (auto _ : bm) {
        const preview::PreviewScene scene = preview::buildScene(
            preview::takeSelectedRows(*folder.state, ViewKind::Tracks).selection(), 800, 600);
        points = scene.tracks.at(0).pointCount;
        drawn = scene.tracks[0].line.size();
    }
    bm.counters["points"] = static_cast<double>(points);
    bm.counters["drawn"] = static_cast<double>(drawn);
}

// The two steps of that read: taking the rows (the file's bytes), which a window does on
// its main thread, and reading the points out of them, which its worker does.
void BM_PreviewTakeActiveTrack(benchmark::State& bm) {
    auto& folder = opened(folder::kActiveTrack);
    showView(*folder.state, folder.ui, ViewKind::Tracks);
    selectAll(folder.state->list);
    for (auto _ : bm) {
        benchmark::DoNotOptimize(
            preview::takeSelectedRows(*folder.state, ViewKind::Tracks).wantsAWorker());
    }
}
void BM_PreviewReadActiveTrack(benchmark::State& bm) {
    auto& folder = opened(folder::kActiveTrack);
    showView(*folder.state, folder.ui, ViewKind::Tracks);
    selectAll(folder.state->list);
    std::size_t points = 0;
    for (auto _ : bm) {
        bm.PauseTiming();
        const preview::PreviewRows rows =
            preview::takeSelectedRows(*folder.state, ViewKind::Tracks);
        bm.ResumeTiming();
        points = rows.selection().tracks.at(0).points.size();
    }
    bm.counters["points"] = static_cast<double>(points);
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
void BM_SortClick_Real(benchmark::State& bm) {
    headingClick(bm, folder::kRealWaypoints, static_cast<std::size_t>(bm.range(0)));
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

// ---- The listing of quillet-cli list, written into a sink that keeps nothing

void listing(benchmark::State& bm, const char* name) {
    auto& folder = opened(name);
    showView(*folder.state, folder.ui, ViewKind::Waypoints);
    std::size_t bytes = 0;
    for (auto _ : bm) {
        bytes = 0;
        writeListing(folder.state->list, [&bytes](std::string_view piece) {
            bytes += piece.size();
            benchmark::DoNotOptimize(piece.data());
            return true;
        });
    }
    bm.SetBytesProcessed(static_cast<std::int64_t>(bytes) * bm.iterations());
    bm.counters["bytes"] = static_cast<double>(bytes);
}

void BM_ListWaypoints(benchmark::State& bm) {
    listing(bm, folder::kWaypoints);
}
void BM_ListWaypoints_Real(benchmark::State& bm) {
    listing(bm, folder::kRealWaypoints);
}

// ---- Exports of every row

void exportAll(benchmark::State& bm, const char* name, ViewKind view) {
    auto& folder = opened(name);
    showView(*folder.state, folder.ui, view);
    selectAll(folder.state->list);
    folder.ui.savePath = scratch(std::string(name) + ".gpx");
    std::uintmax_t bytes = 0;
    for (auto _ : bm) {
        // Each pass writes a new file, as an export mostly does: replacing the file of
        // the last pass would wait for the disk to finish writing it.
        bm.PauseTiming();
        fs::remove(folder.ui.savePath);
        ::sync();
        bm.ResumeTiming();
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
        bm.PauseTiming();
        fs::remove(output);
        ::sync();
        bm.ResumeTiming();
        bytes =
            naiveTrackExport(gFolders / folder::kSavedTracks / "GARMIN_STRK.NVM", tracks, output);
    }
    bm.SetBytesProcessed(static_cast<std::int64_t>(bytes) * bm.iterations());
    bm.counters["tracks"] = static_cast<double>(tracks.size());
}

// ---- Deletion of one waypoint from the middle of the file. Each pass deletes from a
// fresh copy of the folder, filled and with one row selected (not timed). The file
// operations are the system's, timed on their way through: the time of a pass is the
// rewrite up to the moment the new file has its name, without the two waits for the
// disk (the file's flush and the folder's), which are counted apart, as is the refill
// of the list that follows.

class TimedFileOperations final : public FileOperations {
public:
    using Clock = std::chrono::steady_clock;

    Clock::duration flushing{};
    Clock::time_point replaced{};  // when the folder was synced after the renames

    std::FILE* openForReading(const fs::path& path) override {
        return system_.openForReading(path);
    }
    std::FILE* createForWriting(const fs::path& path) override {
        return system_.createForWriting(path);
    }
    std::optional<std::size_t> read(std::FILE* file, std::span<std::uint8_t> dest) override {
        return system_.read(file, dest);
    }
    bool write(std::FILE* file, std::span<const std::uint8_t> bytes) override {
        return system_.write(file, bytes);
    }
    bool flushToDisk(std::FILE* file) override {
        const auto start = Clock::now();
        const bool done = system_.flushToDisk(file);
        flushing += Clock::now() - start;
        return done;
    }
    bool close(std::FILE* file) override { return system_.close(file); }
    bool removeFile(const fs::path& path) override { return system_.removeFile(path); }
    bool renameFile(const fs::path& from, const fs::path& to) override {
        return system_.renameFile(from, to);
    }
    bool linkFile(const fs::path& existing, const fs::path& newName) override {
        return system_.linkFile(existing, newName);
    }
    std::optional<FileSnapshot> snapshot(const fs::path& path, std::uint32_t recordCount) override {
        return system_.snapshot(path, recordCount);
    }
    bool syncDirectory(const fs::path& directory) override {
        const auto start = Clock::now();
        const bool done = system_.syncDirectory(directory);
        replaced = Clock::now();
        flushing += replaced - start;
        return done;
    }

private:
    SystemFileOperations system_;
};

double seconds(std::chrono::steady_clock::duration duration) {
    return std::chrono::duration<double>(duration).count();
}

void deleteOne(benchmark::State& bm, const char* name) {
    const auto copy = scratch(std::string("delete-") + name);
    copyFolder(gFolders / name, copy);
    BenchUi ui;
    auto state = openFolder(copy, ui);
    double flushSeconds = 0;
    double refillSeconds = 0;
    double totalSeconds = 0;
    for (auto _ : bm) {
        copyFolder(gFolders / name, copy);
        fillList(*state, ui);
        selectOnly(state->list, state->list.rowCount() / 2);
        // The copies and the files of the last pass go to the disk first: removing the
        // old backup must not wait for its own writing, as it never does in real use.
        ::sync();
        TimedFileOperations ops;
        const auto start = std::chrono::steady_clock::now();
        const DeleteResult result = onDelete(*state, ui, ops);
        const auto end = std::chrono::steady_clock::now();
        if (result.outcome != CommandOutcome::Done) {
            bm.SkipWithError("the deletion did not run");
            break;
        }
        bm.SetIterationTime(seconds(ops.replaced - start - ops.flushing));
        flushSeconds += seconds(ops.flushing);
        refillSeconds += seconds(end - ops.replaced);
        totalSeconds += seconds(end - start);
    }
    const auto perPass = [&](double total) {
        return benchmark::Counter(total * 1e3 / static_cast<double>(bm.iterations()));
    };
    bm.counters["flush_ms"] = perPass(flushSeconds);
    bm.counters["refill_ms"] = perPass(refillSeconds);
    bm.counters["total_ms"] = perPass(totalSeconds);
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
        ::sync();
        bm.ResumeTiming();
        naiveRewrite(copy / "GARMIN_WPT.NVM", copy / "GARMIN_WPT.NV_", copy / "GARMIN_WPT.BAK",
                     state->list, state->recordCount);
    }
    bm.counters["rows"] = static_cast<double>(state->list.rowCount());
}

BENCHMARK(BM_FillWaypoints)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FillWaypoints_Real)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FillTracks_Saved)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FillTracks_Active)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FillTracks_Both)->UseRealTime()->Unit(benchmark::kMillisecond);
// Columns: 1 "#", 2 "Name", 4 "Latitude", 7 "Universal time".
BENCHMARK(BM_SortClick)
    ->Arg(1)
    ->Arg(2)
    ->Arg(4)
    ->Arg(7)
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SortClick_Real)->Arg(2)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ListWaypoints)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ListWaypoints_Real)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SortClick_10k)->Arg(2)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_NaiveSort_10k)->Arg(2)->UseRealTime()->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_ExportWaypoints)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ExportTracks_Saved)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ExportTracks_Active)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ExportTracks_Both)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PreviewActiveTrack)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PreviewTakeActiveTrack)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PreviewReadActiveTrack)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_NaiveTrackExport)
    ->Arg(10)
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);
BENCHMARK(BM_DeleteOneWaypoint)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DeleteOneWaypoint_10k)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_NaiveDelete_10k)->UseRealTime()->Unit(benchmark::kMillisecond)->Iterations(3);

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
