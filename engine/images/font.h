// font: one TrueType face at one point size, with colours and a render mode (1 solid,
// 2 blended, anything else shaded). Two ways to show text: `render` a whole string into a
// surface the caller hands to an image, or `draw_text` glyph by glyph at the pen from a
// per-character cache, so text drawn every frame costs one draw per character and no
// rendering. A glyph keeps the colour, mode and size it was first rendered with.
//
// Ownership: the font owns its face and its glyph images; the surface returned by
// `render` belongs to the caller.
#pragma once
#include <SDL.h>
#include <SDL_ttf.h>

#include "images/img_mgr.h"

struct font {
    TTF_Font* face;
    SDL_Surface* last_render; // most recent render; the caller has taken it over
    SDL_Surface* screen;      // the owner's screen; glyphs are drawn on the game screen
    int loaded;
    int size;       // point size, at least 12 once opened
    SDL_Color fg;   // foreground
    SDL_Color bg;   // background, shaded mode only
    int mode;
    int style;      // TTF_SetFontStyle bits applied at open
    int pen_x, pen_y;
    img_mgr* glyphs[256]; // glyph cache, one image per character, rendered on first use
    int glyphs_rendered;  // glyph pictures made so far, for diagnostics and tests

    font();
    explicit font(SDL_Surface* screen);
    font(const font&) = delete;
    font& operator=(const font&) = delete;
    ~font();

    void open(const char* path);
    SDL_Surface* render(const char* text);
    void draw_text(const char* text);
    // How far draw_text's glyphs reach: the sum of each character's own width (0 unopened).
    int text_width(const char* text) const;

private:
    void init(SDL_Surface* s);
};
