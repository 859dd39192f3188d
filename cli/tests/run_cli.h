// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace quillet::testing {

// What one run of the built quillet-cli left behind.
struct CliRun {
    int exitStatus = -1;  // -1 when the process did not exit normally
    std::string out;      // standard output, byte for byte
    std::string err;      // standard error
};

struct CliRunOptions {
    std::filesystem::path workingDirectory;     // empty: the test's own
    std::filesystem::path input = "/dev/null";  // standard input
    // When set, standard input and standard error are a terminal of their own on which
    // this text is typed; `err` is then what appeared on it (echo included).
    std::optional<std::string> typed;
    // With `typed`: standard output goes to that terminal too, and shows in `err`.
    bool outputOnTerminal = false;
    // When set, the program runs as this user and group (only root can ask for that).
    std::optional<unsigned> user;
    // When not 0, the program is ended by SIGALRM after this many seconds.
    unsigned timeLimitSeconds = 0;
    // The language variables ("LANG=ru_RU.UTF-8", "LANGUAGE=ru"): the program runs with
    // these alone, whatever the test's own environment sets, so by default it speaks
    // English.
    std::vector<std::string> language;
};

// Runs the binary with the arguments and waits for it.
CliRun runCli(const std::vector<std::string>& arguments, const CliRunOptions& options = {});

}  // namespace quillet::testing
