// SPDX-License-Identifier: GPL-3.0-or-later
#include "views/list_text.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "device/code_page.h"

namespace quillet {
namespace {

RecordList listOf(const std::vector<std::string>& headings,
                  const std::vector<std::vector<std::string>>& rows) {
    RecordList list;
    for (const auto& heading : headings) {
        list.addColumn({heading, Alignment::Left, heading.empty() ? 0 : 30});
    }
    // Rows go in at the top, so the last is inserted first.
    for (auto row = rows.rbegin(); row != rows.rend(); ++row) {
        list.insertRow();
        for (std::size_t column = 0; column < row->size(); ++column) {
            list.setText(0, column, (*row)[column]);
        }
    }
    return list;
}

TEST(ListingText, PrintsTheHeadingsAndEveryCellOfEveryRow) {
    const RecordList list =
        listOf({"", "#", "Name"}, {{"UTF", " 1", "first"}, {"", " 2", ""}, {"", "10", "x"}});
    EXPECT_EQ(listingText(list), "\t#\tName\nUTF\t 1\tfirst\n\t 2\t\n\t10\tx\n");
    EXPECT_EQ(listingText(RecordList{}), "\n");
}

TEST(ListingText, ConvertsEachCellToUtf8AndKeepsTheLinesWhole) {
    struct Case {
        const char* label;
        std::string cell;
        std::string printed;
    };
    const Case cases[] = {
        {"cyrillic", "\xCF\xF0\xE8\xE2\xE5\xF2",
         "\xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82"},
        {"numero sign", "\xB9 5", "\xE2\x84\x96 5"},
        {"unmapped byte", "a\x80z", "a?z"},
        {"tab, CR and LF", "a\tb\rc\nd", "a b c d"},
        {"other control bytes", std::string("a\x01\x1F\x7F", 4), std::string("a\x01\x1F\x7F", 4)},
        {"long text", std::string(124, 'n'), std::string(124, 'n')},
        {"long cyrillic", std::string(124, '\xE0'),
         [] {
             std::string s;
             for (int i = 0; i < 124; ++i) {
                 s += "\xD0\xB0";
             }
             return s;
         }()},
    };
    for (const auto& c : cases) {
        const RecordList list = listOf({"A", "B"}, {{c.cell, "end"}});
        EXPECT_EQ(listingText(list), "A\tB\n" + c.printed + "\tend\n") << c.label;
    }
    // Headings are converted the same way.
    EXPECT_EQ(listingText(listOf({"\xC8\xEC\xFF"}, {})), "\xD0\x98\xD0\xBC\xD1\x8F\n");
}

// The listing as the plainest code writes it: the code page searched byte by byte, every
// cell a string of its own.
std::string referenceListing(const RecordList& list) {
    const auto utf8Of = [](std::string_view text) {
        std::string out;
        for (const char c : text.substr(0, text.find('\0'))) {
            const auto b = static_cast<std::uint8_t>(c);
            std::string form = b == 0xB9 ? "\xE2\x84\x96" : b < 0x80 ? std::string(1, c) : "?";
            for (const CodePageEntry& entry : CodePageTable) {
                if (entry.deviceByte == b) {
                    form = {static_cast<char>(entry.utf8Lead), static_cast<char>(entry.utf8Trail)};
                }
            }
            out += form == "\t" || form == "\r" || form == "\n" ? " " : form;
        }
        return out;
    };
    std::string out;
    for (std::size_t column = 0; column < list.columnCount(); ++column) {
        out += column == 0 ? "" : "\t";
        out += utf8Of(list.column(column).heading);
    }
    out += '\n';
    for (std::size_t row = 0; row < list.rowCount(); ++row) {
        for (std::size_t column = 0; column < list.columnCount(); ++column) {
            out += column == 0 ? "" : "\t";
            out += utf8Of(list.text(row, column));
        }
        out += '\n';
    }
    return out;
}

// Random rows of full-length names in every byte of the code page, short number texts
// and empty cells, some rows sharing their texts, long enough to be written in many
// pieces: the listing is the reference's, in one text or piece by piece.
TEST(ListingText, MatchesAPlainFormatterOnRandomRows) {
    std::mt19937 random(15);
    RecordList list;
    for (const char* heading : {"", "#", "Name", "\xC8\xEC\xFF", "1"}) {
        list.addColumn({heading, Alignment::Left, 20});
    }
    for (int row = 0; row < 6000; ++row) {
        list.insertRow();
        if (row > 0 && random() % 5 == 0) {
            list.setTextsLike(0, 1, 1, std::to_string(row));
            continue;
        }
        for (std::size_t column = 0; column < list.columnCount(); ++column) {
            std::string text(random() % 4 == 0 ? 0 : random() % 125, ' ');
            for (char& c : text) {
                c = static_cast<char>(random() % 3 == 0 ? 'a' + random() % 26 : random() % 256);
            }
            list.setText(0, column, text);
        }
    }
    const std::string expected = referenceListing(list);
    ASSERT_GT(expected.size(), 1'000'000u);
    EXPECT_EQ(listingText(list), expected);

    std::vector<std::string> pieces;
    EXPECT_TRUE(writeListing(list, [&](std::string_view piece) {
        pieces.emplace_back(piece);
        return true;
    }));
    std::string joined;
    for (const auto& piece : pieces) {
        EXPECT_EQ(piece.back(), '\n');  // whole lines
        joined += piece;
    }
    EXPECT_GT(pieces.size(), 4u);
    EXPECT_EQ(joined, expected);

    std::size_t calls = 0;
    EXPECT_FALSE(writeListing(list, [&](std::string_view) { return ++calls < 2; }));
    EXPECT_EQ(calls, 2u);  // nothing more after the failed piece
}

}  // namespace
}  // namespace quillet
