#include "RigWorker.h"

#include <algorithm>

#include "HamlibLibrary.h"
#include "ParamBits.h"

namespace OmniRig {

namespace {

int32_t otherVfo(int32_t vfo) {
    return vfo == VFOB ? VFOA : VFOB;
}

}  // namespace

RigWorker::RigWorker(int rigNumber, RigConfig config, RigMailbox& mailbox,
                     std::shared_ptr<EventHub> hub)
    : number_(rigNumber), config_(std::move(config)), mailbox_(mailbox), hub_(std::move(hub)) {
    thread_ = std::thread([this] { run(); });
}

RigWorker::~RigWorker() {
    mailbox_.stop();
    thread_.join();
}

void RigWorker::run() {
    while (!mailbox_.stopping()) {
        if (auto config = mailbox_.takeConfig()) {
            link_.reset();
            config_ = std::move(*config);
            // The new rig starts from nothing: its first poll reports every parameter.
            known_ = reported_ = RigState{};
            sureFreq_ = sureMode_ = {false, false};
            retry_ = kFirstRetry;
            mailbox_.dropWrites();
            // The old link is gone: the rig goes off until the new one answers.
            setStatus(config_.configured() ? RigStatus::notResponding()
                                           : RigStatus::notConfigured(config_.problem));
        }
        if (!config_.configured()) {
            setStatus(RigStatus::notConfigured(config_.problem));
            mailbox_.dropWrites();
            mailbox_.waitUntil(Clock::now() + std::chrono::hours(1));
            continue;
        }
        if ((!link_ || !link_->isOpen()) && !connect()) {
            continue;
        }
        if (!applyWrites()) {
            continue;
        }
        if (Clock::now() >= nextPoll_) {
            const auto start = Clock::now();
            if (!poll()) {
                continue;
            }
            // A poll slower than its interval is followed by the next one at once.
            nextPoll_ = std::max(start + config_.pollInterval(), Clock::now());
        }
        mailbox_.waitUntil(nextPoll_);
    }
    link_.reset();
}

bool RigWorker::connect() {
    if (!link_) {
        link_ = std::make_unique<RigLink>(config_);
        if (!link_->setupProblem().empty()) {
            config_.problem = link_->setupProblem();
            link_.reset();
            return false;
        }
    }
    const int code = link_->open();
    if (mailbox_.stopping()) {
        return false;
    }
    if (code != RIG_OK) {
        if (std::abs(code) == RIG_ETIMEOUT) {
            setStatus(RigStatus::notResponding());
        } else {
            setStatus(RigStatus::portNotAvailable(link_->portName() + " (" +
                                                  HamlibLibrary::errorText(code) + ")"));
        }
        rest(retry_);
        retry_ = std::min(retry_ * 2, kLastRetry);
        return false;
    }
    // What was inferred before may have changed while the link was down.
    known_ = RigState{};
    sureFreq_ = sureMode_ = {false, false};
    nextPoll_ = Clock::now();
    lastFullPoll_.reset();
    cacheExpired_ = false;
    return true;
}

bool RigWorker::applyWrites() {
    const auto writes = mailbox_.takeWrites();
    if (writes.empty()) {
        return true;
    }
    RigState basis = known_;
    for (size_t i = 0; i < 2; ++i) {
        basis.freq[i] = sureFreq_[i] ? basis.freq[i] : 0;
        basis.mode[i] = sureMode_[i] ? basis.mode[i] : 0;
    }
    basis.split = link_->has(RigLink::Read::Split) ? basis.split : 0;
    basis.rit = link_->has(RigLink::Read::Rit) ? basis.rit : 0;

    const auto ops = planWrites(basis, writes, link_->targeting());
    if (!ops.empty()) {
        lastChange_ = Clock::now();
    }
    for (const RadioOp& op : ops) {
        if (mailbox_.stopping()) {
            return false;
        }
        const int code = link_->apply(op);
        const auto fault = RigLink::classify(code);
        if (fault == RigLink::Fault::Link) {
            linkLost(code);
            return false;
        }
        if (fault != RigLink::Fault::None) {
            // After a refused switch the rest would act on the wrong VFO.
            if (op.kind == RadioOp::Kind::SelectVfo) {
                return true;
            }
            continue;
        }
        const size_t i = RigState::index(op.vfo);
        switch (op.kind) {
            case RadioOp::Kind::SelectVfo:
                known_.vfo = op.value;
                break;
            case RadioOp::Kind::Frequency:
                known_.freq[i] = op.value;
                sureFreq_[i] = true;
                break;
            case RadioOp::Kind::Mode:
                known_.mode[i] = op.value;
                sureMode_[i] = true;
                break;
            case RadioOp::Kind::Split:
                known_.split = op.value;
                break;
            case RadioOp::Kind::Rit:
                known_.rit = op.value;
                break;
        }
    }
    return true;
}

bool RigWorker::handled(int code, RigLink::Read read) {
    if (RigLink::classify(code) == RigLink::Fault::Absent) {
        link_->drop(read);
    }
    return handled(code);
}

bool RigWorker::handled(int code) {
    if (RigLink::classify(code) == RigLink::Fault::Link) {
        linkLost(code);
        return false;
    }
    return !mailbox_.stopping();
}

bool RigWorker::readFrequency(RigState& state, int32_t vfo, bool other, PollReads& reads) {
    int32_t value = 0;
    const int code = link_->readFrequency(other ? vfo : 0, value);
    if (!(other ? handled(code, RigLink::Read::OtherFrequency) : handled(code))) {
        return false;
    }
    if (code == RIG_OK && value != 0) {
        state.freq[RigState::index(vfo)] = value;
        reads.freq[RigState::index(vfo)] = true;
    }
    return true;
}

bool RigWorker::readMode(RigState& state, int32_t vfo, bool other, PollReads& reads) {
    const RigLink::Read function = other ? RigLink::Read::OtherMode : RigLink::Read::Mode;
    if (!link_->has(function)) {
        return true;
    }
    int32_t value = 0;
    const int code = link_->readMode(other ? vfo : 0, value);
    if (!handled(code, function)) {
        return false;
    }
    if (code == RIG_OK) {
        state.mode[RigState::index(vfo)] = value;
        reads.mode[RigState::index(vfo)] = true;
    }
    return true;
}

bool RigWorker::readSwitch(RigState& state, RigLink::Read read) {
    if (!link_->has(read)) {
        return true;
    }
    int32_t value = 0;
    const int code = read == RigLink::Read::Split ? link_->readSplit(value)
                     : read == RigLink::Read::Rit ? link_->readRit(value)
                                                  : link_->readPtt(value);
    if (!handled(code, read)) {
        return false;
    }
    if (code == RIG_OK) {
        (read == RigLink::Read::Split ? state.split
         : read == RigLink::Read::Rit ? state.rit
                                      : state.tx) = value;
    }
    return true;
}

bool RigWorker::poll() {
    using Read = RigLink::Read;
    const auto start = Clock::now();
    const bool everything = !lastFullPoll_ || start - *lastFullPoll_ >= kSlowStateInterval ||
                            start - lastChange_ < kSlowStateInterval;
    RigState state = known_;
    PollReads reads;

    if (link_->has(Read::Vfo)) {
        int32_t value = 0;
        const int code = link_->readVfo(value);
        if (!handled(code, Read::Vfo)) {
            return false;
        }
        state.vfo = code == RIG_OK && value != 0 ? value : state.vfo;
    }
    const int32_t current = state.currentVfo();
    if (!readFrequency(state, current, false, reads)) {
        return false;
    }
    // A slave follows its master's frequency: it is told before the rest of the poll is read.
    if (mailbox_.status().code == ST_ONLINE &&
        (state.vfo != known_.vfo || state.currentFrequency() != known_.currentFrequency())) {
        publish(state, RigStatus::online());
    }
    if (!readMode(state, current, false, reads)) {
        return false;
    }
    // The other VFO is read only where the model can address it without a switch: a radio
    // that flipped VFOs on every poll could transmit on the wrong frequency.
    const int32_t other = otherVfo(current);
    if (everything && link_->has(Read::OtherFrequency) &&
        !(readFrequency(state, other, true, reads) && readMode(state, other, true, reads))) {
        return false;
    }
    if (everything && !(readSwitch(state, Read::Split) && readSwitch(state, Read::Rit))) {
        return false;
    }
    // The transmit lamp is the one indicator that changes with every over.
    if (!readSwitch(state, Read::Ptt)) {
        return false;
    }

    // A change the program did not make may have changed what it cannot read, too.
    const bool changedBehindOurBack = state != known_;
    for (size_t i = 0; i < 2; ++i) {
        sureFreq_[i] = reads.freq[i] || (sureFreq_[i] && !changedBehindOurBack);
        sureMode_[i] = reads.mode[i] || (sureMode_[i] && !changedBehindOurBack);
    }
    if (changedBehindOurBack) {
        lastChange_ = start;
    }
    if (everything) {
        lastFullPoll_ = start;
    }
    if (!cacheExpired_) {
        link_->expireCache();
        cacheExpired_ = true;
    }
    known_ = state;
    retry_ = kFirstRetry;
    publish(state, RigStatus::online());
    return true;
}

void RigWorker::linkLost(int code) {
    // A NET rigctl handle stays broken, and a stream that timed out stays out of step, until
    // the link is closed and opened afresh.
    link_->close();
    setStatus(std::abs(code) == RIG_ETIMEOUT
                  ? RigStatus::notResponding()
                  : RigStatus::notResponding(HamlibLibrary::errorText(code)));
    rest(retry_);
    retry_ = std::min(retry_ * 2, kLastRetry);
}

void RigWorker::setStatus(const RigStatus& status) {
    publish(reported_, status);
}

void RigWorker::publish(const RigState& state, const RigStatus& status) {
    const RigStatus before = mailbox_.publish(state, status);
    if (before != status) {
        hub_->post(DISPID_StatusChange, {Variant(static_cast<int32_t>(number_))});
    }
    const int32_t params = changedParams(reported_, state);
    reported_ = state;
    if (params != 0) {
        hub_->post(DISPID_ParamsChange, {Variant(static_cast<int32_t>(number_)), Variant(params)});
    }
}

void RigWorker::rest(std::chrono::milliseconds pause) {
    const auto until = Clock::now() + pause;
    while (!mailbox_.stopping() && !mailbox_.reconfigured() && Clock::now() < until) {
        mailbox_.waitUntil(until);
        mailbox_.dropWrites();
    }
}

}  // namespace OmniRig
