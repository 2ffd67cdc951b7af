// zoom_cache: an image's cache of scaled and rotated software surfaces, one per conversion key
// and facing, so a picture drawn again at the same scale, angle and facing is only blitted.
// The cache owns its entries and their surfaces. It is bounded: once it holds `limit`
// entries, adding one frees the least recently used, so a camera whose zoom changes every
// frame keeps memory flat while repeated draws at one scale still hit.
#pragma once
#include <SDL.h>
#include <cstdint>
#include <vector>

struct zcache_entry {
    SDL_Surface* surface; // display format, pure-green colour key
    int32_t key;
    int32_t mirrored;
    uint32_t used; // use stamp for least-recently-used eviction
};

struct zoom_cache {
    enum { default_limit = 48 };

    std::vector<zcache_entry*> entries; // insertion order; the first match wins
    uint32_t stamp;
    int limit;
    int evictions; // entries freed to stay within the limit, for diagnostics and tests

    zoom_cache() : stamp(0), limit(default_limit), evictions(0) {}
    ~zoom_cache() { clear(); }
    zoom_cache(const zoom_cache&) = delete;
    zoom_cache& operator=(const zoom_cache&) = delete;

    // The entry for key and facing, marked as just used; null on a miss.
    zcache_entry* find(int32_t key, int mirrored);
    // Takes ownership of s; frees the least recently used entry first when full.
    zcache_entry* add(SDL_Surface* s, int32_t key, int mirrored);
    void clear();
    int size() const { return (int)entries.size(); }
    bool empty() const { return entries.empty(); }
};
