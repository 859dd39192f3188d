// SPDX-License-Identifier: GPL-3.0-or-later
// An export of many saved tracks walks the saved-tracks file once and remembers where
// each track begins; what it writes must equal each track written on its own, for any
// order of the rows and for files that end early.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "encoder/device_encoder.h"
#include "export/gpx_export.h"
#include "support/gpx_fixtures.h"
#include "support/temp_dir.h"

namespace quillet {
namespace {

encoder::SavedTracksFile randomTracks(std::mt19937& random, int count) {
    const int pointCounts[] = {0, 1, 2, 7, 8, 9, 16, 17, 100};
    encoder::SavedTracksFile file;
    for (int t = 0; t < count; ++t) {
        encoder::SavedTrack track{.name = "Track " + std::to_string(t + 1),
                                  .colour = static_cast<std::uint8_t>(random() % 17)};
        const int points = pointCounts[random() % std::size(pointCounts)];
        for (int p = 0; p < points; ++p) {
            track.points.push_back(
                {.latitudeCode = static_cast<std::uint32_t>(random() % 16'777'216),
                 .longitudeCode = static_cast<std::uint32_t>(random() % 16'777'216),
                 .elevationCode = static_cast<std::uint16_t>(random()),
                 .timeField =
                     encoder::trackTimeField(static_cast<std::uint32_t>(random() % 500'000'000))});
        }
        file.tracks.push_back(std::move(track));
    }
    return file;
}

std::string numberCell(int number) {
    char text[16];
    std::snprintf(text, sizeof text, "%2i", number);
    return text;
}

TEST(TrackExportWalk, ManyTracksInAnyOrderEqualEachTrackWrittenOnItsOwn) {
    testing::TempDir dir;
    std::mt19937 random(20240612);
    constexpr int kTracks = 40;
    const encoder::Bytes whole = encoder::encodeSavedTracksFile(randomTracks(random, kTracks));
    for (int cut = 0; cut < 8; ++cut) {
        encoder::Bytes bytes = whole;
        if (cut > 0) {
            bytes.resize(16 + random() % (whole.size() - 16));  // ends inside some track
        }
        dir.writeFile(kSavedTracksFileName, bytes);
        AppState state = testing::trackState(dir.path());
        for (int round = 0; round < 6; ++round) {
            // Any order, now and then a number twice or one the file does not hold.
            std::vector<std::string> numbers;
            for (int n = 1; n <= kTracks + 2; ++n) {
                if (random() % 3 != 0) {
                    numbers.push_back(numberCell(n));
                }
            }
            numbers.push_back(numberCell(static_cast<int>(1 + random() % kTracks)));
            std::shuffle(numbers.begin(), numbers.end(), random);
            if (round == 0) {
                std::sort(numbers.rbegin(), numbers.rend());
            }
            testing::setTrackRows(state.list, numbers);
            testing::selectAll(state.list);

            std::ostringstream together;
            writeSelectedTracks(together, state);
            std::ostringstream alone;
            for (std::size_t row = 0; row < state.list.rowCount(); ++row) {
                writeTrack(alone, state, row);
            }
            ASSERT_EQ(together.str(), alone.str()) << "cut " << cut << ", round " << round;
        }
    }
}

}  // namespace
}  // namespace quillet
