#include "SerialDevices.h"

#include <algorithm>
#include <fstream>
#include <set>

namespace OmniRig {

namespace fs = std::filesystem;

namespace {

std::vector<fs::path> sortedEntries(const fs::path& directory) {
    std::vector<fs::path> entries;
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(directory, ec)) {
        entries.push_back(entry.path());
    }
    std::sort(entries.begin(), entries.end());
    return entries;
}

// The kernel lists every legacy ttyS it reserved; type 0 means no UART answers there.
bool hasUart(const fs::path& sysEntry) {
    std::ifstream in(sysEntry / "type");
    int type = 0;
    return !(in >> type) || type != 0;
}

}  // namespace

std::vector<std::string> SerialDevices::present(const fs::path& dev, const fs::path& sys) {
    std::vector<std::string> devices;
    std::set<fs::path> covered;
    std::error_code ec;
    for (const fs::path& link : sortedEntries(dev / "serial" / "by-id")) {
        const fs::path target = fs::canonical(link, ec);
        if (!ec) {
            covered.insert(target);
            devices.push_back(link.string());
        }
    }
    for (const fs::path& entry : sortedEntries(sys)) {
        const std::string name = entry.filename().string();
        const fs::path device = dev / name;
        if (!fs::exists(entry / "device", ec) || !fs::exists(device, ec)) {
            continue;
        }
        if (name.starts_with("ttyS") && !hasUart(entry)) {
            continue;
        }
        if (!covered.contains(fs::canonical(device, ec))) {
            devices.push_back(device.string());
        }
    }
    return devices;
}

}  // namespace OmniRig
