#pragma once
// The value that travels in the rig server's events and custom commands: nothing, a number, a
// text, or a one-dimensional byte array with its bounds.

#include <cstdint>
#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace OmniRig {

struct ByteArray {
    int32_t lowBound = 0;
    std::vector<uint8_t> data;

    int32_t highBound() const { return lowBound + static_cast<int32_t>(data.size()) - 1; }
    bool operator==(const ByteArray&) const = default;
};

class Variant {
public:
    using Value = std::variant<std::monostate, bool, int32_t, double, std::string, ByteArray>;

    Variant() = default;
    Variant(bool v) : value_(v) {}
    Variant(int32_t v) : value_(v) {}
    Variant(double v) : value_(v) {}
    Variant(std::string v) : value_(std::move(v)) {}
    Variant(const char* v) : value_(std::string(v)) {}
    Variant(ByteArray v) : value_(std::move(v)) {}

    bool isEmpty() const { return std::holds_alternative<std::monostate>(value_); }
    const ByteArray* byteArray() const { return std::get_if<ByteArray>(&value_); }
    const Value& value() const { return value_; }

    // The value as a 32-bit integer, as the automation runtime would coerce it; nothing when it
    // holds no number (an empty value, a byte array, a text that is no whole number, or a number
    // out of range).
    std::optional<int32_t> toInt32() const;

    bool operator==(const Variant&) const = default;

private:
    Value value_;
};

}  // namespace OmniRig
