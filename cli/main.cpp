#include <unistd.h>

#include <exception>
#include <iostream>
#include <new>

#include "cli_options.h"
#include "commands.h"

int main(int argc, char** argv) {
    using namespace quillet::cli;
    try {
        const ParsedCommandLine parsed = parseCommandLine(argc, argv, std::cout, std::cerr);
        if (!parsed.options) {
            return parsed.exitStatus;
        }
        const bool terminal = isatty(STDIN_FILENO) == 1 && isatty(STDERR_FILENO) == 1;
        return runCommand(*parsed.options, {std::cout, std::cerr, std::cin, terminal});
    } catch (const std::bad_alloc&) {
        std::cerr << "quillet-cli: there is not enough memory for this command; close other "
                     "programs and run it again\n";
        return kExitFailure;
    } catch (...) {
        // The exception's own text is the library's wording, not the person's.
        std::cerr << "quillet-cli: the command stopped on an unexpected error\n";
        return kExitFailure;
    }
}
