// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace quillet::testing {

// Points the history of replaced device files ($XDG_DATA_HOME, %LOCALAPPDATA%) of this
// process and its children at a temporary folder of its own, once; every test program
// that uses TempDir or FakeUi has it done before its first test.
void usePrivateHistoryHome();

// A fresh directory under the system's temporary directory, unique per test and per
// instance, removed with everything in it when the object goes.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& path() const { return path_; }
    std::filesystem::path operator/(const std::filesystem::path& name) const {
        return path_ / name;
    }

    // Writes the bytes as the file `name` in the directory (replacing it) and returns
    // its path.
    std::filesystem::path writeFile(const std::filesystem::path& name,
                                    std::string_view bytes) const;
    std::filesystem::path writeFile(const std::filesystem::path& name,
                                    const std::vector<std::uint8_t>& bytes) const;

private:
    std::filesystem::path path_;
};

// The whole content of a file, or an empty text when it cannot be read.
std::string readFile(const std::filesystem::path& path);
// A file written in text mode, with "\n" line ends: on Windows each CR LF becomes "\n",
// and a line end without its CR shows as "<LF without CR>" so that a comparison fails.
std::string readTextFile(const std::filesystem::path& path);

}  // namespace quillet::testing
