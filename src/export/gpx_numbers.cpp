// SPDX-License-Identifier: GPL-3.0-or-later
#include "export/gpx_numbers.h"

#include <charconv>
#include <cstdint>
#include <cstring>
#include <optional>
#include <string>

#include "export/gpx_export.h"

namespace quillet {

namespace {

// The number a written coordinate stands for; nothing when the text is no number.
std::optional<double> coordinateValue(std::string_view text) {
    while (!text.empty() && text.front() == ' ') {
        text.remove_prefix(1);
    }
    double value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc{} || end != text.data() + text.size()) {
        return std::nullopt;
    }
    return value;
}

}  // namespace

bool isGpxCoordinate(std::string_view latitude, std::string_view longitude) {
    const std::optional<double> lat = coordinateValue(latitude);
    const std::optional<double> lon = coordinateValue(longitude);
    return lat && lon && *lat >= -90 && *lat <= 90 && *lon >= -180 && *lon < 180;
}

char* formatInt(char* at, int value) {
    return std::to_chars(at, at + kIntMaxChars, value).ptr;
}

char* GpxTimeFormatter::format(char* at, DeviceTime time) {
    if (time > kLastCalendarTime) {
        return at;  // no time, though the calendar knows the first hours of that day
    }
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
