#pragma once
// The main window as the program entry builds it, on the Hamlib rig server with the window's
// event loop as its dispatcher, with a settings file, lock and working directory of its own.

#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>

#include "ScratchDirectory.h"
#include "ZuvozeRaro_Unit.h"

namespace Bench {

class BenchWindow {
public:
    // `settings` is the text of the settings file; empty for none (two Dummy rigs).
    explicit BenchWindow(const std::string& settings);
    ~BenchWindow();
    BenchWindow(const BenchWindow&) = delete;
    BenchWindow& operator=(const BenchWindow&) = delete;

    TForm1& form() { return *form_; }
    // Runs the event loop until both panels are on, or the time-out passes.
    bool waitBothOnline(std::chrono::milliseconds timeout = std::chrono::seconds(10));
    // Runs `job` on a thread of its own while this thread runs the window's event loop, as the
    // program's main thread does; rethrows what the job threw.
    static void drive(const std::function<void()>& job);

    // "[RIG1]" and "[RIG2]" on Hamlib's network model at these addresses, tracking rig 1 into
    // the slave's VFO A or B.
    static std::string trackingSettings(const std::string& master, const std::string& slave,
                                        int pollMs, char slaveVfo);

private:
    OmniRig::Testing::ScratchDirectory directory_{"bench"};
    std::unique_ptr<TForm1> form_;
};

}  // namespace Bench
