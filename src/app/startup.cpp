#include "app/startup.h"

namespace quillet {

// Placeholder until start-up is built.
std::unique_ptr<AppState> startUp(const std::filesystem::path&, UserInterface&) { return nullptr; }

}  // namespace quillet
