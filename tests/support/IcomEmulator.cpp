#include "IcomEmulator.h"

#include <cstdio>

namespace OmniRig::Testing {

namespace {

constexpr char kAddress = '\x94';
const std::string kOk = "\xFB";
const std::string kRefused = "\xFA";

// The mode byte, and data mode on or off, of each mode.
struct IcomMode {
    RadioMode mode;
    char code;
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

// Five bytes of BCD, the least significant pair of digits first; -1 when not BCD.
std::string toBcd(int64_t hz) {
    std::string out;
    for (int i = 0; i < 5; ++i, hz /= 100) {
        out += static_cast<char>((hz % 10) | (hz / 10 % 10) << 4);
    }
    return out;
}
int64_t fromBcd(std::string_view bytes) {
    int64_t value = 0;
    for (size_t i = bytes.size(); i-- > 0;) {
        const auto b = static_cast<uint8_t>(bytes[i]);
        if (bytes.size() != 5 || (b >> 4) > 9 || (b & 0x0F) > 9) {
            return -1;
        }
        value = value * 100 + (b >> 4) * 10 + (b & 0x0F);
    }
    return value;
}

// One command: its byte, then its data. Only what Hamlib's backend sends for the program's
// calls is known; the rest is refused, as the radio refuses what it does not know.
std::string execute(RadioState& s, const std::string& body, int& changed) {
    const auto current = static_cast<size_t>(s.vfo);
    const std::string_view data = std::string_view(body).substr(1);
    const auto at = [&](size_t i) { return i < data.size() ? static_cast<uint8_t>(data[i]) : -1; };
    // 00 the VFO in use, 01 the other.
    const size_t vfo = at(0) == 1 ? 1 - current : current;
    // A switch: a read gets its state, 00 or 01 after the same bytes sets it.
    const auto toggle = [&](bool& value, size_t n) {
        if (data.size() == n) {
            return body + static_cast<char>(value);
        }
        if (data.size() != n + 1 || at(n) > 1) {
            return kRefused;
        }
        value = at(n) == 1;
        return kOk;
    };
    switch (body[0]) {
        case 0x03:  // the frequency in use, which Hamlib's open also reads to find the echo
            return body + toBcd(s.hz[current]);
        case 0x07:  // 00 VFO A, 01 VFO B
            if (data.size() != 1 || at(0) > 1) {
                return kRefused;
            }
            s.vfo = at(0);
            return kOk;
        case 0x0F:
            return toggle(s.split, 0);
        // 1A 03: the filter's width, always index 34 (3 kHz); FM's filters have none.
        case 0x1A:
            if (at(0) != 0x03 || s.mode[current] == RadioMode::FM) {
                return kRefused;
            }
            return data.size() == 1 ? body + '\x34' : kOk;
        case 0x1C:
            return at(0) == 0x00 ? toggle(s.ptt, 1) : kRefused;
        case 0x21:  // 01: RIT on or off
            return at(0) == 0x01 ? toggle(s.rit, 1) : kRefused;
        case 0x25: {  // a VFO's frequency
            if (at(0) > 1 || (data.size() != 1 && fromBcd(data.substr(1)) < 0)) {
                return kRefused;
            }
            if (data.size() == 1) {
                return body + toBcd(s.hz[vfo]);
            }
            s.hz[vfo] = fromBcd(data.substr(1));
            changed = static_cast<int>(vfo);
            return kOk;
        }
        case 0x26: {  // a VFO's mode, data mode and filter (always FIL1 here)
            if (at(0) > 1) {
                return kRefused;
            }
            if (data.size() == 1) {
                const IcomMode& m = icomMode(s.mode[vfo]);
                return body + m.code + static_cast<char>(m.data) + '\x01';
            }
            for (const IcomMode& m : kModes) {
                if (data.size() >= 3 && m.code == at(1) && m.data == (at(2) == 1)) {
                    s.mode[vfo] = m.mode;
                    changed = static_cast<int>(vfo);
                    return kOk;
                }
            }
            return kRefused;
        }
    }
    return kRefused;
}

}  // namespace

IcomEmulator::IcomEmulator()
    : RadioEmulator([this, pending = std::string()](std::string_view bytes) mutable {
          std::string out;
          for (const char c : bytes) {
              pending += c;
              if (c != '\xFD') {
                  continue;
              }
              // FE FE to from command [data] FD, perhaps after a longer run of FE.
              std::string frame;
              frame.swap(pending);
              const size_t to = frame.find_first_not_of('\xFE');
              if (to < 2 || frame.size() - to < 4) {
                  continue;
              }
              const std::string body = frame.substr(to + 2, frame.size() - to - 3);
              out += handle(hex(body), [&](int& changed) {
                  // The bus echoes every frame; only the radio's own address gets an answer.
                  if (frame[to] != kAddress) {
                      return frame;
                  }
                  return frame + "\xFE\xFE" + frame[to + 1] + kAddress +
                         execute(state_, body, changed) + '\xFD';
              });
          }
          return out;
      }) {}

}  // namespace OmniRig::Testing
