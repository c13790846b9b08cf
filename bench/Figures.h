#pragma once
// The figures a benchmark run reports, each with its unit and target. Benchmarks record them
// while they run; the run prints them at the end, one line each, so that a result reads at a
// glance beside Google Benchmark's own table.

#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace Bench {

struct Figure {
    std::string name;
    double value = 0;
    std::string unit;
    // The figure meets its target when it is at most this; no target: reported for reference.
    std::optional<double> atMost;

    bool met() const { return !atMost || value <= *atMost; }
};

// Records a figure; one recorded before under the same name is replaced, so that a benchmark
// that Google Benchmark runs more than once leaves its last result.
void record(Figure figure);
const std::vector<Figure>& figures();

// "<prefix>: radio commands" per second, with its target, then each command's own rate.
void recordRates(const std::string& prefix, const std::vector<std::string>& commands,
                 double seconds, std::optional<double> atMost);

// One line per figure: name, value, unit, target and whether it is met.
void print(std::ostream& out, const std::vector<Figure>& figures);

}  // namespace Bench
