// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <string_view>

namespace quillet::win {

// The core speaks UTF-8, the Win32 calls UTF-16: these two convert at that boundary
// and nowhere else. Invalid input bytes become U+FFFD rather than being dropped.
std::wstring toWide(std::string_view utf8);
std::string toUtf8(std::wstring_view wide);

}  // namespace quillet::win
