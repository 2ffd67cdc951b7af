#include "images/font.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

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
    for (SDL_Surface*& p : glyph_pixels) p = nullptr;
    glyphs_rendered = 0;
    for (int16_t& w : char_widths) w = -1;
    for (drawn_string& d : strings) d = drawn_string{{0}, nullptr, 0, false, false};
    strings_made = 0;
    swept_at = 0;
    atlas = 0;
    atlas_x = atlas_y = atlas_shelf = 0;
    for (int16_t* at : atlas_at) at[0] = at[1] = -1;
    if (TTF_Init() < 0) log_err("Couldn't initialize TTF: %s\n", SDL_GetError());
}

font::font() { init(nullptr); }

font::font(SDL_Surface* s) { init(s); }

font::~font() {
    if (loaded && face) TTF_CloseFont(face);
    face = nullptr;
    forget_glyphs();
}

void font::forget_glyphs() {
    for (img_mgr*& g : glyphs) {
        delete g;
        g = nullptr;
    }
    for (SDL_Surface*& p : glyph_pixels) {
        if (p) SDL_FreeSurface(p);
        p = nullptr;
    }
    for (drawn_string& d : strings) {
        delete d.image;
        d = drawn_string{{0}, nullptr, 0, false, false};
    }
    // Without a video subsystem (process exit after SDL_Quit) the context and the atlas are gone.
    if (atlas && SDL_WasInit(SDL_INIT_VIDEO) && video.is_gl()) {
        GLuint t = atlas;
        glDeleteTextures(1, &t);
    }
    atlas = 0;
    atlas_x = atlas_y = atlas_shelf = 0;
    for (int16_t* at : atlas_at) at[0] = at[1] = -1;
}

void font::open(const char* path) {
    if (loaded && face) TTF_CloseFont(face);
    face = nullptr;
    loaded = 0;
    if (size < 12) size = 12;
    for (int16_t& w : char_widths) w = -1; // sizes belong to the face
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
        int16_t& known = char_widths[(unsigned char)*c];
        if (known < 0) {
            char one[2] = {*c, 0};
            int cw = 0, ch = 0;
            known = (int16_t)(TTF_SizeText(face, one, &cw, &ch) == 0 ? cw : 0);
        }
        w += known;
    }
    return w;
}

// A surface of s's format, palette, key and alpha, w pixels wide; the first min(w, s->w)
// columns of s copied as they are (a blit would blend or re-key them).
// Copies src's pixels into dst (the same format) from column x on.
static void paste(SDL_Surface* dst, SDL_Surface* src, int x) {
    const int bpp = src->format->BytesPerPixel;
    const int w = std::min(src->w, dst->w - x);
    if (w <= 0) return;
    SDL_LockSurface(dst);
    SDL_LockSurface(src);
    for (int y = 0; y < src->h && y < dst->h; y++)
        memcpy((uint8_t*)dst->pixels + y * dst->pitch + x * bpp, (uint8_t*)src->pixels + y * src->pitch,
               (size_t)w * bpp);
    SDL_UnlockSurface(src);
    SDL_UnlockSurface(dst);
}

static SDL_Surface* exact_copy(SDL_Surface* s, int w) {
    const SDL_PixelFormat* f = s->format;
    SDL_Surface* out =
        SDL_CreateRGBSurface(SDL_SWSURFACE, w, s->h, f->BitsPerPixel, f->Rmask, f->Gmask, f->Bmask, f->Amask);
    if (!out) return nullptr;
    if (f->palette) SDL_SetPalette(out, SDL_LOGPAL, f->palette->colors, 0, f->palette->ncolors);
    if (s->flags & SDL_SRCCOLORKEY) SDL_SetColorKey(out, SDL_SRCCOLORKEY, f->colorkey);
    if (s->flags & SDL_SRCALPHA) SDL_SetAlpha(out, SDL_SRCALPHA, f->alpha);
    paste(out, s, 0);
    return out;
}

img_mgr* font::glyph(unsigned char ch) {
    img_mgr* g = glyphs[ch];
    if (g) return g;
    char key[2] = {(char)ch, 0};
    g = glyphs[ch] = new img_mgr();
    SDL_Surface* s = render(key);
    // A copy of the pixels stays with the font: an upload may release the image's own.
    if (s) glyph_pixels[ch] = exact_copy(s, s->w);
    g->set_surface(s);
    char name[16];
    snprintf(name, sizeof name, "Char %c", (char)ch);
    copy_text(g->filename, name);
    glyphs_rendered++;
    if (g->width > 0) g->tohw();
    if (video.is_gl() && glyph_pixels[ch] && g->width > 0) place_in_atlas(ch);
    return g;
}

// Copies glyph ch's pixels, as its own upload has them, into the next free place of the
// atlas (made on the first glyph); a glyph that no longer fits stays out of it.
void font::place_in_atlas(unsigned char ch) {
    SDL_Surface* p = glyph_pixels[ch];
    const int w = p->w, h = p->h;
    if (atlas_x + w > ATLAS_SIZE) {
        atlas_x = 0;
        atlas_y += atlas_shelf + 1;
        atlas_shelf = 0;
    }
    if (w > ATLAS_SIZE || atlas_y + h > ATLAS_SIZE) return;
    SDL_Surface* pixels = exact_copy(p, w); // keying for the upload must not touch the glyph's
    SDL_Surface* rgba = pixels ? texture_pixels(pixels, w, h) : nullptr;
    if (pixels) SDL_FreeSurface(pixels);
    if (!rgba) return;
    if (!atlas) {
        std::vector<uint8_t> clear((size_t)ATLAS_SIZE * ATLAS_SIZE * 4, 0);
        GLuint t = 0;
        glGenTextures(1, &t);
        atlas = t;
        glBindTexture(GL_TEXTURE_2D, atlas);
        // Glyphs are drawn at their own size only, texel for pixel: the nearest texel is the
        // one a filtered draw would show, and nothing of a neighbour can bleed in.
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB5_A1, ATLAS_SIZE, ATLAS_SIZE, 0, GL_RGBA,
                     GL_UNSIGNED_BYTE, clear.data());
    }
    glBindTexture(GL_TEXTURE_2D, atlas);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    glPixelStorei(GL_UNPACK_ROW_LENGTH, rgba->pitch / 4);
    glTexSubImage2D(GL_TEXTURE_2D, 0, atlas_x, atlas_y, w, h, GL_RGBA, GL_UNSIGNED_BYTE, rgba->pixels);
    glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
    SDL_FreeSurface(rgba);
    atlas_at[ch][0] = (int16_t)atlas_x;
    atlas_at[ch][1] = (int16_t)atlas_y;
    atlas_x += w + 1;
    if (h > atlas_shelf) atlas_shelf = h;
}

// text at the pen as its glyphs draw one by one, in one draw from the atlas; false (nothing
// drawn) when a glyph of it is not in the atlas.
bool font::draw_from_atlas(const char* text) {
    for (const char* c = text; *c; c++) {
        unsigned char ch = (unsigned char)*c;
        if (glyph(ch)->width > 0 && atlas_at[ch][0] < 0) return false;
    }
    if (!atlas) return true; // nothing of it draws
    const float inv = 1.0f / (float)ATLAS_SIZE;
    video.set_blending(true);
    video.sync_gl_state();
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, atlas);
    glColor3ub(255, 255, 255);
    glBegin(GL_QUADS);
    int x = pen_x;
    for (const char* c = text; *c; c++) {
        unsigned char ch = (unsigned char)*c;
        const img_mgr* g = glyphs[ch];
        if (g->width > 0) {
            const float u0 = (float)atlas_at[ch][0] * inv, v0 = (float)atlas_at[ch][1] * inv;
            const float u1 = u0 + (float)g->width * inv, v1 = v0 + (float)g->height * inv;
            glTexCoord2f(u0, v0); glVertex2i(x, pen_y);
            glTexCoord2f(u1, v0); glVertex2i(x + g->width, pen_y);
            glTexCoord2f(u1, v1); glVertex2i(x + g->width, pen_y + g->height);
            glTexCoord2f(u0, v1); glVertex2i(x, pen_y + g->height);
        }
        x += g->width;
    }
    glEnd();
    glDisable(GL_TEXTURE_2D);
    video.set_blending(false);
    return true;
}

void font::release_stale_strings() {
    if (video.presents == swept_at) return;
    swept_at = video.presents;
    for (drawn_string& d : strings)
        if (d.used && d.drawn_at + 1 < video.presents) {
            delete d.image;
            d = drawn_string{{0}, nullptr, 0, false, false};
        }
}

// The entry of text, or a fresh one (fresh set; it takes the least recently drawn entry
// when all are in use); null for a string too long to keep.
font::drawn_string* font::string_for(const char* text, bool* fresh) {
    *fresh = false;
    if (strlen(text) >= STRING_MAX) return nullptr;
    drawn_string* slot = nullptr;
    for (drawn_string& d : strings) {
        if (d.used && strcmp(d.text, text) == 0) return &d;
        if (!slot || (slot->used && (!d.used || d.drawn_at < slot->drawn_at))) slot = &d;
    }
    delete slot->image;
    *slot = drawn_string{{0}, nullptr, 0, true, true};
    copy_text(slot->text, text);
    *fresh = true;
    return slot;
}

// One picture of text's glyphs side by side, pixel for pixel as drawn one by one; null when
// they cannot be joined (glyphs of different colours, formats or heights).
img_mgr* font::join_glyphs(const char* text) {
    SDL_Surface* first = nullptr;
    int w = 0;
    for (const char* c = text; *c; c++) {
        unsigned char ch = (unsigned char)*c;
        SDL_Surface* p = glyph_pixels[ch];
        if (!glyphs[ch]) return nullptr;
        if (glyphs[ch]->width <= 0) continue; // skipped when drawn, too
        if (!p) return nullptr;
        if (!first) first = p;
        const SDL_PixelFormat* a = first->format;
        const SDL_PixelFormat* b = p->format;
        if (p->h != first->h || a->BitsPerPixel != b->BitsPerPixel || a->Rmask != b->Rmask ||
            a->Amask != b->Amask || (p->flags & (SDL_SRCCOLORKEY | SDL_SRCALPHA)) !=
                                        (first->flags & (SDL_SRCCOLORKEY | SDL_SRCALPHA)) ||
            a->colorkey != b->colorkey || !a->palette != !b->palette)
            return nullptr;
        if (a->palette && (a->palette->ncolors != b->palette->ncolors ||
                           memcmp(a->palette->colors, b->palette->colors,
                                  sizeof(SDL_Color) * (size_t)a->palette->ncolors) != 0))
            return nullptr;
        w += p->w;
    }
    if (!first || w <= 0) return nullptr;
    SDL_Surface* out = exact_copy(first, w);
    if (!out) return nullptr;
    int x = 0;
    for (const char* c = text; *c; c++) {
        unsigned char ch = (unsigned char)*c;
        SDL_Surface* p = glyph_pixels[ch];
        if (!p || glyphs[ch]->width <= 0) continue;
        paste(out, p, x);
        x += p->w;
    }
    img_mgr* img = new img_mgr();
    img->set_surface(out);
    copy_text(img->filename, "Text");
    strings_made++;
    return img;
}

void font::draw_text(const char* text) {
    if (!loaded) {
        log_out("loading font\n");
        open("tahoma.ttf");
        if (!loaded) return;
    }
    if (!text || !*text) return;
    release_stale_strings();
    // OpenGL draws a string from the atlas in one draw already; an image of its own would
    // cost a texture upload for every string that holds only a few frames.
    if (video.is_gl() && draw_from_atlas(text)) return;
    bool fresh = false;
    drawn_string* d = string_for(text, &fresh);
    if (d) {
        d->drawn_at = video.presents;
        if (!fresh && !d->image && d->joinable) {
            d->image = join_glyphs(text);
            d->joinable = d->image != nullptr;
        }
        if (d->image) {
            d->image->draw_at(pen_x, pen_y);
            return;
        }
    }
    int x = pen_x;
    for (const char* c = text; *c; c++) {
        img_mgr* g = glyph((unsigned char)*c);
        if (g->width > 0) g->draw_at(x, pen_y); // a character that failed to render is skipped
        x += g->width;
    }
}
