#pragma once
// The serial devices present, for the settings window's port list.

#include <filesystem>
#include <string>
#include <vector>

namespace OmniRig {

class SerialDevices {
public:
    // By their stable names under <dev>/serial/by-id where they have one (a USB adapter keeps
    // it whatever order it was plugged in), then the others by their device names. A built-in
    // port counts only with a UART behind it.
    static std::vector<std::string> present(const std::filesystem::path& dev = "/dev",
                                            const std::filesystem::path& sys = "/sys/class/tty");
};

}  // namespace OmniRig
