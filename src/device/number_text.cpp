#include "device/number_text.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>

namespace quillet {

namespace {

// Right-aligns the text [out, end) in `width` characters with leading blanks.
char* padLeft(char* out, char* end, std::size_t width) {
    const auto length = static_cast<std::size_t>(end - out);
    if (length >= width) {
        return end;
    }
    const std::size_t pad = width - length;
    std::memmove(out + pad, out, length);
    std::memset(out, ' ', pad);
    return out + width;
}

}  // namespace

// std::to_chars gives the exact decimal value rounded to the nearest, ties to even: the
// same digits as printf's correctly rounded conversion in the default rounding mode,
// minus sign of negative zero and of negatives that round to zero included. Infinities
// and NaNs, which no coordinate can be, are left to printf itself.
char* writeFixed7(char* out, double value) {
    if (!std::isfinite(value)) {
        char text[16];
        const int length = std::snprintf(text, sizeof text, "%9.7f", value);
        std::memcpy(out, text, static_cast<std::size_t>(length));
        return out + length;
    }
    const auto result =
        std::to_chars(out, out + kNumberTextMax, value, std::chars_format::fixed, 7);
    return padLeft(out, result.ptr, 9);
}

char* writeDecimal(char* out, int value) {
    return std::to_chars(out, out + 11, value).ptr;  // "-2147483648" at most
}

char* writeDecimal2(char* out, int value) {
    return padLeft(out, writeDecimal(out, value), 2);
}

std::string fixed7Text(double value) {
    char text[kNumberTextMax];
    return {text, writeFixed7(text, value)};
}

std::string decimalText(int value) {
    char text[16];
    return {text, writeDecimal(text, value)};
}

std::string decimal2Text(int value) {
    char text[16];
    return {text, writeDecimal2(text, value)};
}

}  // namespace quillet
