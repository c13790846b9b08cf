#pragma once
// An Icom IC-7300 on a pseudo-terminal, at CI-V address 0x94: binary frames FE FE to from
// command [data] FD. Every frame is echoed back first, as the radio's USB port does with its echo
// setting on; then a set gets FB (accepted) or FA (refused), a read gets its value.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "RadioEmulator.h"

namespace OmniRig::Testing {

class IcomEmulator : public RadioEmulator {
public:
    static constexpr uint8_t kAddress = 0x94;

    IcomEmulator();
    ~IcomEmulator() override;

protected:
    std::string receive(std::string_view bytes) override;

private:
    // Executes one command (command byte and data); returns the reply's command and data,
    // FA when refused, or nothing for the transceive commands, which are not answered.
    std::string execute(const std::string& body, int& changed);
    std::string modeBytes(size_t vfo, bool withData) const;
    std::string filterWidth(size_t vfo) const;
    bool applyMode(size_t vfo, uint8_t icomMode, int data, int filter);

    std::string pending_;                  // bytes of the frame being received
    std::array<uint8_t, 2> filter_{1, 1};  // FIL1..FIL3 per VFO
};

}  // namespace OmniRig::Testing
