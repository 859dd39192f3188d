// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Large device folders for the benchmarks, written with the encoder. The content is
// random but the same on every run (fixed seeds), so figures compare across runs.

#include <cstddef>
#include <filesystem>

namespace quillet::bench {

// 100,000 waypoints; 500 saved tracks of 2,000 points; an active track of 1,000,000.
inline constexpr std::size_t kWaypoints = 100'000;
inline constexpr std::size_t kSavedTracks = 500;
inline constexpr std::size_t kPointsPerTrack = 2'000;
inline constexpr std::size_t kActivePoints = 1'000'000;

// GARMIN_WPT.NVM with `count` waypoints: names of 3 to 30 letters, Latin and Cyrillic,
// one in eight stored as UTF-8, now and then with an ampersand; every symbol code; one
// in ten without elevation; a few categories each.
void writeWaypointFile(const std::filesystem::path& path, std::size_t count);

// GARMIN_WPT.NVM with `count` waypoints as real receivers hold them: names of 100 to 124
// bytes (most of them full length) mixing Latin, digits, punctuation and Cyrillic, about
// 30% stored as UTF-8 and the rest in the device code page; every symbol code, elevation
// and category at random; record bodies of 166 to 326 bytes, the fields a receiver adds
// behind the 166 interpreted ones filled with random bytes.
void writeRealisticWaypointFile(const std::filesystem::path& path, std::size_t count);

// GARMIN_STRK.NVM with `tracks` saved tracks of `pointsPerTrack` points each.
void writeSavedTracksFile(const std::filesystem::path& path, std::size_t tracks,
                          std::size_t pointsPerTrack);

// GARMIN_ATRK.NVM with `points` points.
void writeActiveTrackFile(const std::filesystem::path& path, std::size_t points);

// The folders the benchmarks read, under one root:
//   waypoints/        kWaypoints waypoints
//   waypoints-10k/    10,000 waypoints (the naive baselines)
//   waypoints-real/   kWaypoints realistic waypoints (writeRealisticWaypointFile)
//   saved-tracks/     kSavedTracks x kPointsPerTrack saved points
//   active-track/     kActivePoints active points
//   active-track-100k/ 100,000 active points (the memory comparison)
//   tracks/           both track files of the two folders above
void writeBenchFolders(const std::filesystem::path& root);

namespace folder {
inline constexpr const char* kWaypoints = "waypoints";
inline constexpr const char* kWaypoints10k = "waypoints-10k";
inline constexpr const char* kRealWaypoints = "waypoints-real";
inline constexpr const char* kSavedTracks = "saved-tracks";
inline constexpr const char* kActiveTrack = "active-track";
inline constexpr const char* kActiveTrack100k = "active-track-100k";
inline constexpr const char* kTracks = "tracks";
}  // namespace folder

// A fresh directory under the system's temporary directory, removed with its content.
class ScratchDir {
public:
    ScratchDir();
    ~ScratchDir();
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;
    const std::filesystem::path& path() const { return path_; }

private:
    std::filesystem::path path_;
};

}  // namespace quillet::bench
