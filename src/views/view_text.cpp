#include "views/view_text.h"

#include <charconv>

#include "ui/record_list.h"

namespace quillet {

// "%2llu", without the printf machinery: a fill formats one per row.
std::string numberText(std::uint64_t number) {
    char text[24];
    char* end = std::to_chars(text, text + sizeof text, number).ptr;
    if (end - text == 1) {
        return {' ', text[0]};
    }
    return {text, end};
}

std::string tooManyRowsMessage(std::string_view fileName, std::uint32_t headerCount,
                               std::string_view what) {
    return std::string(fileName) + " holds more than " + std::to_string(RecordList::kMaxRows) +
           " " + std::string(what) + " (its header counts " + std::to_string(headerCount) +
           "), more than a list shows, so none is shown.\n"
           "No receiver stores that many: the file is probably damaged. Copy it from the "
           "receiver again.";
}

std::string signedDecimal(std::uint32_t value) {
    return std::to_string(static_cast<std::int32_t>(value));
}

}  // namespace quillet
