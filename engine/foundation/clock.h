// The engine's millisecond clock and random numbers. Both default to the real thing
// (SDL_GetTicks, the C library's rand) and can be replaced by a test.
#pragma once
#include <cstdint>

typedef uint32_t (*clock_fn)(void);
typedef int (*random_fn)(void);

uint32_t clock_ticks();           // milliseconds, as SDL_GetTicks
void clock_set_source(clock_fn);  // null restores SDL_GetTicks

int random_next();                // 0..RAND_MAX, as rand()
void random_set_source(random_fn); // null restores rand
