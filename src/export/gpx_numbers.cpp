#include "export/gpx_numbers.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>

#include "export/gpx_export.h"

namespace quillet {

namespace {

constexpr std::uint64_t kScale = 10'000'000;  // seven decimals

// Values from here on are left to snprintf: their scaled form need not fit 64 bits.
constexpr double kFastLimit = 1e11;

// |value| * 10^7 rounded to the nearest integer, ties to even, computed on the exact
// binary value: value = mantissa * 2^exponent with a 53-bit mantissa.
std::uint64_t scaledMagnitude(double magnitude) {
    if (magnitude == 0) {
        return 0;
    }
    int exponent = 0;
    const double fraction = std::frexp(magnitude, &exponent);
    const auto mantissa = static_cast<std::uint64_t>(std::ldexp(fraction, 53));
    exponent -= 53;
    const unsigned __int128 product = static_cast<unsigned __int128>(mantissa) * kScale;
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

char* formatFixed7(char* at, double value) {
    if (!std::isfinite(value) || std::fabs(value) >= kFastLimit) {
        const int written = std::snprintf(at, kFixed7MaxChars, "%9.7f", value);
        return at + written;
    }
    const std::uint64_t scaled = scaledMagnitude(std::fabs(value));
    if (std::signbit(value)) {
        *at++ = '-';
    }
    at = std::to_chars(at, at + 20, scaled / kScale).ptr;
    *at++ = '.';
    std::uint64_t decimals = scaled % kScale;
    for (int i = 6; i >= 0; --i) {
        at[i] = static_cast<char>('0' + decimals % 10);
        decimals /= 10;
    }
    // "0.0000000" already has nine characters: the width never adds blanks.
    return at + 7;
}

char* formatInt(char* at, int value) {
    return std::to_chars(at, at + kIntMaxChars, value).ptr;
}

char* GpxTimeFormatter::format(char* at, DeviceTime time) {
    const std::uint32_t day = time / 86400;
    if (day != day_) {
        day_ = day;
        const std::string date = toGpxTime(formatDeviceTime(day * 86400));
        dayHasText_ = date.size() == kGpxTimeChars;
        if (dayHasText_) {
            std::memcpy(date_, date.data(), sizeof date_);
        }
    }
    if (!dayHasText_) {
        return at;
    }
    const std::uint32_t second = time % 86400;
    const std::uint32_t fields[3] = {second / 3600, second % 3600 / 60, second % 60};
    std::memcpy(at, date_, sizeof date_);
    at += sizeof date_;
    for (int i = 0; i < 3; ++i) {
        if (i > 0) {
            *at++ = ':';
        }
        *at++ = static_cast<char>('0' + fields[i] / 10);
        *at++ = static_cast<char>('0' + fields[i] % 10);
    }
    *at++ = 'Z';
    return at;
}

}  // namespace quillet
