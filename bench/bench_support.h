// Shared by the benchmarks: the median of a run's figures.
#pragma once

#include <algorithm>
#include <vector>

namespace tamrik_bench {

inline double Median(std::vector<double> values) {
    if (values.empty()) return 0;
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

}  // namespace tamrik_bench
