// SPDX-License-Identifier: GPL-3.0-or-later
#ifdef _WIN32

#include "windows_console.h"

#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <cstdio>
#include <iostream>
#include <streambuf>
#include <string>
#include <vector>

namespace quillet::cli {
namespace {

std::string toUtf8(const wchar_t* text) {
    const int length = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
    if (length <= 1) {
        return {};
    }
    std::string converted(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text, -1, converted.data(), length, nullptr, nullptr);
    converted.pop_back();  // the terminating zero
    return converted;
}

bool isConsole(DWORD standardHandle) {
    DWORD mode = 0;
    return GetConsoleMode(GetStdHandle(standardHandle), &mode) != 0;
}

// The length of the longest prefix of `bytes` that ends on a whole UTF-8 character, so
// that a character cut by a flush is shown whole with the next one.
std::size_t completeUtf8Prefix(const std::string& bytes) {
    std::size_t end = bytes.size();
    std::size_t back = 0;
    while (back < 4 && back < end &&
           (static_cast<unsigned char>(bytes[end - 1 - back]) & 0xC0) == 0x80) {
        ++back;
    }
    if (back == end) {
        return end;
    }
    const auto lead = static_cast<unsigned char>(bytes[end - 1 - back]);
    const std::size_t needed = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
    return needed > back + 1 ? end - 1 - back : end;
}

// A stream buffer that shows UTF-8 text on a console as UTF-16 characters.
class ConsoleBuffer final : public std::streambuf {
public:
    explicit ConsoleBuffer(HANDLE console) : console_(console) {}

protected:
    int_type overflow(int_type c) override {
        if (c != traits_type::eof()) {
            pending_ += static_cast<char>(c);
            if (c == '\n') {
                return sync() == 0 ? c : traits_type::eof();
            }
        }
        return traits_type::not_eof(c);
    }

    std::streamsize xsputn(const char* text, std::streamsize count) override {
        pending_.append(text, static_cast<std::size_t>(count));
        return sync() == 0 ? count : 0;
    }

    int sync() override {
        const std::size_t whole = completeUtf8Prefix(pending_);
        if (whole == 0) {
            return 0;
        }
        const int wideLength =
            MultiByteToWideChar(CP_UTF8, 0, pending_.data(), static_cast<int>(whole), nullptr, 0);
        std::wstring wide(static_cast<std::size_t>(wideLength), L'\0');
        MultiByteToWideChar(CP_UTF8, 0, pending_.data(), static_cast<int>(whole), wide.data(),
                            wideLength);
        pending_.erase(0, whole);
        DWORD written = 0;
        return WriteConsoleW(console_, wide.data(), static_cast<DWORD>(wide.size()), &written,
                             nullptr) != 0
                   ? 0
                   : -1;
    }

private:
    HANDLE console_;
    std::string pending_;
};

// Points a standard C++ stream at the console when it is one; it goes on writing the
// bytes through the C runtime otherwise.
void showOnConsole(std::ostream& stream, DWORD standardHandle) {
    if (isConsole(standardHandle)) {
        static std::vector<ConsoleBuffer*> buffers;  // live until the program ends
        buffers.push_back(new ConsoleBuffer(GetStdHandle(standardHandle)));
        stream.rdbuf(buffers.back());
    }
}

}  // namespace

int runWithUtf8Arguments(int argc, wchar_t** argv, Utf8Main run) {
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
    showOnConsole(std::cout, STD_OUTPUT_HANDLE);
    showOnConsole(std::cerr, STD_ERROR_HANDLE);

    std::vector<std::string> arguments;
    for (int i = 0; i < argc; ++i) {
        arguments.push_back(toUtf8(argv[i]));
    }
    std::vector<char*> pointers;
    for (std::string& argument : arguments) {
        pointers.push_back(argument.data());
    }
    pointers.push_back(nullptr);
    const int status = run(argc, pointers.data());
    std::cout.flush();
    std::cerr.flush();
    return status;
}

bool canAskOnConsole() {
    return isConsole(STD_INPUT_HANDLE) && isConsole(STD_ERROR_HANDLE);
}

}  // namespace quillet::cli

#endif
