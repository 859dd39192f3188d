// SPDX-License-Identifier: GPL-3.0-or-later
// "Delete" of a chosen set of rows, answered with OK: either it refuses and every file
// of the folder stays byte for byte as it was, or the device file holds exactly the
// records that were kept (header copied, count rewritten), the backup is the old file
// byte for byte, no temporary file is left and the list shows the kept records.

#include <cstddef>
#include <cstdint>
#include <set>
#include <string>

#include "app/delete_command.h"
#include "app/startup.h"
#include "fuzz_support.h"

using namespace quillet;
using namespace quillet::fuzz;

namespace {

Bytes expectedRewrite(const Bytes& old, const FramedFile& framed,
                      const std::set<std::int32_t>& selected) {
    Bytes out(old.begin(), old.begin() + 12);
    std::uint32_t kept = 0;
    Bytes records;
    for (std::size_t i = 0; i < framed.records.size(); ++i) {
        if (!selected.contains(static_cast<std::int32_t>(i + 1))) {
            ++kept;
            records.insert(records.end(), framed.records[i].begin(), framed.records[i].end());
        }
    }
    for (int i = 0; i < 4; ++i) {
        out.push_back(static_cast<std::uint8_t>(kept >> (8 * i)));
    }
    out.insert(out.end(), records.begin(), records.end());
    return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const ScratchFolder folder;
    const FuzzCase fuzzCase = parseFuzzInput({data, size});
    folder.write(fuzzCase);

    ScriptedPerson person;
    const auto state = startUp(folder.path(), person);
    if (state == nullptr) {
        return 0;
    }
    if (fuzzCase.onTracksView() && !showTracks(*state, person)) {
        return 0;
    }
    const auto view = currentView(*state);
    const bool tracks = view == ViewKind::Tracks;
    applyListControl(*state, fuzzCase);
    const auto selectedList = applySelection(*state, fuzzCase);
    const std::set<std::int32_t> selected(selectedList.begin(), selectedList.end());

    const auto before = folder.contents();
    person.messages.clear();
    const DeleteResult result = onDelete(*state, person);
    const auto after = folder.contents();

    const std::string deviceName = tracks ? kSavedTracksFileName : kWaypointFileName;
    const std::string backupName = tracks ? "GARMIN_STRK.BAK" : "GARMIN_WPT.BAK";
    const std::string tempName = tracks ? "GARMIN_STRK.NV_" : "GARMIN_WPT.NV_";
    const std::string detail = "before:\n" + describe(before) + "after:\n" + describe(after) +
                               (person.messages.empty() ? "" : person.messages.back());

    if (result.outcome != CommandOutcome::Done) {
        check(before == after, "a refused deletion leaves every file as it was", detail);
        if (!selected.empty() && !selected.contains(0) &&
            result.outcome == CommandOutcome::Refused) {
            check(!person.messages.empty(), "a refusal says why", detail);
        }
        return 0;
    }

    check(!selected.empty(), "a deletion needs a selection", detail);
    check(!(tracks && selected.contains(0)), "the active track is never deleted", detail);
    check(before.contains(deviceName), "the deleted file existed", detail);
    const Bytes& old = before.at(deviceName);
    const FramedFile framed = walkByLengthWords(old);
    check(framed.complete, "only a complete file is rewritten", detail);
    check(after.contains(deviceName) &&
              after.at(deviceName) == expectedRewrite(old, framed, selected),
          "the device file holds exactly the kept records", detail);
    check(after.contains(backupName) && after.at(backupName) == old,
          "the backup is the old file byte for byte", detail);
    check(!after.contains(tempName), "no temporary file is left", detail);
    for (const auto& [name, bytes] : before) {
        if (name != deviceName && name != backupName) {
            check(after.contains(name) && after.at(name) == bytes, "the other files are untouched",
                  name);
        }
    }
    check(result.removed == selected.size(), "the count of removed records is reported", detail);
    // The refill walks the saved tracks by their points, not by their length words.
    const Bytes& rewritten = after.at(deviceName);
    const std::size_t keptRows =
        tracks ? heldSavedTracks(rewritten) : walkByLengthWords(rewritten).held;
    const std::size_t activeRow = tracks && before.contains(kActiveTrackFileName) ? 1 : 0;
    check(state->list.rowCount() == keptRows + activeRow, "the list shows the kept records",
          detail + "\nrows " + std::to_string(state->list.rowCount()));
    return 0;
}
