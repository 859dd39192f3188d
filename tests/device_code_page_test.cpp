// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <random>
#include <set>
#include <string>
#include <string_view>

#include "device/code_page.h"
#include "support/device_bytes.h"

namespace quillet {
namespace {

using test::byteText;
using test::hexBytes;

struct ConversionCase {
    const char* input;   // hexadecimal
    const char* output;  // hexadecimal
};

TEST(CodePage, DeviceTextToUtf8) {
    const ConversionCase cases[] = {
        {"", ""},
        {"41 62 63 20 31", "41 62 63 20 31"},
        {"CF F0 E8 E2 E5 F2", "D0 9F D1 80 D0 B8 D0 B2 D0 B5 D1 82"},
        {"C0 FF", "D0 90 D1 8F"},
        {"A8 B8 AA BA AF BF B2 B3 A1 A2",
         "D0 81 D1 91 D0 84 D1 94 D0 87 D1 97 D0 86 D1 96 D0 8E D1 9E"},
        {"B9", "E2 84 96"},
        {"8C 8D 8E 8F 9C 9D 9E 9F", "D3 90 D3 96 D2 AA D3 B2 D3 91 D3 97 D2 AB D3 B3"},
        {"80 96 A0", "3F 3F 3F"},
        {"41 00 C0", "41"},  // the text ends at its first zero byte
    };
    for (const auto& c : cases) {
        EXPECT_EQ(deviceTextToUtf8(byteText(hexBytes(c.input))), byteText(hexBytes(c.output)))
            << c.input;
    }
}

TEST(CodePage, Utf8ToDeviceText) {
    const ConversionCase cases[] = {
        {"", ""},
        {"41 62 63", "41 62 63"},
        {"D0 9F D1 80 D0 B8 D0 B2 D0 B5 D1 82", "CF F0 E8 E2 E5 F2"},
        {"E2 84 96", "B9"},
        {"D3 90", "8C"},
        {"D0 8A", "20"},           // the Windows-1251 letter at 0x8C is not known
        {"C3 A9", "20"},           // e with acute
        {"E2 82 AC 41", "20 20"},  // the euro sign's last byte takes the A with it
        {"41 D0", "41 20"},        // a lone lead byte before the end
        {"D0", "20"},
        {"E2 84", "20"},
        {"E2 84 96 D0 90 42", "B9 C0 42"},
        {"41 00 D0 90", "41"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(utf8ToDeviceText(byteText(hexBytes(c.input))), byteText(hexBytes(c.output)))
            << c.input;
    }
}

// The letters are computed here, not taken from the table: a swapped pair shows.
TEST(CodePage, BytesC0ToFFAreTheLettersFromU0410On) {
    for (int byte = 0xC0; byte <= 0xFF; ++byte) {
        const int code = 0x410 + (byte - 0xC0);
        const std::string utf8 = {static_cast<char>(0xC0 | (code >> 6)),
                                  static_cast<char>(0x80 | (code & 0x3F))};
        const std::string device(1, static_cast<char>(byte));
        EXPECT_EQ(deviceTextToUtf8(device), utf8) << byte;
        EXPECT_EQ(utf8ToDeviceText(utf8), device) << byte;
    }
}

TEST(CodePage, TableIsAOneToOneMapThatRoundTrips) {
    std::set<int> deviceBytes;
    std::set<int> pairs;
    std::string all;
    for (const auto& entry : CodePageTable) {
        deviceBytes.insert(entry.deviceByte);
        pairs.insert(entry.utf8Lead * 256 + entry.utf8Trail);
        all += static_cast<char>(entry.deviceByte);
        EXPECT_NE(entry.deviceByte, 0xB9);
    }
    EXPECT_EQ(deviceBytes.size(), 82u);
    EXPECT_EQ(pairs.size(), 82u);
    all += '\xB9';
    EXPECT_EQ(utf8ToDeviceText(deviceTextToUtf8(all)), all);
}

TEST(CodePage, LongTextsGrowAsTheirCharacters) {
    EXPECT_EQ(deviceTextToUtf8(std::string(99, '\xC0')).size(), 198u);
    EXPECT_EQ(deviceTextToUtf8(std::string(99, '\xB9')).size(), 297u);
    // No fixed work buffer: a long text converts whole.
    EXPECT_EQ(utf8ToDeviceText(deviceTextToUtf8(std::string(500, '\xE0'))),
              std::string(500, '\xE0'));
}

// Both conversions against the plainest code: the table searched for every byte, on
// random texts of ASCII, table pairs, the numero sign, stray bytes and pairs cut by the
// end of the text.
TEST(CodePage, ConversionsMatchATableSearchOnRandomTexts) {
    const auto toUtf8 = [](std::string_view text) {
        std::string out;
        for (const char c : text.substr(0, text.find('\0'))) {
            const auto b = static_cast<std::uint8_t>(c);
            std::string form = b == 0xB9 ? "\xE2\x84\x96" : b < 0x80 ? std::string(1, c) : "?";
            for (const CodePageEntry& entry : CodePageTable) {
                if (entry.deviceByte == b) {
                    form = {static_cast<char>(entry.utf8Lead), static_cast<char>(entry.utf8Trail)};
                }
            }
            out += form;
        }
        return out;
    };
    const auto toDevice = [](std::string_view text) {
        text = text.substr(0, text.find('\0'));
        std::string out;
        for (std::size_t p = 0; p < text.size();) {
            const auto b = static_cast<std::uint8_t>(text[p]);
            const auto trail = static_cast<std::uint8_t>(p + 1 < text.size() ? text[p + 1] : '\0');
            if (b < 0x80) {
                out += text[p++];
                continue;
            }
            if (text.substr(p, 3) == "\xE2\x84\x96") {
                out += '\xB9';
                p += 3;
                continue;
            }
            char device = ' ';
            for (const CodePageEntry& entry : CodePageTable) {
                if (entry.utf8Lead == b && entry.utf8Trail == trail) {
                    device = static_cast<char>(entry.deviceByte);
                }
            }
            out += device;
            p += 2;
        }
        return out;
    };
    std::mt19937 random(151);
    for (int round = 0; round < 20000; ++round) {
        std::string text;
        for (std::size_t n = random() % 12; n > 0; --n) {
            switch (random() % 6) {
                case 0:
                    text += static_cast<char>(random() % 128);
                    break;
                case 1:
                    text += "\xE2\x84\x96";
                    break;
                case 2:
                    text += static_cast<char>(random() % 256);
                    break;
                default: {
                    const CodePageEntry& entry = CodePageTable[random() % CodePageTable.size()];
                    text += static_cast<char>(entry.utf8Lead);
                    text += static_cast<char>(random() % 8 == 0 ? random() % 256 : entry.utf8Trail);
                }
            }
        }
        if (random() % 4 == 0 && !text.empty()) {
            text.pop_back();  // a pair or the numero sign cut short
        }
        ASSERT_EQ(utf8ToDeviceText(text), toDevice(text)) << round;
        ASSERT_EQ(deviceTextToUtf8(text), toUtf8(text)) << round;
    }
}

}  // namespace
}  // namespace quillet
