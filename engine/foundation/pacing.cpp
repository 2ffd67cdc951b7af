#include "foundation/pacing.h"

#include <csignal>

// Set from SDL's event filter, which may run inside its SIGTERM handler.
static volatile sig_atomic_t quit_seen = 0;

static const Uint32 kSlice = 10;    // ms: how soon a quit is noticed in a long wait
static const Uint32 kLongWait = 50; // ms: shorter waits are taken whole, as SDL's own

static int SDLCALL note_quit(const SDL_Event* e) {
    if (e->type == SDL_QUIT) quit_seen = 1;
    return 1; // every event stays in the queue for the screens
}

static bool watching = false;

// Setting a video mode starts SDL's event loop afresh, which drops the filter.
static void keep_watching() {
    if (watching && SDL_GetEventFilter() != note_quit) SDL_SetEventFilter(note_quit);
}

void quit_watch_start() {
    quit_seen = 0;
    watching = true;
    SDL_SetEventFilter(note_quit);
}

bool quit_requested() {
    keep_watching();
    return quit_seen != 0;
}

void quit_taken() { quit_seen = 0; }

// Sleeps until the clock reaches target or a quit arrives; false on a quit.
static bool sleep_until(Uint32 target) {
    for (;;) {
        if (quit_seen) return false;
        Uint32 now = SDL_GetTicks();
        if ((Sint32)(target - now) <= (Sint32)kSlice) return true;
        SDL_Delay(kSlice);
        SDL_PumpEvents();
    }
}

void pace_frame(FPSmanager* pacer) {
    if (!pacer || quit_requested()) return;
    // The frame limiter's own target for the coming frame; the last slice is left to it.
    Uint32 target = pacer->baseticks + (Uint32)((float)(pacer->framecount + 1) * pacer->rateticks);
    if (pacer->rateticks > kLongWait && !sleep_until(target)) return;
    SDL_framerateDelay(pacer);
}

void pace_delay(Uint32 ms) {
    if (quit_requested()) return;
    Uint32 end = SDL_GetTicks() + ms;
    if (ms > kLongWait && !sleep_until(end)) return;
    Uint32 now = SDL_GetTicks();
    if ((Sint32)(end - now) > 0) SDL_Delay(end - now);
}
