#pragma once
// Why a serial device will not open, in the operator's words and with what to do about it: a
// port that is not there, one closed to this account (on Debian a USB serial adapter belongs to
// the group dialout, which a new account is not in), one another program holds. Hamlib says only
// "IO error" for all of them.

#include <string>

namespace OmniRig {

class PortAccess {
public:
    // The cause and the remedy, or nothing when the device opens (or is no device path).
    static std::string problem(const std::string& device);

private:
    // The words for an open that failed with `error` on a device of group `group` (empty where
    // it has none); `member`: this account is in that group, `memberSinceLogin`: it is in it
    // in the group file but not yet in this session.
    static std::string explain(const std::string& device, int error, const std::string& group,
                               bool member, bool memberSinceLogin);
};

}  // namespace OmniRig
