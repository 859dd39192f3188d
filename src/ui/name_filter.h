// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <string_view>

namespace quillet {

// UTF-8 text with the capital letters of ASCII, Latin-1 and Cyrillic made small; every
// other character, and any byte that is no part of a valid sequence, stays as it is.
std::string foldCase(std::string_view utf8);

// The filter of the list's Name column: a name matches when it contains the filter's
// text, whatever the case of either. A name is read in the device code page, and also
// as UTF-8 when its bytes form valid UTF-8, so names written either way are found.
class NameFilter {
public:
    NameFilter() = default;
    explicit NameFilter(std::string_view utf8Text);

    // The text as it was given.
    const std::string& text() const { return text_; }
    // True when the filter lets every row through.
    bool empty() const { return folded_.empty(); }
    // `name` in the device code page, as the list holds it.
    bool matches(std::string_view name) const;

private:
    std::string text_;
    std::string folded_;
};

}  // namespace quillet
