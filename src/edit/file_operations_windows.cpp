// The file operations of a deletion on Windows, on the Win32 calls themselves.
//
// The C runtime falls short here in three ways: its rename refuses to replace an
// existing name, it has no way to create a file only when the name is free, and fflush
// leaves the bytes in the system's cache. Every name goes to the system as UTF-16
// (std::filesystem::path holds it so on Windows), so that folders named in any script work.

#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <cstdio>

#include "edit/file_operations.h"
#include "edit/windows_file_lock.h"

namespace quillet {

namespace {

// True when the name is an ordinary file: not a folder, and not a link or junction that
// leads somewhere else.
bool isPlainFile(const std::filesystem::path& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES &&
           (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) == 0;
}

// A new file, opened for writing only when no file of that name existed before
// (CREATE_NEW): whatever stood at the name is never written through.
HANDLE createNewFile(const std::filesystem::path& path) {
    return CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL,
                       nullptr);
}

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

}  // namespace

std::FILE* SystemFileOperations::openForReading(const std::filesystem::path& path) {
    // Others may go on reading; nobody may write to the file while it is read.
    const HANDLE handle = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                      OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        return nullptr;
    }
    return streamOf(handle, _O_RDONLY | _O_BINARY, "rb");
}

std::FILE* SystemFileOperations::createForWriting(const std::filesystem::path& path) {
    HANDLE handle = createNewFile(path);
    if (handle == INVALID_HANDLE_VALUE && GetLastError() == ERROR_FILE_EXISTS &&
        isPlainFile(path)) {
        // A temporary file that an interrupted deletion left: it is removed and the name
        // taken anew, still only if it is free at that moment.
        if (DeleteFileW(path.c_str()) != 0) {
            handle = createNewFile(path);
        }
    }
    if (handle == INVALID_HANDLE_VALUE) {
        return nullptr;
    }
    return streamOf(handle, _O_WRONLY | _O_BINARY, "wb");
}

std::optional<std::size_t> SystemFileOperations::read(std::FILE* file,
                                                      std::span<std::uint8_t> dest) {
    const std::size_t delivered = std::fread(dest.data(), 1, dest.size(), file);
    if (delivered < dest.size() && std::ferror(file) != 0) {
        return std::nullopt;
    }
    return delivered;
}

bool SystemFileOperations::write(std::FILE* file, std::span<const std::uint8_t> bytes) {
    return std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
}

bool SystemFileOperations::flushToDisk(std::FILE* file) {
    if (std::fflush(file) != 0) {
        return false;
    }
    const auto handle = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(file)));
    return handle != INVALID_HANDLE_VALUE && FlushFileBuffers(handle) != 0;
}

bool SystemFileOperations::close(std::FILE* file) {
    return std::fclose(file) == 0;
}

bool SystemFileOperations::removeFile(const std::filesystem::path& path) {
    // DeleteFileW, like unlink, leaves a folder of that name alone.
    if (DeleteFileW(path.c_str()) != 0) {
        return true;
    }
    return GetLastError() == ERROR_FILE_NOT_FOUND;
}

bool SystemFileOperations::renameFile(const std::filesystem::path& from,
                                      const std::filesystem::path& to) {
    // One step that replaces the target name, and returns only once the move is on the
    // disk; the folder needs no sync of its own afterwards.
    return MoveFileExW(from.c_str(), to.c_str(),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

bool SystemFileOperations::linkFile(const std::filesystem::path& existing,
                                    const std::filesystem::path& newName) {
    // NTFS has hard links; FAT and exFAT refuse, and the deletion then moves the old
    // file to the backup name first.
    return CreateHardLinkW(newName.c_str(), existing.c_str(), nullptr) != 0;
}

std::optional<FileSnapshot> SystemFileOperations::snapshot(const std::filesystem::path& path,
                                                           std::uint32_t recordCount) {
    return takeSnapshot(path, recordCount);
}

bool SystemFileOperations::syncDirectory(const std::filesystem::path&) {
    // A folder cannot be flushed on Windows; every rename was written through already.
    return true;
}

std::unique_ptr<WindowsFileLock> WindowsFileLock::tryLock(const std::filesystem::path& path) {
    const HANDLE handle = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                      OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        return nullptr;
    }
    OVERLAPPED whole{};
    if (LockFileEx(handle, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, MAXDWORD,
                   MAXDWORD, &whole) == 0) {
        CloseHandle(handle);
        return nullptr;
    }
    return std::unique_ptr<WindowsFileLock>(new WindowsFileLock(handle));
}

WindowsFileLock::~WindowsFileLock() {
    OVERLAPPED whole{};
    UnlockFileEx(handle_, 0, MAXDWORD, MAXDWORD, &whole);
    CloseHandle(handle_);
}

}  // namespace quillet
