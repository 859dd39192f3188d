#include "edit/delete_records.h"

namespace quillet {

// Placeholder until the deletion is built.
void onDelete(AppState&, UserInterface&) {}

}  // namespace quillet
