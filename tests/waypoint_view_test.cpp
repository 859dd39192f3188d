// SPDX-License-Identifier: GPL-3.0-or-later
#include "views/waypoint_view.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "app/app_state.h"
#include "encoder/device_encoder.h"
#include "support/fake_ui.h"
#include "support/temp_dir.h"
#include "views/list_text.h"

namespace quillet {
namespace {

using encoder::Bytes;
using encoder::WaypointFields;
using encoder::WaypointFile;
using testing::FakeUi;
using testing::MessageCall;
using testing::TempDir;
using testing::titledMessage;

constexpr std::size_t kEncoding = 0, kNumber = 1, kName = 2, kSymbol = 3, kLatitude = 4,
                      kLongitude = 5, kElevation = 6, kTime = 7;

WaypointFields named(std::string name) {
    WaypointFields fields;
    fields.name = std::move(name);
    return fields;
}

// A file of the given bodies, the header counting them unless a count is given.
Bytes waypointFile(const std::vector<WaypointFields>& records,
                   std::optional<std::uint32_t> count = std::nullopt) {
    WaypointFile file;
    file.recordCount = count;
    for (const auto& record : records) {
        file.bodies.push_back(encoder::encodeWaypointBody(record));
    }
    return encoder::encodeWaypointFile(file);
}

struct Fill {
    TempDir dir;
    AppState state;
    FakeUi ui;

    // Fills the view from the bytes as GARMIN_WPT.NVM (none when nullopt).
    explicit Fill(const std::optional<Bytes>& bytes) {
        state.files = makeFileSet(dir.path());
        if (bytes) {
            dir.writeFile(kWaypointFileName, *bytes);
        }
    }
    void run() { fillWaypointView(state, ui); }

    // The row carrying the item number; fails the test when there is none.
    std::size_t row(std::int32_t itemNumber) const {
        const int position = state.list.findByItemNumber(itemNumber);
        EXPECT_GE(position, 0) << "no row " << itemNumber;
        return position < 0 ? 0 : static_cast<std::size_t>(position);
    }
    std::string cell(std::int32_t itemNumber, std::size_t column) const {
        return std::string(state.list.text(row(itemNumber), column));
    }
    std::vector<std::string> cells(std::int32_t itemNumber) const {
        std::vector<std::string> result;
        for (std::size_t column = 0; column < state.list.columnCount(); ++column) {
            result.push_back(cell(itemNumber, column));
        }
        return result;
    }
};

const MessageCall kFormatWarning = titledMessage(kFormatMessage, Buttons::Ok, Icon::None);

TEST(WaypointView, AddsTheTwentyFourColumns) {
    Fill fill(waypointFile({}));
    fill.run();
    EXPECT_EQ(listingText(fill.state.list),
              "Encoding\t#\tName\tSymbol\tLatitude\tLongitude\tElevation\tUniversal time\t"
              "1\t2\t3\t4\t5\t6\t7\t8\t9\t10\t11\t12\t13\t14\t15\t16\n");
    std::vector<int> widths;
    std::vector<Alignment> alignments;
    for (const auto& column : fill.state.list.columns()) {
        widths.push_back(column.width);
        alignments.push_back(column.alignment);
    }
    EXPECT_EQ(widths, (std::vector<int>{0,  30, 200, 120, 90, 90, 60, 140, 20, 20, 20, 20,
                                        20, 20, 20,  20,  20, 30, 30, 30,  30, 30, 30, 30}));
    std::vector<Alignment> expectedAlignments(24, Alignment::Left);
    expectedAlignments[0] = expectedAlignments[1] = Alignment::Center;
    EXPECT_EQ(alignments, expectedAlignments);
    EXPECT_TRUE(fill.ui.calls.empty());
}

struct CellCase {
    const char* label;
    WaypointFields fields;
    std::size_t column;
    std::string expected;
};

TEST(WaypointView, TurnsEveryFieldIntoItsCellText) {
    const std::string cyrillicUtf8 = "\xD0\x9C\xD0\xBE\xD1\x81\xD0\xBA\xD0\xB2\xD0\xB0";
    auto utf8Name = [](std::string name) {
        WaypointFields fields = named(std::move(name));
        fields.nameIsUtf8 = true;
        return fields;
    };
    auto symbol = [](std::uint8_t code) {
        WaypointFields fields = named("s");
        fields.symbol = code;
        return fields;
    };
    auto elevation = [](std::uint16_t code) {
        WaypointFields fields = named("e");
        fields.elevationCode = code;
        return fields;
    };
    auto time = [](std::uint32_t word) {
        WaypointFields fields = named("t");
        fields.timeWord = word;
        return fields;
    };
    auto latitude = [](std::int32_t code) {
        WaypointFields fields = named("la");
        fields.latitudeCode = code;
        return fields;
    };
    auto longitude = [](std::int32_t code) {
        WaypointFields fields = named("lo");
        fields.longitudeCode = code;
        return fields;
    };
    const CellCase cases[] = {
        {"symbol 0", symbol(0), kSymbol, "Medical Facility"},
        {"symbol 83", symbol(83), kSymbol, "Buoy, White"},
        {"symbol 84", symbol(84), kSymbol, "84"},
        {"symbol 85", symbol(85), kSymbol, ""},
        {"symbol 86", symbol(86), kSymbol, "Shipwreck"},
        {"symbol 93", symbol(93), kSymbol, ""},
        {"symbol 102", symbol(102), kSymbol, ""},
        {"symbol 126", symbol(126), kSymbol, "Triangle, Red"},
        {"symbol 127", symbol(127), kSymbol, ""},
        {"symbol 255", symbol(255), kSymbol, ""},
        {"latitude 2^29", latitude(536870912), kLatitude, "44.9999998"},
        {"longitude 2^29", longitude(536870912), kLongitude, "45.0000008"},
        {"latitude 0", latitude(0), kLatitude, "0.0000000"},
        {"longitude 0", longitude(0), kLongitude, "0.0000000"},
        {"latitude -2^29", latitude(-536870912), kLatitude, "-44.9999998"},
        {"longitude -2^31", longitude(INT32_MIN), kLongitude, "-180.0000033"},
        {"elevation none", elevation(65535), kElevation, ""},
        {"elevation 6237", elevation(6237), kElevation, "0"},
        {"elevation 6236", elevation(6236), kElevation, "-1"},
        {"elevation 0", elevation(0), kElevation, "-1499"},
        {"elevation 65534", elevation(65534), kElevation, "14249"},
        {"time word 0", time(0), kTime, "2007-01-04  18:48:30 "},
        {"time word 7", time(7), kTime, "2007-01-04  18:48:30 "},
        {"time word 8", time(8), kTime, "2007-01-04  18:48:31 "},
        {"time word max", time(0xFFFFFFFF), kTime, "2024-01-09  13:37:01 "},
        {"utf-8 name", utf8Name(cyrillicUtf8), kName, "\xCC\xEE\xF1\xEA\xE2\xE0"},
        {"utf-8 marker", utf8Name(cyrillicUtf8), kEncoding, "UTF"},
        {"utf-8 e acute", utf8Name("Caf\xC3\xA9!"), kName, "Caf !"},
        {"unmarked utf-8", named(cyrillicUtf8), kName, cyrillicUtf8},
        {"unmarked", named(cyrillicUtf8), kEncoding, ""},
        {"long name", named(std::string(124, 'n')), kName, std::string(124, 'n')},
    };
    std::vector<WaypointFields> records;
    for (const auto& c : cases) {
        records.push_back(c.fields);
    }
    Fill fill(waypointFile(records));
    fill.run();
    ASSERT_EQ(fill.state.list.rowCount(), std::size(cases));
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        EXPECT_EQ(fill.cell(static_cast<std::int32_t>(i + 1), cases[i].column), cases[i].expected)
            << cases[i].label;
    }
    EXPECT_TRUE(fill.ui.calls.empty());
}

TEST(WaypointView, MarksTheCategoriesThatAreSet) {
    struct Case {
        std::uint16_t bits;
        std::vector<int> marked;  // categories
    };
    const Case cases[] = {
        {0x0000, {}},     {0x8000, {1}},
        {0x0001, {16}},   {0x8001, {1, 16}},
        {0x0180, {8, 9}}, {0xFFFF, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16}},
    };
    std::vector<WaypointFields> records;
    for (const auto& c : cases) {
        WaypointFields fields = named("c");
        fields.categoryBits = c.bits;
        records.push_back(fields);
    }
    Fill fill(waypointFile(records));
    fill.run();
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        std::vector<int> marked;
        for (int k = 1; k <= 16; ++k) {
            const std::string text = fill.cell(static_cast<std::int32_t>(i + 1), kTime + k);
            if (!text.empty()) {
                EXPECT_EQ(text, "+");
                marked.push_back(k);
            }
        }
        EXPECT_EQ(marked, cases[i].marked) << "bits " << cases[i].bits;
    }
}

TEST(WaypointView, NumbersEveryRowByItsPositionInTheFile) {
    Fill fill(waypointFile(std::vector<WaypointFields>(101, named("w"))));
    fill.run();
    ASSERT_EQ(fill.state.list.rowCount(), 101u);
    // The row convention: every new row goes to the top.
    EXPECT_EQ(fill.state.list.itemNumber(0), 101);
    EXPECT_EQ(fill.state.list.itemNumber(100), 1);
    const std::pair<int, std::string> numbers[] = {{1, " 1"}, {9, " 9"}, {10, "10"}, {100, "100"}};
    for (const auto& [item, text] : numbers) {
        EXPECT_EQ(fill.cell(item, kNumber), text);
    }
}

TEST(WaypointView, StoresTheHeaderValues) {
    struct Case {
        std::uint16_t version;
        std::uint32_t accessCount;
        std::uint32_t recordCount;
        std::string versionText, accessText, recordsText;
    };
    const Case cases[] = {
        {5, 17, 0, "5", "17", "0"},
        {65535, 0xFFFFFFFF, 0, "65535", "-1", "0"},
        {5, 0x80000000, 0xFFFFFFFF, "5", "-2147483648", "-1"},
        {0x0105, 0x7FFFFFFF, 0x80000000, "261", "2147483647", "-2147483648"},
    };
    for (const auto& c : cases) {
        WaypointFile file;
        file.version = c.version;
        file.accessCount = c.accessCount;
        file.recordCount = c.recordCount;
        Fill fill(encoder::encodeWaypointFile(file));
        fill.run();
        EXPECT_EQ(fill.state.fileVersion, c.version);
        EXPECT_EQ(fill.state.accessCount, c.accessCount);
        EXPECT_EQ(fill.state.recordCount, c.recordCount);
        EXPECT_EQ(fill.state.headerFields.fileVersion, c.versionText);
        EXPECT_EQ(fill.state.headerFields.accessCount, c.accessText);
        EXPECT_EQ(fill.state.headerFields.records, c.recordsText);
        ASSERT_TRUE(fill.state.waypointSnapshot.has_value());
        EXPECT_EQ(fill.state.waypointSnapshot->recordCount, c.recordCount);
        EXPECT_EQ(fill.state.waypointSnapshot->size, 16u);
    }
}

TEST(WaypointView, ACountOfZeroReadsNoRecord) {
    Bytes bytes = waypointFile({named("a"), named("b")}, 0);
    Fill fill(bytes);
    fill.run();
    EXPECT_EQ(fill.state.list.rowCount(), 0u);
    EXPECT_EQ(fill.state.list.columnCount(), 24u);
    EXPECT_TRUE(fill.ui.calls.empty());
    EXPECT_EQ(fill.state.headerFields.records, "0");
}

TEST(WaypointView, AFileThatEndsBeforeItsCountShowsTheRecordsItHoldsAndWarnsOnce) {
    std::vector<WaypointFields> three = {named("one"), named("two"), named("three")};
    three[2].symbol = 86;
    three[2].categoryBits = 0x0001;
    three[2].timeWord = 80;
    three[1].categoryBits = 0x8000;
    three[1].timeWord = 8;

    const Bytes counted5 = waypointFile(three, 5);
    Bytes cutInThird = waypointFile(three);
    cutInThird.resize(cutInThird.size() - 100);  // 66 body bytes of the third record

    struct Case {
        const char* label;
        Bytes bytes;
        std::size_t rows;
        int messages;
    };
    const Case cases[] = {
        {"count 5, three records", counted5, 3, 1},
        {"exactly three", waypointFile(three), 3, 0},
        {"ends inside the third", cutInThird, 3, 1},
        {"ends inside the third length word", Bytes(counted5.begin(), counted5.end() - 167), 3, 1},
        {"header only, count 5", waypointFile({}, 5), 0, 1},
    };
    for (const auto& c : cases) {
        Fill fill(c.bytes);
        fill.run();
        EXPECT_EQ(fill.state.list.rowCount(), c.rows) << c.label;
        EXPECT_EQ(fill.ui.messages(), std::vector<MessageCall>(c.messages, kFormatWarning))
            << c.label;
    }

    // The cut record shows its own first 66 bytes and the rest of the second record.
    Fill fill(cutInThird);
    fill.run();
    const auto third = fill.cells(3);
    const auto second = fill.cells(2);
    EXPECT_EQ(third[kName], "three");
    EXPECT_EQ(third[kSymbol], "Shipwreck");
    EXPECT_EQ(third[kTime], second[kTime]);
    EXPECT_EQ(third[kTime + 1], "+");
    EXPECT_EQ(third[kTime + 16], "");
}

TEST(WaypointView, AHugeCountInASmallFileEndsWithTheRecordsItHolds) {
    // 16 header bytes, one whole record of 168 bytes, 16 bytes of a second.
    WaypointFields whole = named("whole");
    whole.timeWord = 800;
    WaypointFields partial = named("partial");
    partial.latitudeCode = 536870912;
    Bytes bytes = waypointFile({whole, partial}, 0xFFFFFFFF);
    bytes.resize(200);
    Fill fill(bytes);
    fill.run();
    ASSERT_EQ(fill.state.list.rowCount(), 2u);
    EXPECT_EQ(fill.cell(1, kLatitude), "0.0000000");
    EXPECT_EQ(fill.cell(2, kLatitude), "44.9999998");
    EXPECT_EQ(fill.cell(2, kTime), fill.cell(1, kTime));  // beyond the end of the file
    EXPECT_EQ(fill.ui.messages(), std::vector<MessageCall>{kFormatWarning});
    EXPECT_EQ(fill.state.headerFields.records, "-1");
}

TEST(WaypointView, ShortRecordsShowWhatEarlierReadsLeftInTheSharedBuffer) {
    // What a previous fill (of either view) left in the buffer.
    WaypointFields earlier = named("earlier");
    earlier.symbol = 1;
    earlier.categoryBits = 0x4000;
    const Bytes earlierBody = encoder::encodeWaypointBody(earlier);

    WaypointFields now;
    now.latitudeCode = 536870912;
    Bytes file = waypointFile({});
    const Bytes body = encoder::encodeWaypointBody(now);
    file[12] = 1;
    file.push_back(8);  // a record of eight bytes: the coordinates only
    file.push_back(0);
    file.insert(file.end(), body.begin(), body.begin() + 8);

    Fill fill(file);
    std::memcpy(fill.state.recordBuffer.bytes.data(), earlierBody.data(), earlierBody.size());
    fill.run();
    EXPECT_EQ(fill.cell(1, kLatitude), "44.9999998");
    EXPECT_EQ(fill.cell(1, kName), "earlier");
    EXPECT_EQ(fill.cell(1, kSymbol), "Airport");
    EXPECT_EQ(fill.cell(1, kTime + 2), "+");
    EXPECT_TRUE(fill.ui.calls.empty());
}

TEST(WaypointView, AMissingOrHeaderlessFileShowsTheColumnsAndOneMessage) {
    const std::string shortHeader =
        "GARMIN_WPT.NVM is shorter than its 16-byte header and holds no waypoints.\n"
        "Copy the file from the receiver again.";
    struct Case {
        const char* label;
        std::optional<Bytes> bytes;
        MessageCall message;
        bool snapshot;
    };
    const Case cases[] = {
        {"missing", std::nullopt,
         titledMessage("Unable to open file GARMIN_WPT.NVM", Buttons::Ok, Icon::Error), false},
        {"empty", Bytes{}, titledMessage(shortHeader, Buttons::Ok, Icon::None), true},
        {"15 bytes", Bytes(15, 5), titledMessage(shortHeader, Buttons::Ok, Icon::None), true},
    };
    for (const auto& c : cases) {
        Fill fill(c.bytes);
        fill.state.waypointSnapshot = FileSnapshot{};
        fill.run();
        EXPECT_EQ(fill.state.list.columnCount(), 24u) << c.label;
        EXPECT_EQ(fill.state.list.rowCount(), 0u) << c.label;
        EXPECT_EQ(fill.ui.messages(), std::vector<MessageCall>{c.message}) << c.label;
        EXPECT_EQ(fill.state.waypointSnapshot.has_value(), c.snapshot) << c.label;
    }
}

}  // namespace
}  // namespace quillet
