#pragma once
// The one place that reads Hamlib's structures (a model's capabilities, an open handle's state)
// instead of calling its functions. Those structures change between Hamlib versions, even under
// one library name (libhamlib.so.4 from 4.0 to 4.7), so they are read only when the library the
// process runs on is the version it was compiled for; otherwise every answer comes from Hamlib's
// public functions, and what those cannot tell is guessed generously and corrected by the
// radio's first refusal. Compiled for Hamlib 5, whose handle keeps its state private, the
// handle's state is never read.

#include <hamlib/rig.h>

#include <chrono>
#include <cstdint>
#include <string>

#include "HamlibLibrary.h"

namespace OmniRig {

// What Hamlib tells of a model, or of a handle that its open has refined.
struct HamlibFacts {
    // Whether the model's functions were read; when not, each of the flags below that says the
    // model has a function is a guess.
    bool complete = false;
    bool setVfo = true;
    bool getVfo = true;
    bool setFreq = true;
    bool setMode = true;
    bool getMode = true;
    bool setSplit = true;
    bool getSplit = true;
    bool setRit = true;
    bool getRit = true;
    // RIT is a function switched on and off, read and written; else a zero offset is RIT off.
    bool getRitSwitch = false;
    bool setRitSwitch = false;
    bool getPtt = true;
    uint64_t targetable = 0;  // RIG_TARGETABLE_* bits
    int backend = 0;          // RIG_BACKEND_NUM of the model
    bool network = false;     // reached through a server on the network
    // A network model that passes the VFO on to its server (rigctld started with --vfo); without
    // it a read "of VFO B" answers for the current VFO.
    bool passesVfo = false;
    uint64_t modes = 0;  // the Hamlib modes it has; 0 when not known
    uint64_t vfos = 0;   // the RIG_VFO_* it has; 0 when not known
    // The frequencies it receives, lowest and highest; 0 when not known.
    double lowestHz = 0;
    double highestHz = 0;
};

namespace HamlibInternals {

// "4.5.4": the Hamlib whose headers this was compiled with.
std::string builtFor();
// Whether the library in use has the same major and minor version, so its structures are laid
// out as compiled.
bool usable();
// Tests take the path a program on another Hamlib takes.
void forcePublicPath(bool on);

// From the capabilities alone, before any handle: what the model list and the model table show.
HamlibFacts ofModel(int model);
// After rig_open, which for a network model rewrites the capabilities from its server's answer.
HamlibFacts ofOpenRig(RIG* rig, int model);
HamlibLibrary::Model modelOf(int model);

// A mode write past rig_set_mode's question for a mode lock, which servers that do not know it
// answer in a way that leaves Hamlib's flag unset (so the write is skipped at random). Through
// rig_set_mode where the capabilities cannot be read.
int setModeUnasked(RIG* rig, rmode_t mode, pbwidth_t width);

// Switches the VFO. rig_set_vfo first asks the radio's VFO and skips a switch to the VFO it names,
// and before Hamlib 5 the Kenwood backends answer that from a status read (IF) up to half a second
// old that no command renews: the switch back after writing the other VFO would be skipped. So the
// switch goes straight to the backend, and the handle is told of it as rig_set_vfo would tell it.
int selectVfo(RIG* rig, vfo_t vfo);

// Before rig_open, with the time-out each reply of the open may take. Hamlib 4.6 opens the port
// with the model's own time-out, whatever the handle was given (up to 10 s for the network model,
// which also answers a few more questions as it opens): there the model's is set.
void beforeOpen(RIG* rig, std::chrono::milliseconds timeout);

// Before a frequency or mode write. Before Hamlib 4.7 a backend may skip a write its cache says
// is in force whatever the cache's age limit, and the cache's slots for "the current VFO" still
// hold the other VFO's values after a switch (Kenwood backends then leave VFO B's mode as it was,
// or change only its data flag): there the slots are cleared. Later Hamlibs ask the radio once
// the age limit is 0.
void forgetCachedValues(RIG* rig);

}  // namespace HamlibInternals

}  // namespace OmniRig
