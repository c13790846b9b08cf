// The program as a process on a station with its two default Dummy rigs, on the offscreen
// platform: its CPU while idle, its peak resident memory, and its time from start to the window
// shown with both rigs on-line.

#include <benchmark/benchmark.h>
#include <signal.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include "ChildProcess.h"
#include "Figures.h"
#include "Percentile.h"
#include "ScratchDirectory.h"

using namespace Bench;
using Clock = std::chrono::steady_clock;
namespace fs = std::filesystem;

namespace {

constexpr auto kSettle = std::chrono::seconds(2);
constexpr auto kIdle = std::chrono::seconds(30);
constexpr int kStarts = 10;

// A working and runtime directory of its own: no settings file (two Dummy rigs), its own lock.
class Sandbox {
public:
    const fs::path& path() const { return directory_.path(); }
    std::vector<std::string> environment() const {
        return {"QT_QPA_PLATFORM=offscreen", "XDG_RUNTIME_DIR=" + path().string()};
    }

private:
    OmniRig::Testing::ScratchDirectory directory_{"proc"};
};

// User and system time of a process so far, in seconds (/proc/<pid>/stat fields 14 and 15).
double cpuSeconds(pid_t pid) {
    std::ifstream in("/proc/" + std::to_string(pid) + "/stat");
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    // The command name may hold blanks; the fields after it are counted from its closing ')'.
    std::istringstream fields(text.substr(text.rfind(')') + 2));
    std::string field;
    unsigned long long utime = 0;
    unsigned long long stime = 0;
    for (int i = 3; i <= 15 && fields >> field; ++i) {
        if (i == 14) {
            utime = std::stoull(field);
        } else if (i == 15) {
            stime = std::stoull(field);
        }
    }
    return static_cast<double>(utime + stime) / static_cast<double>(::sysconf(_SC_CLK_TCK));
}

// A "VmHWM:"-style line of /proc/<pid>/status, in MB.
double statusMegabytes(pid_t pid, const std::string& key) {
    std::ifstream in("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    while (std::getline(in, line)) {
        if (line.compare(0, key.size() + 1, key + ":") == 0) {
            return std::stod(line.substr(key.size() + 1)) / 1024.0;
        }
    }
    return 0;
}

void BM_IdleProgram(benchmark::State& state) {
    Sandbox sandbox;
    ChildProcess program(ZR_PROGRAM, {}, sandbox.environment(), sandbox.path());
    // Start-up is over well within this (see the start-up figure); what follows is idle.
    std::this_thread::sleep_for(kSettle);
    double cpu = 0;
    for (auto _ : state) {
        const double before = cpuSeconds(program.pid());
        const auto start = Clock::now();
        std::this_thread::sleep_for(kIdle);
        const double wall = std::chrono::duration<double>(Clock::now() - start).count();
        cpu = (cpuSeconds(program.pid()) - before) / wall;
    }
    if (::kill(program.pid(), 0) != 0) {
        state.SkipWithError("the program ended early");
        return;
    }
    record({"program idle with two on-line Dummy rigs: CPU of one core", 100 * cpu, "%", 1.0});
    record({"program: peak resident memory (VmHWM)", statusMegabytes(program.pid(), "VmHWM"), "MB",
            60.0});
}
BENCHMARK(BM_IdleProgram)->Iterations(1)->Unit(benchmark::kSecond);

void BM_StartToBothRigsOnline(benchmark::State& state) {
    std::vector<double> millis;
    for (auto _ : state) {
        for (int i = 0; i < kStarts; ++i) {
            Sandbox sandbox;
            const auto start = Clock::now();
            ChildProcess probe(ZR_STARTUP_PROBE, {}, sandbox.environment(), sandbox.path());
            std::string line;
            if (!probe.readLine(line, std::chrono::seconds(10)) || line != "on-line") {
                state.SkipWithError("the window did not show both rigs on-line");
                return;
            }
            millis.push_back(
                std::chrono::duration<double, std::milli>(Clock::now() - start).count());
        }
    }
    record({"start to window shown with both rigs on-line: median", percentile(millis, 0.5), "ms",
            300.0});
    record({"start to window shown with both rigs on-line: slowest of " + std::to_string(kStarts),
            percentile(millis, 1.0), "ms", std::nullopt});
}
BENCHMARK(BM_StartToBothRigsOnline)->Iterations(1)->Unit(benchmark::kSecond);

}  // namespace
