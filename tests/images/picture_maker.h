// Small pictures for the image tests: built in memory, saved as BMP files when a test needs
// a path to load. Green (0, 255, 0) is the transparent key.
#pragma once
#include <SDL.h>
#include <cstdint>
#include <string>

#include "foundation/video_mgr.h"
#include "test_support.h"

struct rgb {
    uint8_t r, g, b;
};
static const rgb KEY = {0, 255, 0};
static const rgb RED = {255, 0, 0};
static const rgb BLUE = {0, 0, 255};
static const rgb WHITE = {255, 255, 255};

// A 24-bit w x h picture filled with one colour.
inline SDL_Surface* make_picture(int w, int h, rgb fill) {
    SDL_Surface* s = SDL_CreateRGBSurface(SDL_SWSURFACE, w, h, 24, 0x0000FF, 0x00FF00, 0xFF0000, 0);
    SDL_FillRect(s, nullptr, SDL_MapRGB(s->format, fill.r, fill.g, fill.b));
    return s;
}

inline void paint(SDL_Surface* s, int x, int y, int w, int h, rgb c) {
    SDL_Rect r = {(Sint16)x, (Sint16)y, (Uint16)w, (Uint16)h};
    SDL_FillRect(s, &r, SDL_MapRGB(s->format, c.r, c.g, c.b));
}

// Saves the picture (and frees it) under dir; returns the path.
inline std::string save_picture(SDL_Surface* s, const scratch_dir& dir, const std::string& name) {
    std::string path = dir.file(name);
    SDL_SaveBMP(s, path.c_str());
    SDL_FreeSurface(s);
    return path;
}

inline rgb screen_at(int x, int y) {
    rgb c;
    read_screen_pixel(x, y, &c.r, &c.g, &c.b);
    return c;
}

inline bool same(rgb a, rgb b) { return a.r == b.r && a.g == b.g && a.b == b.b; }

// Fills the whole frame with one colour, in either drawing mode.
inline void fill_screen(rgb c) {
    if (video.is_gl()) {
        glClearColor(c.r / 255.0f, c.g / 255.0f, c.b / 255.0f, 1);
        glClear(GL_COLOR_BUFFER_BIT);
        glClearColor(0, 0, 0, 1);
    } else {
        SDL_FillRect(video.screen, nullptr, SDL_MapRGB(video.screen->format, c.r, c.g, c.b));
    }
}

#define EXPECT_COLOUR(x, y, c)                                                          \
    do {                                                                                \
        rgb got_ = screen_at(x, y);                                                     \
        EXPECT_TRUE(same(got_, c)) << "at (" << (x) << "," << (y) << ") got " << (int)got_.r \
                                   << "," << (int)got_.g << "," << (int)got_.b;         \
    } while (0)
