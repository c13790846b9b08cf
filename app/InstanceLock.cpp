#include "InstanceLock.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
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

std::filesystem::path InstanceLock::DefaultDirectory() {
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
    fd_ = ::open(file.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
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

std::filesystem::path InstanceLock::DefaultDirectory() {
    if (const char* runtime = std::getenv("XDG_RUNTIME_DIR"); runtime && *runtime) {
        return runtime;
    }
    // Without a runtime directory the lock goes to the temporary one, named per user.
    std::error_code ec;
    const auto temp = std::filesystem::temp_directory_path(ec);
    if (ec) {
        return {};
    }
    const auto dir = temp / ("zuvozeraro-" + std::to_string(::getuid()));
    if (std::filesystem::create_directory(dir, ec)) {
        std::filesystem::permissions(dir, std::filesystem::perms::owner_all, ec);
    }
    return dir;
}

#endif
