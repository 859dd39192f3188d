#include "views/list_text.h"

#include <gtest/gtest.h>

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

}  // namespace
}  // namespace quillet
