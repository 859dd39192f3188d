// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

namespace CLI {
class App;
class Error;
}  // namespace CLI

namespace quillet::cli {

// A parse error of the command line in Quillet's own words, such as "--sort may be
// given once": no wording of the parser library comes through.
std::string usageErrorText(const CLI::Error& error, const CLI::App& app);

}  // namespace quillet::cli
