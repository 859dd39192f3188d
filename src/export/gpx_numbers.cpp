#include "export/gpx_numbers.h"

#include <charconv>
#include <cstdint>
#include <cstring>
#include <string>

#include "export/gpx_export.h"

namespace quillet {

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
