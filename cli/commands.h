// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <iosfwd>

#include "cli_options.h"

namespace quillet::cli {

struct Streams {
    std::ostream& out;
    std::ostream& err;
    std::istream& in;
    bool terminal = false;        // standard input and standard error are a terminal
    bool outputTerminal = false;  // standard output is a terminal
};

// Runs one parsed command on the core; returns the exit status.
int runCommand(const CliOptions& options, const Streams& streams);

}  // namespace quillet::cli
