// The engine's millisecond clock and random numbers. Both default to the real thing
// (SDL_GetTicks, the C library's rand) and can be replaced: by a test, and during a match
// by the match's own frame clock and seeded generator, so a match repeats exactly.
// What is only shown and never decides anything draws from the separate cosmetic source,
// so drawing never changes the numbers the rules get.
#pragma once
#include <cstdint>

typedef uint32_t (*clock_fn)(void);
typedef int (*random_fn)(void);

uint32_t clock_ticks();           // milliseconds, as SDL_GetTicks
void clock_set_source(clock_fn);  // null restores SDL_GetTicks
clock_fn clock_source();          // the replacement in force, or null

int random_next();                // 0..RAND_MAX, as rand()
void random_set_source(random_fn); // null restores rand
random_fn random_source();        // the replacement in force, or null

int random_cosmetic();                      // 0..RAND_MAX, as rand()
void random_set_cosmetic_source(random_fn); // null restores rand
