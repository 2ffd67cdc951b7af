#include "foundation/primitives.h"

#include <SDL_gfxPrimitives.h>
#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "foundation/log.h"
#include "foundation/video_mgr.h"
#include "foundation/wide_vectors.h"

int sin_table[360];
int cos_table[360];

void fill_trig_tables() {
    for (int d = 0; d < 360; d++) {
        double r = d * M_PI / 180.0;
        sin_table[d] = (int)lround(sin(r) * 100.0);
        cos_table[d] = (int)lround(cos(r) * 100.0);
    }
}

// Colours are pixel values of the screen format; both drawing paths decode them so the
// same value gives the same colour in either mode.
static void decode_colour(uint32_t colour, Uint8* r, Uint8* g, Uint8* b, Uint8* a) {
    if (video.screen) {
        SDL_GetRGBA(colour, video.screen->format, r, g, b, a);
    } else {
        *r = (Uint8)(colour >> 24); *g = (Uint8)(colour >> 16); *b = (Uint8)(colour >> 8);
        *a = (Uint8)colour;
    }
}

// One 8-bit channel at `shift` moved towards c by a / 256, as boxRGBA moves it.
static inline uint32_t towards(uint32_t d, int c, int a, int shift) {
    const int v = (int)((d >> shift) & 0xFF);
    return (uint32_t)((v + (((c - v) * a) >> 8)) & 0xFF) << shift;
}

WIDE_VECTORS static void blend_row(uint32_t* p, int n, int r, int g, int b, int a, int rs, int gs,
                                   int bs) {
    for (int x = 0; x < n; x++) {
        const uint32_t d = p[x];
        p[x] = towards(d, r, a, rs) | towards(d, g, a, gs) | towards(d, b, a, bs);
    }
}

static bool plain_channel(Uint32 mask, Uint8 shift, Uint8 loss) {
    return loss == 0 && mask == (Uint32)0xFF << shift;
}

void blend_box(SDL_Surface* s, int x1, int y1, int x2, int y2, Uint8 r, Uint8 g, Uint8 b, Uint8 a) {
    if (!s) return;
    const SDL_PixelFormat* f = s->format;
    const bool direct = a != 255 && a != 0 && f->BytesPerPixel == 4 && f->Amask == 0 &&
                        plain_channel(f->Rmask, f->Rshift, f->Rloss) &&
                        plain_channel(f->Gmask, f->Gshift, f->Gloss) &&
                        plain_channel(f->Bmask, f->Bshift, f->Bloss);
    if (!direct) {
        boxRGBA(s, (Sint16)x1, (Sint16)y1, (Sint16)x2, (Sint16)y2, r, g, b, a);
        return;
    }
    if (x1 > x2) std::swap(x1, x2);
    if (y1 > y2) std::swap(y1, y2);
    const SDL_Rect& c = s->clip_rect;
    x1 = std::max(x1, (int)c.x);
    y1 = std::max(y1, (int)c.y);
    x2 = std::min(x2, c.x + c.w - 1);
    y2 = std::min(y2, c.y + c.h - 1);
    if (x1 > x2 || y1 > y2) return;
    const bool locked = SDL_MUSTLOCK(s) && SDL_LockSurface(s) == 0;
    for (int y = y1; y <= y2; y++) {
        uint32_t* p = (uint32_t*)((uint8_t*)s->pixels + (size_t)y * s->pitch) + x1;
        blend_row(p, x2 - x1 + 1, r, g, b, a, f->Rshift, f->Gshift, f->Bshift);
    }
    if (locked) SDL_UnlockSurface(s);
}

void video_mgr::draw_box(int x1, int y1, int x2, int y2, uint32_t colour) {
    Uint8 r, g, b, a;
    decode_colour(colour, &r, &g, &b, &a);
    if (is_gl()) {
        // Both corners are inside the box, as in software mode: a quad covers the pixels
        // up to, not including, its far edge, so that edge lies one pixel beyond x2, y2.
        if (x1 > x2) std::swap(x1, x2);
        if (y1 > y2) std::swap(y1, y2);
        glColor4ub(r, g, b, a);
        if (!boxes_open) glBegin(GL_QUADS);
        glVertex2i(x1, y1);
        glVertex2i(x1, y2 + 1);
        glVertex2i(x2 + 1, y2 + 1);
        glVertex2i(x2 + 1, y1);
        if (!boxes_open) glEnd();
    } else if (screen) {
        blend_box(screen, x1, y1, x2, y2, r, g, b, a);
    }
}

void video_mgr::draw_outline(int x1, int y1, int x2, int y2, uint32_t colour) {
    if (x1 > x2) std::swap(x1, x2);
    if (y1 > y2) std::swap(y1, y2);
    draw_box(x1, y1, x2, y1, colour);
    if (y2 > y1) draw_box(x1, y2, x2, y2, colour);
    if (y2 > y1 + 1) {
        draw_box(x1, y1 + 1, x1, y2 - 1, colour);
        if (x2 > x1) draw_box(x2, y1 + 1, x2, y2 - 1, colour);
    }
}

void video_mgr::begin_boxes() {
    if (!is_gl() || boxes_open) return;
    glBegin(GL_QUADS);
    boxes_open = true;
}

void video_mgr::end_boxes() {
    if (!boxes_open) return;
    glEnd();
    boxes_open = false;
}

int circle_fan(int cx, int cy, int radius, int segments, int* out) {
    int n = 0;
    out[n * 2] = cx; out[n * 2 + 1] = cy; n++;
    if (segments < 1) segments = 1;
    int step = 360 / segments;
    if (step < 1) step = 1;
    for (int d = 0; d < 360; d += step) {
        out[n * 2] = cx + cos_table[d] * radius / 100;
        out[n * 2 + 1] = cy + sin_table[d] * radius / 100;
        n++;
    }
    out[n * 2] = cx + cos_table[0] * radius / 100;
    out[n * 2 + 1] = cy + sin_table[0] * radius / 100;
    return n + 1;
}

void video_mgr::draw_filled_circle(int cx, int cy, int radius, int segments, uint32_t colour) {
    Uint8 r, g, b, a;
    decode_colour(colour, &r, &g, &b, &a);
    if (!is_gl()) {
        if (screen) filledCircleRGBA(screen, (Sint16)cx, (Sint16)cy, (Sint16)radius, r, g, b, a);
        return;
    }
    static int v[2 * (360 + 3)];
    if (segments < 1) segments = 1;
    if (segments > 360) segments = 360;
    // Software mode fills the pixels up to radius from the centre pixel, both sides alike;
    // OpenGL fills the pixels whose centres lie inside the fan. So the fan is centred on the
    // centre pixel's middle with half a pixel more radius, computed at twice the scale.
    int n = circle_fan(2 * cx + 1, 2 * cy + 1, 2 * radius + 1, segments, v);
    glColor4ub(r, g, b, a);
    glBegin(GL_TRIANGLE_FAN);
    for (int i = 0; i < n; i++) glVertex2f(v[i * 2] * 0.5f, v[i * 2 + 1] * 0.5f);
    glEnd();
}

void video_mgr::set_blending(bool on) { gl_wanted[GLS_BLEND] = on ? 1 : 0; }

void textured_rect(int w, int h, float u, float v) {
    glEnable(GL_TEXTURE_2D);
    glBegin(GL_QUADS);
    glTexCoord2f(0, 0); glVertex2i(0, 0);
    glTexCoord2f(u, 0); glVertex2i(w, 0);
    glTexCoord2f(u, v); glVertex2i(w, h);
    glTexCoord2f(0, v); glVertex2i(0, h);
    glEnd();
    glDisable(GL_TEXTURE_2D);
}

bool video_mgr::begin_cover(float alpha_above) {
    if (!is_gl() || !ortho_2d) return false;
    GLint bits = 0;
    glGetIntegerv(GL_DEPTH_BITS, &bits);
    if (bits <= 0) return false;
    // Every draw lies at depth 0: a pixel the cover wrote fails the "less" test of later draws.
    glClear(GL_DEPTH_BUFFER_BIT);
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LESS);
    glDepthMask(GL_TRUE);
    // Only opaque texels mark their pixels; a draw's empty texels cover nothing.
    glEnable(GL_ALPHA_TEST);
    glAlphaFunc(GL_GREATER, alpha_above);
    return true;
}

void video_mgr::begin_behind() {
    if (!is_gl()) return;
    glDisable(GL_ALPHA_TEST);
    glDepthMask(GL_FALSE);
}

void video_mgr::end_cover() {
    if (!is_gl()) return;
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_ALPHA_TEST);
    glDepthMask(GL_TRUE);
}

// Applies one wanted on/off state when it differs from the one OpenGL has.
static bool apply_state(video_mgr& v, int index, void (*on)(), void (*off)()) {
    if (v.gl_wanted[index] == v.gl_current[index]) return false;
    if (v.gl_wanted[index]) on(); else off();
    v.gl_current[index] = v.gl_wanted[index];
    v.gl_state_changes++;
    return true;
}

void video_mgr::sync_gl_state() {
    if (!is_gl()) return;
    if (gl_wanted[GLS_BLEND] != gl_current[GLS_BLEND]) {
        if (gl_wanted[GLS_BLEND]) {
            glEnable(GL_BLEND);
            glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
        } else {
            glDisable(GL_BLEND);
        }
        gl_current[GLS_BLEND] = gl_wanted[GLS_BLEND];
        gl_state_changes++;
    }
    apply_state(*this, GLS_VERTEX_ARRAY, [] { glEnableClientState(GL_VERTEX_ARRAY); },
                [] { glDisableClientState(GL_VERTEX_ARRAY); });
    if (!gl_current[GLS_VERTEX_ARRAY]) return;
    apply_state(*this, GLS_TEXCOORD_ARRAY, [] { glEnableClientState(GL_TEXTURE_COORD_ARRAY); },
                [] { glDisableClientState(GL_TEXTURE_COORD_ARRAY); });
    apply_state(*this, GLS_NORMAL_ARRAY, [] { glEnableClientState(GL_NORMAL_ARRAY); },
                [] { glDisableClientState(GL_NORMAL_ARRAY); });
}

uint8_t* pixel_address(SDL_Surface* s, int x, int y) {
    if (!s || !s->pixels || x < 0 || y < 0 || x >= s->w || y >= s->h) return nullptr;
    return (uint8_t*)s->pixels + y * s->pitch + x * s->format->BytesPerPixel;
}

void put_pixel(SDL_Surface* s, int x, int y, uint32_t value) {
    uint8_t* p = pixel_address(s, x, y);
    if (!p) return;
    switch (s->format->BytesPerPixel) {
    case 1: *p = (uint8_t)value; break;
    case 2: *(uint16_t*)p = (uint16_t)value; break;
    case 3: p[0] = (uint8_t)value; p[1] = (uint8_t)(value >> 8); p[2] = (uint8_t)(value >> 16); break;
    case 4: *(uint32_t*)p = value; break;
    }
}

static uint32_t read_pixel(const uint8_t* p, int bpp) {
    switch (bpp) {
    case 1: return *p;
    case 2: return *(const uint16_t*)p;
    case 3: return (uint32_t)p[0] | ((uint32_t)p[1] << 8) | ((uint32_t)p[2] << 16);
    default: return *(const uint32_t*)p;
    }
}

void blend_pixel(SDL_Surface* s, int x, int y, uint32_t colour, int a) {
    uint8_t* p = pixel_address(s, x, y);
    if (!p) return;
    SDL_PixelFormat* f = s->format;
    int bpp = f->BytesPerPixel;
    uint32_t old = read_pixel(p, bpp);
    if (bpp == 1) {
        Uint8 nr, ng, nb, orr, og, ob;
        SDL_GetRGB(colour, f, &nr, &ng, &nb);
        SDL_GetRGB(old, f, &orr, &og, &ob);
        Uint8 r = (Uint8)(orr + (nr - orr) * a / 255);
        Uint8 g = (Uint8)(og + (ng - og) * a / 255);
        Uint8 b = (Uint8)(ob + (nb - ob) * a / 255);
        put_pixel(s, x, y, SDL_MapRGB(f, r, g, b));
    } else if (bpp == 2 || bpp == 4) {
        uint32_t masks[3] = {f->Rmask, f->Gmask, f->Bmask};
        uint32_t out = 0;
        for (uint32_t m : masks) {
            int64_t o = old & m, n = colour & m;
            int64_t c = o + (((n - o) * a) >> 8);
            out |= (uint32_t)c & m;
        }
        put_pixel(s, x, y, out);
    } else if (bpp == 3) {
        for (int i = 0; i < 3; i++) {
            int o = p[i], n = (int)((colour >> (8 * i)) & 255);
            p[i] = (uint8_t)(o + (((n - o) * a) >> 8));
        }
    }
}

void draw_line(SDL_Surface* s, int x1, int y1, int x2, int y2, uint32_t colour, int alpha,
               int flags) {
    if (!s) return;
    if (!(flags & LINE_ALPHA)) alpha = 255;
    bool locked = false;
    if ((flags & LINE_LOCK) && SDL_MUSTLOCK(s)) {
        if (SDL_LockSurface(s) < 0) log_err("Can't lock video surface: %s\n", SDL_GetError());
        else locked = true;
    }
    bool x_major = abs(x2 - x1) >= abs(y2 - y1);
    int major = x_major ? x1 : y1, major_end = x_major ? x2 : y2;
    int minor_start = x_major ? y1 : x1, minor_end = x_major ? y2 : x2;
    int span = major_end - major;
    int step = span >= 0 ? 1 : -1;
    // Coincident end points have no slope: the single point is drawn.
    double slope = span != 0 ? (double)(minor_end - minor_start) / (double)span : 0.0;
    double minor_pos = minor_start;
    for (int m = major; m != major_end + step; m += step) {
        int minor = (int)floor(minor_pos + 0.5);
        int px = x_major ? m : minor, py = x_major ? minor : m;
        if (flags & LINE_ANTIALIAS) {
            double frac = minor_pos + 0.5 - minor;
            int a1 = (int)(frac * alpha);
            if (x_major) {
                blend_pixel(s, px, py + 1, colour, a1);
                blend_pixel(s, px, py - 1, colour, alpha - a1);
            } else {
                blend_pixel(s, px + 1, py, colour, a1);
                blend_pixel(s, px - 1, py, colour, alpha - a1);
            }
        }
        if (alpha < 255) blend_pixel(s, px, py, colour, alpha);
        else put_pixel(s, px, py, colour);
        minor_pos += slope * step;
    }
    if (locked) SDL_UnlockSurface(s);
}
