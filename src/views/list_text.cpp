#include "views/list_text.h"

#include "device/code_page.h"

namespace quillet {

namespace {

void appendCell(std::string& out, std::string_view deviceText) {
    for (const char c : deviceTextToUtf8(deviceText)) {
        out += (c == '\t' || c == '\r' || c == '\n') ? ' ' : c;
    }
}

}  // namespace

std::string listingText(const RecordList& list) {
    std::string out;
    for (std::size_t column = 0; column < list.columnCount(); ++column) {
        if (column != 0) {
            out += '\t';
        }
        appendCell(out, list.column(column).heading);
    }
    out += '\n';
    for (std::size_t row = 0; row < list.rowCount(); ++row) {
        for (std::size_t column = 0; column < list.columnCount(); ++column) {
            if (column != 0) {
                out += '\t';
            }
            appendCell(out, list.text(row, column));
        }
        out += '\n';
    }
    return out;
}

}  // namespace quillet
