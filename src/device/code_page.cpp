// SPDX-License-Identifier: GPL-3.0-or-later
#include "device/code_page.h"

#include <cstddef>

namespace quillet {

// Each device byte with the two bytes of its character's UTF-8 form.
const std::array<CodePageEntry, 82> CodePageTable{{
    // 0xC0 - 0xFF: the Cyrillic alphabet, capital then small letters.
    {0xC0, 0xD0, 0x90},  // U+0410
    {0xC1, 0xD0, 0x91},  // U+0411
    {0xC2, 0xD0, 0x92},  // U+0412
    {0xC3, 0xD0, 0x93},  // U+0413
    {0xC4, 0xD0, 0x94},  // U+0414
    {0xC5, 0xD0, 0x95},  // U+0415
    {0xC6, 0xD0, 0x96},  // U+0416
    {0xC7, 0xD0, 0x97},  // U+0417
    {0xC8, 0xD0, 0x98},  // U+0418
    {0xC9, 0xD0, 0x99},  // U+0419
    {0xCA, 0xD0, 0x9A},  // U+041A
    {0xCB, 0xD0, 0x9B},  // U+041B
    {0xCC, 0xD0, 0x9C},  // U+041C
    {0xCD, 0xD0, 0x9D},  // U+041D
    {0xCE, 0xD0, 0x9E},  // U+041E
    {0xCF, 0xD0, 0x9F},  // U+041F
    {0xD0, 0xD0, 0xA0},  // U+0420
    {0xD1, 0xD0, 0xA1},  // U+0421
    {0xD2, 0xD0, 0xA2},  // U+0422
    {0xD3, 0xD0, 0xA3},  // U+0423
    {0xD4, 0xD0, 0xA4},  // U+0424
    {0xD5, 0xD0, 0xA5},  // U+0425
    {0xD6, 0xD0, 0xA6},  // U+0426
    {0xD7, 0xD0, 0xA7},  // U+0427
    {0xD8, 0xD0, 0xA8},  // U+0428
    {0xD9, 0xD0, 0xA9},  // U+0429
    {0xDA, 0xD0, 0xAA},  // U+042A
    {0xDB, 0xD0, 0xAB},  // U+042B
    {0xDC, 0xD0, 0xAC},  // U+042C
    {0xDD, 0xD0, 0xAD},  // U+042D
    {0xDE, 0xD0, 0xAE},  // U+042E
    {0xDF, 0xD0, 0xAF},  // U+042F
    {0xE0, 0xD0, 0xB0},  // U+0430
    {0xE1, 0xD0, 0xB1},  // U+0431
    {0xE2, 0xD0, 0xB2},  // U+0432
    {0xE3, 0xD0, 0xB3},  // U+0433
    {0xE4, 0xD0, 0xB4},  // U+0434
    {0xE5, 0xD0, 0xB5},  // U+0435
    {0xE6, 0xD0, 0xB6},  // U+0436
    {0xE7, 0xD0, 0xB7},  // U+0437
    {0xE8, 0xD0, 0xB8},  // U+0438
    {0xE9, 0xD0, 0xB9},  // U+0439
    {0xEA, 0xD0, 0xBA},  // U+043A
    {0xEB, 0xD0, 0xBB},  // U+043B
    {0xEC, 0xD0, 0xBC},  // U+043C
    {0xED, 0xD0, 0xBD},  // U+043D
    {0xEE, 0xD0, 0xBE},  // U+043E
    {0xEF, 0xD0, 0xBF},  // U+043F
    {0xF0, 0xD1, 0x80},  // U+0440
    {0xF1, 0xD1, 0x81},  // U+0441
    {0xF2, 0xD1, 0x82},  // U+0442
    {0xF3, 0xD1, 0x83},  // U+0443
    {0xF4, 0xD1, 0x84},  // U+0444
    {0xF5, 0xD1, 0x85},  // U+0445
    {0xF6, 0xD1, 0x86},  // U+0446
    {0xF7, 0xD1, 0x87},  // U+0447
    {0xF8, 0xD1, 0x88},  // U+0448
    {0xF9, 0xD1, 0x89},  // U+0449
    {0xFA, 0xD1, 0x8A},  // U+044A
    {0xFB, 0xD1, 0x8B},  // U+044B
    {0xFC, 0xD1, 0x8C},  // U+044C
    {0xFD, 0xD1, 0x8D},  // U+044D
    {0xFE, 0xD1, 0x8E},  // U+044E
    {0xFF, 0xD1, 0x8F},  // U+044F
    // Further Cyrillic letters at their Windows-1251 positions.
    {0xA1, 0xD0, 0x8E},  // U+040E
    {0xA2, 0xD1, 0x9E},  // U+045E
    {0xA8, 0xD0, 0x81},  // U+0401
    {0xAA, 0xD0, 0x84},  // U+0404
    {0xAF, 0xD0, 0x87},  // U+0407
    {0xB2, 0xD0, 0x86},  // U+0406
    {0xB3, 0xD1, 0x96},  // U+0456
    {0xB8, 0xD1, 0x91},  // U+0451
    {0xBA, 0xD1, 0x94},  // U+0454
    {0xBF, 0xD1, 0x97},  // U+0457
    // Eight positions that hold letters of other Cyrillic alphabets.
    {0x8C, 0xD3, 0x90},  // U+04D0
    {0x8D, 0xD3, 0x96},  // U+04D6
    {0x8E, 0xD2, 0xAA},  // U+04AA
    {0x8F, 0xD3, 0xB2},  // U+04F2
    {0x9C, 0xD3, 0x91},  // U+04D1
    {0x9D, 0xD3, 0x97},  // U+04D7
    {0x9E, 0xD2, 0xAB},  // U+04AB
    {0x9F, 0xD3, 0xB3},  // U+04F3
}};

namespace {

constexpr std::uint8_t kNumeroByte = 0xB9;
constexpr char kNumeroUtf8[] = "\xE2\x84\x96";

std::string_view untilTerminator(std::string_view text) {
    return text.substr(0, text.find('\0'));
}

// Every pair of the table has a lead byte from D0 to D3 and a trail byte from 80 to BF:
// the device bytes of all such pairs in one table, 0 for a pair without a character.
constexpr std::uint8_t kFirstLead = 0xD0;
constexpr std::uint8_t kFirstTrail = 0x80;
constexpr std::size_t kLeads = 4;
constexpr std::size_t kTrails = 64;

std::array<std::uint8_t, kLeads * kTrails> makeDeviceBytes() {
    std::array<std::uint8_t, kLeads * kTrails> bytes{};
    for (const auto& entry : CodePageTable) {
        bytes[(entry.utf8Lead - kFirstLead) * kTrails + (entry.utf8Trail - kFirstTrail)] =
            entry.deviceByte;
    }
    return bytes;
}

std::uint8_t deviceByteForPair(std::uint8_t lead, std::uint8_t trail) {
    static const std::array<std::uint8_t, kLeads* kTrails> deviceBytes = makeDeviceBytes();
    const unsigned leadIndex = static_cast<unsigned>(lead) - kFirstLead;
    const unsigned trailIndex = static_cast<unsigned>(trail) - kFirstTrail;
    if (leadIndex >= kLeads || trailIndex >= kTrails) {
        return 0;
    }
    return deviceBytes[leadIndex * kTrails + trailIndex];
}

// Device byte -> pair as one table, so that a conversion costs one look-up per byte.
std::array<Utf8Form, 256> makeUtf8Forms() {
    std::array<Utf8Form, 256> forms{};
    for (std::size_t b = 0; b < forms.size(); ++b) {
        forms[b] = b < 0x80 ? Utf8Form{1, {static_cast<char>(b)}} : Utf8Form{1, {'?'}};
    }
    for (const auto& entry : CodePageTable) {
        forms[entry.deviceByte] = {
            2, {static_cast<char>(entry.utf8Lead), static_cast<char>(entry.utf8Trail)}};
    }
    forms[kNumeroByte] = {3, {kNumeroUtf8[0], kNumeroUtf8[1], kNumeroUtf8[2]}};
    return forms;
}

}  // namespace

const std::array<Utf8Form, 256>& utf8Forms() {
    static const std::array<Utf8Form, 256> forms = makeUtf8Forms();
    return forms;
}

void appendUtf8(std::string& out, std::string_view text) {
    text = untilTerminator(text);
    const std::array<Utf8Form, 256>& forms = utf8Forms();
    const std::size_t start = out.size();
    out.resize(start + 3 * text.size());
    char* end = out.data() + start;
    for (const char c : text) {
        const Utf8Form& form = forms[static_cast<std::uint8_t>(c)];
        end[0] = form.bytes[0];
        end[1] = form.bytes[1];
        end[2] = form.bytes[2];
        end += form.size;
    }
    out.resize(static_cast<std::size_t>(end - out.data()));
}

std::string deviceTextToUtf8(std::string_view text) {
    std::string utf8;
    appendUtf8(utf8, text);
    return utf8;
}

// Every byte from 0x80 up starts a pair: a pair that is no known character becomes
// one blank and is consumed whole, even when the sequence is shorter or longer than
// two bytes. A pair that would take in the end of the text ends it after its blank.
std::string utf8ToDeviceText(std::string_view text) {
    std::string device;
    utf8ToDeviceText(text, device);
    return device;
}

// While three bytes remain, a character is converted without a branch on its kind, as
// names mix one- and two-byte characters at random; the last bytes go the careful way.
void utf8ToDeviceText(std::string_view text, std::string& device) {
    text = untilTerminator(text);
    device.resize(text.size());  // every character takes at least one byte
    const auto* in = reinterpret_cast<const std::uint8_t*>(text.data());
    const std::size_t size = text.size();
    char* out = device.data();
    std::size_t p = 0;
    while (p + 2 < size) {
        const std::uint8_t b = in[p];
        const std::uint8_t trail = in[p + 1];
        if (b == 0xE2 && trail == 0x84 && in[p + 2] == 0x96) {
            *out++ = static_cast<char>(kNumeroByte);
            p += 3;
            continue;
        }
        const std::uint8_t deviceByte = deviceByteForPair(b, trail);
        const bool ascii = b < 0x80;
        *out++ = static_cast<char>(ascii ? b : deviceByte != 0 ? deviceByte : ' ');
        p += ascii ? 1 : 2;
    }
    while (p < size) {
        const std::uint8_t b = in[p];
        if (b < 0x80) {
            *out++ = static_cast<char>(b);
            p += 1;
        } else if (b == 0xE2 && text.substr(p, 3) == kNumeroUtf8) {
            *out++ = static_cast<char>(kNumeroByte);
            p += 3;
        } else {
            const std::uint8_t deviceByte = deviceByteForPair(b, p + 1 < size ? in[p + 1] : 0);
            *out++ = deviceByte != 0 ? static_cast<char>(deviceByte) : ' ';
            p += 2;
        }
    }
    device.resize(static_cast<std::size_t>(out - device.data()));
}

}  // namespace quillet
