#include "colour_swaps.h"

#include <cstdio>
#include <cstdlib>

#include "foundation/config_file.h"
#include "images/file_check.h"

const char* const COLOUR_SWAP_FILE = "game/fighter/mirelle/mirelle_swap.ini";

bool parse_colour(const char* text, uint8_t rgb[3]) {
    if (!text) return false;
    const char* p = text;
    for (int c = 0; c < 3; c++) {
        while (*p == ' ') p++;
        if (*p < '0' || *p > '9') return false;
        char* end = nullptr;
        long v = strtol(p, &end, 10);
        if (v > 255) return false;
        rgb[c] = (uint8_t)v;
        p = end;
        while (*p == ' ') p++;
        if (c < 2) {
            if (*p != ',') return false;
            p++;
        }
    }
    return *p == 0;
}

int read_colour_swaps(const char* path, const SDL_PixelFormat* format,
                      std::vector<colour_swap>& out) {
    config_file swaps;
    swaps.load(path);
    if (!format) return 0;
    int colors = swaps.get_int("colors");
    if (colors > MAX_SWAP_COLOURS) colors = MAX_SWAP_COLOURS;
    int added = 0;
    for (int i = 0; i < colors; i++) {
        char key[32];
        uint8_t from[3], to[3];
        snprintf(key, sizeof key, "color%dsource", i);
        bool ok = swaps.has(key) && parse_colour(swaps.get_string(key), from);
        snprintf(key, sizeof key, "color%dtarget", i);
        ok = ok && swaps.has(key) && parse_colour(swaps.get_string(key), to);
        if (!ok) continue;
        // SDL_MapRGB takes a non-const format; it only reads it.
        SDL_PixelFormat* f = const_cast<SDL_PixelFormat*>(format);
        out.push_back(colour_swap(SDL_MapRGB(f, from[0], from[1], from[2]),
                                  SDL_MapRGB(f, to[0], to[1], to[2])));
        added++;
    }
    return added;
}

void check_colour_swap_file(check_report& report, const std::string& path) {
    file_check c(report, path);
    if (!c.opened()) return;
    long colors = 0;
    c.whole("colors", 0, MAX_SWAP_COLOURS, &colors);
    colors = c.capped(colors);
    char key[32];
    for (int i = 0; i < colors; i++) {
        for (const char* side : {"source", "target"}) {
            snprintf(key, sizeof key, "color%d%s", i, side);
            const config_entry* e = c.known(key);
            uint8_t rgb[3];
            if (!e) c.problem(c.line_of("colors"), "pair %d has no \"%s\"", i, key);
            else if (!parse_colour(e->value, rgb))
                c.problem(e->line, "\"%s\" is \"%.40s\": not r,g,b from 0 to 255", key, e->value);
        }
    }
    c.beyond("color%dsource", "colors");
    c.beyond("color%dtarget", "colors");
    c.finish();
}
