// SPDX-License-Identifier: GPL-3.0-or-later
// The "Tracks" fill on any pair of track files: it must not crash, overrun or hang,
// it adds the active-track row when that file exists and one row for each counted
// saved track of which the file holds a byte, and its time cells are calendar texts.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <set>
#include <string>

#include "app/startup.h"
#include "fuzz_support.h"

using namespace quillet;
using namespace quillet::fuzz;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const ScratchFolder folder;
    FuzzCase fuzzCase = parseFuzzInput({data, size});
    fuzzCase.waypoints.reset();  // the waypoint fill has a target of its own
    if (!fuzzCase.savedTracks && !fuzzCase.activeTrack) {
        fuzzCase.savedTracks = Bytes{};
    }
    folder.write(fuzzCase);

    ScriptedPerson person;
    const auto state = startUp(folder.path(), person);
    check(state != nullptr, "a folder with a track file starts");
    check(showTracks(*state, person), "a folder with a track file has the \"Tracks\" tab");

    const RecordList& list = state->list;
    const std::size_t savedRows = fuzzCase.savedTracks ? heldSavedTracks(*fuzzCase.savedTracks) : 0;
    const std::size_t activeRows = fuzzCase.activeTrack ? 1 : 0;
    check(list.columnCount() == 6, "the track view has 6 columns");
    check(list.rowCount() == savedRows + activeRows,
          "one row per saved track the file holds, and the active track",
          "rows " + std::to_string(list.rowCount()) + ", saved " + std::to_string(savedRows) +
              ", active " + std::to_string(activeRows));

    std::set<std::int32_t> numbers;
    for (std::size_t row = 0; row < list.rowCount(); ++row) {
        const std::int32_t item = list.itemNumber(row);
        check(item >= 0 && static_cast<std::size_t>(item) <= savedRows,
              "item numbers are 0 or positions of held tracks");
        check(item != 0 || activeRows == 1, "the row 0 is the active track's");
        check(numbers.insert(item).second, "item numbers are distinct");
        for (const std::size_t column : {4u, 5u}) {
            const auto time = list.text(row, column);
            check(time.empty() || time.size() == 21, "a time cell is empty or a calendar text");
        }
    }
    // Besides the version warnings, the track fill speaks only of a file that is
    // shorter than its header, once for each such file.
    const auto cut = [](const std::optional<Bytes>& file) {
        return file && file->size() < 16 ? 1 : 0;
    };
    int headerWarnings = 0;
    for (const auto& message : person.messages) {
        const bool shortHeader =
            message.find("is shorter than its 16-byte header") != std::string::npos;
        headerWarnings += shortHeader ? 1 : 0;
        check(shortHeader || message == "Unknown version of ATRK file",
              "the track fill warns only of versions and cut headers", message);
    }
    check(headerWarnings == cut(fuzzCase.activeTrack) + cut(fuzzCase.savedTracks),
          "one warning for each track file shorter than its header");
    return 0;
}
