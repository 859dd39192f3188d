#pragma once

#ifdef _WIN32

#include <filesystem>
#include <memory>

namespace quillet {

// An exclusive lock on a whole device file for the time of a deletion, taken with
// LockFileEx on a handle that lets others read but neither write, rename nor delete the
// file. Another Quillet, or any program that asks for the same lock, is refused while
// this one lives; the lock ends with the object (or with the process).
class WindowsFileLock {
public:
    // The lock, or nothing when the file does not open or someone else holds it.
    static std::unique_ptr<WindowsFileLock> tryLock(const std::filesystem::path& path);
    ~WindowsFileLock();
    WindowsFileLock(const WindowsFileLock&) = delete;
    WindowsFileLock& operator=(const WindowsFileLock&) = delete;

private:
    explicit WindowsFileLock(void* handle) : handle_(handle) {}
    void* handle_;
};

}  // namespace quillet

#endif
