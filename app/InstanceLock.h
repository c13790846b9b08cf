#pragma once
// The single-instance marker. The system releases it when the process ends, however it ends, so
// a copy that crashed leaves nothing behind: a lock on a file in the user's runtime directory
// here, a named mapping on Windows.

#include <filesystem>
#include <string>

class InstanceLock {
public:
    enum class Outcome { Acquired, AlreadyRunning, Unavailable };

    // Unavailable when the lock file cannot be made in the directory.
    InstanceLock(const std::string& name, const std::filesystem::path& directory);
    ~InstanceLock();
    InstanceLock(const InstanceLock&) = delete;
    InstanceLock& operator=(const InstanceLock&) = delete;

    Outcome outcome() const { return outcome_; }

    // The user's runtime directory; where there is none, a folder of the user's own (a directory
    // of theirs that nobody else may write) in the temporary directory, or else in the user's
    // cache; an empty path, with the reason in `problem`, when none can be had: a lock there is
    // Unavailable. Never throws.
    static std::filesystem::path DefaultDirectory(std::string* problem = nullptr);

private:
    Outcome outcome_ = Outcome::Unavailable;
#ifdef _WIN32
    void* handle_ = nullptr;
#else
    int fd_ = -1;
#endif
};
