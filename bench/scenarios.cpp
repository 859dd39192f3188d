// SPDX-License-Identifier: GPL-3.0-or-later
#include "scenarios.h"

#include <malloc.h>

#include <fstream>
#include <stdexcept>
#include <string>

#include "app/fill_list.h"
#include "app/make_gpx_command.h"
#include "app/startup.h"
#include "export/gpx_export.h"

namespace quillet::bench {

namespace {

std::size_t statusKiB(const std::string& field) {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind(field, 0) == 0) {
            return std::stoul(line.substr(field.size()));
        }
    }
    return 0;
}

}  // namespace

std::unique_ptr<AppState> openFolder(const std::filesystem::path& folder, UserInterface& ui) {
    auto state = startUp(folder, ui);
    if (!state) {
        throw std::runtime_error("no device file in " + folder.string());
    }
    return state;
}

void showView(AppState& state, UserInterface& ui, ViewKind view) {
    const std::optional<int> tab = tabOf(state, view);
    if (!tab) {
        throw std::runtime_error("the folder has no tab for the view");
    }
    switchToTab(state, ui, *tab);
}

void selectAll(RecordList& list) {
    for (std::size_t row = 0; row < list.rowCount(); ++row) {
        list.setSelected(row, true);
    }
}

void selectOnly(RecordList& list, std::size_t row) {
    for (std::size_t r = 0; r < list.rowCount(); ++r) {
        list.setSelected(r, r == row);
    }
}

std::uintmax_t exportSelected(AppState& state, BenchUi& ui) {
    if (onMakeGpx(state, ui) != CommandOutcome::Done) {
        throw std::runtime_error("the export did not run");
    }
    return std::filesystem::file_size(ui.savePath);
}

void copyFolder(const std::filesystem::path& from, const std::filesystem::path& to) {
    namespace fs = std::filesystem;
    fs::create_directories(to);
    for (const auto& entry : fs::directory_iterator(from)) {
        if (entry.path().extension() == ".NVM") {
            fs::copy_file(entry.path(), to / entry.path().filename(),
                          fs::copy_options::overwrite_existing);
        }
    }
}

std::size_t peakResidentKiB() {
    return statusKiB("VmHWM:");
}

std::size_t currentResidentKiB() {
    return statusKiB("VmRSS:");
}

std::size_t heapInUseKiB() {
    const struct mallinfo2 info = mallinfo2();
    return (info.uordblks + info.hblkhd) / 1024;
}

void resetPeakResident() {
    std::ofstream("/proc/self/clear_refs") << "5";
}

}  // namespace quillet::bench
