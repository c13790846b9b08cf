#pragma once
// A program run as a child process in a process group of its own, its output on a socket that
// the parent reads line by line. The group (the program and whatever it started) is killed when
// the object goes, and when the benchmark that started it dies.

#include <sys/types.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

#include "LoopbackSocket.h"

namespace Bench {

class ChildProcess {
public:
    // `program` is looked up in PATH unless it holds a slash; `environment` entries
    // ("NAME=value") are added to this process's own, replacing those of the same name.
    ChildProcess(const std::string& program, const std::vector<std::string>& arguments,
                 const std::vector<std::string>& environment = {},
                 const std::filesystem::path& workingDirectory = {});
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    pid_t pid() const { return pid_; }
    // One line of the child's standard output; false at its end or after the time-out.
    bool readLine(std::string& line, std::chrono::milliseconds timeout);
    // Kills the group at once and reaps the child; returns its wait status.
    int kill();

private:
    pid_t pid_ = -1;
    OmniRig::Testing::LoopbackSocket output_;
};

}  // namespace Bench
