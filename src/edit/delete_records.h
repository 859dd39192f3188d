#pragma once

#include "app/app_state.h"
#include "app/user_interface.h"

namespace quillet {

// "Delete": removes the records of the selected rows from the device file of the
// current view through a temporary file and one backup, then fills the list anew.
void onDelete(AppState& state, UserInterface& ui);

}  // namespace quillet
