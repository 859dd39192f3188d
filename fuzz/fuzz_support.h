// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// What every fuzz target shares: a scratch device folder, a scripted person, an
// independent walk over the record framing, and a check that stops the run.

#include <cstdint>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/app_state.h"
#include "fuzz_input.h"
#include "ui/user_interface.h"

namespace quillet::fuzz {

// Stops the run with a finding when the property does not hold.
[[noreturn]] void fail(std::string_view property, std::string_view detail = {});
inline void check(bool holds, std::string_view property, std::string_view detail = {}) {
    if (!holds) {
        fail(property, detail);
    }
}

// A folder of this process (in memory when /dev/shm exists), emptied and rewritten for
// every input, removed at exit.
class ScratchFolder {
public:
    ScratchFolder();
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    const std::filesystem::path& path() const { return path_; }
    // Removes everything in the folder and writes the device files of the case.
    void write(const FuzzCase& fuzzCase) const;
    // Every regular file of the folder by name, with its bytes.
    std::map<std::string, Bytes> contents() const;

private:
    std::filesystem::path path_;
};

// Answers every question with OK and every save dialog with `savePath`; keeps the
// message texts.
class ScriptedPerson : public UserInterface {
public:
    std::optional<std::filesystem::path> savePath;
    std::vector<std::string> messages;

    Answer showMessage(std::string_view text, std::string_view caption, Buttons buttons,
                       Icon icon) override;
    std::optional<std::filesystem::path> askSavePath(const SaveDialogRequest& request) override;
    std::string applicationName() const override { return "quillet"; }
};

// The framing of a waypoint or saved-tracks file walked by the length words, written
// here apart from the program's readers.
struct FramedFile {
    std::uint32_t count = 0;     // the count field (bytes the file lacks are 0)
    std::size_t held = 0;        // counted records of which the file holds a byte
    bool complete = false;       // every counted record lies wholly in the file
    std::vector<Bytes> records;  // the complete counted records, length word included
};
FramedFile walkByLengthWords(const Bytes& file);

// Counted saved tracks of which the file holds a byte, walked by the point counts.
std::size_t heldSavedTracks(const Bytes& file);

// Sorts the list as the case asks (a heading click, twice for descending).
void applyListControl(AppState& state, const FuzzCase& fuzzCase);

// Selects the rows the case names; returns the item numbers selected.
std::vector<std::int32_t> applySelection(AppState& state, const FuzzCase& fuzzCase);

// Switches to the "Tracks" tab; false when there is none.
bool showTracks(AppState& state, UserInterface& ui);

std::string describe(const std::map<std::string, Bytes>& folder);

}  // namespace quillet::fuzz
