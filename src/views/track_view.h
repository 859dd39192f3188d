#pragma once

#include "app/app_state.h"
#include "app/user_interface.h"

namespace quillet {

// Adds the six track columns, the active-track row and one row per saved track. Its
// only messages say that a track file is shorter than its header.
void fillTrackView(AppState& state, UserInterface& ui);

}  // namespace quillet
