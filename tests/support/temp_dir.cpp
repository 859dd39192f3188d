// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/temp_dir.h"

#include <gtest/gtest.h>
#ifdef _WIN32
#include <process.h>
#include <windows.h>
#define getpid _getpid
#else
#include <unistd.h>
#endif

#include <atomic>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <random>
#include <stdexcept>
#include <system_error>

namespace quillet::testing {

namespace {

// The running test's name, reduced to characters every file system accepts.
std::string testLabel() {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string label = info == nullptr ? std::string("no-test")
                                        : std::string(info->test_suite_name()) + "." + info->name();
    for (char& c : label) {
        const bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
                           (c >= '0' && c <= '9') || c == '.' || c == '-' || c == '_';
        if (!plain) {
            c = '_';
        }
    }
    return label;
}

// No test may write into the history of the person running it: before any test runs,
// the history of this process (and of every program it starts) moves to a temporary
// folder of its own, removed at the end. A child that inherited one keeps its parent's.
class PrivateHistoryHome {
public:
    PrivateHistoryHome() {
        if (std::getenv(kMarker) != nullptr) {
            return;
        }
        std::random_device random;
        home_ =
            std::filesystem::temp_directory_path() /
            ("quillet-history-home-" + std::to_string(getpid()) + "-" + std::to_string(random()));
        std::filesystem::create_directories(home_);
        setVariable(kMarker, home_);
        setVariable("XDG_DATA_HOME", home_);
        setVariable("LOCALAPPDATA", home_);
    }
    ~PrivateHistoryHome() {
        std::error_code error;
        if (!home_.empty()) {
            std::filesystem::remove_all(home_, error);
        }
    }
    PrivateHistoryHome(const PrivateHistoryHome&) = delete;
    PrivateHistoryHome& operator=(const PrivateHistoryHome&) = delete;

private:
    static constexpr const char* kMarker = "QUILLET_TEST_HISTORY_HOME";

    static void setVariable(const char* name, const std::filesystem::path& value) {
#ifdef _WIN32
        const std::wstring wide(name, name + std::char_traits<char>::length(name));
        SetEnvironmentVariableW(wide.c_str(), value.c_str());
        _wputenv_s(wide.c_str(), value.c_str());
#else
        ::setenv(name, value.c_str(), 1);
#endif
    }

    std::filesystem::path home_;
};

}  // namespace

void usePrivateHistoryHome() {
    static const PrivateHistoryHome home;
}

namespace {
// Every test program that links temporary folders or the fake person gets it at start.
[[maybe_unused]] const bool kPrivateHistoryHomeInstalled = (usePrivateHistoryHome(), true);
}  // namespace

TempDir::TempDir() {
    static std::atomic<unsigned> counter{0};
    std::random_device random;
    const auto base = std::filesystem::temp_directory_path();
    for (int attempt = 0; attempt < 100; ++attempt) {
        const auto candidate =
            base / ("quillet-" + testLabel() + "-" + std::to_string(getpid()) + "-" +
                    std::to_string(counter++) + "-" + std::to_string(random()));
        if (std::filesystem::create_directory(candidate)) {
            path_ = candidate;
            return;
        }
    }
    throw std::runtime_error("cannot create a temporary directory");
}

TempDir::~TempDir() {
    std::error_code error;
    // Tests may leave read-only entries behind; make them removable first.
    for (auto it = std::filesystem::recursive_directory_iterator(path_, error);
         !error && it != std::filesystem::recursive_directory_iterator(); it.increment(error)) {
        if (it->is_symlink(error)) {
            continue;
        }
        std::filesystem::permissions(it->path(), std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::add, error);
    }
    std::filesystem::remove_all(path_, error);
}

std::filesystem::path TempDir::writeFile(const std::filesystem::path& name,
                                         std::string_view bytes) const {
    const auto target = path_ / name;
    std::ofstream out(target, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out) {
        throw std::runtime_error("cannot write " + target.string());
    }
    return target;
}

std::filesystem::path TempDir::writeFile(const std::filesystem::path& name,
                                         const std::vector<std::uint8_t>& bytes) const {
    return writeFile(name,
                     std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
}

std::string readFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::string readTextFile(const std::filesystem::path& path) {
    const std::string bytes = readFile(path);
#ifdef _WIN32
    std::string text;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') {
            continue;
        }
        if (bytes[i] == '\n' && (i == 0 || bytes[i - 1] != '\r')) {
            text += "<LF without CR>";
        }
        text += bytes[i];
    }
    return text;
#else
    return bytes;
#endif
}

}  // namespace quillet::testing
