// SPDX-License-Identifier: GPL-3.0-or-later
// quillet-bench-peak: runs one scenario once in a fresh process and prints its peak
// resident memory, so that every scenario's figure is its own.
//
//   quillet-bench-peak --make DIR                 writes the benchmark folders into DIR
//   quillet-bench-peak SCENARIO DIR WORK          runs SCENARIO on the folders in DIR,
//                                                 writing outputs and copies into WORK
//
// Prints one line: SCENARIO, the process's peak (KiB), the peak while the timed
// operation ran above the resident size just before it (KiB), the bytes written, the
// heap memory the operation left in use above what was in use before it (KiB), the rows
// of the list and the bytes of their texts.

#include <cstdio>
#include <exception>
#include <filesystem>
#include <functional>
#include <map>
#include <string>

#include "app/delete_command.h"
#include "app/fill_list.h"
#include "bench_folder.h"
#include "scenarios.h"

namespace fs = std::filesystem;
using namespace quillet;
using namespace quillet::bench;

namespace {

struct Run {
    fs::path folders;
    fs::path work;
    BenchUi ui;
    std::unique_ptr<AppState> state;
    std::uintmax_t bytes = 0;
};

// The setup of a scenario (not measured) and its operation (measured).
struct Scenario {
    std::function<void(Run&)> setup;
    std::function<void(Run&)> operation;
};

Scenario fill(const char* name, ViewKind view) {
    return {[](Run&) {},
            [=](Run& run) {
                run.state = openFolder(run.folders / name, run.ui);
                showView(*run.state, run.ui, view);
            }};
}

Scenario exportAll(const char* name, ViewKind view) {
    return {[=](Run& run) {
                run.state = openFolder(run.folders / name, run.ui);
                showView(*run.state, run.ui, view);
                selectAll(run.state->list);
                run.ui.savePath = run.work / (std::string(name) + ".gpx");
            },
            [](Run& run) { run.bytes = exportSelected(*run.state, run.ui); }};
}

const std::map<std::string, Scenario>& scenarios() {
    static const std::map<std::string, Scenario> all{
        {"fill-waypoints", fill(folder::kWaypoints, ViewKind::Waypoints)},
        {"fill-waypoints-real", fill(folder::kRealWaypoints, ViewKind::Waypoints)},
        {"fill-saved-tracks", fill(folder::kSavedTracks, ViewKind::Tracks)},
        {"fill-tracks", fill(folder::kTracks, ViewKind::Tracks)},
        {"sort-waypoints",
         {[](Run& run) { run.state = openFolder(run.folders / folder::kWaypoints, run.ui); },
          [](Run& run) { run.state->list.onColumnClick(2); }}},
        {"export-waypoints", exportAll(folder::kWaypoints, ViewKind::Waypoints)},
        {"export-saved-tracks", exportAll(folder::kSavedTracks, ViewKind::Tracks)},
        {"export-tracks", exportAll(folder::kTracks, ViewKind::Tracks)},
        {"export-active-100k", exportAll(folder::kActiveTrack100k, ViewKind::Tracks)},
        {"export-active-1m", exportAll(folder::kActiveTrack, ViewKind::Tracks)},
        {"delete-waypoint",
         {[](Run& run) {
              const auto copy = run.work / "delete-waypoint";
              copyFolder(run.folders / folder::kWaypoints, copy);
              run.state = openFolder(copy, run.ui);
              selectOnly(run.state->list, run.state->list.rowCount() / 2);
          },
          [](Run& run) {
              if (onDelete(*run.state, run.ui).outcome != CommandOutcome::Done) {
                  throw std::runtime_error("the deletion did not run");
              }
          }}},
    };
    return all;
}

}  // namespace

int main(int argc, char** argv) try {
    if (argc == 3 && std::string(argv[1]) == "--make") {
        writeBenchFolders(argv[2]);
        return 0;
    }
    if (argc != 4 || !scenarios().contains(argv[1])) {
        std::fprintf(stderr,
                     "usage: quillet-bench-peak --make DIR | SCENARIO DIR WORK\nscenarios:");
        for (const auto& [name, scenario] : scenarios()) {
            std::fprintf(stderr, " %s", name.c_str());
        }
        std::fprintf(stderr, "\n");
        return 2;
    }
    const Scenario& scenario = scenarios().at(argv[1]);
    Run run;
    run.folders = argv[2];
    run.work = argv[3];
    fs::create_directories(run.work);
    scenario.setup(run);
    const std::size_t before = currentResidentKiB();
    const std::size_t heapBefore = heapInUseKiB();
    resetPeakResident();
    scenario.operation(run);
    const std::size_t peak = peakResidentKiB();
    const std::size_t heapAfter = heapInUseKiB();
    std::size_t rows = 0;
    std::size_t textBytes = 0;
    if (run.state) {
        const RecordList& list = run.state->list;
        rows = list.rowCount();
        for (std::size_t row = 0; row < rows; ++row) {
            for (std::size_t column = 0; column < list.columnCount(); ++column) {
                textBytes += list.text(row, column).size();
            }
        }
    }
    std::printf("%s %zu %zu %ju %zu %zu %zu\n", argv[1], peak, peak > before ? peak - before : 0,
                run.bytes, heapAfter > heapBefore ? heapAfter - heapBefore : 0, rows, textBytes);
    return 0;
} catch (const std::exception& error) {
    std::fprintf(stderr, "quillet-bench-peak: %s\n", error.what());
    return 1;
}
