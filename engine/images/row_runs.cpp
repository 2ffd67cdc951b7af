#include "images/row_runs.h"

#include <algorithm>

#include "foundation/wide_vectors.h"

// A row with more runs than this share of its width is sampled: its fills would be too short.
enum { MIN_PIXELS_PER_RUN = 8 };

void row_runs::clear() {
    first.clear();
    runs.clear();
    width = height = 0;
    made_from = nullptr;
    every_row = false;
}

void row_runs::build(const SDL_Surface* s) {
    clear();
    if (!s || !s->pixels || s->format->BytesPerPixel != 4 || s->w <= 0 || s->h <= 0) return;
    width = s->w;
    height = s->h;
    keyed = (s->flags & SDL_SRCCOLORKEY) != 0;
    key = s->format->colorkey;
    made_from = s->pixels;
    first.reserve((size_t)height + 1);
    every_row = true;
    const int most = width / MIN_PIXELS_PER_RUN + 1;
    for (int y = 0; y < height; y++) {
        first.push_back((uint32_t)runs.size());
        const uint32_t* p = (const uint32_t*)((const uint8_t*)s->pixels + (size_t)y * s->pitch);
        const size_t start = runs.size();
        for (int x = 0; x < width && (int)(runs.size() - start) <= most;) {
            int e = x + 1;
            while (e < width && p[e] == p[x]) e++;
            runs.push_back(run{e, p[x]});
            x = e;
        }
        if ((int)(runs.size() - start) > most) runs.resize(start); // sampled instead
        every_row = every_row && runs.size() > start;
    }
    first.push_back((uint32_t)runs.size());
}

WIDE_VECTORS void row_runs::draw_row(int y, uint32_t* out, int64_t u, int64_t step, int n) const {
    const run* r = runs.data() + first[(size_t)y];
    const run* end = runs.data() + first[(size_t)y + 1];
    const int32_t column = (int32_t)(u >> 16);
    r = std::upper_bound(r, end, column, [](int32_t c, const run& x) { return c < x.end; });
    const double per_step = 1.0 / (double)step;
    for (int k = 0; k < n && r < end; r++) {
        // Pixels k with (u + k * step) >> 16 < end, that is u + k * step < end << 16: the
        // first pixel past the run is ceil(limit / step), estimated and then made exact.
        const int64_t limit = ((int64_t)r->end << 16) - u;
        int64_t past = (int64_t)((double)limit * per_step);
        while (past * step < limit) past++;
        while (past > 0 && (past - 1) * step >= limit) past--;
        const int stop = (int)std::min<int64_t>(n, past);
        if (stop <= k) continue;
        if (!keyed || r->colour != key) std::fill(out + k, out + stop, r->colour);
        k = stop;
    }
}
