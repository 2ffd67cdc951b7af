// zoom_cache: an image's cache of scaled and rotated software surfaces, one per conversion key
// and facing, so a picture drawn again at the same scale, angle and facing is only blitted.
// The cache owns its entries and their surfaces. It is bounded twice, both times dropping
// the least recently used entry first: an image's cache holds at most `limit` entries, and
// all caches together hold at most `zoom_cache::budget` bytes of pixels (a fighter has a
// hundred pictures, so a per-image bound alone would still let a long match with a camera
// whose zoom changes every frame fill hundreds of megabytes). Repeated draws at one scale
// still convert once; memory stays flat.
#pragma once
#include <SDL.h>
#include <cstdint>
#include <vector>

// What a conversion was made for, compared exactly: a draw never reuses a conversion made
// for another scale or angle.
struct zoom_key {
    float sx, sy;
    int32_t angle; // degrees, 0..359
    bool operator==(const zoom_key& o) const {
        return sx == o.sx && sy == o.sy && angle == o.angle;
    }
};

struct zcache_entry {
    SDL_Surface* surface; // display format, pure-green colour key
    zoom_key key;
    int32_t mirrored;
    uint32_t used;  // use stamp, shared by all caches, for least-recently-used eviction
    long bytes;     // pixel bytes of the surface
};

struct zoom_cache {
    enum { default_limit = 48 };
    static const long default_budget = 16L * 1024 * 1024;

    static long budget;      // pixel bytes all caches may hold together
    static long total_bytes; // pixel bytes all caches hold now

    std::vector<zcache_entry*> entries; // insertion order; the first match wins
    int limit;
    int evictions; // entries freed to stay within the bounds, for diagnostics and tests

    zoom_cache();
    ~zoom_cache();
    zoom_cache(const zoom_cache&) = delete;
    zoom_cache& operator=(const zoom_cache&) = delete;

    // The entry for key and facing, marked as just used; null on a miss.
    zcache_entry* find(const zoom_key& key, int mirrored);
    // Takes ownership of s. Frees this cache's least recently used entry first when it is
    // full, then, while all caches together are over the budget, the least recently used
    // entry of any cache (never the one just added).
    zcache_entry* add(SDL_Surface* s, const zoom_key& key, int mirrored);
    void clear();
    static void clear_all(); // every cache's entries, freed
    int size() const { return (int)entries.size(); }
    bool empty() const { return entries.empty(); }

private:
    void remove(size_t i);
};
