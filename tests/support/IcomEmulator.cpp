#include "IcomEmulator.h"

#include <algorithm>
#include <cstdio>
#include <utility>

namespace OmniRig::Testing {

namespace {

constexpr char kOk = '\xFB';
constexpr char kRefused = '\xFA';
constexpr size_t kLongestFrame = 64;

struct IcomMode {
    RadioMode mode;
    uint8_t code;
    bool data;
};

constexpr IcomMode kModes[] = {
    {RadioMode::LSB, 0x00, false},   {RadioMode::USB, 0x01, false},
    {RadioMode::AM, 0x02, false},    {RadioMode::CW, 0x03, false},
    {RadioMode::RTTY, 0x04, false},  {RadioMode::FM, 0x05, false},
    {RadioMode::CWR, 0x07, false},   {RadioMode::RTTYR, 0x08, false},
    {RadioMode::PKTLSB, 0x00, true}, {RadioMode::PKTUSB, 0x01, true},
    {RadioMode::PKTFM, 0x05, true},
};

const IcomMode& icomMode(RadioMode mode) {
    for (const IcomMode& m : kModes) {
        if (m.mode == mode) {
            return m;
        }
    }
    return kModes[1];
}

std::string hex(std::string_view bytes) {
    std::string text;
    char digits[4];
    for (const char c : bytes) {
        std::snprintf(digits, sizeof digits, text.empty() ? "%02X" : " %02X",
                      static_cast<unsigned>(static_cast<uint8_t>(c)));
        text += digits;
    }
    return text;
}

// Least significant pair of digits first, as CI-V sends frequencies and offsets.
std::string toBcd(int64_t value, int bytes) {
    std::string out;
    for (int i = 0; i < bytes; ++i, value /= 100) {
        out += static_cast<char>((value % 10) | (value / 10 % 10) << 4);
    }
    return out;
}

// -1 when a nibble is not a decimal digit.
int64_t fromBcd(std::string_view bytes) {
    int64_t value = 0;
    for (size_t i = bytes.size(); i-- > 0;) {
        const auto b = static_cast<uint8_t>(bytes[i]);
        if ((b >> 4) > 9 || (b & 0x0F) > 9) {
            return -1;
        }
        value = value * 100 + (b >> 4) * 10 + (b & 0x0F);
    }
    return value;
}

}  // namespace

IcomEmulator::IcomEmulator() {
    start();
}

IcomEmulator::~IcomEmulator() {
    stop();
}

std::string IcomEmulator::receive(std::string_view bytes) {
    std::string out;
    for (const char c : bytes) {
        pending_ += c;
        if (static_cast<uint8_t>(c) != 0xFD) {
            if (pending_.size() > kLongestFrame) {
                pending_.clear();
            }
            continue;
        }
        std::string frame;
        frame.swap(pending_);
        const size_t start = frame.find("\xFE\xFE");
        if (start == std::string::npos) {
            continue;
        }
        // A wake-up preamble is a run of FE before the frame proper.
        size_t to = start;
        while (to < frame.size() && static_cast<uint8_t>(frame[to]) == 0xFE) {
            ++to;
        }
        if (frame.size() - to < 4) {
            continue;
        }
        const std::string body = frame.substr(to + 2, frame.size() - to - 3);
        const std::string text = hex(body);
        if (ignored(text)) {
            record(text);
            continue;
        }
        out += frame.substr(start);
        // The echo is the bus's, every frame has it; only the radio's own address gets answered.
        const auto address = static_cast<uint8_t>(frame[to]);
        if (address != kAddress && address != 0x00) {
            record(text);
            continue;
        }
        int changed = -1;
        int arrivedOn = state_.vfo;
        const std::string reply = execute(body, changed);
        // The log keeps the VFO the command arrived on, not the one it selected.
        std::swap(state_.vfo, arrivedOn);
        record(text, changed);
        std::swap(state_.vfo, arrivedOn);
        if (!reply.empty()) {
            out += std::string("\xFE\xFE") + frame[to + 1] + static_cast<char>(kAddress) + reply +
                   '\xFD';
        }
    }
    return out;
}

std::string IcomEmulator::modeBytes(size_t vfo, bool withData) const {
    const IcomMode& m = icomMode(state_.mode[vfo]);
    std::string out(1, static_cast<char>(m.code));
    if (withData) {
        out += static_cast<char>(m.data ? 1 : 0);
    }
    return out + static_cast<char>(filter_[vfo]);
}

// The IC-7300's default widths of FIL1..FIL3 by mode code, as the index 1A 03 gives: 50 Hz steps
// up to 500 Hz then 100 Hz steps (SSB, CW, RTTY), 200 Hz steps (AM). FM's filters are fixed: FA.
std::string IcomEmulator::filterWidth(size_t vfo) const {
    static constexpr uint8_t kWidths[9][3] = {{34, 28, 22}, {34, 28, 22}, {44, 29, 14},
                                              {16, 9, 4},   {28, 9, 4},   {},
                                              {},           {16, 9, 4},   {28, 9, 4}};
    const uint8_t code = icomMode(state_.mode[vfo]).code;
    if (code == 0x05) {
        return std::string(1, kRefused);
    }
    return "\x1A\x03" + toBcd(kWidths[code][filter_[vfo] - 1], 1);
}

// data: 0 off, 1 on, -1 as it was; filter: 1..3, 0 as it was.
bool IcomEmulator::applyMode(size_t vfo, uint8_t icomCode, int data, int filter) {
    if (data < 0) {
        data = icomMode(state_.mode[vfo]).data;
    }
    if (data > 1 || filter < 0 || filter > 3) {
        return false;
    }
    for (const IcomMode& m : kModes) {
        if (m.code == icomCode && m.data == (data == 1)) {
            state_.mode[vfo] = m.mode;
            if (filter != 0) {
                filter_[vfo] = static_cast<uint8_t>(filter);
            }
            return true;
        }
    }
    return false;
}

std::string IcomEmulator::execute(const std::string& body, int& changed) {
    RadioState& s = state_;
    const auto current = static_cast<size_t>(s.vfo);
    const size_t other = 1 - current;
    const std::string_view data = std::string_view(body).substr(1);
    const auto at = [&](size_t i) { return i < data.size() ? static_cast<uint8_t>(data[i]) : -1; };
    const std::string ok(1, kOk);
    const std::string refused(1, kRefused);
    // A switch: a read gets its state, 00 or 01 after the same bytes sets it.
    const auto toggle = [&](bool& value, size_t n) {
        if (data.size() == n) {
            return body + static_cast<char>(value ? 1 : 0);
        }
        if (data.size() != n + 1 || at(n) > 1) {
            return refused;
        }
        value = at(n) == 1;
        return ok;
    };
    switch (static_cast<uint8_t>(body[0])) {
        case 0x00:  // transceive: the radio takes it silently
        case 0x05: {
            const int64_t hz = data.size() == 5 ? fromBcd(data) : -1;
            if (hz < 0) {
                return refused;
            }
            s.hz[current] = hz;
            changed = s.vfo;
            return body[0] == 0x00 ? std::string() : ok;
        }
        case 0x01:
        case 0x06:
            // A plain mode change leaves data mode off.
            if (data.empty() || data.size() > 2 ||
                !applyMode(current, at(0), 0, std::max(0, at(1)))) {
                return refused;
            }
            changed = s.vfo;
            return body[0] == 0x01 ? std::string() : ok;
        case 0x03:
            return data.empty() ? body + toBcd(s.hz[current], 5) : refused;
        case 0x04:
            return data.empty() ? body + modeBytes(current, false) : refused;
        case 0x07:
            if (data.empty()) {
                return ok;  // VFO rather than memory mode
            }
            if (data.size() != 1) {
                return refused;
            }
            switch (at(0)) {
                case 0x00:
                case 0x01:
                    s.vfo = at(0);
                    return ok;
                case 0xA0:  // A=B: the shown VFO copied to the other
                    s.hz[other] = s.hz[current];
                    s.mode[other] = s.mode[current];
                    filter_[other] = filter_[current];
                    changed = 1 - s.vfo;
                    return ok;
                case 0xB0:
                    std::swap(s.hz[0], s.hz[1]);
                    std::swap(s.mode[0], s.mode[1]);
                    std::swap(filter_[0], filter_[1]);
                    changed = s.vfo;
                    return ok;
            }
            return refused;  // no sub receiver: 07 D0/D1 are not known
        case 0x0F:
            return toggle(s.split, 0);
        case 0x18:  // switched off, it falls silent once it has acknowledged
            if (data.empty()) {
                return body + '\x01';
            }
            s.powered = at(0) != 0x00;
            return ok;
        case 0x19:
            return data == std::string_view("\x00", 1) ? body + static_cast<char>(kAddress)
                                                       : refused;
        case 0x1A:
            if (at(0) == 0x03) {
                return data.size() == 1 ? filterWidth(current) : ok;
            }
            if (at(0) != 0x06) {
                return refused;
            }
            if (data.size() == 1) {
                const IcomMode& m = icomMode(s.mode[current]);
                return body + static_cast<char>(m.data) +
                       static_cast<char>(m.data ? filter_[current] : 0);
            }
            if (data.size() > 3 ||
                !applyMode(current, icomMode(s.mode[current]).code, at(1), std::max(0, at(2)))) {
                return refused;
            }
            changed = s.vfo;
            return ok;
        case 0x1C:
            return at(0) == 0x00 ? toggle(s.ptt, 1) : refused;
        case 0x21:
            if (at(0) == 0x00 && data.size() == 1) {
                const int offset = s.ritOffset < 0 ? -s.ritOffset : s.ritOffset;
                return body + toBcd(offset, 2) + static_cast<char>(s.ritOffset < 0 ? 1 : 0);
            }
            if (at(0) == 0x00 && data.size() == 4 && at(3) <= 1) {
                const int64_t offset = fromBcd(data.substr(1, 2));
                if (offset < 0) {
                    return refused;
                }
                s.ritOffset = static_cast<int>(at(3) == 1 ? -offset : offset);
                return ok;
            }
            return at(0) == 0x01 ? toggle(s.rit, 1) : refused;
        case 0x25: {  // 00 the selected VFO, 01 the other
            if (data.empty() || at(0) > 1) {
                return refused;
            }
            const size_t vfo = at(0) == 0 ? current : other;
            if (data.size() == 1) {
                return body + toBcd(s.hz[vfo], 5);
            }
            const int64_t hz = data.size() == 6 ? fromBcd(data.substr(1)) : -1;
            if (hz < 0) {
                return refused;
            }
            s.hz[vfo] = hz;
            changed = static_cast<int>(vfo);
            return ok;
        }
        case 0x26: {
            if (data.empty() || at(0) > 1) {
                return refused;
            }
            const size_t vfo = at(0) == 0 ? current : other;
            if (data.size() == 1) {
                return body + modeBytes(vfo, true);
            }
            if (data.size() < 3 || data.size() > 4 ||
                !applyMode(vfo, at(1), at(2), std::max(0, at(3)))) {
                return refused;
            }
            changed = static_cast<int>(vfo);
            return ok;
        }
    }
    return refused;
}

}  // namespace OmniRig::Testing
