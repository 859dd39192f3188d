#pragma once

#include "app/app_state.h"
#include "ui/command_outcome.h"
#include "ui/user_interface.h"

namespace quillet {

// "Make GPX" on the current tab's view; nothing without a view.
CommandOutcome onMakeGpx(AppState& state, UserInterface& ui);

}  // namespace quillet
