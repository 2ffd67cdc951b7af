// A picture's rows as runs draw exactly what sampling every screen pixel draws, at any zoom
// and position; keyed runs leave the screen as it was, and rows too busy for runs have none.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "images/row_runs.h"

namespace {

const uint32_t KEY = 0x00FF00;

// Row 0: long runs with keyed gaps; row 1: a single colour; row 2: a new colour every pixel.
SDL_Surface* striped(int w) {
    SDL_Surface* s = SDL_CreateRGBSurface(SDL_SWSURFACE, w, 3, 32, 0xFF0000, 0xFF00, 0xFF, 0);
    SDL_SetColorKey(s, SDL_SRCCOLORKEY, KEY);
    for (int x = 0; x < w; x++) {
        uint32_t* p = (uint32_t*)s->pixels;
        p[x] = (x / 37) % 3 == 1 ? KEY : 0x100000u * (uint32_t)(x / 37 % 16) + 7;
        ((uint32_t*)((uint8_t*)s->pixels + s->pitch))[x] = 0x336699;
        ((uint32_t*)((uint8_t*)s->pixels + 2 * s->pitch))[x] = (uint32_t)x * 0x010101u;
    }
    return s;
}

TEST(RowRuns, ZoomedRowsAreThePixelsThatSamplingGives) {
    SDL_Surface* s = striped(500);
    row_runs runs;
    runs.build(s);
    EXPECT_TRUE(runs.has(0));
    EXPECT_TRUE(runs.has(1));
    EXPECT_FALSE(runs.has(2)) << "a row of single pixels is sampled instead";
    EXPECT_FALSE(runs.has(3));
    EXPECT_FALSE(runs.every_row); // the sampled row needs the pixels
    SDL_Surface* top = SDL_CreateRGBSurfaceFrom(s->pixels, 500, 2, 32, s->pitch, 0xFF0000, 0xFF00, 0xFF, 0);
    row_runs two; // the first two rows alone
    two.build(top);
    EXPECT_TRUE(two.every_row);
    SDL_FreeSurface(top);
    struct { double zoom, first_column; } cases[] = {
        {1.0, 0}, {0.65, 3.3}, {0.333, 0}, {1.7, 120.01}, {3.0, 499.5}, {0.01, 0}};
    for (const auto& c : cases) {
        const int64_t step = (int64_t)(65536.0 / c.zoom);
        const int64_t u = (int64_t)(c.first_column * 65536.0);
        const int n = (int)std::min<int64_t>(640, ((500LL << 16) - u + step - 1) / step);
        for (int y = 0; y < 2; y++) {
            std::vector<uint32_t> drawn((size_t)n, 0xABCDEF), sampled((size_t)n, 0xABCDEF);
            runs.draw_row(y, drawn.data(), u, step, n);
            const uint32_t* row = (const uint32_t*)((const uint8_t*)s->pixels + y * s->pitch);
            for (int k = 0; k < n; k++) {
                const uint32_t p = row[(u + k * step) >> 16];
                if (p != KEY) sampled[(size_t)k] = p;
            }
            EXPECT_EQ(sampled, drawn) << "zoom " << c.zoom << " from " << c.first_column << " row " << y;
        }
    }
    SDL_FreeSurface(s);
}

} // namespace
