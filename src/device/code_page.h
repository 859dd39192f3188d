// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace quillet {

// One character of the device code page that has a two-byte UTF-8 form.
struct CodePageEntry {
    std::uint8_t deviceByte;
    std::uint8_t utf8Lead;
    std::uint8_t utf8Trail;
};

// The 82 device-code-page bytes with two-byte UTF-8 forms (Windows-1251 Cyrillic, with
// eight positions holding other Cyrillic letters). Byte 0xB9 (numero sign, three UTF-8
// bytes) is handled apart from the table.
extern const std::array<CodePageEntry, 82> CodePageTable;

// The UTF-8 form of one device byte: one to three bytes.
struct Utf8Form {
    std::uint8_t size;
    char bytes[3];
};

// The UTF-8 form of every device byte, indexed by the byte: bytes below 0x80 stand for
// themselves, 0xB9 for E2 84 96, table bytes for their pair and any other byte for '?'.
// Byte 0 stands for itself; the conversions below end a text there.
const std::array<Utf8Form, 256>& utf8Forms();

// Device code page -> UTF-8. The text ends at its first zero byte. Bytes below 0x80 stay,
// 0xB9 becomes E2 84 96, table bytes become their UTF-8 pair, any other byte becomes '?'.
std::string deviceTextToUtf8(std::string_view text);
// The same, appended to `out`.
void appendUtf8(std::string& out, std::string_view text);

// UTF-8 -> device code page. The text ends at its first zero byte. A pair that is not in
// the table becomes one blank and consumes two bytes, whatever the sequence length.
std::string utf8ToDeviceText(std::string_view text);
// The same, into `out` (replacing what it held).
void utf8ToDeviceText(std::string_view text, std::string& out);

}  // namespace quillet
