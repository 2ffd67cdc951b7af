// The result screen after every match played to its end: who won, the rounds each side
// took and the best combo. It takes only a new press made at least RESULT_WAIT_MS after it
// appears: a key still held from the fight, or pressed within that time, leaves it
// showing. A closed window leaves it at once. The demo, with nobody at the keys, also goes
// on by itself after RESULT_DEMO_SECONDS.
#pragma once
#include <cstddef>

struct game_resources;
struct match_summary;

enum { RESULT_WAIT_MS = 1000, RESULT_DEMO_SECONDS = 5, RESULT_LINE = 96 };

// The screen's three lines: "Tamsin wins" (or "A draw"), "Rounds Tamsin 2 - 1 Mirelle",
// "Best combo 4 hits by Tamsin" (or "Best combo none").
void result_lines(const match_summary& m, char (*lines)[RESULT_LINE]);
// Shows the screen until a press counts (see above).
void result_screen(game_resources& r, const match_summary& m);
