#include "app/status_text.h"

#include "app/list_filter.h"
#include "device/path_text.h"

namespace quillet {
namespace {

std::string counted(std::size_t count, std::string_view one, std::string_view many) {
    return std::to_string(count) + ' ' + std::string(count == 1 ? one : many);
}

std::string recordsText(ViewKind view, std::size_t count) {
    return view == ViewKind::Waypoints ? counted(count, "waypoint", "waypoints")
                                       : counted(count, "track", "tracks");
}

}  // namespace

StatusFields statusFields(const AppState& state) {
    const std::size_t total = state.list.rowCount();
    const std::size_t shown = shownRowCount(state);
    StatusFields fields;
    fields.rows = shown == total ? counted(total, "row", "rows")
                                 : std::to_string(shown) + " of " + counted(total, "row", "rows");
    fields.selected = std::to_string(state.list.selectedCount()) + " selected";
    fields.folder = pathText(state.files.waypoints.parent_path());
    return fields;
}

std::string wroteLine(ViewKind view, std::size_t records, const std::filesystem::path& file) {
    return "Wrote " + recordsText(view, records) + " to " + pathText(file);
}

std::string deletedLine(ViewKind view, const DeleteResult& result) {
    return "Deleted " + recordsText(view, result.removed) + "; the old file is kept as " +
           pathText(result.backupFile.filename());
}

}  // namespace quillet
