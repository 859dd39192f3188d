// SPDX-License-Identifier: GPL-3.0-or-later
#include "device/record_buffer.h"

#include <algorithm>
#include <span>

#include "device/byte_order.h"

namespace quillet {

RecordRead readRecord(InputStream& stream, RecordBuffer& buffer) {
    RecordRead record;
    record.length = byte_order::readLe<std::uint16_t>(stream);
    const std::size_t kept = std::min<std::size_t>(record.length, RecordBuffer::kSize);
    record.delivered = stream.read(std::span(buffer.bytes).first(kept));
    if (record.length > kept) {
        // The tail that does not fit the buffer is passed over, so the next record is
        // read from where it starts.
        stream.skip(record.length - kept);
    }
    return record;
}

bool atEndOfFile(const InputStream& stream) {
    return stream.atEnd();
}

}  // namespace quillet
