#include "images/zoom_cache.h"

zcache_entry* zoom_cache::find(int32_t key, int mirrored) {
    for (zcache_entry* e : entries) {
        if (e->key == key && e->mirrored == mirrored) {
            e->used = ++stamp;
            return e;
        }
    }
    return nullptr;
}

zcache_entry* zoom_cache::add(SDL_Surface* s, int32_t key, int mirrored) {
    if (limit < 1) limit = 1;
    while ((int)entries.size() >= limit) {
        size_t oldest = 0;
        for (size_t i = 1; i < entries.size(); i++)
            if (entries[i]->used < entries[oldest]->used) oldest = i;
        if (entries[oldest]->surface) SDL_FreeSurface(entries[oldest]->surface);
        delete entries[oldest];
        entries.erase(entries.begin() + (long)oldest);
        evictions++;
    }
    zcache_entry* e = new zcache_entry{s, key, mirrored, ++stamp};
    entries.push_back(e);
    return e;
}

void zoom_cache::clear() {
    for (zcache_entry* e : entries) {
        if (e->surface) SDL_FreeSurface(e->surface);
        delete e;
    }
    entries.clear();
}
