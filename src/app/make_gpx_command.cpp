#include "app/make_gpx_command.h"

#include "export/gpx_export.h"

namespace quillet {

CommandOutcome onMakeGpx(AppState& state, UserInterface& ui) {
    const std::optional<ViewKind> view = currentView(state);
    if (!view) {
        return CommandOutcome::NotRun;
    }
    return exportSelectedRows(state, *view, ui);
}

}  // namespace quillet
