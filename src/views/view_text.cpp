#include "views/view_text.h"

#include <cstdio>

namespace quillet {

std::string numberText(std::uint64_t number) {
    char text[24];
    std::snprintf(text, sizeof text, "%2llu", static_cast<unsigned long long>(number));
    return text;
}

std::string signedDecimal(std::uint32_t value) {
    return std::to_string(static_cast<std::int32_t>(value));
}

}  // namespace quillet
