#pragma once

#include <filesystem>
#include <string>

// The person's language for what Quillet says to them. The texts in the code are the
// English ones, and they are the keys of the catalogue ("quillet"): where the catalogue
// has no translation, or the person's language is English or unset, the English text
// comes back unchanged, byte for byte.
//
// Data is never passed through here: device names, symbol and colour names, every
// exported document, and the command line's list and info output stay as they are.

// Marks a text for the catalogue where it stands in a table; the table's reader passes
// it to translate() when it shows it.
#define QUILLET_TEXT(english) english

namespace quillet {

// Chooses the catalogue folder (the one holding ru/LC_MESSAGES/quillet.mo) and the
// person's language from the environment. Called once at start-up, before any text is
// shown; without it every text stays English.
void startTranslations(const std::filesystem::path& catalogueFolder);

// The text in the person's language.
const char* translate(const char* english);
std::string translate(const std::string& english);

// The text for a count: `one` and `other` are the English singular and plural forms;
// the catalogue holds as many forms as the language has.
std::string translatePlural(const char* one, const char* other, unsigned long count);

}  // namespace quillet
