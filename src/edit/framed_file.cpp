#include "edit/framed_file.h"

#include <algorithm>
#include <span>

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

std::uint32_t littleEndian(std::span<const std::uint8_t> bytes) {
    std::uint32_t value = 0;
    for (std::size_t i = bytes.size(); i-- > 0;) {
        value = (value << 8) | bytes[i];
    }
    return value;
}

void appendLittleEndian32(std::vector<std::uint8_t>& out, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) {
        out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
    }
}

}  // namespace

ReadStatus readFramedHeader(FileOperations& ops, std::FILE* file, FramedFile& into) {
    std::array<std::uint8_t, FramedFile::kHeaderBytes + FramedFile::kCountBytes> bytes{};
    const ReadStatus status = readExactly(ops, file, bytes);
    if (status != ReadStatus::Complete) {
        return status;
    }
    std::copy_n(bytes.begin(), FramedFile::kHeaderBytes, into.header.begin());
    into.recordCount =
        littleEndian(std::span(bytes).subspan(FramedFile::kHeaderBytes, FramedFile::kCountBytes));
    return ReadStatus::Complete;
}

ReadStatus readFramedRecords(FileOperations& ops, std::FILE* file, FramedFile& into) {
    for (std::uint32_t p = 1; p <= into.recordCount && p != 0; ++p) {
        const std::size_t start = into.frames.size();
        into.frames.resize(start + FramedFile::kLengthBytes);
        ReadStatus status =
            readExactly(ops, file, std::span(into.frames).subspan(start, FramedFile::kLengthBytes));
        if (status != ReadStatus::Complete) {
            return status;
        }
        const std::size_t length = littleEndian(std::span(into.frames).subspan(start, 2));
        const std::size_t body = start + FramedFile::kLengthBytes;
        into.frames.resize(body + length);
        status = readExactly(ops, file, std::span(into.frames).subspan(body, length));
        if (status != ReadStatus::Complete) {
            return status;
        }
        into.frameStarts.push_back(start);
    }
    return ReadStatus::Complete;
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
        const auto points = static_cast<std::uint32_t>(
            littleEndian(std::span(file.frames).subspan(start + FramedFile::kLengthBytes, 2)));
        if (length != kFieldsAfterLength + packedSize(points)) {
            return i + 1;
        }
    }
    return 0;
}

std::vector<std::uint8_t> composeFramedFile(const FramedFile& file, const std::vector<bool>& keep) {
    std::vector<std::uint8_t> out(file.header.begin(), file.header.end());
    const std::size_t records = std::min(file.frameStarts.size(), keep.size());
    const auto kept =
        static_cast<std::uint32_t>(std::count(keep.begin(), keep.begin() + records, true));
    appendLittleEndian32(out, kept);
    for (std::size_t i = 0; i < records; ++i) {
        if (!keep[i]) {
            continue;
        }
        const std::size_t start = file.frameStarts[i];
        const std::size_t end =
            i + 1 < file.frameStarts.size() ? file.frameStarts[i + 1] : file.frames.size();
        out.insert(out.end(), file.frames.begin() + static_cast<std::ptrdiff_t>(start),
                   file.frames.begin() + static_cast<std::ptrdiff_t>(end));
    }
    return out;
}

}  // namespace quillet
