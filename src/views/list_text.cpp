// SPDX-License-Identifier: GPL-3.0-or-later
#include "views/list_text.h"

#include <algorithm>
#include <array>

#include "device/code_page.h"

namespace quillet {

namespace {

// The UTF-8 form of each device byte as a listing cell writes it: the code page's, with
// TAB, CR and LF as blanks.
std::array<Utf8Form, 256> makeCellForms() {
    std::array<Utf8Form, 256> forms = utf8Forms();
    for (const char c : {'\t', '\r', '\n'}) {
        forms[static_cast<std::uint8_t>(c)] = {1, {' '}};
    }
    return forms;
}

const std::array<Utf8Form, 256>& cellForms() {
    static const std::array<Utf8Form, 256> forms = makeCellForms();
    return forms;
}

// Writes the listing into one buffer, converting each cell straight into it (no cell is
// copied or converted on its own), and hands the buffer on whenever a line ends with
// it nearly full.
class ListingWriter {
public:
    explicit ListingWriter(const std::function<bool(std::string_view)>& write)
        : forms_(cellForms()), write_(write) {
        buffer_.resize(kPieceBytes);
    }

    // A cell ends at its first zero byte; every byte takes at most three in UTF-8.
    void cell(std::string_view deviceText) {
        reserve(3 * deviceText.size());
        char* end = buffer_.data() + used_;
        for (const char c : deviceText) {
            if (c == '\0') {
                break;
            }
            const Utf8Form& form = forms_[static_cast<std::uint8_t>(c)];
            end[0] = form.bytes[0];
            end[1] = form.bytes[1];
            end[2] = form.bytes[2];
            end += form.size;
        }
        used_ = static_cast<std::size_t>(end - buffer_.data());
    }

    void separator() {
        reserve(1);
        buffer_[used_++] = '\t';
    }

    // Ends the line; false once a piece could not be written.
    bool endLine() {
        reserve(1);
        buffer_[used_++] = '\n';
        if (used_ + kLineBytes > buffer_.size()) {
            return flush();
        }
        return true;
    }

    bool flush() {
        const bool written = used_ == 0 || write_(std::string_view(buffer_.data(), used_));
        used_ = 0;
        return written;
    }

private:
    static constexpr std::size_t kPieceBytes = 256 * 1024;
    static constexpr std::size_t kLineBytes = 4 * 1024;  // a line of most lists fits

    // Room for `bytes` more, and the three bytes that a form writes whatever its size.
    void reserve(std::size_t bytes) {
        const std::size_t needed = used_ + bytes + 3;
        if (needed > buffer_.size()) {
            buffer_.resize(std::max(needed, 2 * buffer_.size()));
        }
    }

    const std::array<Utf8Form, 256>& forms_;
    const std::function<bool(std::string_view)>& write_;
    std::string buffer_;
    std::size_t used_ = 0;
};

}  // namespace

bool writeListing(const RecordList& list, const std::function<bool(std::string_view)>& write) {
    ListingWriter writer(write);
    for (std::size_t column = 0; column < list.columnCount(); ++column) {
        if (column != 0) {
            writer.separator();
        }
        writer.cell(list.column(column).heading);
    }
    if (!writer.endLine()) {
        return false;
    }
    for (std::size_t row = 0; row < list.rowCount(); ++row) {
        const RowTexts& texts = list.row(row).texts;
        for (std::size_t column = 0; column < list.columnCount(); ++column) {
            if (column != 0) {
                writer.separator();
            }
            writer.cell(texts.get(column));
        }
        if (!writer.endLine()) {
            return false;
        }
    }
    return writer.flush();
}

std::string listingText(const RecordList& list) {
    std::string text;
    writeListing(list, [&text](std::string_view piece) {
        text += piece;
        return true;
    });
    return text;
}

}  // namespace quillet
