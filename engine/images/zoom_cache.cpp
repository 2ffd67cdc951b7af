#include "images/zoom_cache.h"

#ifdef __GLIBC__
#include <malloc.h>
#endif

long zoom_cache::budget = zoom_cache::default_budget;
long zoom_cache::total_bytes = 0;

// Every live cache, for the shared budget. Never freed, so caches in objects destroyed at
// process exit can still leave it.
static std::vector<zoom_cache*>& all_caches() {
    static std::vector<zoom_cache*>* caches = new std::vector<zoom_cache*>();
    return *caches;
}

static uint32_t use_clock = 0; // one clock for all caches, so their stamps compare

zoom_cache::zoom_cache() : limit(default_limit), evictions(0) { all_caches().push_back(this); }

zoom_cache::~zoom_cache() {
    clear();
    std::vector<zoom_cache*>& caches = all_caches();
    for (size_t i = 0; i < caches.size(); i++) {
        if (caches[i] == this) {
            caches[i] = caches.back();
            caches.pop_back();
            break;
        }
    }
}

zcache_entry* zoom_cache::find(const zoom_key& key, int mirrored) {
    for (zcache_entry* e : entries) {
        if (e->key == key && e->mirrored == mirrored) {
            e->used = ++use_clock;
            return e;
        }
    }
    return nullptr;
}

void zoom_cache::remove(size_t i) {
    zcache_entry* e = entries[i];
    if (e->surface) SDL_FreeSurface(e->surface);
    total_bytes -= e->bytes;
    delete e;
    entries.erase(entries.begin() + (long)i);
    evictions++;
}

static size_t oldest_of(const std::vector<zcache_entry*>& entries) {
    size_t oldest = 0;
    for (size_t i = 1; i < entries.size(); i++)
        if (entries[i]->used < entries[oldest]->used) oldest = i;
    return oldest;
}

zcache_entry* zoom_cache::add(SDL_Surface* s, const zoom_key& key, int mirrored) {
    if (limit < 1) limit = 1;
    while ((int)entries.size() >= limit) remove(oldest_of(entries));
    long bytes = s ? (long)s->pitch * s->h : 0;
    zcache_entry* added = new zcache_entry{s, key, mirrored, ++use_clock, bytes};
    entries.push_back(added);
    total_bytes += bytes;

    while (total_bytes > budget) {
        zoom_cache* owner = nullptr;
        size_t at = 0;
        for (zoom_cache* c : all_caches()) {
            for (size_t i = 0; i < c->entries.size(); i++) {
                const zcache_entry* e = c->entries[i];
                if (e == added) continue;
                if (!owner || e->used < owner->entries[at]->used) {
                    owner = c;
                    at = i;
                }
            }
        }
        if (!owner) break; // only the new entry is left
        owner->remove(at);
    }
    return added;
}

void zoom_cache::clear() {
    for (zcache_entry* e : entries) {
        if (e->surface) SDL_FreeSurface(e->surface);
        total_bytes -= e->bytes;
        delete e;
    }
    entries.clear();
}

void zoom_cache::clear_all() {
    for (zoom_cache* c : all_caches()) c->clear();
#ifdef __GLIBC__
    // The conversions were many small blocks between longer-lived ones: hand the freed
    // pages back, or the process keeps the highest match's worth for good.
    malloc_trim(0);
#endif
}
