// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <filesystem>
#include <initializer_list>
#include <string>
#include <string_view>

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

// The catalogue folder of the running program: share/locale beside its bin folder once
// installed, the build folder's locale when it runs from the build.
std::filesystem::path catalogueFolder();

// The text in the person's language.
const char* translate(const char* english);
std::string translate(const std::string& english);
std::string translate(std::string_view english);

// The text for a count: `one` and `other` are the English singular and plural forms;
// the catalogue holds as many forms as the language has.
std::string translatePlural(const char* one, const char* other, unsigned long count);

// The text with its fields {1}, {2}, ... replaced by the values, in one pass, so that a
// value holding "{2}" stays as it is. A translation may put the fields in another order.
std::string fillIn(std::string_view text, std::initializer_list<std::string_view> values);

}  // namespace quillet
