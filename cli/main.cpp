// SPDX-License-Identifier: GPL-3.0-or-later
#include <exception>
#include <iostream>
#include <new>

#include "cli_options.h"
#include "commands.h"
#include "heap_pages.h"
#include "terminal_text.h"
#include "text/translation.h"

#ifdef _WIN32
#include "windows_console.h"
#else
#include <unistd.h>
#endif

namespace {

// True when a question can be asked on standard error and answered on standard input.
bool canAsk() {
#ifdef _WIN32
    return quillet::cli::canAskOnConsole();
#else
    return isatty(STDIN_FILENO) == 1 && isatty(STDERR_FILENO) == 1;
#endif
}

int run(int argc, char** argv) {
    using namespace quillet::cli;
    preferLargeHeapPages();
    quillet::startTranslations(quillet::catalogueFolder());
    try {
        const ParsedCommandLine parsed = parseCommandLine(argc, argv, std::cout, std::cerr);
        if (!parsed.options) {
            return parsed.exitStatus;
        }
        return runCommand(*parsed.options,
                          {std::cout, std::cerr, std::cin, canAsk(), standardOutputIsTerminal()});
    } catch (const std::bad_alloc&) {
        std::cerr << "quillet-cli: "
                  << quillet::translate(
                         "there is not enough memory for this command; close "
                         "other programs and run it again")
                  << '\n';
        return kExitFailure;
    } catch (...) {
        // The exception's own text is the library's wording, not the person's.
        std::cerr << "quillet-cli: "
                  << quillet::translate("the command stopped on an unexpected error") << '\n';
        return kExitFailure;
    }
}

}  // namespace

#ifdef _WIN32
int wmain(int argc, wchar_t** argv) {
    return quillet::cli::runWithUtf8Arguments(argc, argv, run);
}
#else
int main(int argc, char** argv) {
    return run(argc, argv);
}
#endif
