// SPDX-License-Identifier: GPL-3.0-or-later
#include "text/translation.h"

#include <libintl.h>

#include <clocale>
#include <system_error>

namespace quillet {
namespace {

constexpr const char* kDomain = "quillet";

}  // namespace

void startTranslations(const std::filesystem::path& catalogueFolder) {
    // Only the messages and the character set follow the person's locale: numbers and
    // times are written the same way whatever the language. The Qt window's start has
    // already taken every category from the environment, so all go back to "C" first.
    std::setlocale(LC_ALL, "C");
    std::setlocale(LC_CTYPE, "");
    std::setlocale(LC_MESSAGES, "");
    bindtextdomain(kDomain, catalogueFolder.c_str());
    bind_textdomain_codeset(kDomain, "UTF-8");
}

std::filesystem::path catalogueFolder() {
    namespace fs = std::filesystem;
    std::error_code error;
    const fs::path program = fs::read_symlink("/proc/self/exe", error);
    if (error) {
        return {};
    }
    // <prefix>/bin/quillet-cli: <prefix>/share/locale; <build>/cli/quillet-cli: <build>/locale.
    const fs::path installed = program.parent_path().parent_path() / "share" / "locale";
    if (fs::is_directory(installed, error)) {
        return installed;
    }
    return program.parent_path().parent_path() / "locale";
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
