#include "text/translation.h"

namespace quillet {

// The Windows build has no catalogue yet: every text stays English.
void startTranslations(const std::filesystem::path&) {}

std::filesystem::path catalogueFolder() {
    return {};
}

const char* translate(const char* english) {
    return english;
}

std::string translate(const std::string& english) {
    return english;
}

std::string translatePlural(const char* one, const char* other, unsigned long count) {
    return count == 1 ? one : other;
}

}  // namespace quillet
