#pragma once

#include "app/app_state.h"

namespace quillet {

// Adds the six track columns, the active-track row and one row per saved track.
void fillTrackView(AppState& state);

}  // namespace quillet
