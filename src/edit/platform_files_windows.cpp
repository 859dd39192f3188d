// SPDX-License-Identifier: GPL-3.0-or-later
// The operating system's side of rewriting a device file on Windows, on the Win32 calls
// themselves. The C runtime falls short here: its rename refuses to replace an existing
// name, it cannot create a file only when the name is free, and fflush leaves the bytes
// in the system's cache. Every name goes to the system as UTF-16 (std::filesystem::path
// holds it so on Windows), so that folders named in any script work.

#if defined(_WIN32)

#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <string>
#include <system_error>
#include <thread>

#include "edit/platform_files.h"

namespace quillet::platform {

namespace {

// A stdio stream over a handle; the stream owns the handle afterwards.
std::FILE* streamOf(HANDLE handle, int openFlags, const char* mode) {
    const int descriptor = _open_osfhandle(reinterpret_cast<intptr_t>(handle), openFlags);
    if (descriptor == -1) {
        CloseHandle(handle);
        return nullptr;
    }
    std::FILE* file = _fdopen(descriptor, mode);
    if (file == nullptr) {
        _close(descriptor);
    }
    return file;
}

HANDLE handleOf(std::FILE* file) {
    return reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(file)));
}

}  // namespace

std::FILE* openForReading(const std::filesystem::path& path) {
    // Others may go on reading, and the name may be moved or replaced while the file is
    // open (a deletion replaces the device file it holds); nobody may write to it.
    const HANDLE handle =
        CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr,
                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        return nullptr;
    }
    return streamOf(handle, _O_RDONLY | _O_BINARY, "rb");
}

std::FILE* createExclusive(const std::filesystem::path& path) {
    // CREATE_NEW fails on any existing name; a reparse point (a link or junction) at the
    // name is never followed.
    const HANDLE handle =
        CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                    FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        return nullptr;
    }
    std::FILE* file = streamOf(handle, _O_WRONLY | _O_BINARY, "wb");
    if (file == nullptr) {
        DeleteFileW(path.c_str());
    }
    return file;
}

std::optional<std::size_t> read(std::FILE* file, std::span<std::uint8_t> dest) {
    const std::size_t delivered = std::fread(dest.data(), 1, dest.size(), file);
    if (delivered < dest.size() && std::ferror(file) != 0) {
        return std::nullopt;
    }
    return delivered;
}

bool write(std::FILE* file, std::span<const std::uint8_t> bytes) {
    // An empty piece (a file with nothing after its records) may have no buffer at all.
    if (bytes.empty()) {
        return true;
    }
    return std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
}

bool flushToDisk(std::FILE* file) {
    if (std::fflush(file) != 0) {
        return false;
    }
    const HANDLE handle = handleOf(file);
    return handle != INVALID_HANDLE_VALUE && FlushFileBuffers(handle) != 0;
}

bool close(std::FILE* file) {
    return std::fclose(file) == 0;
}

bool removeName(const std::filesystem::path& path) {
    // DeleteFileW, like unlink, leaves a folder of that name alone, and removes a link
    // rather than what it points to.
    if (DeleteFileW(path.c_str()) != 0) {
        return true;
    }
    const DWORD error = GetLastError();
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
}

bool rename(const std::filesystem::path& from, const std::filesystem::path& to) {
    // One step that replaces the target name, and returns only once the move is on the
    // disk.
    return MoveFileExW(from.c_str(), to.c_str(),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

bool link(const std::filesystem::path& existing, const std::filesystem::path& newName) {
    // NTFS has hard links; FAT and exFAT refuse, and the deletion then moves the old
    // file to the backup name first.
    return CreateHardLinkW(newName.c_str(), existing.c_str(), nullptr) != 0;
}

bool syncDirectory(const std::filesystem::path&) {
    // A folder cannot be opened for flushing on Windows, and needs no flush: every
    // rename was written through to the disk when it returned.
    return true;
}

LockStatus lockExclusive(std::FILE* file, std::chrono::milliseconds patience) {
    constexpr auto kStep = std::chrono::milliseconds(10);
    const HANDLE handle = handleOf(file);
    if (handle == INVALID_HANDLE_VALUE) {
        return LockStatus::Failed;
    }
    const auto giveUp = std::chrono::steady_clock::now() + patience;
    for (;;) {
        // The whole file, however long it grows; the lock ends when the handle closes.
        OVERLAPPED whole{};
        if (LockFileEx(handle, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, MAXDWORD,
                       MAXDWORD, &whole) != 0) {
            return LockStatus::Locked;
        }
        if (GetLastError() != ERROR_LOCK_VIOLATION) {
            return LockStatus::Failed;
        }
        if (std::chrono::steady_clock::now() >= giveUp) {
            return LockStatus::Busy;
        }
        std::this_thread::sleep_for(kStep);
    }
}

std::optional<FileFacts> factsOf(std::FILE* file, const std::filesystem::path&) {
    BY_HANDLE_FILE_INFORMATION facts{};
    const HANDLE handle = handleOf(file);
    if (handle == INVALID_HANDLE_VALUE || GetFileInformationByHandle(handle, &facts) == 0) {
        return std::nullopt;
    }
    const bool readOnly = (facts.dwFileAttributes & FILE_ATTRIBUTE_READONLY) != 0;
    // Windows keeps no owner or group of the POSIX kind; the permission bits say what the
    // read-only attribute says, as the C runtime reports them.
    return FileFacts{
        .identity = {static_cast<std::uint64_t>(facts.dwVolumeSerialNumber),
                     (static_cast<std::uint64_t>(facts.nFileIndexHigh) << 32) |
                         facts.nFileIndexLow},
        .permissions = readOnly ? 0444u : 0666u,
        .owner = 0,
        .group = 0,
        .readOnly = readOnly,
    };
}

bool copyAccess(const FileFacts& from, std::FILE* to) {
    // Who may read or write a file is said by its access list, which a new file inherits
    // from its folder, as the old file did: only the read-only attribute is carried over.
    if (!from.readOnly) {
        return true;
    }
    FILE_BASIC_INFO basic{};
    const HANDLE handle = handleOf(to);
    if (handle == INVALID_HANDLE_VALUE ||
        GetFileInformationByHandleEx(handle, FileBasicInfo, &basic, sizeof basic) == 0) {
        return false;
    }
    basic.FileAttributes |= FILE_ATTRIBUTE_READONLY;
    return SetFileInformationByHandle(handle, FileBasicInfo, &basic, sizeof basic) != 0;
}

std::optional<std::filesystem::path> realPath(const std::filesystem::path& path) {
    std::error_code error;
    if (!std::filesystem::is_symlink(path, error)) {
        return path;
    }
    std::filesystem::path real = std::filesystem::canonical(path, error);
    if (error) {
        return std::nullopt;
    }
    return real;
}

std::optional<std::filesystem::path> historyFolder() {
    const DWORD length = GetEnvironmentVariableW(L"LOCALAPPDATA", nullptr, 0);
    if (length == 0) {
        return std::nullopt;
    }
    std::wstring value(length, L'\0');
    const DWORD written = GetEnvironmentVariableW(L"LOCALAPPDATA", value.data(), length);
    if (written == 0 || written >= length) {
        return std::nullopt;
    }
    value.resize(written);
    const std::filesystem::path base(value);
    if (!base.is_absolute()) {
        return std::nullopt;
    }
    return base / L"Quillet" / L"history";
}

bool createPrivateFolders(const std::filesystem::path& folder) {
    // The folders under %LOCALAPPDATA% are the user's own already.
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    return std::filesystem::is_directory(folder, error);
}

}  // namespace quillet::platform

#endif
