// pacing_hook: frame pacing switched off for the benchmark. The bench program defines
// SDL_gfx's SDL_framerateDelay itself, so every screen that waits for its frame-rate manager
// (logo fades, menus, character select) runs flat out and leaves a time stamp instead. The
// cost of one frame of such a loop is the time between two consecutive waits. A callback
// runs at every wait, for example to end a screen after enough frames.
//
// Ownership: one global record; the stamps grow until cleared.
#pragma once
#include <vector>

struct pacing_hook {
    std::vector<double> stamps;        // seconds on the monotonic clock, one per wait
    void (*on_wait)(int waits) = nullptr; // called with the number of waits so far

    void clear() { stamps.clear(); on_wait = nullptr; }
    int waits() const { return (int)stamps.size(); }
    // Milliseconds between wait i and wait i + 1, for i in [first, last).
    std::vector<double> intervals_ms(int first, int last) const;
};

extern pacing_hook pacing;

// Seconds on the monotonic clock.
double now_seconds();
