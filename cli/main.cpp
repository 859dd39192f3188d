#include <unistd.h>

#include <exception>
#include <iostream>

#include "cli_options.h"
#include "commands.h"
#include "terminal_text.h"

int main(int argc, char** argv) {
    using namespace quillet::cli;
    try {
        const ParsedCommandLine parsed = parseCommandLine(argc, argv, std::cout, std::cerr);
        if (!parsed.options) {
            return parsed.exitStatus;
        }
        const bool terminal = isatty(STDIN_FILENO) == 1 && isatty(STDERR_FILENO) == 1;
        return runCommand(*parsed.options,
                          {std::cout, std::cerr, std::cin, terminal, standardOutputIsTerminal()});
    } catch (const std::exception& error) {
        std::cerr << "quillet-cli: " << error.what() << '\n';
        return kExitFailure;
    }
}
