// SPDX-License-Identifier: GPL-3.0-or-later
#include "naive_baselines.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>
#include <optional>
#include <string>

#include "device/code_page.h"
#include "device/input_stream.h"
#include "device/record_buffer.h"
#include "device/track_files.h"

namespace quillet::bench {

namespace {

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

File openFile(const std::filesystem::path& path, const char* mode) {
    return File(std::fopen(path.c_str(), mode));
}

std::size_t findRow(const RecordList& list, std::int32_t itemNumber) {
    for (std::size_t row = 0; row < list.rowCount(); ++row) {
        if (list.itemNumber(row) == itemNumber) {
            return row;
        }
    }
    return list.rowCount();
}

void readCell(const RecordList& list, std::size_t row, std::size_t column, char (&buffer)[100]) {
    buffer[0] = 0;
    if (row < list.rowCount()) {
        const auto text = list.text(row, column, sizeof buffer - 1);
        std::memcpy(buffer, text.data(), text.size());
        buffer[text.size()] = 0;
    }
}

int compareCallback(const RecordList& list, std::int32_t a, std::int32_t b, std::size_t column,
                    bool ascending) {
    char textA[100];
    char textB[100];
    readCell(list, findRow(list, a), column, textA);
    readCell(list, findRow(list, b), column, textB);
    const int order = std::strcmp(textA, textB);  // compares as unsigned char
    const int sign = order < 0 ? -1 : order > 0 ? 1 : 0;
    return ascending ? sign : -sign;
}

constexpr const char* kColourNames[16] = {"Black",    "DarkRed",     "DarkGreen", "DarkYellow",
                                          "DarkBlue", "DarkMagenta", "DarkCyan",  "LightGray",
                                          "DarkGray", "Red",         "Green",     "Yellow",
                                          "Blue",     "Magenta",     "Cyan",      "White"};

// "2010-06-29  14:03:07 " -> "2010-06-29T14:03:07Z"
std::string gpxTime(const std::string& calendar) {
    return calendar.substr(0, 10) + 'T' + calendar.substr(12, 8) + 'Z';
}

}  // namespace

std::vector<std::int32_t> naiveSortOrder(const RecordList& list, std::size_t column,
                                         bool ascending) {
    std::vector<std::int32_t> items(list.rowCount());
    for (std::size_t row = 0; row < items.size(); ++row) {
        items[row] = list.itemNumber(row);
    }
    std::stable_sort(items.begin(), items.end(), [&](std::int32_t a, std::int32_t b) {
        return compareCallback(list, a, b, column, ascending) < 0;
    });
    return items;
}

std::size_t naiveRewrite(const std::filesystem::path& device,
                         const std::filesystem::path& temporary,
                         const std::filesystem::path& backup, const RecordList& list,
                         std::uint32_t recordCount) {
    std::size_t kept = 0;
    {
        const File in = openFile(device, "rb");
        const File out = openFile(temporary, "wb");
        if (!in || !out) {
            return 0;
        }
        unsigned char header[16];
        if (std::fread(header, 1, 16, in.get()) != 16) {
            return 0;
        }
        const auto newCount = static_cast<std::uint32_t>(recordCount - list.selectedCount());
        for (int i = 0; i < 4; ++i) {
            header[12 + i] = static_cast<unsigned char>(newCount >> (8 * i));
        }
        std::fwrite(header, 1, 16, out.get());
        std::vector<unsigned char> body(66'000);
        for (std::uint32_t p = 1; p <= recordCount; ++p) {
            unsigned char length[2];
            if (std::fread(length, 1, 2, in.get()) != 2) {
                break;
            }
            const std::size_t size = length[0] | std::size_t{length[1]} << 8;
            if (std::fread(body.data(), 1, size, in.get()) != size) {
                break;
            }
            for (std::size_t row = 0; row < list.rowCount(); ++row) {
                if (list.itemNumber(row) == static_cast<std::int32_t>(p) && !list.isSelected(row)) {
                    std::fwrite(length, 1, 2, out.get());
                    std::fwrite(body.data(), 1, size, out.get());
                    ++kept;
                }
            }
        }
        std::fflush(out.get());
    }
    std::error_code ignored;
    std::filesystem::remove(backup, ignored);
    std::filesystem::rename(device, backup, ignored);
    std::filesystem::rename(temporary, device, ignored);
    return kept;
}

std::uintmax_t naiveTrackExport(const std::filesystem::path& savedTracks,
                                const std::vector<std::uint32_t>& trackNumbers,
                                const std::filesystem::path& output) {
    const File out = openFile(output, "w");
    if (!out) {
        return 0;
    }
    RecordBuffer buffer;
    for (const std::uint32_t t : trackNumbers) {
        std::fputs("  <trk>\n", out.get());
        auto stream = InputStream::open(savedTracks);
        if (stream) {
            SavedTrackReader reader(*stream, buffer);
            const std::uint32_t count = reader.readHeader();
            for (std::uint32_t n = 1; n <= count; ++n) {
                const TrackHeader header = reader.readTrackHeader();
                if (n == t) {
                    std::fprintf(out.get(),
                                 "  <name>%s</name>\n   <extensions>\n"
                                 "    <gpxx:TrackExtension xmlns:gpxx=\"%s\">\n"
                                 "     <gpxx:DisplayColor>%s</gpxx:DisplayColor>\n"
                                 "    </gpxx:TrackExtension>\n   </extensions>\n   <trkseg>\n",
                                 deviceTextToUtf8(header.name).c_str(),
                                 "http://www.garmin.com/xmlschemas/GpxExtensions/v3",
                                 header.colour < 16 ? kColourNames[header.colour] : "Black");
                }
                for (std::uint32_t j = 0; j < header.pointCount; ++j) {
                    const TrackPoint point = reader.readPoint();
                    if (n != t) {
                        continue;
                    }
                    std::fprintf(out.get(), "    <trkpt lat=\"%9.7f\" lon=\"%9.7f\">\n",
                                 point.latitude, point.longitude);
                    std::fprintf(out.get(), "    <ele>%i</ele>\n", point.elevation);
                    const std::string time = formatDeviceTime(point.time);
                    if (!time.empty()) {
                        std::fprintf(out.get(), "     <time>%s</time>\n", gpxTime(time).c_str());
                    }
                    std::fputs("    </trkpt>\n", out.get());
                }
                if (n == t) {
                    std::fputs("   </trkseg>\n", out.get());
                }
            }
        }
        std::fputs("  </trk>\n", out.get());
    }
    std::fflush(out.get());
    return static_cast<std::uintmax_t>(std::ftell(out.get()));
}

}  // namespace quillet::bench
