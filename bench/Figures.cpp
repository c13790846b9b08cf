#include "Figures.h"

#include <algorithm>
#include <cmath>
#include <iomanip>
#include <map>
#include <sstream>

namespace Bench {

namespace {

std::vector<Figure>& recorded() {
    static std::vector<Figure> list;
    return list;
}

std::string number(double value) {
    std::ostringstream text;
    const double magnitude = std::abs(value);
    text << std::fixed
         << std::setprecision(magnitude >= 100  ? 0
                              : magnitude >= 10 ? 1
                                                : 2)
         << value;
    return text.str();
}

}  // namespace

void record(Figure figure) {
    auto& list = recorded();
    const auto same = std::find_if(list.begin(), list.end(),
                                   [&](const Figure& f) { return f.name == figure.name; });
    if (same != list.end()) {
        *same = std::move(figure);
    } else {
        list.push_back(std::move(figure));
    }
}

void recordRates(const std::string& prefix, const std::vector<std::string>& commands,
                 double seconds, std::optional<double> atMost) {
    std::map<std::string, int> byName;
    for (const std::string& name : commands) {
        ++byName[name];
    }
    record({prefix + ": radio commands", commands.size() / seconds, "/s", atMost});
    for (const auto& [name, count] : byName) {
        record({prefix + ":   " + name, count / seconds, "/s", std::nullopt});
    }
}

const std::vector<Figure>& figures() {
    return recorded();
}

void print(std::ostream& out, const std::vector<Figure>& list) {
    size_t width = 0;
    for (const Figure& f : list) {
        width = std::max(width, f.name.size());
    }
    for (const Figure& f : list) {
        const std::string value = number(f.value) + " " + f.unit;
        out << std::left << std::setw(static_cast<int>(width) + 2) << f.name << std::right
            << std::setw(12) << value;
        if (f.atMost) {
            out << "   target <= " << number(*f.atMost) << " " << f.unit
                << (f.met() ? "   met" : "   MISSED");
        }
        out << "\n";
    }
    out.flush();
}

}  // namespace Bench
