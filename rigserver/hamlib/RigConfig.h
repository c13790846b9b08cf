#pragma once
// One rig's settings, from its section ([RIG1] or [RIG2]) of the settings file: MODEL (Hamlib
// model number, 0 for none), PORT (serial device, or host:port for a network model), SPEED
// (serial baud), POLL (poll interval in ms), and for a transverter or IF tap in front of the
// radio LO (the local oscillator's offset in Hz) and LO_INVERTED (TRUE where the mixer inverts).
// A missing section is the Hamlib Dummy rig.

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>

#include "IniFile.h"
#include "Transverter.h"

namespace OmniRig {

struct RigConfig {
    static constexpr int kDummyModel = 1;
    // A change is seen on average half an interval after it is made, so a slave follows its
    // master within about a tenth of a second; and a full poll of a 9600-baud radio (five reads
    // of about 15 ms) still leaves most of the link to writes and to programs sharing it.
    static constexpr int kDefaultPollMs = 200;
    static constexpr int kMinPollMs = 50;
    static constexpr int kMaxPollMs = 500;

    int model = kDummyModel;
    std::string port;  // empty: Hamlib's default for the model
    int speed = 0;     // 0: the model's default
    int pollMs = kDefaultPollMs;
    // Where the rig server shares the radio with the station's other programs through a rigctld
    // of its own: "port" (on 127.0.0.1) or "address:port"; empty: not shared.
    std::string share;
    Transverter transverter;  // none: the radio's frequencies are the ones on the air
    // Why the section cannot be used; the rig is then "not configured" with this reason.
    std::string problem;

    bool configured() const { return model != 0 && problem.empty(); }
    bool shared() const { return !share.empty(); }
    // SHARE's address and port; nothing for a text that names none.
    static std::optional<std::pair<std::string, uint16_t>> shareEndpoint(const std::string& share);
    // The model's name as Hamlib gives it, "NONE" when no usable model is configured.
    std::string typeText() const;
    std::chrono::milliseconds pollInterval() const { return std::chrono::milliseconds(pollMs); }

    static std::string sectionName(int rigNumber);
    static RigConfig read(const IniFile& settings, int rigNumber);
    // The keys of the rig's section to set so that read() gives these settings back: only those
    // whose value differs; with no rig (model 0) only MODEL. Raises IniReadError.
    IniFile::Entries changes(const IniFile& settings, int rigNumber) const;
    // Sets those keys in one replacement of the file. Raises IniWriteError or IniReadError.
    void write(IniFile& settings, int rigNumber) const;

    bool operator==(const RigConfig&) const = default;
};

}  // namespace OmniRig
