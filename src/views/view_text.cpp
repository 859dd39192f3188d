#include "views/view_text.h"

#include "device/device_files.h"

#include "ui/record_list.h"

namespace quillet {

std::string tooManyRowsMessage(std::string_view fileName, std::uint32_t headerCount,
                               std::string_view what) {
    return std::string(fileName) + " holds more than " + std::to_string(RecordList::kMaxRows) +
           " " + std::string(what) + " (its header counts " + std::to_string(headerCount) +
           "), more than a list shows, so none is shown.\n"
           "No receiver stores that many: the file is probably damaged. Copy it from the "
           "receiver again.";
}

std::string signedDecimal(std::uint32_t value) {
    return std::to_string(static_cast<std::int32_t>(value));
}

std::string shortHeaderMessage(std::string_view fileName, std::string_view heldRecords) {
    std::string text(fileName);
    text += " is shorter than its ";
    text += std::to_string(kDeviceHeaderSize);
    text += "-byte header and holds no ";
    text += heldRecords;
    text += ".\nCopy the file from the receiver again.";
    return text;
}

}  // namespace quillet
