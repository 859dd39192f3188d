// SPDX-License-Identifier: GPL-3.0-or-later
#include "views/track_view.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "app/fill_list.h"
#include "device/track_files.h"
#include "encoder/device_encoder.h"
#include "support/fake_ui.h"
#include "support/temp_dir.h"
#include "views/list_text.h"

namespace quillet {
namespace {

using encoder::ActiveTrackFile;
using encoder::Bytes;
using encoder::PointFields;
using encoder::SavedTrack;
using encoder::SavedTracksFile;
using testing::FakeUi;
using testing::TempDir;

using Cells = std::vector<std::string>;  // "#", "Name", "Points", "Start Time", "Finish Time"

constexpr std::uint32_t kNoon = 519220800;  // 2023-06-15 12:00:00
const std::string kNoonText = "2023-06-15  12:00:00 ";
const std::string kNoonPlus1Text = "2023-06-15  12:00:01 ";

PointFields pointAt(std::uint32_t deviceTime) {
    PointFields point;
    point.timeField = encoder::trackTimeField(deviceTime);
    return point;
}

// Points one second apart from the start.
std::vector<PointFields> points(int count, std::uint32_t start = kNoon) {
    std::vector<PointFields> result;
    for (int i = 0; i < count; ++i) {
        result.push_back(pointAt(start + static_cast<std::uint32_t>(i)));
    }
    return result;
}

SavedTrack track(std::string name, std::vector<PointFields> trackPoints) {
    SavedTrack result;
    result.name = std::move(name);
    result.points = std::move(trackPoints);
    return result;
}

Bytes activeFile(std::vector<PointFields> trackPoints,
                 std::optional<std::uint32_t> count = std::nullopt) {
    ActiveTrackFile file;
    file.points = std::move(trackPoints);
    file.pointCount = count;
    return encoder::encodeActiveTrackFile(file);
}

Bytes savedFile(std::vector<SavedTrack> tracks, std::optional<std::uint32_t> count = std::nullopt) {
    SavedTracksFile file;
    file.tracks = std::move(tracks);
    file.trackCount = count;
    return encoder::encodeSavedTracksFile(file);
}

struct Fill {
    TempDir dir;
    AppState state;
    FakeUi ui;

    Fill(const std::optional<Bytes>& active, const std::optional<Bytes>& saved) {
        state.files = makeFileSet(dir.path());
        state.tracksTab = 0;
        if (active) {
            dir.writeFile(kActiveTrackFileName, *active);
        }
        if (saved) {
            dir.writeFile(kSavedTracksFileName, *saved);
        }
    }
    // The fill as a tab change runs it: the view, then the sort by number.
    void run() { fillList(state, ui); }

    std::vector<Cells> rows() const {
        std::vector<Cells> result;
        for (std::size_t r = 0; r < state.list.rowCount(); ++r) {
            EXPECT_EQ(state.list.text(r, 0), "");
            Cells cells;
            for (std::size_t column = 1; column < state.list.columnCount(); ++column) {
                cells.emplace_back(state.list.text(r, column));
            }
            result.push_back(std::move(cells));
        }
        return result;
    }
};

TEST(TrackView, AddsTheSixColumns) {
    Fill fill(std::nullopt, std::nullopt);
    fill.run();
    EXPECT_EQ(listingText(fill.state.list), " \t#\tName\tPoints\tStart Time\tFinish Time\n");
    std::vector<int> widths;
    std::vector<Alignment> alignments;
    for (const auto& column : fill.state.list.columns()) {
        widths.push_back(column.width);
        alignments.push_back(column.alignment);
    }
    EXPECT_EQ(widths, (std::vector<int>{0, 30, 200, 60, 150, 150}));
    EXPECT_EQ(alignments,
              (std::vector<Alignment>{Alignment::Center, Alignment::Center, Alignment::Left,
                                      Alignment::Left, Alignment::Left, Alignment::Left}));
    EXPECT_TRUE(fill.ui.calls.empty());
}

struct RowsCase {
    const char* label;
    std::optional<Bytes> active;
    std::optional<Bytes> saved;
    std::vector<Cells> rows;  // in list order after the ascending fill
};

TEST(TrackView, ShowsTheActiveTrackFirstAndOneRowPerSavedTrack) {
    const std::string cyrillic = "\xCF\xF3\xF1\xF2\xEE\xE9";
    const std::string name29 = "A name of twenty-nine bytes!!";
    std::vector<PointFields> beforeAndAfter = points(3);
    beforeAndAfter.front().timeField = 536544001;  // below the offset
    beforeAndAfter.back() = pointAt(568080000);    // 2025

    const RowsCase cases[] = {
        {"saved tracks only",
         std::nullopt,
         savedFile({track("a", points(2)), track("b", points(1)), track("c", {})}),
         {{" 1", "a", "2", kNoonText, kNoonPlus1Text},
          {" 2", "b", "1", kNoonText, kNoonText},
          {" 3", "c", "0", "", ""}}},
        {"active track only",
         activeFile(points(2)),
         std::nullopt,
         {{" 0", "Active track", "2", kNoonText, kNoonPlus1Text}}},
        {"active track without points",
         activeFile({}),
         std::nullopt,
         {{" 0", "Active track", "0", "", ""}}},
        {"one point",
         activeFile(points(1)),
         savedFile({track("one", points(1))}),
         {{" 0", "Active track", "1", kNoonText, kNoonText},
          {" 1", "one", "1", kNoonText, kNoonText}}},
        {"empty track between others",
         activeFile(points(1)),
         savedFile({track("first", points(9)), track(cyrillic, {}), track(name29, points(2))}),
         {{" 0", "Active track", "1", kNoonText, kNoonText},
          {" 1", "first", "9", kNoonText, "2023-06-15  12:00:08 "},
          {" 2", cyrillic, "0", "", ""},
          {" 3", name29, "2", kNoonText, kNoonPlus1Text}}},
        {"a time before 2007 and one after 2024",
         activeFile(beforeAndAfter),
         savedFile({track("x", beforeAndAfter)}),
         {{" 0", "Active track", "3", "", "2025-01-01  00:00:00 "},
          {" 1", "x", "3", "", "2025-01-01  00:00:00 "}}},
        {"neither file", std::nullopt, std::nullopt, {}},
        {"no saved track", std::nullopt, savedFile({}), {}},
    };
    for (const auto& c : cases) {
        Fill fill(c.active, c.saved);
        fill.run();
        EXPECT_EQ(fill.rows(), c.rows) << c.label;
        EXPECT_TRUE(fill.ui.calls.empty()) << c.label;
    }
}

TEST(TrackView, NumbersTheSavedTracksByTheirPositionInTheFile) {
    Fill fill(std::nullopt, savedFile(std::vector<SavedTrack>(100, track("t", {}))));
    fill.run();
    const auto& list = fill.state.list;
    ASSERT_EQ(list.rowCount(), 100u);
    const std::pair<int, std::string> numbers[] = {{1, " 1"}, {9, " 9"}, {10, "10"}, {100, "100"}};
    for (const auto& [item, text] : numbers) {
        const int row = list.findByItemNumber(item);
        ASSERT_GE(row, 0) << item;
        EXPECT_EQ(list.text(static_cast<std::size_t>(row), 1), text);
    }
    // Sorted by value: 1 .. 9, 10, 11, ..., 100.
    EXPECT_EQ(list.itemNumber(9), 10);
    EXPECT_EQ(list.itemNumber(10), 11);
    EXPECT_EQ(list.itemNumber(99), 100);
}

TEST(TrackView, StoresTheActiveTrackHeaderAndLeavesTheAccessCount) {
    ActiveTrackFile file;
    file.version = 0x0305;
    file.pointCount = 0xFFFFFFFF;
    Fill fill(encoder::encodeActiveTrackFile(file), std::nullopt);
    fill.state.accessCount = 42;
    fill.state.headerFields.accessCount = "42";
    fill.run();
    EXPECT_EQ(fill.state.fileVersion, 0x0305);
    EXPECT_EQ(fill.state.recordCount, 0xFFFFFFFFu);
    EXPECT_EQ(fill.state.headerFields.fileVersion, "773");
    EXPECT_EQ(fill.state.headerFields.records, "-1");
    EXPECT_EQ(fill.state.accessCount, 42u);
    EXPECT_EQ(fill.state.headerFields.accessCount, "42");
    // The file holds none of the points its header counts.
    EXPECT_EQ(fill.rows(), (std::vector<Cells>{{" 0", "Active track", "0", "", ""}}));

    // Without the active-track file the header values stay as they were.
    Fill savedOnly(std::nullopt, savedFile({track("a", {}), track("b", {})}));
    savedOnly.state.recordCount = 7;
    savedOnly.run();
    EXPECT_EQ(savedOnly.state.recordCount, 7u);
    EXPECT_EQ(savedOnly.state.headerFields.records, "Static");
    EXPECT_EQ(savedOnly.state.headerFields.fileVersion, "Static");
    ASSERT_TRUE(savedOnly.state.savedTracksSnapshot.has_value());
    EXPECT_EQ(savedOnly.state.savedTracksSnapshot->recordCount, 2u);

    Fill activeOnly(activeFile({}), std::nullopt);
    activeOnly.state.savedTracksSnapshot = FileSnapshot{};
    activeOnly.run();
    EXPECT_FALSE(activeOnly.state.savedTracksSnapshot.has_value());
}

TEST(TrackView, ShowsOnlyWhatTheFilesHold) {
    // Ten points counted, four held: the row shows the four, the finish is the fourth's.
    Bytes activeCut = activeFile(points(4), 10);
    // A fifth record held as far as its elevation: the point is not there.
    Bytes activeCutInRecord = activeFile(points(5), 10);
    activeCutInRecord.resize(activeCutInRecord.size() - 4);

    Bytes savedCut = savedFile({track("whole", points(3)), track("cut", points(20))}, 0xFFFFFFFF);
    savedCut.resize(savedCut.size() - (packedSize(20) - packedSize(10)));
    // Cut inside the second track's header, after its name: a row without points.
    Bytes headerCut = savedFile({track("first", points(2)), track("second", points(2))});
    headerCut.resize(headerCut.size() - packedSize(2) - 20);

    const std::string fourth = "2023-06-15  12:00:03 ";
    const RowsCase cases[] = {
        {"active points missing",
         activeCut,
         std::nullopt,
         {{" 0", "Active track", "4", kNoonText, fourth}}},
        {"active record cut",
         activeCutInRecord,
         std::nullopt,
         {{" 0", "Active track", "4", kNoonText, fourth}}},
        {"saved track cut",
         std::nullopt,
         savedCut,
         {{" 1", "whole", "3", kNoonText, "2023-06-15  12:00:02 "},
          {" 2", "cut", "10", kNoonText, "2023-06-15  12:00:09 "}}},
        {"track header cut",
         std::nullopt,
         headerCut,
         {{" 1", "first", "2", kNoonText, kNoonPlus1Text}, {" 2", "second", "0", "", ""}}},
        {"huge counts, header only",
         activeFile({}, 0xFFFFFFFF),
         savedFile({}, 0xFFFFFFFF),
         {{" 0", "Active track", "0", "", ""}}},
    };
    for (const auto& c : cases) {
        Fill fill(c.active, c.saved);
        fill.run();
        EXPECT_EQ(fill.rows(), c.rows) << c.label;
    }
}

// The first and last point times of every track, read point by point.
std::vector<std::pair<std::string, std::string>> fullDecode(const Bytes& bytes) {
    InputStream stream = InputStream::fromBytes(bytes);
    RecordBuffer buffer;
    SavedTrackReader reader(stream, buffer);
    std::vector<std::pair<std::string, std::string>> result;
    const std::uint32_t count = reader.readHeader();
    for (std::uint32_t n = 0; n < count; ++n) {
        const TrackHeader header = reader.readTrackHeader();
        std::pair<std::string, std::string> times;
        for (std::uint32_t j = 0; j < header.pointCount; ++j) {
            const std::string text = formatDeviceTime(reader.readPoint().time);
            if (j == 0) {
                times.first = text;
            }
            times.second = text;
        }
        result.push_back(times);
    }
    return result;
}

std::string trackName(int number) {
    std::string name = std::to_string(number);
    name.insert(name.begin(), 'r');
    return name;
}

TEST(TrackView, JumpingToTheLastPointGivesWhatAFullDecodeGives) {
    std::mt19937 random(20240229);
    std::uniform_int_distribution<std::uint32_t> byte(0, 255);
    std::uniform_int_distribution<std::uint32_t> word;
    std::uniform_int_distribution<int> pointCount(0, 40);
    std::vector<SavedTrack> tracks;
    for (int t = 0; t < 60; ++t) {
        std::vector<PointFields> trackPoints(static_cast<std::size_t>(pointCount(random)));
        for (auto& point : trackPoints) {
            point.latitudeCode = word(random) & 0xFFFFFF;
            point.longitudeCode = word(random) & 0xFFFFFF;
            point.elevationCode = static_cast<std::uint16_t>(word(random));
            // Mostly times the calendar can show, so that the texts differ.
            point.timeField = byte(random) < 230 ? encoder::trackTimeField(word(random) % 568080000)
                                                 : word(random);
            point.bit97 = byte(random) & 1;
        }
        tracks.push_back(track(trackName(t), std::move(trackPoints)));
    }
    const Bytes bytes = savedFile(tracks);
    const auto expected = fullDecode(bytes);

    Fill fill(std::nullopt, bytes);
    fill.run();
    ASSERT_EQ(fill.state.list.rowCount(), tracks.size());
    for (std::size_t t = 0; t < tracks.size(); ++t) {
        const auto& list = fill.state.list;
        EXPECT_EQ(list.text(t, 2), trackName(static_cast<int>(t)));
        EXPECT_EQ(list.text(t, 3), std::to_string(tracks[t].points.size()));
        EXPECT_EQ(list.text(t, 4), expected[t].first) << "track " << t;
        EXPECT_EQ(list.text(t, 5), expected[t].second) << "track " << t;
    }
}

}  // namespace
}  // namespace quillet
