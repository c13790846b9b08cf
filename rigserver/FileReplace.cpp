#include "FileReplace.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#include <algorithm>
#include <cerrno>
#include <random>
#include <set>
#include <system_error>
#include <vector>

#include "IniFile.h"

namespace fs = std::filesystem;

namespace {

#ifdef _WIN32

std::string systemMessage(DWORD error) {
    wchar_t* buffer = nullptr;
    const DWORD length = ::FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, error, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    std::wstring text(buffer != nullptr ? buffer : L"", length);
    ::LocalFree(buffer);
    while (!text.empty() && (text.back() == L'\r' || text.back() == L'\n' || text.back() == L' ')) {
        text.pop_back();
    }
    if (text.empty()) {
        return "system error " + std::to_string(error);
    }
    const int size = ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                           nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<size_t>(size), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), utf8.data(), size,
                          nullptr, nullptr);
    return utf8;
}

std::string readAll(const fs::path& path) {
    // Sharing deletion lets another thread's save replace the file while it is read.
    HANDLE file = ::CreateFileW(path.c_str(), GENERIC_READ,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        const DWORD error = ::GetLastError();
        if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) {
            return {};
        }
        throw IniReadError(path, systemMessage(error));
    }
    std::string text;
    char buffer[65536];
    for (;;) {
        DWORD n = 0;
        if (!::ReadFile(file, buffer, sizeof buffer, &n, nullptr)) {
            const DWORD error = ::GetLastError();
            ::CloseHandle(file);
            throw IniReadError(path, systemMessage(error));
        }
        if (n == 0) {
            break;
        }
        text.append(buffer, n);
    }
    ::CloseHandle(file);
    return text;
}

#else

std::string readAll(const fs::path& path) {
    int fd = -1;
    do {
        fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) {
        const int error = errno;
        // A path through a plain file names no file either.
        if (error == ENOENT || error == ENOTDIR) {
            return {};
        }
        throw IniReadError(path, std::generic_category().message(error));
    }
    std::string text;
    char buffer[65536];
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n > 0) {
            text.append(buffer, static_cast<size_t>(n));
        } else if (n == 0) {
            break;
        } else if (errno != EINTR) {
            const int error = errno;
            ::close(fd);
            throw IniReadError(path, std::generic_category().message(error));
        }
    }
    ::close(fd);
    return text;
}

#endif

fs::path targetOf(const fs::path& path) {
    std::error_code ec;
    // Writing through a link keeps the link and replaces what it points to.
    fs::path resolved = fs::weakly_canonical(path, ec);
    return ec ? path : resolved;
}

fs::path folderOf(const fs::path& target) {
    fs::path dir = target.parent_path();
    return dir.empty() ? fs::path(".") : dir;
}

// A save's temporary file is named "." + the file's name + "." + six letters or digits (the
// shape mkstemp gives), so that what a save killed before its rename left is known again.
constexpr size_t kSuffixLength = 6;

fs::path::string_type temporaryPrefix(const fs::path& target) {
    fs::path prefix(".");
    prefix += target.filename();
    prefix += ".";
    return prefix.native();
}

bool isSuffixCharacter(fs::path::value_type c) {
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

// Removes the temporary files of saves of the target that never finished: plain files with the
// target's temporary name only, whatever else shares the folder stays. Only a process killed in
// a save leaves them (a failed save removes its own), so each file's folder, which may be a home
// directory of thousands of entries, is looked through once per process. Runs under
// replaceMutex.
void clearLeftovers(const fs::path& dir, const fs::path& target) {
    static std::set<fs::path> cleared;
    if (!cleared.insert(target).second) {
        return;
    }
    const auto prefix = temporaryPrefix(target);
    std::vector<fs::path> leftovers;
    std::error_code ec;
    for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
        const auto name = it->path().filename().native();
        std::error_code statusError;
        if (name.size() == prefix.size() + kSuffixLength && name.starts_with(prefix) &&
            std::all_of(name.begin() + prefix.size(), name.end(), isSuffixCharacter) &&
            it->symlink_status(statusError).type() == fs::file_type::regular) {
            leftovers.push_back(it->path());
        }
    }
    for (const auto& leftover : leftovers) {
        fs::remove(leftover, ec);
    }
}

#ifdef _WIN32

bool writeAll(HANDLE file, const std::string& content) {
    size_t written = 0;
    while (written < content.size()) {
        const DWORD chunk =
            static_cast<DWORD>(std::min<size_t>(content.size() - written, 1u << 30));
        DWORD n = 0;
        if (!::WriteFile(file, content.data() + written, chunk, &n, nullptr) || n == 0) {
            return false;
        }
        written += n;
    }
    return true;
}

std::wstring randomSuffix() {
    static constexpr wchar_t kCharacters[] =
        L"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    thread_local std::mt19937 generator(std::random_device{}() ^ ::GetCurrentProcessId() ^
                                        ::GetTickCount());
    std::uniform_int_distribution<size_t> pick(0, std::size(kCharacters) - 2);
    std::wstring suffix;
    for (size_t i = 0; i < kSuffixLength; ++i) {
        suffix += kCharacters[pick(generator)];
    }
    return suffix;
}

bool replaceAtomically(const fs::path& path, const std::string& content) {
    const fs::path target = targetOf(path);
    const DWORD attributes = ::GetFileAttributesW(target.c_str());
    const bool exists = attributes != INVALID_FILE_ATTRIBUTES;
    // The read-only attribute refuses the write, as the system's own profile functions do.
    if (exists && (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)) != 0) {
        return false;
    }
    // The temporary file sits in the same folder, so that the move is a rename on one volume.
    const fs::path dir = folderOf(target);
    clearLeftovers(dir, target);
    const auto prefix = temporaryPrefix(target);
    fs::path temp;
    HANDLE file = INVALID_HANDLE_VALUE;
    for (int attempt = 0; attempt < 100 && file == INVALID_HANDLE_VALUE; ++attempt) {
        temp = dir / (prefix + randomSuffix());
        file = ::CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                             FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE && ::GetLastError() != ERROR_FILE_EXISTS &&
            ::GetLastError() != ERROR_ALREADY_EXISTS) {
            return false;
        }
    }
    if (file == INVALID_HANDLE_VALUE) {
        return false;
    }
    bool ok = writeAll(file, content) && ::FlushFileBuffers(file);
    ok = ::CloseHandle(file) && ok;
    // The new file keeps the old one's hidden, system and archive marks.
    const DWORD kept = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE;
    if (ok && exists && (attributes & kept) != 0) {
        ok = ::SetFileAttributesW(temp.c_str(), attributes & kept);
    }
    ok = ok && ::MoveFileExW(temp.c_str(), target.c_str(),
                             MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
    if (!ok) {
        ::DeleteFileW(temp.c_str());
    }
    return ok;
}

#else

// The process's umask, read without setting it: umask() does both, and another thread creating
// a file in between would get the wrong one.
mode_t processUmask() {
    try {
        const std::string status = readAll("/proc/self/status");
        const auto at = status.find("\nUmask:");
        if (at != std::string::npos) {
            return static_cast<mode_t>(std::stoul(status.substr(at + 7), nullptr, 8) & 0777);
        }
    } catch (const std::exception&) {
        // No /proc here: the mask is set and put back, once.
    }
    static const mode_t mask = [] {
        const mode_t was = ::umask(022);
        ::umask(was);
        return was;
    }();
    return mask;
}

// A save run as root (the program started with sudo) leaves the operator's file the operator's.
// A user who may not give a file away still saves a file shared with them, as before, and keeps
// its group where they are in it.
void keepOwner(int fd, const struct stat& existing) {
    if (::fchown(fd, existing.st_uid, existing.st_gid) != 0) {
        ::fchown(fd, static_cast<uid_t>(-1), existing.st_gid);
    }
}

bool writeAll(int fd, const std::string& content) {
    size_t written = 0;
    while (written < content.size()) {
        const ssize_t n = ::write(fd, content.data() + written, content.size() - written);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return false;
        }
        written += static_cast<size_t>(n);
    }
    return true;
}

bool replaceAtomically(const fs::path& path, const std::string& content) {
    const fs::path target = targetOf(path);
    struct stat existing {};
    const bool exists = ::stat(target.c_str(), &existing) == 0;
    // A file marked read-only stays untouched, even for a user the system would let through.
    if (exists && ((existing.st_mode & 0222) == 0 || ::access(target.c_str(), W_OK) != 0)) {
        return false;
    }
    // The temporary file sits in the same folder, so that the move is a rename on one device.
    const fs::path dir = folderOf(target);
    clearLeftovers(dir, target);
    // Opened first: the rename is only durable once the folder is synced after it.
    const int folder = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder < 0) {
        return false;
    }
    std::string temp = (dir / (temporaryPrefix(target) + "XXXXXX")).string();
    const int fd = ::mkostemp(temp.data(), O_CLOEXEC);
    if (fd < 0) {
        ::close(folder);
        return false;
    }
    // The owner first: a change of owner clears the set-id bits that the mode then restores.
    if (exists) {
        keepOwner(fd, existing);
    }
    bool ok = ::fchmod(fd, exists ? (existing.st_mode & 07777) : (0666 & ~processUmask())) == 0;
    ok = ok && writeAll(fd, content) && ::fsync(fd) == 0;
    ok = ::close(fd) == 0 && ok;
    ok = ok && ::rename(temp.c_str(), target.c_str()) == 0;
    if (!ok) {
        ::unlink(temp.c_str());
        ::close(folder);
        return false;
    }
    // A power cut before this could bring the old file back. Some file systems cannot sync a
    // folder (EINVAL) and need not.
    const bool synced = ::fsync(folder) == 0 || errno == EINVAL;
    ::close(folder);
    return synced;
}

#endif
}  // namespace

namespace FileReplace {

std::string read(const fs::path& path) {
    return readAll(path);
}

bool replace(const fs::path& path, const std::string& content) {
    return replaceAtomically(path, content);
}

}  // namespace FileReplace
