#pragma once
// One Hamlib handle and the few calls the rig server makes on it, in the contract's terms,
// through Hamlib's public functions. Owned and used by one worker thread only. Every call is
// bounded by the port's time-out. When it opens it finds out what the radio can do (its
// RigAbilities), which the worker's write plan and poll then ask.

#include <hamlib/rig.h>

#include <chrono>
#include <cstdint>
#include <string>

#include "RigAbilities.h"
#include "RigConfig.h"
#include "WritePlan.h"

namespace OmniRig {

class RigLink {
public:
    // Every command waits this long for its reply, then the link counts as broken: "Rig is not
    // responding" shows within about a second of a radio falling silent.
    static constexpr std::chrono::milliseconds kCommandTimeout{500};
    // Opening the network model waits for two replies, so each gets half: an open, like any
    // other call, ends within kCommandTimeout.
    static constexpr std::chrono::milliseconds kOpenTimeout{kCommandTimeout / 2};
    // Closing waits for no useful reply; a hung peer must not hold up a shutdown.
    static constexpr std::chrono::milliseconds kCloseTimeout{50};

    // What a failed call means for the poll.
    enum class Fault {
        None,
        Absent,   // the model lacks the function: leave it out of the poll
        Refused,  // the radio refused this one request; the link is fine
        Link,     // no answer, a broken stream or a closed port
    };
    static Fault classify(int code);
    // No answer, or a late one, as opposed to a broken stream or a closed port.
    static bool silent(int code);

    using Read = RigAbilities::Read;

    explicit RigLink(const RigConfig& config);
    ~RigLink();
    RigLink(const RigLink&) = delete;
    RigLink& operator=(const RigLink&) = delete;

    // Why the settings could not be given to Hamlib; empty when they could.
    const std::string& setupProblem() const { return setupProblem_; }
    // The port as the status text names it.
    std::string portName() const;
    // Why open() failed with `code`, as "Port is not available" goes on: the port and the cause.
    std::string openProblem(int code) const;

    // Until expireCache(), reads may be answered from what the open read, if younger than this.
    static constexpr int kOpenReadsMaxAgeMs = 500;

    int open();
    // From now on every read asks the radio, and no write is skipped for a value Hamlib
    // remembers.
    void expireCache();
    void close();
    bool isOpen() const { return open_; }

    // What the radio can do, as the last open found it and its refusals since corrected it.
    const RigAbilities& abilities() const { return abilities_; }
    void setAside(Read read) { abilities_.setAside(read); }

    // vfo 0 reads the current VFO; VFOA or VFOB addresses that VFO directly.
    int readVfo(int32_t& vfo);
    int readFrequency(int32_t vfo, int32_t& hertz);
    int readMode(int32_t vfo, int32_t& modeBit);
    int readSplit(int32_t& split);
    int readRit(int32_t& rit);
    int readPtt(int32_t& rxtx);
    // How long ago the last read began: right after it, how long it took.
    std::chrono::steady_clock::duration sinceReadBegan() const {
        return std::chrono::steady_clock::now() - callStarted_;
    }

    // Carries out one planned command. A function the radio turns out to lack is taken from its
    // abilities.
    int apply(const RadioOp& op);

private:
    bool setConf(const char* name, const std::string& value);
    void setTimeout(std::chrono::milliseconds timeout);
    int writeMode(vfo_t vfo, int32_t modeBit);
    int writeModeAsPassband(rmode_t mode);
    void learnAbsent(const RadioOp& op);

    RIG* rig_ = nullptr;
    int model_ = 0;
    bool open_ = false;
    std::string setupProblem_;
    RigAbilities abilities_;
    // Modes the radio refused while its modes are not known: the next candidate is written.
    rmode_t refusedModes_ = RIG_MODE_NONE;
    std::chrono::steady_clock::time_point callStarted_{};
    // Whether Hamlib's cache, which the open filled, has been set to expire at once.
    bool cacheExpired_ = false;
};

}  // namespace OmniRig
