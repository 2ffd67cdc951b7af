#include "pacing_hook.h"

#include <SDL_framerate.h>
#include <time.h>

pacing_hook pacing;

double now_seconds() {
    timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return (double)t.tv_sec + (double)t.tv_nsec * 1e-9;
}

std::vector<double> pacing_hook::intervals_ms(int first, int last) const {
    std::vector<double> out;
    if (first < 0) first = 0;
    for (int i = first; i < last && i + 1 < waits(); i++)
        out.push_back((stamps[(size_t)i + 1] - stamps[(size_t)i]) * 1000.0);
    return out;
}

// Replaces the library's wait: no delay, only the stamp. Linked into the bench program,
// this definition wins over SDL_gfx's for every caller in the game and editor libraries.
extern "C" Uint32 SDL_framerateDelay(FPSmanager* manager) {
    (void)manager;
    pacing.stamps.push_back(now_seconds());
    if (pacing.on_wait) pacing.on_wait(pacing.waits());
    return 0;
}
