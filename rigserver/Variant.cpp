#include "Variant.h"

#include <charconv>
#include <cmath>
#include <limits>

namespace OmniRig {

namespace {

std::optional<int32_t> fromDouble(double d) {
    if (!std::isfinite(d)) {
        return std::nullopt;
    }
    // The automation runtime rounds half to even when it coerces a real to an integer.
    const double r = std::nearbyint(d);
    if (r < std::numeric_limits<int32_t>::min() || r > std::numeric_limits<int32_t>::max()) {
        return std::nullopt;
    }
    return static_cast<int32_t>(r);
}

std::optional<int32_t> fromText(const std::string& s) {
    const auto first = s.find_first_not_of(" \t");
    const auto last = s.find_last_not_of(" \t");
    if (first == std::string::npos) {
        return std::nullopt;
    }
    const char* begin = s.data() + first;
    const char* end = s.data() + last + 1;
    int32_t v = 0;
    auto [ptr, ec] = std::from_chars(begin, end, v);
    if (ec != std::errc() || ptr != end) {
        return std::nullopt;
    }
    return v;
}

}  // namespace

std::optional<int32_t> Variant::toInt32() const {
    struct Visitor {
        std::optional<int32_t> operator()(std::monostate) const { return std::nullopt; }
        std::optional<int32_t> operator()(bool b) const { return b ? -1 : 0; }
        std::optional<int32_t> operator()(int32_t i) const { return i; }
        std::optional<int32_t> operator()(double d) const { return fromDouble(d); }
        std::optional<int32_t> operator()(const std::string& s) const { return fromText(s); }
        std::optional<int32_t> operator()(const ByteArray&) const { return std::nullopt; }
    };
    return std::visit(Visitor{}, value_);
}

}  // namespace OmniRig
