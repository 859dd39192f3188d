// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/record_list.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

namespace quillet {
namespace {

constexpr std::size_t kNumber = 1;

// Fills the list as the views do: every record in file order becomes a new row 0 with
// its 1-based position as item number and its text in the number column.
RecordList listOf(const std::vector<std::string>& texts, std::size_t column = kNumber) {
    RecordList list;
    for (std::size_t i = 0; i < texts.size(); ++i) {
        list.insertRow();
        list.setItemNumber(0, static_cast<std::int32_t>(i + 1));
        list.setText(0, column, texts[i]);
    }
    return list;
}

// The same with a number column beside a text column, as the views add them.
RecordList numberListOf(const std::vector<std::string>& texts) {
    RecordList list = listOf(texts);
    list.addColumn({.heading = "Encoding"});
    list.addColumn({.heading = "#", .sortKind = SortKind::Number});
    return list;
}

std::vector<std::string> columnTexts(const RecordList& list, std::size_t column = kNumber) {
    std::vector<std::string> texts;
    for (std::size_t row = 0; row < list.rowCount(); ++row) {
        texts.emplace_back(list.text(row, column));
    }
    return texts;
}

std::vector<std::int32_t> itemNumbers(const RecordList& list) {
    std::vector<std::int32_t> numbers;
    for (std::size_t row = 0; row < list.rowCount(); ++row) {
        numbers.push_back(list.itemNumber(row));
    }
    return numbers;
}

std::string numberText(int number) {
    char text[16];
    std::snprintf(text, sizeof text, "%2i", number);
    return text;
}

TEST(RecordList, NewRowsGoToTheTopWithEmptyTexts) {
    RecordList list;
    list.addColumn({"", Alignment::Left, 0});
    list.addColumn({"#", Alignment::Center, 30});
    list.insertRow();
    list.setItemNumber(0, 1);
    list.setText(0, 1, " 1");
    list.insertRow();

    ASSERT_EQ(list.rowCount(), 2u);
    EXPECT_EQ(list.itemNumber(0), 0);
    EXPECT_EQ(list.text(0, 1), "");
    EXPECT_FALSE(list.isSelected(0));
    EXPECT_EQ(list.itemNumber(1), 1);
    EXPECT_EQ(list.text(1, 1), " 1");
    EXPECT_EQ(list.text(1, 7), "");  // beyond the row's texts
}

TEST(RecordList, ReadsAtMostTheAskedBytesAndEndsATextAtItsFirstZero) {
    RecordList list = listOf({"abcdef", std::string("ab\0cd", 5)});
    EXPECT_EQ(list.text(1, kNumber, 3), "abc");
    EXPECT_EQ(list.text(1, kNumber, 0), "");
    EXPECT_EQ(list.text(1, kNumber), "abcdef");
    EXPECT_EQ(list.text(0, kNumber), "ab");
}

TEST(RecordList, RemovingAColumnMovesTheColumnsBehindItForward) {
    RecordList list;
    for (const char* heading : {"a", "b", "c"}) {
        list.addColumn({heading, Alignment::Left, 10});
    }
    list.insertRow();
    list.setText(0, 0, "A");
    list.setText(0, 1, "B");
    list.setText(0, 2, "C");

    list.removeColumn(1);
    ASSERT_EQ(list.columnCount(), 2u);
    EXPECT_EQ(list.column(1).heading, "c");
    EXPECT_EQ(list.text(0, 0), "A");
    EXPECT_EQ(list.text(0, 1), "C");

    list.removeAllColumns();
    EXPECT_EQ(list.columnCount(), 0u);
    EXPECT_EQ(list.text(0, 0), "");
}

TEST(RecordList, SelectionAndLookupByItemNumber) {
    RecordList list = listOf({" 1", " 2", " 3"});
    list.insertRow();
    list.setItemNumber(0, 2);  // a second row with item number 2, above the first
    list.setSelected(1, true);
    list.setSelected(3, true);

    EXPECT_EQ(list.selectedCount(), 2u);
    EXPECT_EQ(list.findByItemNumber(2), 0);
    EXPECT_EQ(list.findByItemNumber(1), 3);
    EXPECT_EQ(list.findByItemNumber(9), -1);

    list.removeAllRows();
    EXPECT_EQ(list.rowCount(), 0u);
    EXPECT_EQ(list.selectedCount(), 0u);
}

struct CompareCase {
    const char* what;
    std::string a;
    std::string b;
    int ascending;  // compareRows(a, b) with the ascending flag set
};

TEST(RecordList, ComparesThePlainByteOrderOfTheFirst99Bytes) {
    const std::string x98(98, 'x');
    const std::string x99(99, 'x');
    const CompareCase cases[] = {
        {"empty first", "", "A", -1},
        {"upper before lower", "Z", "a", -1},
        {"blank before digits", " 9", "10", -1},
        {"digits before letters", "9", "A", -1},
        {"bytes from 128 last", "z", "\xC0", -1},
        {"unsigned bytes", "\x7F", "\x80", -1},
        {"prefix is smaller", "abc", "abcd", -1},
        {"larger", "b", "a", 1},
        {"equal", "same", "same", 0},
        {"both empty", "", "", 0},
        {"differ at byte 98", x98 + "a", x98 + "b", -1},
        {"differ after byte 99", x99 + "a", x99 + "b", 0},
        {"longer than 99 bytes", x99, x99 + "zzz", 0},
    };
    for (const auto& c : cases) {
        RecordList list = listOf({c.a, c.b});
        EXPECT_EQ(list.compareRows(1, 2, kNumber), c.ascending) << c.what;
        EXPECT_EQ(list.compareRows(2, 1, kNumber), -c.ascending) << c.what;
        list.onColumnClick(kNumber);  // now descending
        ASSERT_FALSE(list.ascending());
        EXPECT_EQ(list.compareRows(1, 2, kNumber), -c.ascending) << c.what;
    }
}

TEST(RecordList, ComparesNumberColumnsByTheValuesOfTheirTexts) {
    const CompareCase cases[] = {
        {"2 before 10", "2", "10", -1},
        {"1000 after 141", "1000", "141", 1},
        {"100.5 after 38.8", "100.5000000", "38.8000000", 1},
        {"-0.04 before -0.03", "-0.0400000", "-0.0300000", -1},
        {"blanks ignored", " 0", "0 ", 0},
        {"equal values", "5", "5.0", 0},
        {"empty before every number", "", "-90.0000000", -1},
        {"blank before every number", "  ", "-1", -1},
        {"no number before every number", "12a", "-1", -1},
        {"two texts without numbers", "abc", "", 0},
    };
    for (const auto& c : cases) {
        RecordList list = numberListOf({c.a, c.b});
        EXPECT_EQ(list.compareRows(1, 2, kNumber), c.ascending) << c.what;
        EXPECT_EQ(list.compareRows(2, 1, kNumber), -c.ascending) << c.what;
        list.onColumnClick(kNumber);  // now descending
        EXPECT_EQ(list.compareRows(1, 2, kNumber), -c.ascending) << c.what;
    }
}

TEST(RecordList, ComparesTheFirstRowCarryingAnItemNumber) {
    RecordList list = listOf({"b", "c"});
    list.insertRow();
    list.setItemNumber(0, 2);
    list.setText(0, kNumber, "a");  // now the first row with item number 2
    EXPECT_EQ(list.compareRows(2, 1, kNumber), -1);
    EXPECT_EQ(list.compareRows(7, 1, kNumber), -1);  // no such row: the empty text
}

TEST(RecordList, NumbersSortByValueInANumberColumnAndByCharacterInATextColumn) {
    std::vector<std::string> texts;
    for (int n = 1; n <= 120; ++n) {
        texts.push_back(numberText(n));
    }
    std::vector<std::string> expected;
    for (int n = 1; n <= 99; ++n) {
        expected.push_back(numberText(n));
        for (int m = 10 * n; m < 10 * n + 10 && n >= 10; ++m) {
            if (m <= 120) {
                expected.push_back(numberText(m));
            }
        }
    }
    ASSERT_EQ(expected.size(), texts.size());
    ASSERT_EQ(std::vector<std::string>(expected.begin() + 9, expected.begin() + 12),
              (std::vector<std::string>{"10", "100", "101"}));

    RecordList list = listOf(texts);
    list.sortRows(kNumber);
    EXPECT_EQ(columnTexts(list), expected);

    list.onColumnClick(kNumber);
    std::reverse(expected.begin(), expected.end());
    EXPECT_EQ(columnTexts(list), expected);

    RecordList numbers = numberListOf(texts);
    numbers.sortRows(kNumber);
    EXPECT_EQ(columnTexts(numbers), texts);
    numbers.onColumnClick(kNumber);
    EXPECT_EQ(columnTexts(numbers), std::vector<std::string>(texts.rbegin(), texts.rend()));
}

TEST(RecordList, TextsWithoutNumbersComeFirstAscendingAndKeepTheirOrderBothWays) {
    RecordList list = numberListOf({"7", "", "-2", "x", "7.0"});
    list.sortRows(kNumber);
    // The rows stood 5, 4, 3, 2, 1 (each new row goes to the top).
    EXPECT_EQ(itemNumbers(list), (std::vector<std::int32_t>{4, 2, 3, 5, 1}));
    list.onColumnClick(kNumber);  // descending: equal values keep their order
    EXPECT_EQ(itemNumbers(list), (std::vector<std::int32_t>{5, 1, 3, 4, 2}));
}

TEST(RecordList, EmptyTextsComeFirstAscendingAndLastDescending) {
    RecordList list = listOf({"b", "", "a", ""});
    list.sortRows(kNumber);
    EXPECT_EQ(columnTexts(list), (std::vector<std::string>{"", "", "a", "b"}));
    list.onColumnClick(kNumber);
    EXPECT_EQ(columnTexts(list), (std::vector<std::string>{"b", "a", "", ""}));
}

TEST(RecordList, HeadingClicksFlipTheSameColumnAndSortANewOneAscending) {
    // Column 1 holds the numbers, column 2 the names.
    RecordList list;
    const std::vector<std::string> names = {"Cc", "aa", "Bb"};
    for (std::size_t i = 0; i < names.size(); ++i) {
        list.insertRow();
        list.setItemNumber(0, static_cast<std::int32_t>(i + 1));
        list.setText(0, 1, numberText(static_cast<int>(i + 1)));
        list.setText(0, 2, names[i]);
    }
    ASSERT_EQ(list.sortColumn(), 1);
    ASSERT_TRUE(list.ascending());

    struct Step {
        std::size_t click;
        int sortColumn;
        bool ascending;
        std::vector<std::int32_t> order;
    };
    const Step steps[] = {
        {1, 1, false, {3, 2, 1}}, {1, 1, true, {1, 2, 3}}, {2, 2, true, {3, 1, 2}},
        {2, 2, false, {2, 1, 3}}, {2, 2, true, {3, 1, 2}}, {1, 1, true, {1, 2, 3}},
        {2, 2, true, {3, 1, 2}},  {0, 0, true, {3, 1, 2}},
    };
    for (const auto& step : steps) {
        list.onColumnClick(step.click);
        EXPECT_EQ(list.sortColumn(), step.sortColumn) << "click " << step.click;
        EXPECT_EQ(list.ascending(), step.ascending) << "click " << step.click;
        EXPECT_EQ(itemNumbers(list), step.order) << "click " << step.click;
    }

    // A refill's sort by number keeps the direction and the column of the last click.
    list.onColumnClick(0);
    ASSERT_FALSE(list.ascending());
    list.sortRows(1);
    EXPECT_EQ(itemNumbers(list), (std::vector<std::int32_t>{3, 2, 1}));
    EXPECT_EQ(list.sortColumn(), 0);
    EXPECT_FALSE(list.ascending());
    // The next click on "#" counts as a click on a new column.
    list.onColumnClick(1);
    EXPECT_TRUE(list.ascending());
    EXPECT_EQ(itemNumbers(list), (std::vector<std::int32_t>{1, 2, 3}));
}

TEST(RecordList, EqualTextsKeepTheirOrderInBothDirections) {
    const std::string x99(99, 'x');
    // File order 1..6; the list shows them reversed before the sort: 6 5 4 3 2 1.
    RecordList list = listOf({"b", "a", x99 + "1", "b", x99 + "2", "a"});
    list.sortRows(kNumber);
    EXPECT_EQ(itemNumbers(list), (std::vector<std::int32_t>{6, 2, 4, 1, 5, 3}));
    list.onColumnClick(kNumber);
    EXPECT_EQ(itemNumbers(list), (std::vector<std::int32_t>{5, 3, 4, 1, 6, 2}));
}

TEST(RecordList, RowsTakeTheirTextsSelectionAndItemNumbersAlong) {
    RecordList list = listOf({"b", "c", "a"});
    list.setText(0, 4, "third");
    list.setSelected(0, true);
    list.sortRows(kNumber);
    EXPECT_EQ(itemNumbers(list), (std::vector<std::int32_t>{3, 1, 2}));
    EXPECT_EQ(list.text(0, 4), "third");
    EXPECT_TRUE(list.isSelected(0));
    EXPECT_EQ(list.selectedCount(), 1u);

    RecordList empty;
    empty.sortRows(kNumber);
    empty.onColumnClick(3);
    EXPECT_EQ(empty.rowCount(), 0u);
}

TEST(RecordList, SortGivesTheStableOrderOfCompareRowsOnRandomLists) {
    std::mt19937 random(20240607);
    const char alphabet[] = {' ', '0', '9', 'A', 'a', 'z', '\x7F', '\x80', '\xC0', '\xFF'};
    for (int round = 0; round < 200; ++round) {
        const std::size_t count = random() % 60;
        // Some rounds share item numbers between rows, as rows do before a view sets them.
        const std::size_t distinctNumbers = round % 4 == 0 ? count / 3 + 1 : count;
        RecordList list;
        for (std::size_t i = 0; i < count; ++i) {
            list.insertRow();
            // Some rounds spread the item numbers far apart, as no fill does.
            const std::int32_t spread = round % 5 == 3 ? 1'000'003 : 1;
            list.setItemNumber(
                0, spread * static_cast<std::int32_t>(random() % (distinctNumbers + 1)));
            // Some rounds use texts that share their first 6 to 17 bytes and differ, if
            // at all, only after them.
            std::string text;
            if (round % 3 == 2) {
                text = std::string("0123456789ABCDEFG").substr(0, 6 + round % 12);
                for (auto tail = random() % 4; tail > 0; --tail) {
                    text += alphabet[random() % 3];
                }
            } else {
                text.resize(random() % 4);
                for (char& c : text) {
                    c = alphabet[random() % sizeof alphabet];
                }
            }
            if (random() % 8 == 0) {
                text = std::string(99, 'x') + text;
            }
            list.setText(0, 2, text);
        }
        if (round % 2 == 1) {
            list.onColumnClick(1);  // descending
        }

        std::vector<std::size_t> expected(count);
        for (std::size_t i = 0; i < count; ++i) {
            expected[i] = i;
        }
        std::stable_sort(expected.begin(), expected.end(), [&](std::size_t a, std::size_t b) {
            return list.compareRows(list.itemNumber(a), list.itemNumber(b), 2) < 0;
        });
        std::vector<std::string> expectedTexts;
        std::vector<std::int32_t> expectedNumbers;
        for (const std::size_t row : expected) {
            expectedTexts.emplace_back(list.text(row, 2));
            expectedNumbers.push_back(list.itemNumber(row));
        }

        list.sortRows(2);
        EXPECT_EQ(columnTexts(list, 2), expectedTexts) << "round " << round;
        EXPECT_EQ(itemNumbers(list), expectedNumbers) << "round " << round;
    }
}

}  // namespace
}  // namespace quillet
