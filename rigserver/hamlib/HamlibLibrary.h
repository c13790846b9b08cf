#pragma once
// What the process shares of Hamlib: it is silenced and its backends are loaded once, before
// the first handle; the model list and names; error texts.

#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace OmniRig {

class HamlibLibrary {
public:
    // How a model reaches its radio, which decides what its PORT setting holds.
    enum class PortKind {
        None,     // nothing to set (the Dummy rig)
        Serial,   // a serial device
        Network,  // host:port
        Other,    // a USB, parallel or other device, given as Hamlib takes it
    };

    struct Model {
        int number;
        std::string manufacturer;
        std::string name;
        PortKind port = PortKind::None;
        // The serial speeds the model takes; Hamlib opens it at the highest by default.
        int minSpeed = 0;
        int maxSpeed = 0;
    };

    // "Hamlib 4.5.4": the library this process runs on, with no backend loaded for it.
    static std::string version();
    // "4.5.4": the Hamlib the program was compiled with.
    static std::string builtFor();
    // Whether the library it runs on is of that major and minor version; where not, the rig
    // server uses Hamlib's public functions alone and learns the rest from the radios.
    static bool runsAsBuilt();

    // Silences Hamlib's logging and loads every backend. Safe to call from any thread, any
    // number of times; every other function here calls it first.
    static void initialise();

    // The model's name as Hamlib gives it, or nothing for a number Hamlib does not know.
    static std::optional<std::string> modelName(int model);
    static std::optional<Model> model(int number);
    // Every model Hamlib offers, in its order (for a settings window). Taken once, when the
    // backends load, so that it never waits for a handle that is being opened.
    static const std::vector<Model>& models();
    // The message of a Hamlib error code, without the debug history rigerror() adds.
    static std::string errorText(int code);

    // Held around rig_init, rig_open, rig_close and rig_cleanup: they touch state Hamlib shares
    // between handles (its list of open rigs; the network model rewrites its capabilities while
    // it opens).
    static std::mutex& handleMutex();
};

}  // namespace OmniRig
