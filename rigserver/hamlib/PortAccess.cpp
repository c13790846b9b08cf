#include "PortAccess.h"

#include <fcntl.h>
#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <vector>

namespace OmniRig {

namespace {

std::string groupName(gid_t gid) {
    std::vector<char> buffer(4096);
    group entry{};
    group* found = nullptr;
    if (::getgrgid_r(gid, &entry, buffer.data(), buffer.size(), &found) != 0 || !found) {
        return {};
    }
    return found->gr_name;
}

bool inThisSession(gid_t gid) {
    if (::getegid() == gid) {
        return true;
    }
    std::vector<gid_t> groups(static_cast<size_t>(std::max(::getgroups(0, nullptr), 0)));
    const int count = ::getgroups(static_cast<int>(groups.size()), groups.data());
    return count > 0 &&
           std::find(groups.begin(), groups.begin() + count, gid) != groups.begin() + count;
}

// Whether the group file names this account in the group: added, but not yet logged in again.
bool inGroupFile(gid_t gid) {
    std::vector<char> buffer(4096);
    passwd entry{};
    passwd* found = nullptr;
    if (::getpwuid_r(::geteuid(), &entry, buffer.data(), buffer.size(), &found) != 0 || !found) {
        return false;
    }
    int count = 64;
    std::vector<gid_t> groups(static_cast<size_t>(count));
    if (::getgrouplist(found->pw_name, found->pw_gid, groups.data(), &count) < 0) {
        groups.resize(static_cast<size_t>(count));
        if (::getgrouplist(found->pw_name, found->pw_gid, groups.data(), &count) < 0) {
            return false;
        }
    }
    return std::find(groups.begin(), groups.begin() + count, gid) != groups.begin() + count;
}

}  // namespace

std::string PortAccess::problem(const std::string& device) {
    if (device.empty() || device.front() != '/') {
        return {};
    }
    struct stat info {};
    if (::stat(device.c_str(), &info) != 0) {
        return explain(device, errno, {}, false, false);
    }
    // Asked before any open: opening a serial port raises its control lines, and some
    // interfaces key the radio on them.
    int error = ::access(device.c_str(), R_OK | W_OK) == 0 ? 0 : errno;
    if (error == 0) {
        const int fd = ::open(device.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
        if (fd >= 0) {
            ::close(fd);
            return {};
        }
        error = errno;
    }
    const gid_t gid = info.st_gid;
    const bool member = inThisSession(gid);
    return explain(device, error, gid != 0 ? groupName(gid) : std::string(), member,
                   !member && inGroupFile(gid));
}

std::string PortAccess::explain(const std::string& device, int error, const std::string& group,
                                bool member, bool memberSinceLogin) {
    switch (error) {
        case ENOENT:
        case ENODEV:
        case ENXIO:
            return device +
                   " (no such port: check that the radio or its cable is plugged in, and the "
                   "port's name; /dev/serial/by-id lists the ports there are)";
        case EACCES:
        case EPERM:
            if (group.empty() || member) {
                return device + " (permission denied: this account may not open it)";
            }
            if (memberSinceLogin) {
                return device + " (permission denied: this account was added to the group " +
                       group + " since it logged in; log in again)";
            }
            return device + " (permission denied: this account is not in the group " + group +
                   "; add it and log in again)";
        case EBUSY:
            return device + " (held by another program: end the program that uses it first)";
        default:
            return device + " (" + std::strerror(error) + ")";
    }
}

}  // namespace OmniRig
