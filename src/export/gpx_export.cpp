#include "export/gpx_export.h"

namespace quillet {

// Placeholders until the export is built.
CommandOutcome onMakeGpx(AppState&, UserInterface&) { return CommandOutcome::NotRun; }
void writeGpxDocument(std::ostream&, AppState&) {}

}  // namespace quillet
