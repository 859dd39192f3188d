#include "app/fill_list.h"

namespace quillet {

// Placeholders until the fill is built.
void fillList(AppState&, UserInterface&) {}
void onTabChanged(AppState&, UserInterface&, int) {}

}  // namespace quillet
