#include "foundation/clock.h"

#include <SDL.h>
#include <cstdlib>

static clock_fn g_clock = nullptr;
static random_fn g_random = nullptr;
static random_fn g_cosmetic = nullptr;

uint32_t clock_ticks() { return g_clock ? g_clock() : SDL_GetTicks(); }
void clock_set_source(clock_fn fn) { g_clock = fn; }
clock_fn clock_source() { return g_clock; }

int random_next() { return g_random ? g_random() : rand(); }
void random_set_source(random_fn fn) { g_random = fn; }
random_fn random_source() { return g_random; }

int random_cosmetic() { return g_cosmetic ? g_cosmetic() : rand(); }
void random_set_cosmetic_source(random_fn fn) { g_cosmetic = fn; }
