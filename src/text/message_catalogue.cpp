// SPDX-License-Identifier: GPL-3.0-or-later
#include "text/message_catalogue.h"

#include <cstring>

namespace quillet {
namespace {

// The header: magic number, revision, entry count, the offsets of the original and the
// translated texts' tables (each entry a length and an offset), then the hash table,
// which this reader does not need: the originals are sorted.
constexpr std::uint32_t kMagic = 0x950412de;
constexpr std::uint32_t kSwappedMagic = 0xde120495;
constexpr std::size_t kHeaderSize = 28;

std::uint32_t swapBytes(std::uint32_t value) {
    return (value >> 24) | ((value >> 8) & 0xff00) | ((value << 8) & 0xff0000) | (value << 24);
}

}  // namespace

unsigned russianPluralForm(unsigned long n) {
    return n % 10 == 1 && n % 100 != 11                                    ? 0
           : n % 10 >= 2 && n % 10 <= 4 && (n % 100 < 10 || n % 100 >= 20) ? 1
                                                                           : 2;
}

MessageCatalogue::MessageCatalogue(std::string_view bytes, PluralForm pluralForm)
    : bytes_(bytes), pluralForm_(pluralForm) {
    if (bytes_.size() < kHeaderSize) {
        return;
    }
    const std::uint32_t magic = word(0);
    if (magic != kMagic && magic != kSwappedMagic) {
        return;
    }
    swapped_ = magic == kSwappedMagic;
    // Revisions 0.x and 1.x keep the layout above.
    if ((word(4) >> 16) > 1) {
        return;
    }
    const std::uint32_t count = word(8);
    originals_ = word(12);
    translations_ = word(16);
    // Both tables and every string they point to lie inside the bytes, each string
    // followed by its zero.
    for (const std::uint32_t table : {originals_, translations_}) {
        if (table > bytes_.size() || (bytes_.size() - table) / 8 < count) {
            return;
        }
        for (std::uint32_t i = 0; i < count; ++i) {
            const std::uint32_t length = word(table + 8 * i);
            const std::uint32_t offset = word(table + 8 * i + 4);
            if (offset >= bytes_.size() || bytes_.size() - offset <= length ||
                bytes_[offset + length] != '\0') {
                return;
            }
        }
    }
    count_ = count;
}

std::uint32_t MessageCatalogue::word(std::size_t offset) const {
    std::uint32_t value = 0;
    std::memcpy(&value, bytes_.data() + offset, sizeof value);
    return swapped_ ? swapBytes(value) : value;
}

std::string_view MessageCatalogue::entry(std::uint32_t table, std::uint32_t index) const {
    return bytes_.substr(word(table + 8 * index + 4), word(table + 8 * index));
}

long MessageCatalogue::indexOf(std::string_view english) const {
    // An entry with plural forms is keyed by its singular, up to the first zero; the
    // empty key is the catalogue's own header.
    if (english.empty()) {
        return -1;
    }
    std::uint32_t low = 0;
    std::uint32_t high = count_;
    while (low < high) {
        const std::uint32_t middle = low + (high - low) / 2;
        std::string_view original = entry(originals_, middle);
        original = original.substr(0, original.find('\0'));
        const int order = original.compare(english);
        if (order == 0) {
            return middle;
        }
        if (order < 0) {
            low = middle + 1;
        } else {
            high = middle;
        }
    }
    return -1;
}

const char* MessageCatalogue::find(std::string_view english) const {
    const long index = indexOf(english);
    return index < 0 ? nullptr : entry(translations_, static_cast<std::uint32_t>(index)).data();
}

const char* MessageCatalogue::findPlural(std::string_view one, unsigned long count) const {
    const long index = indexOf(one);
    if (index < 0 || pluralForm_ == nullptr) {
        return nullptr;
    }
    // The forms follow one another, each ended by a zero.
    std::string_view forms = entry(translations_, static_cast<std::uint32_t>(index));
    for (unsigned form = pluralForm_(count); form > 0; --form) {
        const std::size_t end = forms.find('\0');
        if (end == std::string_view::npos) {
            return nullptr;
        }
        forms.remove_prefix(end + 1);
    }
    // An empty form is one the translator has not written yet.
    return forms.empty() || forms.front() == '\0' ? nullptr : forms.data();
}

}  // namespace quillet
