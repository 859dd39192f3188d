#include "views/view_text.h"

#include "device/device_files.h"

namespace quillet {

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
