// SPDX-License-Identifier: GPL-3.0-or-later
#include "fuzz_support.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>

#include "app/fill_list.h"

namespace quillet::fuzz {

namespace {

std::uint32_t loadLe(const Bytes& bytes, std::size_t at, std::size_t size) {
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < size; ++i) {
        if (at + i < bytes.size()) {
            value |= static_cast<std::uint32_t>(bytes[at + i]) << (8 * i);
        }
    }
    return value;
}

std::uint64_t packedSizeOf(std::uint32_t points) {
    const std::uint32_t rest = points % 8;
    const std::uint64_t partial = rest == 0 ? 0 : rest == 1 ? 12 : 12 * rest + 1;
    return 97ull * (points / 8) + partial;
}

constexpr std::size_t kHeaderSize = 16;
constexpr std::size_t kCountOffset = 12;
constexpr std::size_t kTrackHeaderSize = 54;

}  // namespace

void fail(std::string_view property, std::string_view detail) {
    std::fprintf(stderr, "\n*** property broken: %.*s\n%.*s\n", static_cast<int>(property.size()),
                 property.data(), static_cast<int>(detail.size()), detail.data());
    std::abort();
}

ScratchFolder::ScratchFolder() {
    std::error_code error;
    std::filesystem::path base = "/dev/shm";
    if (!std::filesystem::is_directory(base, error)) {
        base = std::filesystem::temp_directory_path();
    }
    path_ = base / ("quillet-fuzz-" + std::to_string(::getpid()));
    std::filesystem::remove_all(path_, error);
    std::filesystem::create_directories(path_);
}

ScratchFolder::~ScratchFolder() {
    std::error_code error;
    std::filesystem::remove_all(path_, error);
}

void ScratchFolder::write(const FuzzCase& fuzzCase) const {
    for (const auto& entry : std::filesystem::directory_iterator(path_)) {
        std::filesystem::remove_all(entry.path());
    }
    const auto put = [&](const char* name, const std::optional<Bytes>& bytes) {
        if (bytes) {
            std::ofstream out(path_ / name, std::ios::binary);
            out.write(reinterpret_cast<const char*>(bytes->data()),
                      static_cast<std::streamsize>(bytes->size()));
        }
    };
    put(kWaypointFileName, fuzzCase.waypoints);
    put(kSavedTracksFileName, fuzzCase.savedTracks);
    put(kActiveTrackFileName, fuzzCase.activeTrack);
}

std::map<std::string, Bytes> ScratchFolder::contents() const {
    std::map<std::string, Bytes> files;
    for (const auto& entry : std::filesystem::directory_iterator(path_)) {
        if (entry.is_regular_file()) {
            std::ifstream in(entry.path(), std::ios::binary);
            files[entry.path().filename().string()] =
                Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
        }
    }
    return files;
}

Answer ScriptedPerson::showMessage(std::string_view text, std::string_view, Buttons, Icon) {
    messages.emplace_back(text);
    return Answer::Ok;
}

std::optional<std::filesystem::path> ScriptedPerson::askSavePath(const SaveDialogRequest&) {
    return savePath;
}

FramedFile walkByLengthWords(const Bytes& file) {
    FramedFile result;
    result.count = loadLe(file, kCountOffset, 4);
    std::uint64_t position = kHeaderSize;
    bool complete = file.size() >= kHeaderSize;
    for (std::uint32_t n = 0; n < result.count; ++n) {
        if (position >= file.size()) {
            complete = false;
            break;
        }
        ++result.held;
        const std::uint64_t end = position + 2 + loadLe(file, position, 2);
        if (end > file.size()) {
            complete = false;
            break;
        }
        result.records.emplace_back(file.begin() + static_cast<std::ptrdiff_t>(position),
                                    file.begin() + static_cast<std::ptrdiff_t>(end));
        position = end;
    }
    result.complete = complete;
    return result;
}

std::size_t heldSavedTracks(const Bytes& file) {
    const std::uint32_t count = loadLe(file, kCountOffset, 4);
    std::uint64_t position = kHeaderSize;
    std::size_t held = 0;
    for (std::uint32_t n = 0; n < count && position < file.size(); ++n) {
        ++held;
        const auto points = static_cast<std::uint16_t>(loadLe(file, position + 2, 2));
        position += kTrackHeaderSize + packedSizeOf(points);
    }
    return held;
}

void applyListControl(AppState& state, const FuzzCase& fuzzCase) {
    if (!fuzzCase.sortFirst() || state.list.columnCount() == 0) {
        return;
    }
    const std::size_t column = fuzzCase.sortColumn(state.list.columnCount());
    state.list.onColumnClick(column);
    if (fuzzCase.sortDescending()) {
        state.list.onColumnClick(column);
    }
}

std::vector<std::int32_t> applySelection(AppState& state, const FuzzCase& fuzzCase) {
    std::vector<std::int32_t> selected;
    for (std::size_t row = 0; row < state.list.rowCount(); ++row) {
        const bool on = fuzzCase.selects(row);
        state.list.setSelected(row, on);
        if (on) {
            selected.push_back(state.list.itemNumber(row));
        }
    }
    return selected;
}

bool showTracks(AppState& state, UserInterface& ui) {
    if (!state.tracksTab) {
        return false;
    }
    if (currentView(state) != ViewKind::Tracks) {
        switchToTab(state, ui, *state.tracksTab);
    }
    return true;
}

std::string describe(const std::map<std::string, Bytes>& folder) {
    std::ostringstream out;
    for (const auto& [name, bytes] : folder) {
        out << "  " << name << ": " << bytes.size() << " bytes\n";
    }
    return out.str();
}

}  // namespace quillet::fuzz
