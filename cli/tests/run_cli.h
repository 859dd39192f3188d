#pragma once

#include <filesystem>
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
};

// Runs the binary with the arguments and waits for it.
CliRun runCli(const std::vector<std::string>& arguments, const CliRunOptions& options = {});

}  // namespace quillet::testing
