// SPDX-License-Identifier: GPL-3.0-or-later
#include "device/number_text.h"

#include <bit>
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

constexpr std::uint64_t kScale = 10'000'000;  // seven decimals

// "00" to "99", two characters each.
constexpr char kDigitPairs[] =
    "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
    "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
    "8081828384858687888990919293949596979899";

// Values from here on take the general path: their scaled form need not fit 64 bits.
constexpr double kFastLimit = 1e11;

// |value| * 10^7 rounded to the nearest integer, ties to even, computed on the exact
// binary value: value = mantissa * 2^exponent, taken straight from the bits of the
// double (a subnormal has no hidden bit and the smallest exponent).
std::uint64_t scaledMagnitude(double magnitude) {
    const auto bits = std::bit_cast<std::uint64_t>(magnitude);
    constexpr std::uint64_t kFractionMask = (std::uint64_t{1} << 52) - 1;
    const auto biased = static_cast<int>(bits >> 52);  // the sign bit is clear
    std::uint64_t mantissa = bits & kFractionMask;
    int exponent = -1074;
    if (biased != 0) {
        mantissa |= std::uint64_t{1} << 52;
        exponent = biased - 1075;
    }
    if (mantissa == 0) {
        return 0;
    }
    const unsigned __int128 product = static_cast<unsigned __int128>(mantissa) * kScale;
    if (exponent < 0 && exponent > -64) {
        // Every coordinate: the quotient and the remainder come from the two halves of
        // the product with 64-bit shifts.
        const int shift = -exponent;
        const auto low = static_cast<std::uint64_t>(product);
        const auto highHalf = static_cast<std::uint64_t>(product >> 64);
        std::uint64_t quotient = (highHalf << (64 - shift)) | (low >> shift);
        const std::uint64_t remainder = low & ((std::uint64_t{1} << shift) - 1);
        const std::uint64_t half = std::uint64_t{1} << (shift - 1);
        if (remainder > half || (remainder == half && (quotient & 1) != 0)) {
            ++quotient;
        }
        return quotient;
    }
    if (exponent >= 0) {
        return static_cast<std::uint64_t>(product << exponent);
    }
    const int shift = -exponent;
    if (shift >= 128) {
        return 0;  // below half a unit: the product is less than 2^77
    }
    auto quotient = static_cast<std::uint64_t>(product >> shift);
    const unsigned __int128 remainder =
        product & ((static_cast<unsigned __int128>(1) << shift) - 1);
    const unsigned __int128 half = static_cast<unsigned __int128>(1) << (shift - 1);
    if (remainder > half || (remainder == half && (quotient & 1) != 0)) {
        ++quotient;
    }
    return quotient;
}

}  // namespace

// printf rounds the exact binary value to the nearest text, ties to even, in the default
// rounding mode; so does the scaled integer below and so does std::to_chars for the
// values beyond it. Negative zero and negatives that round to zero keep their minus
// sign. Infinities and NaNs, which no coordinate can be, are left to printf itself.
char* writeFixed7(char* out, double value) {
    if (!std::isfinite(value)) {
        char text[16];
        const int length = std::snprintf(text, sizeof text, "%9.7f", value);
        std::memcpy(out, text, static_cast<std::size_t>(length));
        return out + length;
    }
    if (std::fabs(value) >= kFastLimit) {
        return std::to_chars(out, out + kNumberTextMax, value, std::chars_format::fixed, 7).ptr;
    }
    char* const start = out;
    const std::uint64_t scaled = scaledMagnitude(std::fabs(value));
    if (std::signbit(value)) {
        *out++ = '-';
    }
    out = std::to_chars(out, out + 20, scaled / kScale).ptr;
    *out++ = '.';
    // The seven decimals as one digit and three pairs.
    const auto decimals = static_cast<std::uint32_t>(scaled % kScale);
    const std::uint32_t high = decimals / 1'000'000;
    const std::uint32_t low = decimals % 1'000'000;
    out[0] = static_cast<char>('0' + high);
    std::memcpy(out + 1, kDigitPairs + 2 * (low / 10'000), 2);
    std::memcpy(out + 3, kDigitPairs + 2 * (low / 100 % 100), 2);
    std::memcpy(out + 5, kDigitPairs + 2 * (low % 100), 2);
    return padLeft(start, out + 7, 9);
}

char* writeDecimal(char* out, int value) {
    return std::to_chars(out, out + 11, value).ptr;  // "-2147483648" at most
}

std::string fixed7Text(double value) {
    char text[kNumberTextMax];
    return {text, writeFixed7(text, value)};
}

std::string decimalText(int value) {
    char text[16];
    return {text, writeDecimal(text, value)};
}

// A fill formats one per row.
std::string numberText(std::uint64_t number) {
    char text[24];
    char* end = std::to_chars(text, text + sizeof text, number).ptr;
    if (end - text == 1) {
        return {' ', text[0]};
    }
    return {text, end};
}

}  // namespace quillet
