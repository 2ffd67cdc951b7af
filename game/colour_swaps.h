// colour_swaps: the colour-swap file that re-colours the second copy of a fighter picked by
// both players. It holds "colors" pairs, "color%dsource" and "color%dtarget", each three
// decimal numbers "r,g,b" from 0 to 255. A pair that is missing or malformed is skipped.
#pragma once
#include <SDL.h>
#include <cstdint>
#include <string>
#include <vector>

#include "animation/anim_mgr.h"

// Pairs read from more than this many entries are ignored: each pair costs a pass over
// every picture of the fighter.
enum { MAX_SWAP_COLOURS = 1024 };

// The file that re-colours every fighter picked a second time.
extern const char* const COLOUR_SWAP_FILE;

// "r,g,b" with three whole numbers from 0 to 255 (blanks around the numbers allowed);
// false for anything else.
bool parse_colour(const char* text, uint8_t rgb[3]);

// Appends the file's pairs, mapped to pixel values of format, to out. Returns the number
// appended.
struct check_report;
// Checks a colour-swap file: "colors" and each pair given as "r,g,b".
void check_colour_swap_file(check_report& report, const std::string& path);

int read_colour_swaps(const char* path, const SDL_PixelFormat* format,
                      std::vector<colour_swap>& out);
