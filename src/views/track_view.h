// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ui/list_state.h"
#include "ui/user_interface.h"

namespace quillet {

// Adds the six track columns, the active-track row and one row per saved track. Its
// only messages say that a track file is shorter than its header.
void fillTrackView(ListState& state, UserInterface& ui);

}  // namespace quillet
