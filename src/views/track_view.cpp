#include "views/track_view.h"

namespace quillet {

// Placeholder until the track view is built.
void fillTrackView(AppState&) {}

}  // namespace quillet
