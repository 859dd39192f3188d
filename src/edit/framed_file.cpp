// SPDX-License-Identifier: GPL-3.0-or-later
#include "edit/framed_file.h"

#include <algorithm>
#include <span>

#include "device/byte_order.h"
#include "device/track_files.h"

namespace quillet {
namespace {

ReadStatus readExactly(FileOperations& ops, std::FILE* file, std::span<std::uint8_t> dest) {
    if (dest.empty()) {
        return ReadStatus::Complete;
    }
    const auto delivered = ops.read(file, dest);
    if (!delivered) {
        return ReadStatus::Unreadable;
    }
    return *delivered == dest.size() ? ReadStatus::Complete : ReadStatus::Incomplete;
}

}  // namespace

ReadStatus readFramedHeader(FileOperations& ops, std::FILE* file, FramedFile& into) {
    std::array<std::uint8_t, FramedFile::kHeaderBytes + FramedFile::kCountBytes> bytes{};
    const ReadStatus status = readExactly(ops, file, bytes);
    if (status != ReadStatus::Complete) {
        return status;
    }
    std::copy_n(bytes.begin(), FramedFile::kHeaderBytes, into.header.begin());
    into.recordCount = byte_order::loadLe(
        std::span(bytes).subspan(FramedFile::kHeaderBytes, FramedFile::kCountBytes));
    return ReadStatus::Complete;
}

// Each read takes a record's body together with the next record's length word, so a
// file of n records costs n + 1 reads; the last body is read alone, so nothing after
// the counted records is read.
ReadStatus readFramedRecords(FileOperations& ops, std::FILE* file, FramedFile& into) {
    const std::uint32_t count = into.recordCount;
    if (count == 0) {
        return ReadStatus::Complete;
    }
    std::size_t start = into.frames.size();
    into.frames.resize(start + FramedFile::kLengthBytes);
    ReadStatus status =
        readExactly(ops, file, std::span(into.frames).subspan(start, FramedFile::kLengthBytes));
    if (status != ReadStatus::Complete) {
        return status;
    }
    for (std::uint32_t p = 1;; ++p) {
        const std::size_t length = byte_order::loadLe(std::span(into.frames).subspan(start, 2));
        const std::size_t body = start + FramedFile::kLengthBytes;
        const std::size_t next = body + length;
        const bool last = p == count;
        into.frames.resize(next + (last ? 0 : FramedFile::kLengthBytes));
        status = readExactly(ops, file, std::span(into.frames).subspan(body));
        if (status != ReadStatus::Complete) {
            return status;
        }
        into.frameStarts.push_back(start);
        if (last) {
            return ReadStatus::Complete;
        }
        start = next;
    }
}

std::size_t firstMisframedTrack(const FramedFile& file) {
    constexpr std::size_t kFieldsAfterLength = track_layout::kTrackHeaderSize - 2;
    for (std::size_t i = 0; i < file.frameStarts.size(); ++i) {
        const std::size_t start = file.frameStarts[i];
        const std::size_t end =
            i + 1 < file.frameStarts.size() ? file.frameStarts[i + 1] : file.frames.size();
        const std::size_t length = end - start - FramedFile::kLengthBytes;
        if (length < kFieldsAfterLength) {
            return i + 1;
        }
        const auto points = static_cast<std::uint32_t>(byte_order::loadLe(
            std::span(file.frames).subspan(start + FramedFile::kLengthBytes, 2)));
        if (length != kFieldsAfterLength + packedSize(points)) {
            return i + 1;
        }
    }
    return 0;
}

ComposedFile composeFramedFile(const FramedFile& file, const std::vector<bool>& keep) {
    ComposedFile out;
    std::copy(file.header.begin(), file.header.end(), out.head.begin());
    const std::size_t records = std::min(file.frameStarts.size(), keep.size());
    out.kept = static_cast<std::uint32_t>(std::count(keep.begin(), keep.begin() + records, true));
    out.removed = records - out.kept;
    for (std::size_t i = 0; i < FramedFile::kCountBytes; ++i) {
        out.head[FramedFile::kHeaderBytes + i] = static_cast<std::uint8_t>(out.kept >> (8 * i));
    }
    const std::span<const std::uint8_t> frames(file.frames);
    const auto frameEnd = [&](std::size_t i) {
        return i + 1 < file.frameStarts.size() ? file.frameStarts[i + 1] : file.frames.size();
    };
    for (std::size_t i = 0; i < records;) {
        if (!keep[i]) {
            ++i;
            continue;
        }
        const std::size_t runStart = file.frameStarts[i];
        while (i < records && keep[i]) {
            ++i;
        }
        out.runs.push_back(frames.subspan(runStart, frameEnd(i - 1) - runStart));
    }
    return out;
}

}  // namespace quillet
