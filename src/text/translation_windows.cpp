// SPDX-License-Identifier: GPL-3.0-or-later
#include <windows.h>

#include "text/message_catalogue.h"
#include "text/translation.h"

namespace quillet {

// The Russian catalogue, msgfmt's output of po/ru.po compiled into the program.
std::string_view russianCatalogue();

namespace {

// The catalogue of the person's language; empty for English and every language without
// one.
MessageCatalogue& catalogue() {
    static MessageCatalogue chosen;
    return chosen;
}

}  // namespace

// Windows has no catalogue folder: the catalogue is in the program, chosen by the user's
// UI language, the one Windows picks the resources' dialogs by.
void startTranslations(const std::filesystem::path&) {
    const LANGID language = GetUserDefaultUILanguage();
    if (PRIMARYLANGID(language) == LANG_RUSSIAN) {
        catalogue() = MessageCatalogue(russianCatalogue(), &russianPluralForm);
        // The resources have Russian of one sublanguage: the dialogs follow the texts
        // whichever sublanguage the person has.
        SetThreadUILanguage(MAKELANGID(LANG_RUSSIAN, SUBLANG_DEFAULT));
    }
}

std::filesystem::path catalogueFolder() {
    return {};
}

const char* translate(const char* english) {
    const char* found = catalogue().find(english);
    return found != nullptr ? found : english;
}

std::string translate(const std::string& english) {
    const char* found = catalogue().find(english);
    return found != nullptr ? std::string(found) : english;
}

std::string translatePlural(const char* one, const char* other, unsigned long count) {
    const char* found = catalogue().findPlural(one, count);
    return found != nullptr ? found : count == 1 ? one : other;
}

}  // namespace quillet
