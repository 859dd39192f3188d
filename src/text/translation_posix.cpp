#include "text/translation.h"

#include <libintl.h>

#include <clocale>

namespace quillet {
namespace {

constexpr const char* kDomain = "quillet";

}  // namespace

void startTranslations(const std::filesystem::path& catalogueFolder) {
    // Only the messages and the character set follow the person's locale: numbers are
    // written the same way whatever the language, so LC_NUMERIC stays "C".
    std::setlocale(LC_CTYPE, "");
    std::setlocale(LC_MESSAGES, "");
    bindtextdomain(kDomain, catalogueFolder.c_str());
    bind_textdomain_codeset(kDomain, "UTF-8");
}

const char* translate(const char* english) {
    return dgettext(kDomain, english);
}

std::string translate(const std::string& english) {
    return translate(english.c_str());
}

std::string translatePlural(const char* one, const char* other, unsigned long count) {
    return dngettext(kDomain, one, other, count);
}

}  // namespace quillet
