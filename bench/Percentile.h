#pragma once
// The nearest-rank percentile of a set of samples: the value at or below which the given
// fraction of them lies.

#include <algorithm>
#include <cmath>
#include <vector>

namespace Bench {

inline double percentile(std::vector<double> samples, double fraction) {
    if (samples.empty()) {
        return 0;
    }
    std::sort(samples.begin(), samples.end());
    const auto rank =
        static_cast<size_t>(std::ceil(fraction * static_cast<double>(samples.size())));
    return samples[std::clamp<size_t>(rank, 1, samples.size()) - 1];
}

}  // namespace Bench
