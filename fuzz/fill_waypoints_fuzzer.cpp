// SPDX-License-Identifier: GPL-3.0-or-later
// The "Way Points" fill on any waypoint file: it must not crash, overrun or hang, it
// adds exactly one row for each counted record of which the file holds a byte, numbers
// them 1, 2, ... and shows the format message once when the file ends early.

#include <cstddef>
#include <cstdint>
#include <set>
#include <string>

#include "app/startup.h"
#include "fuzz_support.h"
#include "views/waypoint_view.h"

using namespace quillet;
using namespace quillet::fuzz;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const ScratchFolder folder;
    FuzzCase fuzzCase = parseFuzzInput({data, size});
    if (!fuzzCase.waypoints) {
        fuzzCase.waypoints = Bytes{};
    }
    folder.write(fuzzCase);

    ScriptedPerson person;
    const auto state = startUp(folder.path(), person);
    check(state != nullptr, "a folder with a waypoint file starts");
    check(currentView(*state) == ViewKind::Waypoints, "the first tab is \"Way Points\"");

    const FramedFile framed = walkByLengthWords(*fuzzCase.waypoints);
    const RecordList& list = state->list;
    check(list.columnCount() == 24, "the waypoint view has 24 columns");
    check(list.rowCount() == framed.held, "one row per counted record the file holds",
          "rows " + std::to_string(list.rowCount()) + ", held " + std::to_string(framed.held));

    std::set<std::int32_t> numbers;
    for (std::size_t row = 0; row < list.rowCount(); ++row) {
        const std::int32_t item = list.itemNumber(row);
        check(item >= 1 && static_cast<std::size_t>(item) <= framed.held,
              "item numbers are positions of held records");
        check(numbers.insert(item).second, "item numbers are distinct");
        const std::string_view time = list.text(row, 7);
        check(time.size() == 21, "a waypoint's time cell is never empty");
    }

    std::size_t formatMessages = 0;
    for (const auto& message : person.messages) {
        formatMessages += message == kFormatMessage ? 1 : 0;
    }
    check(formatMessages <= 1, "the format message is shown at most once");
    if (!framed.complete && framed.count > 0 && fuzzCase.waypoints->size() >= 16) {
        check(formatMessages == 1, "a file that ends inside its counted records is reported");
    }
    if (framed.complete) {
        check(formatMessages == 0, "a complete file gets no format message");
    }
    return 0;
}
