#include "export/gpx_export.h"

namespace quillet {

// Placeholders until the export is built.
void onMakeGpx(AppState&, UserInterface&) {}
void writeGpxDocument(std::ostream&, AppState&) {}

}  // namespace quillet
