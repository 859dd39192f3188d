// SPDX-License-Identifier: GPL-3.0-or-later
#include "item_selection.h"
#include "text/translation.h"

#include <algorithm>
#include <charconv>
#include <map>

namespace quillet::cli {
namespace {

// Item number -> row position, ordered so that a range is walked from its first row.
std::map<std::uint64_t, std::size_t> rowsByItemNumber(const RecordList& list) {
    std::map<std::uint64_t, std::size_t> rows;
    for (std::size_t position = 0; position < list.rowCount(); ++position) {
        const std::int32_t number = list.itemNumber(position);
        if (number >= 0) {
            rows.emplace(static_cast<std::uint64_t>(number), position);
        }
    }
    return rows;
}

std::optional<std::uint64_t> parseNumber(std::string_view text) {
    if (text.empty() ||
        !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; })) {
        return std::nullopt;
    }
    std::uint64_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc{} || end != text.data() + text.size()) {
        return std::nullopt;
    }
    return value;
}

// Blanks around an item are allowed ("1, 3, 7-9"); inside it they are not.
std::string_view withoutSurroundingBlanks(std::string_view text) {
    const auto blank = [](char c) { return c == ' ' || c == '\t'; };
    while (!text.empty() && blank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && blank(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

std::vector<NumberRange> merge(std::vector<NumberRange> ranges) {
    std::sort(ranges.begin(), ranges.end(),
              [](const NumberRange& a, const NumberRange& b) { return a.first < b.first; });
    std::vector<NumberRange> merged;
    for (const NumberRange& range : ranges) {
        if (!merged.empty() &&
            (merged.back().last == UINT64_MAX || range.first <= merged.back().last + 1)) {
            merged.back().last = std::max(merged.back().last, range.last);
        } else {
            merged.push_back(range);
        }
    }
    return merged;
}

}  // namespace

std::optional<std::vector<NumberRange>> parseItemList(std::string_view text, std::string& error) {
    std::vector<NumberRange> ranges;
    if (text.empty()) {
        error = translate("the list of item numbers is empty");
        return std::nullopt;
    }
    std::size_t start = 0;
    while (start <= text.size()) {
        const std::size_t comma = std::min(text.find(',', start), text.size());
        const std::string_view part = withoutSurroundingBlanks(text.substr(start, comma - start));
        const std::size_t dash = part.find('-');
        const auto first = parseNumber(part.substr(0, dash));
        const auto last =
            dash == std::string_view::npos ? first : parseNumber(part.substr(dash + 1));
        if (!first || !last) {
            error = fillIn(
                translate("\"{1}\" is neither an item number nor a range of them (such as 7-9)"),
                {part});
            return std::nullopt;
        }
        if (*last < *first) {
            error = fillIn(translate("the range \"{1}\" runs backwards"), {part});
            return std::nullopt;
        }
        ranges.push_back({*first, *last});
        start = comma + 1;
    }
    return merge(std::move(ranges));
}

std::vector<NumberRange> missingItemNumbers(const RecordList& list,
                                            const std::vector<NumberRange>& ranges) {
    const auto rows = rowsByItemNumber(list);
    std::vector<NumberRange> missing;
    for (const NumberRange& range : ranges) {
        std::uint64_t next = range.first;  // the first number not yet accounted for
        for (auto it = rows.lower_bound(range.first); it != rows.end() && it->first <= range.last;
             ++it) {
            if (it->first > next) {
                missing.push_back({next, it->first - 1});
            }
            next = it->first + 1;  // item numbers are 32-bit: no overflow
        }
        if (next <= range.last) {
            missing.push_back({next, range.last});
        }
    }
    return missing;
}

void selectItemNumbers(RecordList& list, const std::vector<NumberRange>& ranges) {
    const auto rows = rowsByItemNumber(list);
    for (const NumberRange& range : ranges) {
        for (auto it = rows.lower_bound(range.first); it != rows.end() && it->first <= range.last;
             ++it) {
            list.setSelected(it->second, true);
        }
    }
}

void selectAllRows(RecordList& list) {
    for (std::size_t position = 0; position < list.rowCount(); ++position) {
        list.setSelected(position, true);
    }
}

std::string describeRanges(const std::vector<NumberRange>& ranges) {
    std::string text;
    for (const NumberRange& range : ranges) {
        if (!text.empty()) {
            text += ", ";
        }
        text += std::to_string(range.first);
        if (range.last != range.first) {
            text += '-';
            text += std::to_string(range.last);
        }
    }
    return text;
}

}  // namespace quillet::cli
