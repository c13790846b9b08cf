#pragma once
// Writes the window's settings on a thread of its own, so that the window never waits on the
// disk. Saves asked for while one is being written merge into one: what reaches the file is
// always the latest state, in one replacement of the file. A save still pending when the saver
// goes is finished first.

#include <condition_variable>
#include <exception>
#include <filesystem>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

class SettingsSaver {
public:
    using Entries = std::vector<std::pair<std::string, std::string>>;
    // Called on the saver's thread with the error of a write that failed.
    using Failed = std::function<void(std::exception_ptr)>;

    explicit SettingsSaver(Failed failed);
    ~SettingsSaver();
    SettingsSaver(const SettingsSaver&) = delete;
    SettingsSaver& operator=(const SettingsSaver&) = delete;

    // Asks for the entries to be written into the section of the file; returns at once.
    void Save(std::filesystem::path path, std::string section, Entries entries);
    // Waits until every save asked for is written or has failed.
    void Finish();

private:
    struct Request {
        std::filesystem::path path;
        std::string section;
        Entries entries;
    };

    void run();

    Failed failed_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::optional<Request> pending_;
    bool writing_ = false;
    bool stopping_ = false;
    std::thread thread_;
};
