// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string_view>

namespace quillet {

// A catalogue in GNU gettext's binary form (what msgfmt writes), read in place from its
// bytes, which must outlive it. Bytes that are not such a catalogue, or whose tables
// point outside them, make an empty catalogue: every text stays English.
class MessageCatalogue {
public:
    // Which of a language's plural forms a count takes (its Plural-Forms formula).
    using PluralForm = unsigned (*)(unsigned long count);

    MessageCatalogue() = default;
    MessageCatalogue(std::string_view bytes, PluralForm pluralForm);

    bool empty() const { return count_ == 0; }
    // The translation of `english`, or nullptr when the catalogue has none.
    const char* find(std::string_view english) const;
    // The form of the translation of `one` (an entry with plural forms) for `count`, or
    // nullptr when the catalogue has none, too few forms or an empty one.
    const char* findPlural(std::string_view one, unsigned long count) const;

private:
    std::uint32_t word(std::size_t offset) const;
    // The string of entry `index` of the table at `table`, without its final zero.
    std::string_view entry(std::uint32_t table, std::uint32_t index) const;
    // The index of the entry whose original text is `english`.
    long indexOf(std::string_view english) const;

    std::string_view bytes_;
    PluralForm pluralForm_ = nullptr;
    bool swapped_ = false;
    std::uint32_t count_ = 0;
    std::uint32_t originals_ = 0;
    std::uint32_t translations_ = 0;
};

// Russian's three forms: 1, 21, 101 ...; 2-4, 22-24 ...; 0, 5-20, 25-30 ...
unsigned russianPluralForm(unsigned long count);

}  // namespace quillet
