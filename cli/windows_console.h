// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#ifdef _WIN32

namespace quillet::cli {

// The command line's own entry point, with UTF-8 arguments.
using Utf8Main = int (*)(int argc, char** argv);

// Sets the standard streams up the same way on every Windows console or pipe, then runs
// `run` with the UTF-16 arguments turned into UTF-8:
// - standard output and error are binary, so that list texts keep their "\n" line ends
//   byte for byte;
// - a stream that is a console shows Unicode text through WriteConsoleW; a redirected
//   one gets the UTF-8 bytes.
int runWithUtf8Arguments(int argc, wchar_t** argv, Utf8Main run);

// True when standard input and standard error are both consoles, so that a question can
// be asked and answered. GetConsoleMode is asked, because _isatty also calls the NUL
// device a terminal.
bool canAskOnConsole();

}  // namespace quillet::cli

#endif
