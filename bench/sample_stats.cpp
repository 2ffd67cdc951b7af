#include "sample_stats.h"

#include <algorithm>
#include <cmath>

sample_stats summarise(std::vector<double> samples) {
    sample_stats s;
    s.count = (int)samples.size();
    if (samples.empty()) return s;
    std::sort(samples.begin(), samples.end());
    size_t n = samples.size();
    s.median = n % 2 ? samples[n / 2] : (samples[n / 2 - 1] + samples[n / 2]) / 2;
    size_t rank = (size_t)std::ceil(0.95 * (double)n);
    s.p95 = samples[rank > 0 ? rank - 1 : 0];
    return s;
}
