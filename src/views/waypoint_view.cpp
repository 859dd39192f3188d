#include "views/waypoint_view.h"

namespace quillet {

// Placeholder until the waypoint view is built.
void fillWaypointView(AppState&, UserInterface&) {}

}  // namespace quillet
