// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/status_text.h"

#include "app/list_filter.h"
#include "device/path_text.h"
#include "text/translation.h"

namespace quillet {

StatusFields statusFields(const AppState& state) {
    const std::size_t total = state.list.rowCount();
    const std::size_t shown = shownRowCount(state);
    StatusFields fields;
    fields.rows =
        shown == total
            ? fillIn(translatePlural("{1} row", "{1} rows", total), {std::to_string(total)})
            : fillIn(translatePlural("{1} of {2} row", "{1} of {2} rows", total),
                     {std::to_string(shown), std::to_string(total)});
    fields.selected =
        fillIn(translate("{1} selected"), {std::to_string(state.list.selectedCount())});
    fields.folder = pathText(state.files.waypoints.parent_path());
    return fields;
}

std::string wroteLine(ViewKind view, std::size_t records, const std::filesystem::path& file) {
    const std::string text =
        view == ViewKind::Waypoints
            ? translatePlural("Wrote {1} waypoint to {2}", "Wrote {1} waypoints to {2}", records)
            : translatePlural("Wrote {1} track to {2}", "Wrote {1} tracks to {2}", records);
    return fillIn(text, {std::to_string(records), pathText(file)});
}

std::string deletedLine(ViewKind view, const DeleteResult& result) {
    const std::string text =
        view == ViewKind::Waypoints
            ? translatePlural("Deleted {1} waypoint; the old file is kept as {2}",
                              "Deleted {1} waypoints; the old file is kept as {2}", result.removed)
            : translatePlural("Deleted {1} track; the old file is kept as {2}",
                              "Deleted {1} tracks; the old file is kept as {2}", result.removed);
    return fillIn(text, {std::to_string(result.removed), pathText(result.backupFile.filename())});
}

}  // namespace quillet
