// sample_stats: the summary of one measurement's samples: how many, median and 95th
// percentile (nearest rank), as the benchmark's table reports them.
#pragma once
#include <vector>

struct sample_stats {
    int count = 0;
    double median = 0;
    double p95 = 0;
};

// An empty sample gives all zeros. The median of an even count is the mean of the middle two.
sample_stats summarise(std::vector<double> samples);
