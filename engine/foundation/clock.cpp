#include "foundation/clock.h"

#include <SDL.h>
#include <cstdlib>

static clock_fn g_clock = nullptr;
static random_fn g_random = nullptr;

uint32_t clock_ticks() { return g_clock ? g_clock() : SDL_GetTicks(); }
void clock_set_source(clock_fn fn) { g_clock = fn; }

int random_next() { return g_random ? g_random() : rand(); }
void random_set_source(random_fn fn) { g_random = fn; }
