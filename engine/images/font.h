// font: one TrueType face at one point size, with colours and a render mode (1 solid,
// 2 blended, anything else shaded). Two ways to show text: `render` a whole string into a
// surface the caller hands to an image, or `draw_text` at the pen from a per-character
// cache. A string drawn again in the frame after (or the same frame as) its first drawing
// is put together from its glyphs into one image of its own, so steady text costs one draw
// a string; it is released once a frame is presented without it. A string that changes
// every frame is drawn glyph by glyph and makes nothing. A glyph keeps the colour, mode and
// size it was first rendered with, and so do the strings made of it. In OpenGL mode every
// glyph also gets a place in one texture of the font's (its atlas), so a string drawn glyph
// by glyph is still one draw: one texture, a quad per glyph; there strings make no image of
// their own unless the atlas is full.
//
// Ownership: the font owns its face, its glyph images and pixels and its string images; the
// surface returned by `render` belongs to the caller.
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
    SDL_Surface* glyph_pixels[256]; // each glyph's pixels as rendered, which strings are made of
    int glyphs_rendered;  // glyph pictures made so far, for diagnostics and tests
    mutable int16_t char_widths[256]; // each character's width as the face sizes it; -1 unknown

    // A string seen by draw_text: its image once made (null before, or when its glyphs
    // cannot be joined), and the frame (video.presents) it was last drawn in.
    enum { STRING_CACHE = 32, STRING_MAX = 96 };
    struct drawn_string {
        char text[STRING_MAX];
        img_mgr* image;
        int drawn_at;
        bool used, joinable;
    };
    drawn_string strings[STRING_CACHE];
    int strings_made; // string images made so far, for tests
    int swept_at;     // the frame whose stale strings were last released

    // OpenGL mode: the atlas texture (0 before the first glyph), filled shelf by shelf; each
    // glyph's top-left corner in it (-1: not in it, drawn on its own).
    enum { ATLAS_SIZE = 512 };
    uint32_t atlas;
    int atlas_x, atlas_y, atlas_shelf;
    int16_t atlas_at[256][2];

    font();
    explicit font(SDL_Surface* screen);
    font(const font&) = delete;
    font& operator=(const font&) = delete;
    ~font();

    void open(const char* path);
    SDL_Surface* render(const char* text);
    void draw_text(const char* text);
    // How far draw_text's glyphs reach: the sum of each character's own width (0 unopened),
    // each sized once per opened face.
    int text_width(const char* text) const;
    // Drops every glyph and string, so the next draws render again with the present colour,
    // mode and size.
    void forget_glyphs();

private:
    void init(SDL_Surface* s);
    img_mgr* glyph(unsigned char ch);
    drawn_string* string_for(const char* text, bool* fresh);
    img_mgr* join_glyphs(const char* text);
    void release_stale_strings();
    void place_in_atlas(unsigned char ch);
    bool draw_from_atlas(const char* text);
};
