// SPDX-License-Identifier: GPL-3.0-or-later
// "Make GPX" on every row of each view: the document must be well-formed XML with one
// wpt or trk per exported row, and, when every coordinate lies inside the GPX ranges,
// valid against the GPX 1.1 schema with the GPX Extensions v3 schema.
//
// With QUILLET_FUZZ_GPX_DIR set, every document is also kept there (for xmllint).

#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>

#include "app/fill_list.h"
#include "app/make_gpx_command.h"
#include "app/startup.h"
#include "export/gpx_export.h"
#include "fuzz_support.h"
#include "gpx_check.h"

using namespace quillet;
using namespace quillet::fuzz;

namespace {

std::string readText(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void keepDocument(const std::string& document) {
    static const char* const directory = std::getenv("QUILLET_FUZZ_GPX_DIR");
    static unsigned kept = 0;
    if (directory != nullptr) {
        std::ofstream out(
            std::filesystem::path(directory) /
                ("doc-" + std::to_string(::getpid()) + "-" + std::to_string(kept++) + ".gpx"),
            std::ios::binary);
        out << document;
    }
}

void exportEveryRow(AppState& state, const FuzzCase& fuzzCase, const ScratchFolder& folder) {
    applyListControl(state, fuzzCase);
    for (std::size_t row = 0; row < state.list.rowCount(); ++row) {
        state.list.setSelected(row, true);
    }
    const auto target = folder.path() / "export.gpx";
    std::filesystem::remove(target);
    ScriptedPerson person;
    person.savePath = target;
    const CommandOutcome outcome = onMakeGpx(state, person);
    const std::size_t rows = state.list.rowCount();
    if (rows == 0) {
        check(outcome == CommandOutcome::NotRun && !std::filesystem::exists(target),
              "no selected row, no document");
        return;
    }
    check(outcome == CommandOutcome::Done, "an export of listed rows succeeds",
          person.messages.empty() ? "" : person.messages.front());

    const std::string document = readText(target);
    keepDocument(document);
    const GpxContents contents = inspectGpx(document);
    check(contents.wellFormed, "every GPX document is well-formed XML", contents.error);
    const bool waypoints = currentView(state) == ViewKind::Waypoints;
    check((waypoints ? contents.waypoints : contents.tracks) == rows &&
              (waypoints ? contents.tracks : contents.waypoints) == 0,
          "one wpt or trk per exported row",
          "rows " + std::to_string(rows) + ", wpt " + std::to_string(contents.waypoints) +
              ", trk " + std::to_string(contents.tracks));
    if (contents.coordinatesInRange) {
        static const GpxSchema schema(QUILLET_SCHEMA_DIR "/gpx-gpxx.xsd");
        const auto errors = schema.validate(document);
        check(!errors, "a document with coordinates in range validates", errors.value_or(""));
    }
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
    if (state->waypointTab) {
        switchToTab(*state, person, *state->waypointTab);
        exportEveryRow(*state, fuzzCase, folder);
    }
    if (showTracks(*state, person)) {
        exportEveryRow(*state, fuzzCase, folder);
    }
    return 0;
}
