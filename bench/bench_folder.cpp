// SPDX-License-Identifier: GPL-3.0-or-later
#include "bench_folder.h"

#include <unistd.h>

#include <cstdint>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "encoder/device_encoder.h"

namespace quillet::bench {

namespace {

namespace enc = quillet::encoder;

// A random name: Latin or device-code-page Cyrillic letters with blanks, or UTF-8.
std::string randomName(std::mt19937_64& random, bool utf8) {
    const std::size_t length = 3 + random() % 28;
    std::string name;
    const bool cyrillic = random() % 3 == 0;
    for (std::size_t i = 0; i < length; ++i) {
        const auto pick = random();
        if (i > 0 && pick % 7 == 0) {
            name += ' ';
        } else if (pick % 97 == 0) {
            name += '&';
        } else if (!cyrillic) {
            name += static_cast<char>((pick % 2 ? 'a' : 'A') + (pick >> 8) % 26);
        } else if (utf8) {
            // U+0410 to U+044F: two bytes each.
            const unsigned letter = 0x410 + (pick >> 8) % 64;
            name += static_cast<char>(0xC0 | (letter >> 6));
            name += static_cast<char>(0x80 | (letter & 0x3F));
        } else {
            name += static_cast<char>(0xC0 + (pick >> 8) % 64);
        }
    }
    if (utf8 && name.size() > 122) {
        name.resize(122);
    }
    return name;
}

// Appends one character of a realistic name: a Latin or Cyrillic letter, a digit, a
// blank or punctuation; Cyrillic in the device code page or in UTF-8.
void appendRealisticCharacter(std::string& name, std::mt19937_64& random, bool utf8) {
    static constexpr std::string_view kPunctuation = " -.,&'()/#<>\"";
    const auto pick = random();
    const unsigned kind = pick % 100;
    if (kind < 12) {
        name += kPunctuation[(pick >> 8) % kPunctuation.size()];
    } else if (kind < 20) {
        name += static_cast<char>('0' + (pick >> 8) % 10);
    } else if (kind < 45) {
        name += static_cast<char>(((pick >> 16) % 2 ? 'a' : 'A') + (pick >> 8) % 26);
    } else if (kind < 47) {
        // The numero sign: three bytes in UTF-8.
        name += utf8 ? std::string_view("\xE2\x84\x96") : std::string_view("\xB9");
    } else if (utf8) {
        // U+0401 to U+045F: two bytes each.
        const unsigned letter = 0x401 + (pick >> 8) % 95;
        name += static_cast<char>(0xC0 | (letter >> 6));
        name += static_cast<char>(0x80 | (letter & 0x3F));
    } else {
        // Code-page letters, now and then one outside the alphabet.
        const std::uint8_t letter = kind == 98 ? 0xA8 : kind == 99 ? 0xB8 : 0xC0 + (pick >> 8) % 64;
        name += static_cast<char>(letter);
    }
}

// 100 to 124 bytes, seven in ten full length. Only names of up to 122 bytes take any
// content; a 124-byte name ends in two small Latin letters, which the packing requires.
std::string realisticName(std::mt19937_64& random, bool utf8) {
    constexpr std::size_t kFreeBytes = 122;
    std::string name;
    while (name.size() < kFreeBytes) {
        const std::size_t before = name.size();
        appendRealisticCharacter(name, random, utf8);
        if (name.size() > kFreeBytes) {
            name.resize(before);
            name += 'x';
        }
    }
    if (random() % 10 < 7) {
        name += static_cast<char>('a' + random() % 26);
        name += static_cast<char>('a' + random() % 26);
        return name;
    }
    std::size_t length = 100 + random() % 23;
    while (length > 0 && (static_cast<unsigned char>(name[length]) & 0xC0) == 0x80) {
        --length;  // never cut a UTF-8 sequence
    }
    name.resize(length);
    return name;
}

std::uint32_t randomTime(std::mt19937_64& random) {
    return enc::deviceTimeOf(2010, 1, 1, 0, 0, 0) +
           static_cast<std::uint32_t>(random() % (13u * 365 * 86400));
}

enc::PointFields trackPoint(std::mt19937_64& random, bool active, double& latitude,
                            double& longitude, std::uint32_t time) {
    latitude += (static_cast<double>(random() % 2001) - 1000) * 1e-6;
    longitude += (static_cast<double>(random() % 2001) - 1000) * 1e-6;
    const int elevation = static_cast<int>(random() % 700) - 50;
    return {.latitudeCode = enc::trackLatitudeCode(latitude, active),
            .longitudeCode = enc::trackLongitudeCode(longitude),
            .elevationCode = enc::trackElevationCode(elevation, active),
            .timeField = enc::trackTimeField(time)};
}

}  // namespace

void writeWaypointFile(const std::filesystem::path& path, std::size_t count) {
    std::mt19937_64 random(20240601);
    enc::WaypointFile file{.accessCount = 1234};
    file.bodies.reserve(count);
    for (std::size_t i = 0; i < count; ++i) {
        const bool utf8 = random() % 8 == 0;
        const double latitude = (static_cast<double>(random() % 1'600'000) - 800'000) / 10'000;
        const double longitude = (static_cast<double>(random() % 3'590'000) - 1'795'000) / 10'000;
        std::uint16_t categories = 0;
        for (auto marks = random() % 4; marks > 0; --marks) {
            categories |= static_cast<std::uint16_t>(1u << (random() % 16));
        }
        const enc::WaypointFields fields{
            .latitudeCode = enc::waypointLatitudeCode(latitude),
            .longitudeCode = enc::waypointLongitudeCode(longitude),
            .symbol = static_cast<std::uint8_t>(random() % 256),
            .elevationCode = random() % 10 == 0 ? std::uint16_t{0xFFFF}
                                                : enc::waypointElevationCode(
                                                      static_cast<int>(random() % 4000) - 300),
            .name = randomName(random, utf8),
            .nameIsUtf8 = utf8,
            .categoryBits = categories,
            .timeWord = enc::waypointTimeWord(randomTime(random)),
        };
        file.bodies.push_back(enc::encodeWaypointBody(fields));
    }
    enc::writeFile(path, enc::encodeWaypointFile(file));
}

void writeRealisticWaypointFile(const std::filesystem::path& path, std::size_t count) {
    std::mt19937_64 random(20240604);
    enc::WaypointFile file{.accessCount = 4321};
    file.bodies.reserve(count);
    for (std::size_t i = 0; i < count; ++i) {
        const bool utf8 = random() % 10 < 3;
        const double latitude = (static_cast<double>(random() % 1'600'000) - 800'000) / 10'000;
        const double longitude = (static_cast<double>(random() % 3'590'000) - 1'795'000) / 10'000;
        const enc::WaypointFields fields{
            .latitudeCode = enc::waypointLatitudeCode(latitude),
            .longitudeCode = enc::waypointLongitudeCode(longitude),
            .symbol = static_cast<std::uint8_t>(random() % 256),
            .elevationCode = static_cast<std::uint16_t>(random() % 0x10000),
            .name = realisticName(random, utf8),
            .nameIsUtf8 = utf8,
            .categoryBits = static_cast<std::uint16_t>(random() % 0x10000),
            .timeWord = static_cast<std::uint32_t>(random()),
        };
        enc::Bytes body = enc::encodeWaypointBody(fields);
        for (auto extra = random() % 161; extra > 0; --extra) {
            body.push_back(static_cast<std::uint8_t>(random()));
        }
        file.bodies.push_back(std::move(body));
    }
    enc::writeFile(path, enc::encodeWaypointFile(file));
}

void writeSavedTracksFile(const std::filesystem::path& path, std::size_t tracks,
                          std::size_t pointsPerTrack) {
    std::mt19937_64 random(20240602);
    enc::SavedTracksFile file;
    file.tracks.reserve(tracks);
    for (std::size_t t = 0; t < tracks; ++t) {
        enc::SavedTrack track{.name = randomName(random, false).substr(0, 29),
                              .colour = static_cast<std::uint8_t>(random() % 17)};
        double latitude = (static_cast<double>(random() % 1'400'000) - 700'000) / 10'000;
        double longitude = (static_cast<double>(random() % 3'500'000) - 1'750'000) / 10'000;
        std::uint32_t time = randomTime(random);
        track.points.reserve(pointsPerTrack);
        for (std::size_t p = 0; p < pointsPerTrack; ++p) {
            track.points.push_back(trackPoint(random, false, latitude, longitude, time));
            time += 1 + static_cast<std::uint32_t>(random() % 30);
        }
        file.tracks.push_back(std::move(track));
    }
    enc::writeFile(path, enc::encodeSavedTracksFile(file));
}

void writeActiveTrackFile(const std::filesystem::path& path, std::size_t points) {
    std::mt19937_64 random(20240603);
    enc::ActiveTrackFile file;
    file.points.reserve(points);
    double latitude = 45.5;
    double longitude = 7.25;
    std::uint32_t time = enc::deviceTimeOf(2015, 3, 1, 6, 0, 0);
    for (std::size_t p = 0; p < points; ++p) {
        file.points.push_back(trackPoint(random, true, latitude, longitude, time));
        time += 1 + static_cast<std::uint32_t>(random() % 5);
        if (latitude > 80 || latitude < -80) {
            latitude = 0;
        }
    }
    enc::writeFile(path, enc::encodeActiveTrackFile(file));
}

void writeBenchFolders(const std::filesystem::path& root) {
    namespace fs = std::filesystem;
    const auto make = [&](const char* name) {
        const auto dir = root / name;
        fs::create_directories(dir);
        return dir;
    };
    writeWaypointFile(make(folder::kWaypoints) / "GARMIN_WPT.NVM", kWaypoints);
    writeWaypointFile(make(folder::kWaypoints10k) / "GARMIN_WPT.NVM", 10'000);
    writeRealisticWaypointFile(make(folder::kRealWaypoints) / "GARMIN_WPT.NVM", kWaypoints);
    writeSavedTracksFile(make(folder::kSavedTracks) / "GARMIN_STRK.NVM", kSavedTracks,
                         kPointsPerTrack);
    writeActiveTrackFile(make(folder::kActiveTrack) / "GARMIN_ATRK.NVM", kActivePoints);
    writeActiveTrackFile(make(folder::kActiveTrack100k) / "GARMIN_ATRK.NVM", 100'000);
    const auto tracks = make(folder::kTracks);
    fs::copy_file(root / folder::kSavedTracks / "GARMIN_STRK.NVM", tracks / "GARMIN_STRK.NVM",
                  fs::copy_options::overwrite_existing);
    fs::copy_file(root / folder::kActiveTrack / "GARMIN_ATRK.NVM", tracks / "GARMIN_ATRK.NVM",
                  fs::copy_options::overwrite_existing);
}

ScratchDir::ScratchDir() {
    std::string pattern =
        (std::filesystem::temp_directory_path() / "quillet-bench-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) {
        throw std::filesystem::filesystem_error("cannot create a scratch directory",
                                                std::make_error_code(std::errc::io_error));
    }
    path_ = pattern;
}

ScratchDir::~ScratchDir() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

}  // namespace quillet::bench
