// SPDX-License-Identifier: GPL-3.0-or-later
// A saved track whose length word disagrees with its points: the list walks the tracks
// by their points, the deletion by their length words, so the rows would not name the
// records that get copied. Such a deletion is refused and nothing is written; a length
// word of 0, for one, used to let it through with a piece of a track as the kept record.

#include <gtest/gtest.h>

#include <optional>

#include "app/delete_command.h"
#include "app/fill_list.h"
#include "app/startup.h"
#include "edit/deletion_messages.h"
#include "edit/rewrite_device_file.h"
#include "encoder/device_encoder.h"
#include "support/device_bytes.h"
#include "support/fake_ui.h"
#include "support/temp_dir.h"

namespace quillet {
namespace {

namespace enc = encoder;
using testing::FakeUi;
using testing::TempDir;

enc::Bytes twoTracks(std::optional<std::uint16_t> firstLength) {
    enc::SavedTracksFile file;
    for (const int count : {3, 10}) {
        enc::SavedTrack track{.name = "Track " + std::to_string(count)};
        for (int i = 0; i < count; ++i) {
            track.points.push_back({.latitudeCode = 1000u + i, .timeField = 536544002u + i});
        }
        file.tracks.push_back(track);
    }
    file.tracks[0].length = firstLength;
    return enc::encodeSavedTracksFile(file);
}

struct Case {
    std::optional<std::uint16_t> firstLength;  // 52 + 37 = 89 is the consistent one
    bool deleted;
};

class MisframedTrackDeletion : public ::testing::TestWithParam<Case> {};

TEST_P(MisframedTrackDeletion, IsRefusedUnlessEveryLengthMatchesItsPoints) {
    TempDir dir;
    const enc::Bytes bytes = twoTracks(GetParam().firstLength);
    dir.writeFile(kSavedTracksFileName, bytes);
    FakeUi ui;
    const auto state = startUp(dir.path(), ui);
    ASSERT_NE(state, nullptr);
    ASSERT_EQ(state->list.rowCount(), 2u);  // both tracks, walked by their points
    state->list.setSelected(static_cast<std::size_t>(state->list.findByItemNumber(1)), true);
    ui.calls.clear();

    const DeleteResult result = onDelete(*state, ui);

    if (GetParam().deleted) {
        EXPECT_EQ(result.outcome, CommandOutcome::Done);
        EXPECT_EQ(testing::readFile(dir / "GARMIN_STRK.BAK"), test::byteText(bytes));
        return;
    }
    EXPECT_EQ(result.outcome, CommandOutcome::Refused);
    EXPECT_EQ(testing::readFile(dir / kSavedTracksFileName), test::byteText(bytes));
    EXPECT_FALSE(std::filesystem::exists(dir / "GARMIN_STRK.BAK"));
    EXPECT_FALSE(std::filesystem::exists(dir / "GARMIN_STRK.NV_"));
    const auto texts = ui.messageTexts();
    ASSERT_EQ(texts.size(), 2u);  // the confirmation, then the refusal
    EXPECT_NE(texts[1].find("GARMIN_STRK.NVM"), std::string::npos) << texts[1];
}

INSTANTIATE_TEST_SUITE_P(LengthWords, MisframedTrackDeletion,
                         ::testing::Values(Case{std::nullopt, true}, Case{0, false},
                                           Case{52, false}, Case{88, false}, Case{90, false},
                                           Case{500, false}),
                         [](const auto& info) {
                             const auto length = info.param.firstLength;
                             return length ? "Length" + std::to_string(*length) : "Consistent";
                         });

TEST(MisframedTrackDeletion, NamesTheFirstTrackThatDisagrees) {
    EXPECT_EQ(deletion_messages::misframedTrack(kSavedTracksDeletion, 2),
              "GARMIN_STRK.NVM: the length of track 2 does not match its points, so the list "
              "may not show the records the file holds.\n"
              "Nothing has been deleted; copy the file from the receiver again.");
}

}  // namespace
}  // namespace quillet
