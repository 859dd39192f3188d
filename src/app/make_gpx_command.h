#pragma once

#include "app/app_state.h"
#include "export/gpx_export.h"
#include "ui/command_outcome.h"
#include "ui/user_interface.h"

namespace quillet {

// "Make GPX" on the current tab's view, with the count of points outside the GPX ranges;
// nothing without a view.
MakeGpxResult makeGpx(AppState& state, UserInterface& ui);

// The same, for callers that need only the outcome.
CommandOutcome onMakeGpx(AppState& state, UserInterface& ui);

}  // namespace quillet
