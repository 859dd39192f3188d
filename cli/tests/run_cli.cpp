// SPDX-License-Identifier: GPL-3.0-or-later
#include "run_cli.h"

#include <fcntl.h>
#include <grp.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <stdexcept>

#include "support/temp_dir.h"

namespace quillet::testing {

CliRun runCli(const std::vector<std::string>& arguments, const CliRunOptions& options) {
    // Standard output and error go to files, so neither can fill a pipe and block.
    TempDir capture;
    const std::string outPath = (capture / "stdout").string();
    const std::string errPath = (capture / "stderr").string();

    std::vector<std::string> words{QUILLET_CLI_BINARY};
    words.insert(words.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (std::string& word : words) {
        argv.push_back(word.data());
    }
    argv.push_back(nullptr);

    // A pseudo-terminal for the typed answer: the child gets the terminal side.
    // It is opened here, before anything is typed, so that no open can discard the text.
    int terminal = -1;
    int terminalSide = -1;
    if (options.typed) {
        terminal = posix_openpt(O_RDWR | O_NOCTTY);
        if (terminal < 0 || grantpt(terminal) != 0 || unlockpt(terminal) != 0) {
            throw std::runtime_error("no pseudo-terminal");
        }
        terminalSide = open(ptsname(terminal), O_RDWR | O_NOCTTY);
        if (terminalSide < 0) {
            throw std::runtime_error("cannot open the pseudo-terminal");
        }
    }

    const pid_t child = fork();
    if (child < 0) {
        throw std::runtime_error("fork failed");
    }
    if (child == 0) {
        if (terminal >= 0) {
            close(terminal);
        }
        const int in = terminal >= 0 ? terminalSide : open(options.input.c_str(), O_RDONLY);
        const int out = terminal >= 0 && options.outputOnTerminal
                            ? terminalSide
                            : open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        const int err = terminal >= 0 ? terminalSide
                                      : open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        if (in < 0 || out < 0 || err < 0 || dup2(in, STDIN_FILENO) < 0 ||
            dup2(out, STDOUT_FILENO) < 0 || dup2(err, STDERR_FILENO) < 0) {
            _exit(126);
        }
        if (!options.workingDirectory.empty() && chdir(options.workingDirectory.c_str()) != 0) {
            _exit(126);
        }
        if (options.user && (setgroups(0, nullptr) != 0 || setgid(*options.user) != 0 ||
                             setuid(*options.user) != 0)) {
            _exit(126);
        }
        for (const char* variable : {"LANGUAGE", "LC_ALL", "LC_MESSAGES", "LC_CTYPE", "LANG"}) {
            unsetenv(variable);
        }
        for (const std::string& setting : options.language) {
            const std::size_t equals = setting.find('=');
            if (equals == std::string::npos || setenv(setting.substr(0, equals).c_str(),
                                                      setting.substr(equals + 1).c_str(), 1) != 0) {
                _exit(126);
            }
        }
        alarm(options.timeLimitSeconds);
        execv(argv[0], argv.data());
        _exit(127);
    }
    if (terminal >= 0) {
        // The parent keeps the terminal side open until it has read everything, so the
        // program's end does not hang up the terminal before its output has arrived.
        // Typed ahead: the terminal keeps the line until the program reads it.
        const std::string& text = *options.typed;
        if (write(terminal, text.data(), text.size()) != static_cast<ssize_t>(text.size())) {
            throw std::runtime_error("cannot type on the pseudo-terminal");
        }
    }
    int status = 0;
    if (waitpid(child, &status, 0) != child) {
        throw std::runtime_error("waitpid failed");
    }
    CliRun run;
    run.exitStatus = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    run.out = readFile(outPath);
    if (terminal >= 0) {
        // The terminal passes the program's last output on a little later than the
        // program ends: read until nothing more has come for a while.
        char buffer[4096];
        pollfd ready{.fd = terminal, .events = POLLIN, .revents = 0};
        while (poll(&ready, 1, 300) > 0) {
            const ssize_t n = read(terminal, buffer, sizeof buffer);
            if (n <= 0) {
                break;
            }
            run.err.append(buffer, static_cast<std::size_t>(n));
        }
        close(terminalSide);
        close(terminal);
    } else {
        run.err = readFile(errPath);
    }
    return run;
}

}  // namespace quillet::testing
