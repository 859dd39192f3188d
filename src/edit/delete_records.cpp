#include "edit/delete_records.h"

namespace quillet {

// Placeholder until the deletion is built.
DeleteResult onDelete(AppState&, UserInterface&) { return {}; }

}  // namespace quillet
