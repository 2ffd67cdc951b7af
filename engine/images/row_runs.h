// row_runs: a 32-bit picture's rows as runs of one colour, so that a row drawn zoomed is a
// few fills instead of one read per screen pixel, and its keyed runs cost nothing. A row
// with too many runs to gain from that is left out and drawn by sampling as before. Built
// once from a surface (the stage's pictures, when loaded), for pixels that no longer change;
// it remembers which pixels it was made from only to tell them apart, never reading them
// (null once its owner let them go).
#pragma once
#include <SDL.h>
#include <cstdint>
#include <vector>

struct row_runs {
    struct run {
        int32_t end;     // one past the run's last column
        uint32_t colour; // its pixel value
    };
    std::vector<uint32_t> first; // per row, index of its first run; one more entry at the end
    std::vector<run> runs;
    int width = 0, height = 0;
    bool keyed = false;          // runs of `key` are empty
    uint32_t key = 0;
    const void* made_from = nullptr; // the surface's pixels when built
    bool every_row = false;          // every row has runs: drawing needs no pixels

    // Builds the runs of a 4-byte-pixel surface (keyed by its colour key when it has one);
    // anything else leaves none. Frees what was there before.
    void build(const SDL_Surface* s);
    void clear();
    // True when row y has runs (and so can be drawn by draw_row).
    bool has(int y) const {
        return y >= 0 && y < height && first[(size_t)y] != first[(size_t)y + 1];
    }
    // The n screen pixels out[0..n) of a zoomed row y: pixel k shows column
    // (u + k * step) >> 16, with u >= 0, step > 0 and every column shown inside the row.
    // Empty (keyed) runs leave their pixels as they are.
    void draw_row(int y, uint32_t* out, int64_t u, int64_t step, int n) const;
};
