#include "app/make_gpx_command.h"

namespace quillet {

MakeGpxResult makeGpx(AppState& state, UserInterface& ui) {
    const std::optional<ViewKind> view = currentView(state);
    if (!view) {
        return CommandOutcome::NotRun;
    }
    return exportSelectedRows(state, *view, ui);
}

CommandOutcome onMakeGpx(AppState& state, UserInterface& ui) {
    return makeGpx(state, ui).outcome;
}

}  // namespace quillet
