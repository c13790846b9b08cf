#include "InstanceLock.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#endif

#ifdef _WIN32

InstanceLock::InstanceLock(const std::string& name, const std::filesystem::path&) {
    handle_ =
        ::CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READONLY, 0, 32, name.c_str());
    if (handle_ == nullptr) {
        outcome_ = Outcome::Unavailable;
    } else if (::GetLastError() == ERROR_ALREADY_EXISTS) {
        outcome_ = Outcome::AlreadyRunning;
    } else {
        outcome_ = Outcome::Acquired;
    }
}

InstanceLock::~InstanceLock() {
    if (handle_ != nullptr) {
        ::CloseHandle(handle_);
    }
}

std::filesystem::path InstanceLock::DefaultDirectory(std::string*) {
    return {};
}

#else

InstanceLock::InstanceLock(const std::string& name, const std::filesystem::path& directory) {
    // Without a directory there is nowhere to put the lock; a bare name would land in whatever
    // folder the program was started from.
    if (directory.empty()) {
        return;
    }
    const std::filesystem::path file = directory / (name + ".lock");
    fd_ = ::open(file.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd_ < 0) {
        return;
    }
    if (::flock(fd_, LOCK_EX | LOCK_NB) == 0) {
        outcome_ = Outcome::Acquired;
    } else if (errno == EWOULDBLOCK) {
        outcome_ = Outcome::AlreadyRunning;
    }
}

InstanceLock::~InstanceLock() {
    if (fd_ >= 0) {
        ::close(fd_);
    }
}

namespace {

// What makes a lock folder unsafe, or nothing: another local user who made or may write it could
// hold the lock first and stop every start of the program.
std::string unsafeBecause(const std::filesystem::path& dir) {
    struct stat folder {};
    if (::lstat(dir.c_str(), &folder) != 0) {
        return dir.string() + ": " + std::strerror(errno);
    }
    if (!S_ISDIR(folder.st_mode)) {
        return dir.string() + " is not a folder";
    }
    if (folder.st_uid != ::geteuid()) {
        return dir.string() + " belongs to another user";
    }
    if ((folder.st_mode & 022) != 0) {
        return dir.string() + " can be written by other users";
    }
    return {};
}

// Makes the folder (0700) where it is missing; what makes it unsafe otherwise.
std::string ownFolder(const std::filesystem::path& dir) {
    if (::mkdir(dir.c_str(), 0700) != 0 && errno != EEXIST) {
        return dir.string() + ": " + std::strerror(errno);
    }
    return unsafeBecause(dir);
}

std::filesystem::path cacheHome() {
    if (const char* cache = std::getenv("XDG_CACHE_HOME"); cache && *cache == '/') {
        return cache;
    }
    const char* home = std::getenv("HOME");
    return home && *home == '/' ? std::filesystem::path(home) / ".cache" : std::filesystem::path();
}

}  // namespace

std::filesystem::path InstanceLock::DefaultDirectory(std::string* problem) {
    if (const char* runtime = std::getenv("XDG_RUNTIME_DIR"); runtime && *runtime) {
        return runtime;
    }
    // Without a runtime directory the lock goes to a folder of the user's own in the temporary
    // one, or else in the user's cache.
    std::string why;
    std::error_code ec;
    const auto temp = std::filesystem::temp_directory_path(ec);
    if (!ec) {
        const auto dir = temp / ("zuvozeraro-" + std::to_string(::geteuid()));
        why = ownFolder(dir);
        if (why.empty()) {
            return dir;
        }
    }
    if (const auto cache = cacheHome(); !cache.empty()) {
        std::filesystem::create_directories(cache, ec);
        const auto dir = cache / "zuvozeraro";
        const std::string cacheWhy = ownFolder(dir);
        if (cacheWhy.empty()) {
            return dir;
        }
        why += (why.empty() ? "" : "; ") + cacheWhy;
    }
    if (problem != nullptr) {
        *problem = why.empty() ? "no temporary or cache folder" : why;
    }
    return {};
}

#endif
