// SPDX-License-Identifier: GPL-3.0-or-later
// The zones Windows keeps in its registry, converted by the system at every instant.
// A zone name of the tz database ("Europe/Moscow") is mapped to the registry's zone by
// the ICU that Windows 10 1903 and later carry; without it only the registry's names
// ("Russian Standard Time") are known.

#include <windows.h>

#include <cwchar>

#include "device/time_zone.h"

namespace quillet {

struct TimeZone::Rules {
    DYNAMIC_TIME_ZONE_INFORMATION zone{};
};

namespace {

std::wstring wideOf(std::string_view utf8) {
    if (utf8.empty()) {
        return {};
    }
    const int size = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(),
                                         static_cast<int>(utf8.size()), nullptr, 0);
    if (size <= 0) {
        return {};
    }
    std::wstring wide(static_cast<std::size_t>(size), L'\0');
    MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(), static_cast<int>(utf8.size()),
                        wide.data(), size);
    return wide;
}

std::string utf8Of(const wchar_t* wide) {
    const int size = WideCharToMultiByte(CP_UTF8, 0, wide, -1, nullptr, 0, nullptr, nullptr);
    if (size <= 1) {
        return {};
    }
    std::string text(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide, -1, text.data(), size, nullptr, nullptr);
    text.pop_back();  // the terminator
    return text;
}

using EnumZones = DWORD(WINAPI*)(DWORD, PDYNAMIC_TIME_ZONE_INFORMATION);

// The system's enumeration of its zones (Windows 8 and later), or none.
EnumZones enumZones() {
    HMODULE advapi = GetModuleHandleW(L"advapi32.dll");
    if (advapi == nullptr) {
        advapi = LoadLibraryW(L"advapi32.dll");
    }
    return advapi ? reinterpret_cast<EnumZones>(reinterpret_cast<void*>(
                        GetProcAddress(advapi, "EnumDynamicTimeZoneInformation")))
                  : nullptr;
}

// Calls `each` for every zone of the registry until it returns true.
template <typename Each>
bool forEachZone(Each&& each) {
    const EnumZones enumerate = enumZones();
    if (enumerate == nullptr) {
        return false;
    }
    DYNAMIC_TIME_ZONE_INFORMATION zone{};
    for (DWORD index = 0; enumerate(index, &zone) == ERROR_SUCCESS; ++index) {
        if (each(zone)) {
            return true;
        }
    }
    return false;
}

std::optional<DYNAMIC_TIME_ZONE_INFORMATION> registryZone(const std::wstring& key) {
    std::optional<DYNAMIC_TIME_ZONE_INFORMATION> found;
    forEachZone([&](const DYNAMIC_TIME_ZONE_INFORMATION& zone) {
        if (_wcsicmp(zone.TimeZoneKeyName, key.c_str()) == 0) {
            found = zone;
            return true;
        }
        return false;
    });
    return found;
}

// The registry's zone name for a tz database name, from the system's ICU; empty
// where Windows carries none.
std::wstring windowsNameOf(const std::wstring& ianaName) {
    using ToWindows =
        std::int32_t(__cdecl*)(const wchar_t*, std::int32_t, wchar_t*, std::int32_t, int*);
    static const ToWindows toWindows = [] {
        HMODULE icu = LoadLibraryExW(L"icu.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
        return icu ? reinterpret_cast<ToWindows>(
                         reinterpret_cast<void*>(GetProcAddress(icu, "ucal_getWindowsTimeZoneID")))
                   : nullptr;
    }();
    if (toWindows == nullptr) {
        return {};
    }
    wchar_t windowsName[128] = {};
    int status = 0;  // U_ZERO_ERROR
    const std::int32_t length = toWindows(
        ianaName.c_str(), static_cast<std::int32_t>(ianaName.size()), windowsName, 127, &status);
    if (status > 0 || length <= 0 || length >= 128) {  // ICU's errors are above zero
        return {};
    }
    return std::wstring(windowsName, static_cast<std::size_t>(length));
}

// The registry's display text of a zone ("(UTC+03:00) Moscow, St. Petersburg"), or
// its key name.
std::string displayTextOf(const wchar_t* key) {
    const std::wstring path =
        std::wstring(L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Time Zones\\") + key;
    wchar_t text[256] = {};
    DWORD size = sizeof text;
    if (RegGetValueW(HKEY_LOCAL_MACHINE, path.c_str(), L"Display", RRF_RT_REG_SZ, nullptr, text,
                     &size) == ERROR_SUCCESS &&
        text[0] != L'\0') {
        return utf8Of(text);
    }
    return utf8Of(key);
}

// 100-nanosecond steps from 1601-01-01 to 1970-01-01.
constexpr std::int64_t kFileTimeOfUnixEpoch = 116444736000000000;
constexpr std::int64_t kFileTimePerSecond = 10000000;

}  // namespace

TimeZone TimeZone::computer() {
    Rules rules;
    if (GetDynamicTimeZoneInformation(&rules.zone) == TIME_ZONE_ID_INVALID) {
        return TimeZone(Kind::Computer, "UTC", nullptr);
    }
    std::string name = utf8Of(rules.zone.TimeZoneKeyName);
    if (name.empty()) {
        name = utf8Of(rules.zone.StandardName);
    }
    return TimeZone(Kind::Computer, name.empty() ? std::string("UTC") : name,
                    std::make_shared<const Rules>(rules));
}

std::optional<TimeZone> TimeZone::named(std::string_view name) {
    const std::wstring wide = wideOf(name);
    if (wide.empty()) {
        return std::nullopt;
    }
    std::optional<DYNAMIC_TIME_ZONE_INFORMATION> zone = registryZone(wide);
    if (!zone) {
        const std::wstring windowsName = windowsNameOf(wide);
        if (!windowsName.empty()) {
            zone = registryZone(windowsName);
        }
    }
    if (!zone) {
        return std::nullopt;
    }
    return TimeZone(Kind::Named, std::string(name), std::make_shared<const Rules>(Rules{*zone}));
}

std::int64_t TimeZone::offsetAt(std::int64_t unixSeconds) const {
    if (!rules_) {
        return 0;
    }
    const std::int64_t steps = kFileTimeOfUnixEpoch + unixSeconds * kFileTimePerSecond;
    FILETIME utcFile{static_cast<DWORD>(steps), static_cast<DWORD>(steps >> 32)};
    SYSTEMTIME utc{};
    SYSTEMTIME local{};
    FILETIME localFile{};
    // The zone's rules of that year (its registry history), then the conversion by
    // those rules: the pair that SystemTimeToTzSpecificLocalTimeEx makes one call, which
    // Wine lacks.
    TIME_ZONE_INFORMATION year{};
    if (!FileTimeToSystemTime(&utcFile, &utc) ||
        !GetTimeZoneInformationForYear(
            utc.wYear, const_cast<PDYNAMIC_TIME_ZONE_INFORMATION>(&rules_->zone), &year) ||
        !SystemTimeToTzSpecificLocalTime(&year, &utc, &local) ||
        !SystemTimeToFileTime(&local, &localFile)) {
        return 0;
    }
    const std::int64_t localSteps =
        (static_cast<std::int64_t>(localFile.dwHighDateTime) << 32) | localFile.dwLowDateTime;
    return (localSteps - steps) / kFileTimePerSecond;
}

std::vector<TimeZoneChoice> timeZoneChoices() {
    std::vector<TimeZoneChoice> choices;
    forEachZone([&](const DYNAMIC_TIME_ZONE_INFORMATION& zone) {
        choices.push_back({utf8Of(zone.TimeZoneKeyName), displayTextOf(zone.TimeZoneKeyName)});
        return false;
    });
    return choices;
}

}  // namespace quillet
