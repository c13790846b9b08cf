#include "SettingsSaver.h"

#include "IniFile.h"

SettingsSaver::SettingsSaver(Failed failed)
    : failed_(std::move(failed)), thread_([this] { run(); }) {}

SettingsSaver::~SettingsSaver() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    changed_.notify_all();
    thread_.join();
}

void SettingsSaver::Save(std::filesystem::path path, std::string section, Entries entries) {
    {
        std::lock_guard lock(mutex_);
        pending_ = Request{std::move(path), std::move(section), std::move(entries)};
    }
    changed_.notify_all();
}

void SettingsSaver::Finish() {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return !pending_ && !writing_; });
}

void SettingsSaver::run() {
    std::unique_lock lock(mutex_);
    for (;;) {
        changed_.wait(lock, [this] { return pending_ || stopping_; });
        if (!pending_) {
            return;  // stopping, and nothing is left to write
        }
        Request request = std::move(*pending_);
        pending_.reset();
        writing_ = true;
        lock.unlock();
        try {
            IniFile(request.path).WriteStrings(request.section, request.entries);
        } catch (...) {
            if (failed_) {
                failed_(std::current_exception());
            }
        }
        lock.lock();
        writing_ = false;
        changed_.notify_all();
    }
}
