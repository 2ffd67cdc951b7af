#include "sequencer.h"

#include <algorithm>
#include <cmath>

double tempo::at(double beat) const {
    double whole = std::floor(beat);
    double frac = beat - whole;
    double bent = frac < 0.5 ? frac / 0.5 * swing : swing + (frac - 0.5) / 0.5 * (1.0 - swing);
    return (whole + bent) * beat_seconds();
}

long tempo::frames(int bars, int rate) const {
    return std::lround(bars * beats_per_bar * beat_seconds() * rate);
}

std::vector<int> chord_tones(chord_kind kind) {
    switch (kind) {
    case MAJOR: return {0, 4, 7};
    case MINOR: return {0, 3, 7};
    case DOM7: return {0, 4, 7, 10};
    case MIN7: return {0, 3, 7, 10};
    case MAJ7: return {0, 4, 7, 11};
    case DIM7: return {0, 3, 6, 9};
    case HALF_DIM: return {0, 3, 6, 10};
    case SUS4: return {0, 5, 7};
    }
    return {0, 4, 7};
}

int nearest(int pc, int around) {
    int base = around - ((around % 12) + 12) % 12 + ((pc % 12) + 12) % 12;
    int best = base;
    for (int cand : {base - 12, base, base + 12})
        if (std::abs(cand - around) < std::abs(best - around)) best = cand;
    return best;
}

std::vector<int> voicing(const chord& c, const std::vector<int>& degrees, int low) {
    std::vector<int> out;
    for (int d : degrees) {
        int pc = (c.root + d) % 12;
        int m = low + ((pc - low) % 12 + 12) % 12;
        out.push_back(m);
    }
    std::sort(out.begin(), out.end());
    return out;
}
