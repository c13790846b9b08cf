#include "RigWorker.h"

#include <algorithm>

#include "HamlibLibrary.h"
#include "ParamBits.h"
#include "PortAccess.h"

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
            shared_.reset();
            config_ = std::move(*config);
            // The new rig starts from nothing: its first poll reports every parameter.
            known_ = reported_ = RigState{};
            forgetSure();
            retry_ = kFirstRetry;
            downSince_.reset();
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
            nextPoll_ = std::max(start + pollInterval(start), Clock::now());
        }
        mailbox_.waitUntil(nextPoll_);
    }
    link_.reset();
    // Stopped by the thread that started it, as a rigctld ends with the thread that forked it;
    // the program is quitting, so it closes the radio on its own while the program ends.
    if (shared_) {
        shared_->Stop(false);
    }
    shared_.reset();
}

bool RigWorker::connect() {
    if (config_.shared() && !startShared()) {
        return false;
    }
    if (!link_) {
        link_ = std::make_unique<RigLink>(linkConfig());
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
            setStatus(RigStatus::portNotAvailable(link_->openProblem(code)));
        }
        backOff();
        return false;
    }
    // The last values seen stay on show, but anything may have changed while the link was
    // down: nothing is taken as sure, the VFO is selected before any write, and the first poll
    // reports every parameter, so a slave is brought to its master at once.
    forgetSure();
    known_.vfo = 0;
    reportAll_ = true;
    nextPoll_ = Clock::now();
    lastStateRead_.reset();
    lastSlowRead_.reset();
    strikes_.fill(0);
    silentSince_.reset();
    lastFailedWrite_.reset();
    mailbox_.publishAbilities(link_->abilities());
    return true;
}

bool RigWorker::startShared() {
    if (!shared_) {
        const auto [address, port] = *RigConfig::shareEndpoint(config_.share);
        shared_ = std::make_unique<SharedRigctld>(
            SharedRigctld::Radio{config_.model, config_.port, config_.speed, {}}, address, port);
    }
    // A rigctld that died (or was killed) is started again here, with the link's back-off.
    if (shared_->Running()) {
        return true;
    }
    link_.reset();
    const std::string problem = shared_->Start(
        kSharedStart, [this] { return mailbox_.stopping() || mailbox_.reconfigured(); });
    if (problem.empty()) {
        return true;
    }
    if (mailbox_.stopping() || mailbox_.reconfigured()) {
        return false;
    }
    // rigctld says why it could not open the radio only on its error output.
    const std::string cause = PortAccess::problem(config_.port);
    setStatus(RigStatus::portNotAvailable(cause.empty() ? problem : cause));
    backOff();
    return false;
}

RigConfig RigWorker::linkConfig() const {
    if (!shared_) {
        return config_;
    }
    // The rig server is one more client of its own rigctld, through Hamlib's network model.
    RigConfig viaRigctld = config_;
    viaRigctld.model = RIG_MODEL_NETRIGCTL;
    viaRigctld.port = shared_->Endpoint();
    viaRigctld.speed = 0;
    return viaRigctld;
}

std::string RigWorker::sharedNote() const {
    return shared_ ? "shared on " + shared_->SharedAt() : std::string();
}

void RigWorker::forgetSure() {
    sureFreq_ = sureMode_ = {false, false};
}

bool RigWorker::applyWrites() {
    const auto writes = mailbox_.takeWrites();
    if (writes.empty()) {
        return true;
    }
    const RigAbilities before = link_->abilities();
    const bool carriedOut = applyPlanned(writes);
    if (link_->isOpen() && link_->abilities() != before) {
        mailbox_.publishAbilities(link_->abilities());
    }
    return carriedOut;
}

bool RigWorker::applyPlanned(const std::vector<RigWrite>& writes) {
    RigState basis = known_;
    for (size_t i = 0; i < 2; ++i) {
        basis.freq[i] = sureFreq_[i] ? basis.freq[i] : 0;
        basis.mode[i] = sureMode_[i] ? basis.mode[i] : 0;
    }
    basis.split = link_->abilities().reads(RigLink::Read::Split) ? basis.split : 0;
    basis.rit = link_->abilities().reads(RigLink::Read::Rit) ? basis.rit : 0;

    const bool selects = link_->abilities().selectsVfo;
    const auto ops = planWrites(basis, writes, link_->abilities());
    if (!ops.empty()) {
        lastChange_ = Clock::now();
    }
    // After a refused switch the writes up to the next switch would act on the wrong VFO; the
    // switch back, and what follows it, still go.
    bool skipping = false;
    for (const RadioOp& op : ops) {
        if (mailbox_.stopping()) {
            return false;
        }
        if (skipping && op.kind != RadioOp::Kind::SelectVfo) {
            continue;
        }
        skipping = false;
        const int code = link_->apply(op);
        const auto fault = RigLink::classify(code);
        if (fault == RigLink::Fault::Link) {
            // Whether the radio took it is not known; the poll's frequency read tells whether
            // the link still stands, and the next writes select their VFO afresh.
            forgetSure();
            known_.vfo = 0;
            lastStateRead_.reset();
            writeFailed(op);
            return true;
        }
        if (link_->abilities().selectsVfo != selects) {
            // A radio that turned out not to switch VFOs takes this batch on its current one.
            return applyPlanned(writes);
        }
        if (fault != RigLink::Fault::None) {
            skipping = op.kind == RadioOp::Kind::SelectVfo;
            writeFailed(op);
            continue;
        }
        if (lastFailedWrite_ == op) {
            lastFailedWrite_.reset();
        }
        const size_t i = RigState::index(op.vfo);
        switch (op.kind) {
            case RadioOp::Kind::SelectVfo:
                known_.vfo = op.value;
                lastSwitch_ = Clock::now();
                if (!readSelected(op.value)) {
                    return false;
                }
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

void RigWorker::writeFailed(const RadioOp& op) {
    // The next poll reports every parameter, so the tracking step writes the slave again without
    // waiting for its master to move; a write the radio fails the same way twice is left alone.
    if (lastFailedWrite_ != op) {
        reportAll_ = true;
        lastFailedWrite_ = op;
    }
}

bool RigWorker::readSelected(int32_t vfo) {
    const size_t i = RigState::index(vfo);
    if (link_->abilities().readsOtherVfo() || (sureFreq_[i] && sureMode_[i])) {
        return true;
    }
    PollReads reads;
    if (!readFrequency(known_, vfo, false, reads) || !readMode(known_, vfo, false, reads)) {
        return false;
    }
    sureFreq_[i] = sureFreq_[i] || reads.freq[i];
    sureMode_[i] = sureMode_[i] || reads.mode[i];
    return true;
}

bool RigWorker::handled(int code, RigLink::Read read) {
    if (link_->abilities().network && RigLink::silent(code)) {
        // A server that does not answer is busy or gone, whatever the read.
        return handled(code);
    }
    int& strikes = strikes_[static_cast<size_t>(read)];
    switch (RigLink::classify(code)) {
        case RigLink::Fault::None:
            strikes = 0;
            break;
        case RigLink::Fault::Absent:
            link_->setAside(read);
            break;
        case RigLink::Fault::Refused:
        case RigLink::Fault::Link:
            // A read that failed only after Hamlib asked again and again (Hamlib 4.6 and later
            // ask some radios five times) held the link for seconds: it goes at once.
            if (++strikes >= kStrikes || link_->sinceReadBegan() > 2 * RigLink::kCommandTimeout) {
                link_->setAside(read);
            }
            break;
    }
    return !mailbox_.stopping();
}

bool RigWorker::handled(int code) {
    if (RigLink::classify(code) != RigLink::Fault::Link) {
        if (silentSince_) {
            // Back from a silence: the next publish says so and reports everything afresh.
            silentSince_.reset();
            reportAll_ = true;
        }
        return !mailbox_.stopping();
    }
    // A server on the network that does not answer may be busy with another client's long
    // command: the link stays and the next poll asks again, and only a long silence or a broken
    // stream makes it open afresh.
    if (link_->abilities().network && RigLink::silent(code)) {
        const auto now = Clock::now();
        if (!silentSince_) {
            silentSince_ = now - RigLink::kCommandTimeout;
        }
        if (now - *silentSince_ < kBusyLimit) {
            forgetSure();
            known_.vfo = 0;
            lastStateRead_.reset();
            mailbox_.dropWrites();
            if (now - *silentSince_ >= kSilenceShown) {
                setStatus(RigStatus::notResponding());
            }
            return false;
        }
    }
    silentSince_.reset();
    linkLost(code);
    return false;
}

bool RigWorker::readVfo(RigState& state) {
    if (!link_->abilities().reads(RigLink::Read::Vfo) ||
        Clock::now() - lastSwitch_ < kOwnSwitchTrusted) {
        return true;
    }
    int32_t value = 0;
    const int code = link_->readVfo(value);
    if (!handled(code, RigLink::Read::Vfo)) {
        return false;
    }
    state.vfo = code == RIG_OK && value != 0 ? value : state.vfo;
    return true;
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
    if (!link_->abilities().reads(function)) {
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
    if (!link_->abilities().reads(read)) {
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

std::chrono::milliseconds RigWorker::pollInterval(Clock::time_point now) const {
    return now - lastTurn_ < kTurningWindow ? std::min(kTurningInterval, config_.pollInterval())
                                            : config_.pollInterval();
}

bool RigWorker::poll() {
    using Read = RigLink::Read;
    const auto start = Clock::now();
    const bool stateDue =
        !lastStateRead_ || start - *lastStateRead_ >= kStateEveryPolls * config_.pollInterval();
    const bool slowDue = !lastSlowRead_ || start - *lastSlowRead_ >= kSlowStateInterval ||
                         (stateDue && start - lastChange_ < kSlowStateInterval);
    RigState state = known_;
    PollReads reads;

    // The frequency first: it alone tells whether the link stands, within one time-out.
    int32_t current = state.currentVfo();
    if (!readFrequency(state, current, false, reads)) {
        return false;
    }
    // A change may be the operator switching VFOs: the VFO is read at once, so the frequency
    // is never taken for the other VFO's.
    const bool changed = state.currentFrequency() != known_.currentFrequency();
    if ((stateDue || changed) && !readVfo(state)) {
        return false;
    }
    if (state.currentVfo() != current) {
        // The operator switched VFOs: what was read belongs to the VFO now in use.
        state.freq = known_.freq;
        reads = PollReads{};
        current = state.currentVfo();
        if (!readFrequency(state, current, false, reads)) {
            return false;
        }
    }
    const bool turned =
        known_.currentFrequency() != 0 && state.currentFrequency() != known_.currentFrequency();
    if (turned) {
        lastTurn_ = start;
    }
    // A slave follows its master's frequency: it is told before the rest of the poll is read.
    if (mailbox_.status().code == ST_ONLINE && (state.vfo != known_.vfo || turned)) {
        publish(state, RigStatus::online(sharedNote()));
    }
    if (stateDue && !readMode(state, current, false, reads)) {
        return false;
    }
    // The other VFO is read only where the model can address it without a switch: a radio
    // that flipped VFOs on every poll could transmit on the wrong frequency.
    const int32_t other = otherVfo(current);
    if (slowDue && link_->abilities().reads(Read::OtherFrequency) &&
        !(readFrequency(state, other, true, reads) && readMode(state, other, true, reads))) {
        return false;
    }
    if (slowDue && !(readSwitch(state, Read::Split) && readSwitch(state, Read::Rit))) {
        return false;
    }
    // The transmit lamp is the one indicator that changes with every over.
    if (stateDue && !readSwitch(state, Read::Ptt)) {
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
    if (stateDue) {
        lastStateRead_ = start;
    }
    if (slowDue) {
        lastSlowRead_ = start;
    }
    link_->expireCache();
    known_ = state;
    retry_ = kFirstRetry;
    downSince_.reset();
    publish(state, RigStatus::online(sharedNote()));
    return true;
}

void RigWorker::linkLost(int code) {
    // A NET rigctl handle stays broken, and a stream that timed out stays out of step, until
    // the link is closed and opened afresh.
    link_->close();
    setStatus(std::abs(code) == RIG_ETIMEOUT
                  ? RigStatus::notResponding()
                  : RigStatus::notResponding(HamlibLibrary::errorText(code)));
    backOff();
}

void RigWorker::setStatus(const RigStatus& status) {
    publish(reported_, status);
}

void RigWorker::publish(const RigState& state, const RigStatus& status) {
    const RigStatus before = mailbox_.publish(state, status);
    if (before != status) {
        hub_->post(DISPID_StatusChange, {Variant(static_cast<int32_t>(number_))});
    }
    const bool all = reportAll_ && status.code == ST_ONLINE;
    reportAll_ = reportAll_ && !all;
    // Reported as the rig object reads them: the mode bit across the transverter's mixer.
    const int32_t params =
        config_.transverter.modes(changedParams(all ? RigState{} : reported_, state));
    reported_ = state;
    if (params != 0) {
        hub_->post(DISPID_ParamsChange, {Variant(static_cast<int32_t>(number_)), Variant(params)});
    }
}

void RigWorker::backOff() {
    const auto now = Clock::now();
    if (!downSince_) {
        downSince_ = now;
    }
    if (now - *downSince_ < kQuickRetries) {
        rest(kFirstRetry);
        return;
    }
    retry_ = std::min(retry_ * 2, kLastRetry);
    rest(retry_);
}

void RigWorker::rest(std::chrono::milliseconds pause) {
    const auto until = Clock::now() + pause;
    while (!mailbox_.stopping() && !mailbox_.reconfigured() && Clock::now() < until) {
        mailbox_.waitUntil(until);
        mailbox_.dropWrites();
    }
}

}  // namespace OmniRig
