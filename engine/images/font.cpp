#include "images/font.h"

#include <cstdio>

#include "foundation/log.h"
#include "foundation/safe_file.h"
#include "foundation/text.h"
#include "foundation/video_mgr.h"

void font::init(SDL_Surface* s) {
    face = nullptr;
    last_render = nullptr;
    screen = s;
    loaded = 0;
    size = 18;
    fg = SDL_Color{255, 255, 255, 0};
    bg = SDL_Color{0, 0, 0, 0};
    mode = 0;
    style = 0;
    pen_x = pen_y = 4;
    for (img_mgr*& g : glyphs) g = nullptr;
    glyphs_rendered = 0;
    if (TTF_Init() < 0) log_err("Couldn't initialize TTF: %s\n", SDL_GetError());
}

font::font() { init(nullptr); }

font::font(SDL_Surface* s) { init(s); }

font::~font() {
    if (loaded && face) TTF_CloseFont(face);
    face = nullptr;
    for (img_mgr*& g : glyphs) {
        delete g;
        g = nullptr;
    }
}

void font::open(const char* path) {
    if (loaded && face) TTF_CloseFont(face);
    face = nullptr;
    loaded = 0;
    if (size < 12) size = 12;
    // Only regular files: a device or pipe could hang the read.
    if (regular_file(path)) face = TTF_OpenFont(path, size);
    else SDL_SetError("Couldn't open %s", path ? path : "");
    if (face) {
        TTF_SetFontStyle(face, style);
        loaded = 1;
    } else {
        log_out("ERROR: TTF_OpenFont: %s\n", SDL_GetError());
        loaded = 0;
    }
}

SDL_Surface* font::render(const char* text) {
    if (!loaded || !face || !text) return last_render = nullptr;
    if (mode == 1) last_render = TTF_RenderText_Solid(face, text, fg);
    else if (mode == 2) last_render = TTF_RenderText_Blended(face, text, fg);
    else last_render = TTF_RenderText_Shaded(face, text, fg, bg);
    return last_render;
}

int font::text_width(const char* text) const {
    int w = 0;
    for (const char* c = text; face && c && *c; c++) {
        char one[2] = {*c, 0};
        int cw = 0, ch = 0;
        if (TTF_SizeText(face, one, &cw, &ch) == 0) w += cw;
    }
    return w;
}

void font::draw_text(const char* text) {
    if (!loaded) {
        log_out("loading font\n");
        open("tahoma.ttf");
        if (!loaded) return;
    }
    if (!text) return;
    int keep_x = pen_x, keep_y = pen_y;
    for (const char* c = text; *c; c++) {
        unsigned char ch = (unsigned char)*c;
        img_mgr* g = glyphs[ch];
        if (!g) {
            char key[2] = {(char)ch, 0};
            g = glyphs[ch] = new img_mgr();
            g->set_surface(render(key));
            char name[16];
            snprintf(name, sizeof name, "Char %c", (char)ch);
            copy_text(g->filename, name);
            glyphs_rendered++;
            if (g->width > 0) g->tohw();
        }
        if (g->width > 0) g->draw_at(pen_x, pen_y); // a character that failed to render is skipped
        pen_x += g->width;
    }
    pen_x = keep_x;
    pen_y = keep_y;
}
