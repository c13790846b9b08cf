#pragma once
// The stand-in's process, seen from a test: started by the test, found, and waited for.

#include <windows.h>

#include <chrono>

namespace OmniRigTesting {

class StandInProcess {
public:
    // Starts the stand-in as a running server and waits until it can be found as one; nullptr
    // (with a test failure) when it could not be started.
    static StandInProcess start();
    // Ends every stand-in still running (left over from a test that failed) and waits for it.
    static void endAll();

    explicit StandInProcess(DWORD id);
    StandInProcess(StandInProcess&& other) noexcept;
    StandInProcess(const StandInProcess&) = delete;
    StandInProcess& operator=(const StandInProcess&) = delete;
    ~StandInProcess();

    DWORD id() const { return id_; }
    bool valid() const { return handle_ != nullptr; }
    // True when the process has ended within the deadline.
    bool waitForExit(std::chrono::milliseconds deadline = std::chrono::seconds(10)) const;

private:
    DWORD id_ = 0;
    HANDLE handle_ = nullptr;
};

}  // namespace OmniRigTesting
