#pragma once
// One Hamlib handle and the few calls the rig server makes on it, in the contract's terms. Owned
// and used by one worker thread only. Every call is bounded by the port's time-out.

#include <hamlib/rig.h>

#include <chrono>
#include <cstdint>
#include <string>

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
        Link,     // no answer, a broken stream or a closed port: close and open again
    };
    static Fault classify(int code);

    // The functions a poll reads, each dropped once the model shows it lacks it.
    enum class Read { Vfo, OtherFrequency, Mode, OtherMode, Split, Rit, Ptt, Count };

    explicit RigLink(const RigConfig& config);
    ~RigLink();
    RigLink(const RigLink&) = delete;
    RigLink& operator=(const RigLink&) = delete;

    // Why the settings could not be given to Hamlib; empty when they could.
    const std::string& setupProblem() const { return setupProblem_; }
    // The port as the status text names it.
    std::string portName() const;

    // Until expireCache(), reads may be answered from what the open read, if younger than this.
    static constexpr int kOpenReadsMaxAgeMs = 500;

    int open();
    // From now on every read asks the radio.
    void expireCache();
    void close();
    bool isOpen() const { return open_; }

    bool has(Read read) const { return has_[static_cast<int>(read)]; }
    void drop(Read read) { has_[static_cast<int>(read)] = false; }
    // Whether the VFO not in use is read directly, without a switch.
    bool readsOtherVfo() const { return has(Read::OtherFrequency); }

    // vfo 0 reads the current VFO; VFOA or VFOB addresses that VFO directly.
    int readVfo(int32_t& vfo);
    int readFrequency(int32_t vfo, int32_t& hertz);
    int readMode(int32_t vfo, int32_t& modeBit);
    int readSplit(int32_t& split);
    int readRit(int32_t& rit);
    int readPtt(int32_t& rxtx);

    int apply(const RadioOp& op);

private:
    bool setConf(const char* name, const std::string& value);
    void setTimeout(std::chrono::milliseconds timeout);
    void discoverFunctions();
    int selectVfo(vfo_t vfo);
    void forgetCachedValues();
    int writeModeToGqrx(rmode_t mode);

    RIG* rig_ = nullptr;
    bool open_ = false;
    std::string setupProblem_;
    bool has_[static_cast<int>(Read::Count)] = {};
    bool ritByFunction_ = false;
    // gqrx's remote port, behind the network model: it takes a mode write's width as the
    // passband itself.
    bool gqrx_ = false;
};

}  // namespace OmniRig
