#pragma once
// A Kenwood TS-590S on a pseudo-terminal: ASCII CAT commands, each ended by ';'. A set command
// gets no answer, a read gets its value, anything the radio does not understand gets "?;".

#include <string>
#include <string_view>

#include "RadioEmulator.h"

namespace OmniRig::Testing {

class KenwoodEmulator : public RadioEmulator {
public:
    KenwoodEmulator();
    ~KenwoodEmulator() override;

protected:
    std::string receive(std::string_view bytes) override;

private:
    // Executes one command (without its ';'); returns the answer, "?;" when it is not understood.
    std::string execute(const std::string& command, int& changed);
    std::string statusAnswer() const;

    std::string pending_;  // the command being received, up to its ';'
    int autoInformation_ = 0;
    bool xit_ = false;
};

}  // namespace OmniRig::Testing
