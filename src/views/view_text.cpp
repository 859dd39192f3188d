// SPDX-License-Identifier: GPL-3.0-or-later
#include "views/view_text.h"

#include "device/device_files.h"

#include "text/translation.h"
#include "ui/record_list.h"

namespace quillet {

std::string tooManyRowsMessage(std::string_view fileName, std::uint32_t headerCount,
                               std::string_view what) {
    return fillIn(translate("{1} holds more than {2} {3} (its header counts {4}), more than a "
                            "list shows, so none is shown.\n"
                            "No receiver stores that many: the file is probably damaged. Copy it "
                            "from the receiver again."),
                  {fileName, std::to_string(RecordList::kMaxRows), translate(what),
                   std::to_string(headerCount)});
}

std::string signedDecimal(std::uint32_t value) {
    return std::to_string(static_cast<std::int32_t>(value));
}

std::string shortHeaderMessage(std::string_view fileName, std::string_view heldRecords) {
    return fillIn(translate("{1} is shorter than its {2}-byte header and holds no {3}.\n"
                            "Copy the file from the receiver again."),
                  {fileName, std::to_string(kDeviceHeaderSize), translate(heldRecords)});
}

}  // namespace quillet
