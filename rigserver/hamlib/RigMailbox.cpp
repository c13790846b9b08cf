#include "RigMailbox.h"

#include <algorithm>

namespace OmniRig {

RigState RigMailbox::view() const {
    std::lock_guard lock(mutex_);
    return view_;
}

void RigMailbox::updateView() {
    view_ = published_;
    for (const RigWrite& write : overlay_) {
        view_.apply(write);
    }
}

RigStatus RigMailbox::status() const {
    std::lock_guard lock(mutex_);
    return status_;
}

std::string RigMailbox::typeText() const {
    std::lock_guard lock(mutex_);
    return typeText_;
}

bool RigMailbox::queue(RigWrite::Kind kind, int32_t value) {
    std::lock_guard lock(mutex_);
    const RigWrite write{kind, value, view_.currentVfo()};
    const bool opened = overlay_.size() == flushed_;
    overlay_.push_back(write);
    view_.apply(write);
    dropRepeatedRun();
    return opened;
}

std::optional<std::string> RigMailbox::refusal(RigWrite::Kind kind, int32_t value) const {
    std::lock_guard lock(mutex_);
    if (!abilities_) {
        return std::nullopt;
    }
    return abilities_->refusal({kind, value, view_.currentVfo()}, published_.vfo);
}

void RigMailbox::publishAbilities(const RigAbilities& abilities) {
    std::lock_guard lock(mutex_);
    abilities_ = abilities;
}

void RigMailbox::dropRepeatedRun() {
    // Writes the worker has not taken yet that a run of the same shape right after them repeats
    // (the same parameters on the same VFOs, the same switches) can only matter to the radio in
    // their last values: the earlier run goes, so the queue stays short however long the worker
    // is held up by a rig that does not answer. Switches keep their places.
    auto sameShape = [](const RigWrite& a, const RigWrite& b) {
        return a.kind == b.kind && a.vfo == b.vfo &&
               (a.kind != RigWrite::Kind::Vfo || a.value == b.value);
    };
    const size_t n = overlay_.size();
    for (size_t run = 1; run <= kLongestRun && taken_ + 2 * run <= n; ++run) {
        bool repeated = true;
        for (size_t j = 0; j < run && repeated; ++j) {
            repeated = sameShape(overlay_[n - run + j], overlay_[n - 2 * run + j]);
        }
        if (repeated) {
            const size_t first = n - 2 * run;
            flushed_ -= std::min(flushed_, first + run) - std::min(flushed_, first);
            overlay_.erase(overlay_.begin() + static_cast<std::ptrdiff_t>(first),
                           overlay_.begin() + static_cast<std::ptrdiff_t>(first + run));
            return;
        }
    }
}

void RigMailbox::flush() {
    {
        std::lock_guard lock(mutex_);
        flushed_ = overlay_.size();
    }
    wake_.notify_all();
}

void RigMailbox::reconfigure(RigConfig config, std::string typeText) {
    {
        std::lock_guard lock(mutex_);
        abilities_.reset();
        newConfig_ = std::move(config);
        typeText_ = std::move(typeText);
    }
    wake_.notify_all();
}

void RigMailbox::stop() {
    {
        std::lock_guard lock(mutex_);
        stop_ = true;
    }
    wake_.notify_all();
}

bool RigMailbox::stopping() const {
    std::lock_guard lock(mutex_);
    return stop_;
}

bool RigMailbox::reconfigured() const {
    std::lock_guard lock(mutex_);
    return newConfig_.has_value();
}

std::optional<RigConfig> RigMailbox::takeConfig() {
    std::lock_guard lock(mutex_);
    auto config = std::move(newConfig_);
    newConfig_.reset();
    return config;
}

std::vector<RigWrite> RigMailbox::takeWrites() {
    std::lock_guard lock(mutex_);
    std::vector<RigWrite> writes(overlay_.begin() + static_cast<std::ptrdiff_t>(taken_),
                                 overlay_.begin() + static_cast<std::ptrdiff_t>(flushed_));
    taken_ = flushed_;
    return writes;
}

void RigMailbox::dropWrites() {
    std::lock_guard lock(mutex_);
    overlay_.erase(overlay_.begin(), overlay_.begin() + static_cast<std::ptrdiff_t>(flushed_));
    taken_ = 0;
    flushed_ = 0;
    updateView();
}

RigStatus RigMailbox::publish(const RigState& state, const RigStatus& status) {
    std::lock_guard lock(mutex_);
    published_ = state;
    overlay_.erase(overlay_.begin(), overlay_.begin() + static_cast<std::ptrdiff_t>(taken_));
    flushed_ -= taken_;
    taken_ = 0;
    updateView();
    RigStatus before = std::move(status_);
    status_ = status;
    return before;
}

void RigMailbox::waitUntil(Clock::time_point deadline) {
    std::unique_lock lock(mutex_);
    wake_.wait_until(lock, deadline,
                     [&] { return stop_ || newConfig_.has_value() || flushed_ > taken_; });
}

}  // namespace OmniRig
