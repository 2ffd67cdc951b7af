#include "images/img_mgr.h"

#include <SDL_image.h>
#include <SDL_rotozoom.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <unordered_map>
#include <utility>
#include <vector>

#include "foundation/log.h"
#include "foundation/primitives.h"
#include "foundation/safe_file.h"
#include "foundation/text.h"
#include "foundation/video_mgr.h"
#include "images/keyed_blit.h"
#include "images/picture_check.h"

int img_mgr_count = 0;
nmanager<img_mgr> Image_Manager;

// ---------------------------------------------------------------------------------------
// Surface holders and pixel helpers

static surface_mgr* new_holder() {
    surface_mgr* h = new surface_mgr();
    h->attach();
    return h;
}

// Lets go of one reference; the record itself goes with its last reference. An empty
// holder (a file that failed to load) is let go quietly: there is nothing to free twice.
static void drop_holder(surface_mgr*& h) {
    if (!h) return;
    if (h->surface || h->refs > 1) h->release();
    else h->refs--;
    if (h->refs <= 0) delete h;
    h = nullptr;
}

static SDL_Surface* held(const surface_mgr* h) { return h ? h->surface : nullptr; }

// A pixel's colour as the value of its first three bytes (fewer for narrower pixels).
static inline uint32_t pixel24(const uint8_t* p, int bpp) {
    return (uint32_t)p[0] | (bpp > 1 ? (uint32_t)p[1] << 8 : 0u) |
           (bpp > 2 ? (uint32_t)p[2] << 16 : 0u);
}

static int next_pow2(int v) {
    int p = 1;
    while (p < v && p < (1 << 30)) p <<= 1;
    return p;
}

// A new surface of the same pixel format as s (palette included), w x h.
static SDL_Surface* same_format(SDL_Surface* s, int w, int h) {
    SDL_PixelFormat* f = s->format;
    SDL_Surface* n = SDL_CreateRGBSurface(SDL_SWSURFACE, w, h, f->BitsPerPixel, f->Rmask,
                                          f->Gmask, f->Bmask, f->Amask);
    if (n && f->palette && n->format->palette)
        SDL_SetColors(n, f->palette->colors, 0, f->palette->ncolors);
    if (n && (s->flags & SDL_SRCCOLORKEY)) SDL_SetColorKey(n, SDL_SRCCOLORKEY, f->colorkey);
    return n;
}

// Copies the w x h block at (sx, sy) of s to (0, 0) of d, byte for byte (same format).
static void copy_block(SDL_Surface* s, int sx, int sy, SDL_Surface* d, int w, int h) {
    int bpp = s->format->BytesPerPixel;
    SDL_LockSurface(s);
    SDL_LockSurface(d);
    for (int y = 0; y < h; y++)
        memcpy((uint8_t*)d->pixels + y * d->pitch,
               (const uint8_t*)s->pixels + (sy + y) * s->pitch + sx * bpp, (size_t)(w * bpp));
    SDL_UnlockSurface(d);
    SDL_UnlockSurface(s);
}

// The colour key of s: its own when it has one, otherwise pure green - when s can hold
// pure green exactly. A palette without it (shaded text's ramp) has no empty pixel: the
// nearest entry is a real colour. False when s has no key.
static bool key_of(SDL_Surface* s, uint32_t* key) {
    if (s->flags & SDL_SRCCOLORKEY) {
        *key = s->format->colorkey;
        return true;
    }
    *key = SDL_MapRGB(s->format, 0, 255, 0);
    SDL_Palette* pal = s->format->palette;
    if (!pal) return true;
    return *key < (uint32_t)pal->ncolors && pal->colors[*key].r == 0 &&
           pal->colors[*key].g == 255 && pal->colors[*key].b == 0;
}

// Keys s with key_of's key, or leaves it unkeyed when it has none.
static void key_surface(SDL_Surface* s) {
    uint32_t key;
    if (key_of(s, &key)) SDL_SetColorKey(s, SDL_SRCCOLORKEY, key);
    else SDL_SetColorKey(s, 0, 0);
}

// True when s is a display-format surface keyed with pure green and no alpha of its own.
static bool display_keyed(const SDL_Surface* s) {
    const SDL_PixelFormat* f = s->format;
    const SDL_PixelFormat* d = video.screen ? video.screen->format : nullptr;
    return d && f->BitsPerPixel == 32 && d->BitsPerPixel == 32 && !f->Amask && !d->Amask &&
           f->Rmask == d->Rmask && f->Gmask == d->Gmask && f->Bmask == d->Bmask &&
           (s->flags & SDL_SRCCOLORKEY) && f->colorkey == SDL_MapRGB(f, 0, 255, 0);
}

// A display-format copy of s zoomed by (zx, zy) (negative = mirrored) and rotated by angle
// degrees, with the pure-green colour key. Keyed pixels of s, and the corners a rotation
// uncovers, come out keyed. s itself is left as it was.
static SDL_Surface* zoom_keyed(SDL_Surface* s, double angle, double zx, double zy) {
    if (angle == 0 && display_keyed(s)) {
        // Unturned and unsmoothed, the zoom copies whole pixels, the key's among them: a
        // keyed display surface zooms straight into its keyed result, in one pass.
        SDL_Surface* z = rotozoomSurfaceXY(s, 0, zx, zy, SMOOTHING_OFF);
        if (z && z->format->BitsPerPixel == 32 && z->format->Rmask == s->format->Rmask &&
            z->format->Gmask == s->format->Gmask && z->format->Bmask == s->format->Bmask &&
            !z->format->Amask) {
            SDL_SetColorKey(z, SDL_SRCCOLORKEY, s->format->colorkey);
            return z;
        }
        if (z) SDL_FreeSurface(z);
    }
    SDL_Surface* rgba = video.create_surface(s->w, s->h, 32, 0); // starts transparent
    if (!rgba) return nullptr;
    Uint32 flags = s->flags & (SDL_SRCALPHA | SDL_SRCCOLORKEY);
    Uint8 a = s->format->alpha;
    Uint32 key = s->format->colorkey;
    SDL_SetAlpha(s, 0, a);
    key_surface(s);
    if (SDL_BlitSurface(s, nullptr, rgba, nullptr) < 0)
        log_err("BlitSurface error: %s\n", SDL_GetError());
    SDL_SetColorKey(s, flags & SDL_SRCCOLORKEY, key);
    SDL_SetAlpha(s, flags & SDL_SRCALPHA, a);

    SDL_Surface* z = rotozoomSurfaceXY(rgba, angle, zx, zy, SMOOTHING_OFF);
    SDL_FreeSurface(rgba);
    if (!z) return nullptr;
    SDL_Surface* out = video.create_surface(z->w, z->h, 32, 0);
    if (!out) {
        SDL_FreeSurface(z);
        return nullptr;
    }
    SDL_FillRect(out, nullptr, SDL_MapRGBA(out->format, 0, 255, 0, 255));
    SDL_SetAlpha(z, SDL_SRCALPHA, 255);
    if (SDL_BlitSurface(z, nullptr, out, nullptr) < 0)
        log_err("BlitSurface error: %s\n", SDL_GetError());
    SDL_FreeSurface(z);
    SDL_Surface* d = SDL_DisplayFormat(out);
    SDL_FreeSurface(out);
    if (d) SDL_SetColorKey(d, SDL_SRCCOLORKEY, SDL_MapRGB(d->format, 0, 255, 0));
    return d;
}

// ---------------------------------------------------------------------------------------
// Shared OpenGL names
//
// Copies of an uploaded image draw with the same texture, display list and buffer. Each
// texture counts the images using it; the last one to let go deletes all three.

static std::unordered_map<uint32_t, int>& texture_users() {
    static std::unordered_map<uint32_t, int>* users = new std::unordered_map<uint32_t, int>();
    return *users; // never freed: images in globals may let go during process exit
}

int img_mgr_live_textures() { return (int)texture_users().size(); }

static void share_gl(uint32_t tex) {
    if (tex != IMG_NONE) texture_users()[tex]++;
}

// Lets go of this image's OpenGL names, deleting them with their last user. Without a
// video subsystem (process exit after SDL_Quit) the context is gone and so are they.
static void drop_gl(uint32_t& tex, uint32_t& list, uint32_t& vbo) {
    if (tex != IMG_NONE) {
        std::unordered_map<uint32_t, int>& users = texture_users();
        auto it = users.find(tex);
        if (it != users.end() && --it->second <= 0) {
            users.erase(it);
            if (SDL_WasInit(SDL_INIT_VIDEO) && video.is_gl()) {
                log_out("opengl: Freeing [%d]\n", (int)tex);
                GLuint t = tex;
                glDeleteTextures(1, &t);
                if (list) glDeleteLists(list, 1);
                if (vbo != IMG_NONE && p_glDeleteBuffersARB) {
                    GLuint b = vbo;
                    p_glDeleteBuffersARB(1, &b);
                }
            }
        }
    }
    tex = IMG_NONE;
    list = 0;
    vbo = IMG_NONE;
}

// ---------------------------------------------------------------------------------------
// Lifetime

img_mgr::img_mgr() {
    img_mgr_count++;
    log_out("___Creating image [%x] images[%d] estsz[%d]\n", ptr_id(this), img_mgr_count,
            img_mgr_count * 200);
}

img_mgr::img_mgr(const img_mgr& o) {
    log_out("Copy cstr img_mgr [%x]to[%x]\n", ptr_id(&o), ptr_id(this));
    img_mgr_count++;
    *this = o;
}

img_mgr& img_mgr::operator=(const img_mgr& o) {
    log_out("Image assignment [%x] to [%x]\n", ptr_id(&o), ptr_id(this));
    if (&o == this) return *this;
    if (o.surface) {
        SDL_Surface* s = held(o.surface) ? SDL_DisplayFormat(o.surface->surface) : nullptr;
        drop_holder(surface);
        surface = new_holder();
        surface->set_surface(s);
    } else {
        if (o.tex == IMG_NONE) {
            log_out("ERROR: no image to copy from\n");
            return *this;
        }
        log_out("Would Downloading [%d,%d]/32 surface from hw to sw\n", o.width, o.height);
        drop_holder(surface);
    }
    if (o.mirror_surface != mirror_surface) {
        drop_holder(mirror_surface);
        mirror_surface = o.mirror_surface;
        if (mirror_surface) mirror_surface->attach();
    }
    dst_rect = o.dst_rect;
    src_rect = o.src_rect;
    left = o.left;
    top = o.top;
    right = o.right;
    bottom = o.bottom;
    has_bounds = o.has_bounds;
    inv_tex_w = o.inv_tex_w;
    inv_tex_h = o.inv_tex_h;
    if (tex != o.tex) {
        drop_gl(tex, list, vbo);
        tex = o.tex;
        list = o.list;
        vbo = o.vbo;
        share_gl(tex);
    }
    tex_w = o.tex_w;
    tex_h = o.tex_h;
    width = o.width;
    height = o.height;
    alpha = o.alpha;
    no_zcache = o.no_zcache;
    copy_text(filename, o.filename);
    mirrored = o.mirrored;
    sw_ready = o.sw_ready;
    solid = o.solid;
    opaque_texels = o.opaque_texels;
    zcache.clear();
    return *this;
}

img_mgr::~img_mgr() {
    img_mgr_count--;
    log_out("___NOTICE: deconstring an image[%x] images[%d] mysize[%d]\n", ptr_id(this),
            img_mgr_count, 200);
    log_out("___filename [%s]\n", filename);
    drop_holder(surface);
    drop_holder(mirror_surface);
    zcache.clear();
    drop_gl(tex, list, vbo);
}

// ---------------------------------------------------------------------------------------
// Loading and pixel work

void img_mgr::load(const char* path) {
    if (!path) path = "";
    log_out("Loading img_mgr [%s] into [%x]/[%x] gl[%d]\n", path, ptr_id(this), ptr_id(surface),
            (int)tex);
    drop_holder(surface);
    drop_gl(tex, list, vbo); // a new picture needs its own upload
    surface = new_holder();
    sw_ready = 0;
    zcache.clear();

    SDL_Surface* s = nullptr;
    if (!regular_file(path)) SDL_SetError("Couldn't open %s", path); // a device or pipe could hang the read
    else if (picture_may_be_whole(path)) s = IMG_Load(path);
    if (!s) {
        log_out("Couldn't load %s: %s\n", path, SDL_GetError());
        log_err("Couldn't load %s: %s\n", path, SDL_GetError());
        return;
    }
    if (s->format->BitsPerPixel == 32) {
        SDL_Surface* d = SDL_DisplayFormat(s);
        SDL_FreeSurface(s);
        s = d;
        if (s) log_out("Resurface to [%d]\n", s->format->BitsPerPixel);
    }
    if (s) surface->set_surface(s);
    if (!surface->surface) {
        log_out("ERROR: can't load [%s]\n", path);
        log_err("Couldn't load %s: %s\n", path, SDL_GetError());
        return;
    }
    copy_text(filename, path);
    if (s->format->palette && video.screen && video.screen->format->palette) {
        log_out("Paletting image<br>\n");
        SDL_SetColors(video.screen, s->format->palette->colors, 0, s->format->palette->ncolors);
    }
    width = s->w;
    height = s->h;
    reset_rects();
    shave();
    if (tex != IMG_NONE)
        log_out("WARNING: I just loaded an image and it says its already HW acceled\n");
}

void img_mgr::release_pixels() {
    drop_holder(surface);
    drop_holder(mirror_surface);
    zcache.clear();
    sw_ready = 0;
}

void img_mgr::shave() {
    SDL_Surface* s = held(surface);
    left = top = right = bottom = 0;
    solid = 0;
    if (s) {
        uint32_t key = SDL_MapRGB(s->format, key_r, key_g, key_b) & 0xFFFFFFu;
        SDL_Palette* pal = s->format->palette;
        if (pal && (key >= (uint32_t)pal->ncolors || pal->colors[key].r != key_r ||
                    pal->colors[key].g != key_g || pal->colors[key].b != key_b))
            key = 0xFFFFFFFFu; // a palette without the exact key colour has nothing empty
        int bpp = s->format->BytesPerPixel;
        int minx = s->w, maxx = -1, miny = s->h, maxy = -1;
        bool empty_pixel = false;
        SDL_LockSurface(s);
        for (int y = 0; y < s->h; y++) {
            const uint8_t* row = (const uint8_t*)s->pixels + y * s->pitch;
            for (int x = 0; x < s->w; x++) {
                if (pixel24(row + x * bpp, bpp) == key) {
                    empty_pixel = true;
                    continue;
                }
                if (x < minx) minx = x;
                if (x > maxx) maxx = x;
                if (y < miny) miny = y;
                maxy = y;
            }
        }
        SDL_UnlockSurface(s);
        solid = !empty_pixel && maxx >= 0 && !(s->flags & (SDL_SRCALPHA | SDL_SRCCOLORKEY));
        if (maxx >= 0) {
            left = (uint32_t)minx;
            right = (uint32_t)maxx + 1;
            top = (uint32_t)miny;
            bottom = (uint32_t)maxy + 1;
        }
    }
    int bw = (int)right - (int)left, bh = (int)bottom - (int)top;
    log_out("Bounds for [%s] are [%d,%d,%d,%d] bsz[%d,%d] isz[%d,%d] gl[%d]\n", filename,
            (int)left, (int)top, (int)right, (int)bottom, bw, bh, width, height, (int)tex);
    if (s) {
        // No visible pixel: the box is empty and so is the surface; the image draws nothing.
        SDL_Surface* box = (bw > 0 && bh > 0) ? same_format(s, bw, bh) : nullptr;
        if (bw > 0 && bh > 0 && !box)
            log_err("Create Shaved Image Surface error: %s\n", SDL_GetError());
        if (box) copy_block(s, (int)left, (int)top, box, bw, bh);
        SDL_FreeSurface(s);
        surface->surface = nullptr;
        if (box) {
            SDL_Surface* d = SDL_DisplayFormat(box);
            if (!d) log_err("Create Screen Formatted Shaved Image Surface error: %s\n", SDL_GetError());
            surface->set_surface(d);
            SDL_FreeSurface(box);
        }
    }
    reset_rects();
    has_bounds = 1;
}

int img_mgr::set_surface(SDL_Surface* s) {
    if (!s) return 0;
    drop_holder(surface);
    drop_gl(tex, list, vbo);
    surface = new_holder();
    surface->set_surface(s);
    sw_ready = 0;
    zcache.clear();
    width = s->w;
    height = s->h;
    copy_text(filename, "surfacetaken");
    solid = 0;
    reset_rects();
    left = top = 0;
    right = (uint32_t)width;
    bottom = (uint32_t)height;
    has_bounds = 0;
    return height;
}

void img_mgr::set_surface_bounded(SDL_Surface* s, int l, int t, int r, int b) {
    set_surface(s);
    has_bounds = 1;
    left = (uint32_t)l;
    top = (uint32_t)t;
    right = (uint32_t)r;
    bottom = (uint32_t)b;
}

bool img_mgr::copy_for_recolour(img_mgr& o) {
    // While mirrored in software mode the unmirrored pixels are the other facing's.
    surface_mgr* plain = (o.mirrored && o.mirror_surface) ? o.mirror_surface : o.surface;
    SDL_Surface* s = held(plain) ? SDL_DisplayFormat(plain->surface) : nullptr;
    if (s) {
        set_surface_bounded(s, (int)o.left, (int)o.top, (int)o.right, (int)o.bottom);
        width = o.width;
        height = o.height;
        copy_text(filename, o.filename);
    } else if (o.filename[0] && strcmp(o.filename, "surfacetaken") != 0) {
        // An OpenGL upload released the pixels: the file has them, exactly as first loaded.
        load(o.filename);
    }
    if (!held(surface)) {
        log_out("ERROR: no pixels to re-colour for [%s]\n", o.filename);
        return false;
    }
    if (o.alpha != 255) set_alpha(o.alpha);
    if (o.mirrored) flip();
    return true;
}

SDL_Surface* img_mgr::display_copy() {
    SDL_Surface* s = held(surface);
    return s ? SDL_DisplayFormat(s) : nullptr;
}

void img_mgr::swap_color(uint32_t from, uint32_t to) {
    if (!surface) {
        log_out("Can't swap color [%s] doesn't have a image\n", filename);
        return;
    }
    SDL_Surface* s = surface->surface;
    if (!s) {
        log_out("Can't swap color [%s] doesn't have a surface\n", filename);
        return;
    }
    int bpp = s->format->BytesPerPixel;
    int n = bpp < 3 ? bpp : 3;
    from &= 0xFFFFFFu;
    SDL_LockSurface(s);
    for (int y = 0; y < s->h; y++) {
        uint8_t* row = (uint8_t*)s->pixels + y * s->pitch;
        for (int x = 0; x < s->w; x++) {
            uint8_t* p = row + x * bpp;
            if (pixel24(p, bpp) != from) continue;
            for (int i = 0; i < n; i++) p[i] = (uint8_t)(to >> (8 * i));
        }
    }
    SDL_UnlockSurface(s);
    zcache.clear();
    // The other facing is rebuilt from the recoloured pixels by the next flip.
    drop_holder(mirror_surface);
}

void img_mgr::set_alpha(uint8_t a) {
    if (!video.is_gl() && a != alpha) {
        if (SDL_Surface* s = held(surface)) SDL_SetAlpha(s, SDL_SRCALPHA, a);
        if (SDL_Surface* m = held(mirror_surface)) SDL_SetAlpha(m, SDL_SRCALPHA, a);
    }
    alpha = a;
}

void img_mgr::flip() {
    if (!video.is_gl()) {
        if (!mirror_surface && held(surface)) {
            tohw(); // both facings are keyed display surfaces, whichever is drawn first
            SDL_Surface* m = zoom_keyed(surface->surface, 0, -1, 1);
            if (m) {
                if (alpha != 255) SDL_SetAlpha(m, SDL_SRCALPHA, alpha);
                mirror_surface = new_holder();
                mirror_surface->set_surface(m);
            }
        }
        if (mirror_surface) std::swap(surface, mirror_surface);
    }
    mirrored ^= 1;
}

void img_mgr::download() {
    if (!video.is_gl() || tex == IMG_NONE) return;
    if (surface) {
        log_out("ERROR: Can't d/l from hw to sw because image exists [%x]\n",
                ptr_id(surface->surface));
        return;
    }
    log_out("Copying [%d,%d]/32 surface from hw to sw\n", width, height);
    SDL_Surface* s = video.create_surface(width, height, 32, 0);
    surface = new_holder();
    if (!s) return;
    std::vector<uint8_t> pixels((size_t)tex_w * (size_t)tex_h * 4);
    glBindTexture(GL_TEXTURE_2D, tex);
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    // The texture may be smaller than the full picture (a shaved box): copy what overlaps.
    int w = width < tex_w ? width : tex_w, h = height < tex_h ? height : tex_h;
    SDL_LockSurface(s);
    for (int y = 0; y < h; y++)
        memcpy((uint8_t*)s->pixels + y * s->pitch, pixels.data() + (size_t)y * tex_w * 4,
               (size_t)w * 4);
    SDL_UnlockSurface(s);
    surface->set_surface(s);
}

pixel_box img_mgr::hit_box(int x, int y, float scale) const {
    pixel_box e;
    if (mirrored) {
        e.x1 = x + width - (int)right;
        e.x2 = x + width - (int)left;
    } else {
        e.x1 = x + (int)left;
        e.x2 = x + (int)right;
    }
    e.x1 = (int)(e.x1 * scale);
    e.x2 = (int)(e.x2 * scale);
    e.y1 = y + (int)top;
    e.y2 = y + (int)bottom;
    return e;
}

bool img_mgr::overlaps(int x, int y, img_mgr* other, int ox, int oy, float scale, bool show) {
    if (!other) return false;
    pixel_box a = hit_box(x, y, scale), b = other->hit_box(ox, oy, scale);
    if (show && video.screen) {
        video.draw_box(a.x1, a.y1, a.x2, a.y2, SDL_MapRGB(video.screen->format, 255, 0, 0));
        video.draw_box(b.x1, b.y1, b.x2, b.y2, SDL_MapRGB(video.screen->format, 0, 0, 255));
    }
    // A picture with nothing visible (or never loaded) has no box to hit with.
    if (is_blank() || other->is_blank()) return false;
    return a.y1 <= b.y2 && b.y1 <= a.y2 && a.x1 <= b.x2 && b.x1 <= a.x2;
}

// ---------------------------------------------------------------------------------------
// Upload

void img_mgr::quad_size(int* w, int* h) const {
    if (has_bounds) {
        *w = (int)right - (int)left;
        *h = (int)bottom - (int)top;
    } else {
        *w = width;
        *h = height;
    }
}

void img_mgr::reset_rects() {
    src_rect.x = src_rect.y = 0;
    src_rect.w = (Uint16)width;
    src_rect.h = (Uint16)height;
    dst_rect.x = dst_rect.y = 0;
    dst_rect.w = (Uint16)width;
    dst_rect.h = (Uint16)height;
}

// Rendered text comes paletted with its own background key; it keeps it. Anything else is
// keyed with pure green where it can hold it.
static void key_for_upload(SDL_Surface* s) {
    if (s->format->palette && (s->flags & SDL_SRCCOLORKEY)) return;
    key_surface(s);
}

void img_mgr::set_color_key() {
    if (SDL_Surface* s = held(surface)) key_for_upload(s);
}

SDL_Surface* texture_pixels(SDL_Surface* s, int w, int h) {
    key_for_upload(s);
    SDL_Surface* rgba = video.create_surface(w, h, 32, 0);
    if (!rgba) return nullptr;
    // Copy the colours as they are: translucency comes from the image's alpha at draw time.
    bool had_alpha = (s->flags & SDL_SRCALPHA) != 0;
    Uint8 surface_alpha = s->format->alpha;
    if (had_alpha) SDL_SetAlpha(s, 0, surface_alpha);
    SDL_Rect sr = {0, 0, (Uint16)w, (Uint16)h}, dr = sr;
    if (SDL_BlitSurface(s, &sr, rgba, &dr) < 0) log_err("BlitSurface error: %s\n", SDL_GetError());
    if (had_alpha) SDL_SetAlpha(s, SDL_SRCALPHA, surface_alpha);
    return rgba;
}

// True when every texel of the w x h corner of rgba is fully opaque. The padding's first and
// last columns and rows then take copies of the picture's edges, so that filtering at its
// edges (the texture repeats: its last column lies left of the first) stays opaque too and
// the picture needs no blending.
static bool opaque_with_edges(SDL_Surface* rgba, int w, int h) {
    const Uint32 amask = rgba->format->Amask;
    w = std::min(w, rgba->w);
    h = std::min(h, rgba->h);
    if (!amask || w <= 0 || h <= 0 || rgba->format->BytesPerPixel != 4) return false;
    if (SDL_MUSTLOCK(rgba)) SDL_LockSurface(rgba);
    auto row = [rgba](int y) { return (Uint32*)((Uint8*)rgba->pixels + (size_t)y * rgba->pitch); };
    bool all = true;
    for (int y = 0; y < h && all; y++) {
        const Uint32* r = row(y);
        for (int x = 0; x < w; x++)
            if ((r[x] & amask) != amask) {
                all = false;
                break;
            }
    }
    if (all) {
        const int tw = rgba->w, th = rgba->h;
        for (int y = 0; y < h && w < tw; y++) {
            Uint32* r = row(y);
            r[tw - 1] = r[0];
            r[w] = r[w - 1];
        }
        if (h < th) {
            memcpy(row(th - 1), row(0), (size_t)tw * 4);
            memcpy(row(h), row(h - 1), (size_t)tw * 4);
        }
    }
    if (SDL_MUSTLOCK(rgba)) SDL_UnlockSurface(rgba);
    return all;
}

int img_mgr::tohw() {
    if (has_bounds && is_blank() && surface && !surface->surface) return 0; // nothing to show
    if (video.is_gl()) {
        if (tex != IMG_NONE) return 0;
        if (list) log_out("WARNING: replacing display list [%d]\n", (int)list);
        if (!surface) {
            log_out("ERROR: can't upload null image [%s]\n", filename);
            return -1;
        }
        SDL_Surface* s = surface->surface;
        if (!s) {
            log_out("ERROR: uploading something that wasn't loaded [%s] [%x]\n", filename,
                    ptr_id(this));
            return -1;
        }
        if (!s->format) {
            log_out("ERROR: Can't upload, no format\n");
            return -1;
        }
        set_color_key();
        tex_w = next_pow2(s->w);
        tex_h = next_pow2(s->h);
        inv_tex_w = 1.0f / (float)tex_w;
        inv_tex_h = 1.0f / (float)tex_h;
        log_out("IMG_MGR::tohw converting v[%d,%d] p[%d,%d] to [%d,%d]\n", width, height, s->w,
                s->h, tex_w, tex_h);
        // A translucent surface's alpha becomes the image's, applied at draw time.
        const bool had_alpha = (s->flags & SDL_SRCALPHA) != 0;
        const Uint8 surface_alpha = s->format->alpha;
        if (had_alpha) set_alpha(255);
        SDL_Surface* rgba = texture_pixels(s, tex_w, tex_h);
        if (had_alpha) set_alpha(surface_alpha);
        if (!rgba) {
            log_out("Img::MGR:tohw() FAULT - failure in creating surface [%d,%d]\n", tex_w, tex_h);
            return -1;
        }
        int w, h;
        quad_size(&w, &h);
        // An opaque picture (a stage's sky and floor, a menu's background) is drawn without
        // blending, which spares Mesa's software rasteriser reading back every pixel.
        opaque_texels = opaque_with_edges(rgba, w, h);
        GLuint t = 0;
        glGenTextures(1, &t);
        tex = t;
        share_gl(tex);
        log_out("opengl texture upload: got [%d] for [%s]\n", (int)tex, filename);
        glBindTexture(GL_TEXTURE_2D, tex);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
        glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB5_A1, tex_w, tex_h, 0, GL_RGBA, GL_UNSIGNED_BYTE,
                     rgba->pixels);
        SDL_FreeSurface(rgba);
        drop_holder(surface);
        if (video.vbo_supported && p_glGenBuffersARB) {
            GLuint b = 0;
            p_glGenBuffersARB(1, &b);
            vbo = b;
        }
        float u = (float)w / (float)tex_w, v = (float)h / (float)tex_h;
        video.set_blending(false);
        video.sync_gl_state();
        list = glGenLists(1);
        glNewList(list, GL_COMPILE);
        glBindTexture(GL_TEXTURE_2D, tex);
        textured_rect(w, h, u, v);
        glEndList();
        return 0;
    }

    if (!surface) {
        log_out("ERROR uploading null image\n");
        return -1;
    }
    SDL_Surface* s = surface->surface;
    if (!s) {
        log_out("ERROR uploading null surface image\n");
        return -1;
    }
    if (sw_ready) return 0; // converted once already
    log_out("preflags[%d]&[%d]=[%d]\n", (int)s->flags, 1, (int)(s->flags & 1));
    log_out("test[%d]\n", (int)(s->flags & 1));
    if (s->flags & SDL_HWSURFACE) {
        sw_ready = 1;
        return 0;
    }
    log_out("flags[%d]&[%d]=[%d]\n", (int)s->flags, 1, (int)(s->flags & 1));
    if (s->format->Amask && (s->flags & SDL_SRCALPHA)) {
        // Translucent pixels of their own (blended text): kept, blended by SDL's blit. A
        // copy onto the key colour would fill the whole box with the text colour.
        SDL_Surface* d = SDL_DisplayFormatAlpha(s);
        if (!d) return -1;
        SDL_FreeSurface(s);
        surface->surface = nullptr;
        surface->set_surface(d);
        sw_ready = 1;
        return 0;
    }
    SDL_PixelFormat* sf = video.screen->format;
    SDL_Surface* t = SDL_CreateRGBSurface(SDL_HWSURFACE | SDL_ASYNCBLIT, s->w, s->h,
                                          sf->BitsPerPixel, sf->Rmask, sf->Gmask, sf->Bmask, 0);
    if (!t) return -1;
    log_out("temp is [%d]\n", (int)t->flags);
    // Keyed pixels of the source (green, or rendered text's own key) become green here.
    SDL_FillRect(t, nullptr, SDL_MapRGB(t->format, 0, 255, 0));
    Uint32 had_alpha = s->flags & SDL_SRCALPHA;
    Uint8 surface_alpha = s->format->alpha;
    SDL_SetAlpha(s, 0, surface_alpha);
    if (!(s->flags & SDL_SRCCOLORKEY)) key_surface(s);
    if (SDL_BlitSurface(s, nullptr, t, nullptr) < 0)
        log_err("BlitSurface error: %s\n", SDL_GetError());
    SDL_Surface* d = SDL_DisplayFormat(t);
    SDL_FreeSurface(t);
    if (!d) return -1;
    SDL_FreeSurface(s);
    surface->surface = nullptr;
    surface->set_surface(d);
    set_color_key();
    if (had_alpha) SDL_SetAlpha(d, SDL_SRCALPHA, surface_alpha);
    sw_ready = 1;
    return 0;
}

// ---------------------------------------------------------------------------------------
// Drawing

draw_list* draw_target = nullptr;

void draw_list::add_mark(int code, int a0, int a1, int a2, int a3, int a4, double v) {
    if (drop || items.size() >= items.capacity()) return;
    items.push_back(draw_item{nullptr, 0, 0, 0, 0, 0, 0, 0, code, {a0, a1, a2, a3, a4}, v});
}

void draw_item_show(const draw_item& d) {
    img_mgr* im = d.image;
    if (!im) return;
    const uint8_t alpha = im->alpha, mirrored = im->mirrored;
    if (mirrored != d.mirrored) im->flip();
    if (alpha != d.alpha) im->set_alpha(d.alpha);
    draw_list* target = draw_target;
    draw_target = nullptr;
    im->draw(d.x, d.y, video.screen, d.sx, d.sy, d.angle);
    draw_target = target;
    if (im->alpha != alpha) im->set_alpha(alpha);
    if (im->mirrored != mirrored) im->flip();
}

void img_mgr::draw(int x, int y, SDL_Surface* dst, float sx, float sy, int angle) {
    if (draw_target && dst == video.screen) {
        draw_list& t = *draw_target;
        if (!t.drop && t.items.size() < t.items.capacity())
            t.items.push_back(draw_item{this, x, y, sx, sy, angle, alpha, mirrored, 0, {0, 0, 0, 0, 0}, 0});
        return;
    }
    if (has_bounds) {
        if (mirrored) x += (int)((float)(width - (int)right) * sx);
        else x += (int)((float)left * sx);
        y += (int)((float)top * sy);
    }
    if (dst != video.screen) {
        log_out("Detected non-screen output for [%s]\n", filename);
        download();
    } else if (video.is_gl()) {
        tohw();
    }
    if (!video.is_gl() && held(surface)) tohw();
    if (is_blank()) {
        reset_rects();
        return;
    }
    if (video.is_gl()) draw_gl(x, y, sx, sy, angle);
    else if (dst) draw_sw(x, y, dst, sx, sy, angle);
    reset_rects();
}

void img_mgr::draw_gl(int bx, int by, float sx, float sy, int angle) {
    if (tex == IMG_NONE) {
        log_out("ERROR displaying non-uploadedGL image [%x]->NULL\n", ptr_id(this));
        return;
    }
    if (alpha == 0) return; // fully transparent: blending would leave every pixel as it is
    int w, h;
    quad_size(&w, &h);
    float xs = mirrored ? -sx : sx;
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    int m = mirrored ? (int)(sx * (float)w) : 0;
    glTranslatef((float)(bx + m), (float)by, 0);
    if (angle != 0) {
        // Rotate about the drawn box's centre, mirrored or not.
        int cx = (int)((float)w * xs * 0.5f);
        glTranslatef((float)cx, (float)(int)((float)h * sy * 0.5f), 0);
        // A positive angle turns counter-clockwise on the screen, as in software mode; with
        // y pointing down that is a negative turn about z.
        glRotatef((float)-angle, 0, 0, 1);
    }
    if (sx != 1 || sy != 1 || mirrored) glScalef(xs, sy, 1);
    if (angle != 0) glTranslatef((float)-(w / 2), (float)-(h / 2), 0);
    if (alpha == 255) glColor3ub(255, 255, 255);
    else glColor4ub(255, 255, 255, alpha);
    video.set_blending(alpha != 255 || !opaque_texels);
    video.sync_gl_state();
    glCallList(list);
    glPopMatrix();
    if (alpha != 255) glColor4ub(255, 255, 255, 255);
    video.set_blending(false);
}

void img_mgr::draw_sw(int bx, int by, SDL_Surface* dst, float sx, float sy, int angle) {
    if (!surface) {
        log_out("ERROR displayingtozoom empty image [%x]->NULL [%s]\n", ptr_id(this), filename);
        return;
    }
    SDL_Surface* s = surface->surface;
    if (!s) return;
    angle %= 360; // whole turns first, so no angle overflows on its way into 0..359
    if (angle < 0) angle += 360;

    SDL_Surface* src = s;
    bool owned = false, cached = false;
    double px = bx, py = by; // where src's top-left corner lands
    const double zw = (double)s->w * sx, zh = (double)s->h * sy;
    if (!(sx == 1 && sy == 1 && angle == 0) && angle == 0 && (zw > dst->w || zh > dst->h)) {
        // Larger than dst: only the part that lands on dst is zoomed, and put where it lies
        // in the whole zoomed picture. Its part changes as the picture moves: never cached.
        double x0 = bx < 0 ? -(double)bx : 0, x1 = std::min(zw, (double)dst->w - bx);
        double y0 = by < 0 ? -(double)by : 0, y1 = std::min(zh, (double)dst->h - by);
        if (!(x0 < x1 && y0 < y1)) return;
        int cx0 = (int)std::floor(x0 / sx), cx1 = (int)std::ceil(x1 / sx);
        int cy0 = (int)std::floor(y0 / sy), cy1 = (int)std::ceil(y1 / sy);
        cx0 = std::max(cx0, 0), cy0 = std::max(cy0, 0);
        cx1 = std::min(cx1, s->w), cy1 = std::min(cy1, s->h);
        int pw = cx1 - cx0, ph = cy1 - cy0;
        if (pw < 1 || ph < 1) return;
        log_out("grab patch from [%d,%d-%d,%d] sz[%d,%d]\n", cx0, cy0, cx1, cy1, pw, ph);
        SDL_Surface* p = same_format(s, pw, ph);
        if (!p) return;
        copy_block(s, cx0, cy0, p, pw, ph);
        src = zoom_keyed(p, 0, sx, sy);
        SDL_FreeSurface(p);
        if (!src) return;
        owned = true;
        px = bx + cx0 * (double)sx;
        py = by + cy0 * (double)sy;
        if (alpha != 255) SDL_SetAlpha(src, SDL_SRCALPHA, alpha);
    } else if (angle != 0 && (zw > dst->w || zh > dst->h)) {
        // Turned and larger than dst: its centre, turned, covers dst (never cached; a whole
        // conversion could be gigabytes).
        int pw = std::max(1, std::min(s->w, (int)(dst->w / sx)));
        int ph = std::max(1, std::min(s->h, (int)(dst->h / sy)));
        SDL_Surface* p = same_format(s, pw, ph);
        if (!p) return;
        copy_block(s, (s->w - pw) / 2, (s->h - ph) / 2, p, pw, ph);
        src = zoom_keyed(p, angle, (double)dst->w / pw, (double)dst->h / ph);
        SDL_FreeSurface(p);
        if (!src) return;
        owned = true;
        px = py = 0;
        if (alpha != 255) SDL_SetAlpha(src, SDL_SRCALPHA, alpha);
    } else if (!(sx == 1 && sy == 1 && angle == 0)) {
        zoom_key key = {sx, sy, angle};
        zcache_entry* e = no_zcache ? nullptr : zcache.find(key, mirrored);
        if (e) {
            src = e->surface;
            cached = true;
            if (alpha != 255) SDL_SetAlpha(src, SDL_SRCALPHA, alpha);
        } else {
            if (no_zcache)
                log_out("WARNING: Live image conversion [%f,%f@%d] for [%x/%s]<br>\n", sx, sy,
                        angle, ptr_id(this), filename);
            src = zoom_keyed(s, angle, sx, sy);
            if (!src) return;
            if (alpha != 255) SDL_SetAlpha(src, SDL_SRCALPHA, alpha);
            if (no_zcache) {
                owned = true;
            } else {
                log_out("saving [%s@%f,%f@%d] in zcache\n", filename, sx, sy, angle);
                zcache.add(src, key, mirrored);
                cached = true;
                log_out("Zcache for [%x]->[%s] is now [%d]\n", ptr_id(this), filename,
                        zcache.size());
            }
        }
        if (angle != 0) {
            // A rotated picture is larger: centre it where the unrotated box would lie.
            px -= (int)(((double)src->w - zw) / 2);
            py -= (int)(((double)src->h - zh) / 2);
        }
    }
    // Whatever lies wholly outside dst is clipped, however far away (a rectangle's 16-bit
    // position would otherwise wrap it back onto the screen).
    if (px < dst->w && py < dst->h && px + src->w > 0 && py + src->h > 0 && px > -32768 &&
        py > -32768) {
        dst_rect.x = (Sint16)(int)px;
        dst_rect.y = (Sint16)(int)py;
        if (keyed_blit(src, nullptr, dst, &dst_rect) < 0)
            log_err("BlitSurface error: %s\n", SDL_GetError());
    }
    if (owned) SDL_FreeSurface(src);
    else if (cached && alpha != 255) SDL_SetAlpha(src, 0, 255);
}

bool img_mgr::covers_screen(int x, int y) const {
    const SDL_Surface* s = video.screen;
    return s && solid && alpha == 255 && x <= 0 && y <= 0 && x + width >= s->w && y + height >= s->h;
}

void img_mgr::draw_at(int x, int y) { draw(x, y, video.screen, 1, 1, 0); }

void img_mgr::draw_on(int x, int y, SDL_Surface* dst) { draw(x, y, dst, 1, 1, 0); }

void img_mgr::draw_scaled(int x, int y, double sx, double sy) {
    draw((int)(x * sx), (int)(y * sy), video.screen, (float)sx, (float)sy, 0);
}

void img_mgr::draw_anchored(int x, int y, SDL_Surface* dst, double s) {
    draw((int)(s * x), (int)(y + height - s * height), dst, (float)s, (float)s, 0);
}

void img_mgr::draw_tiled(int x1, int y1, int x2, int y2) {
    tohw();
    if (has_bounds && is_blank()) return; // loaded, but nothing visible
    if (video.is_gl()) {
        if (tex == IMG_NONE) {
            log_out("ERROR displaying non-uploadedGL image [%x]->NULL\n", ptr_id(this));
            return;
        }
        float u = (float)((x2 - x1) * 0.008695652173913044);
        float v = (float)((y2 - y1) * 0.007142857142857143);
        float u1 = mirrored ? u : 0, u2 = mirrored ? 0 : u;
        glEnable(GL_TEXTURE_2D);
        video.set_blending(true);
        video.sync_gl_state();
        glBindTexture(GL_TEXTURE_2D, tex);
        glColor4ub(255, 255, 255, alpha);
        glBegin(GL_QUADS);
        glTexCoord2f(u1, 0); glVertex2i(x1, y1);
        glTexCoord2f(u2, 0); glVertex2i(x2, y1);
        glTexCoord2f(u2, v); glVertex2i(x2, y2);
        glTexCoord2f(u1, v); glVertex2i(x1, y2);
        glEnd();
        glColor4ub(255, 255, 255, 255);
        video.set_blending(false);
        glDisable(GL_TEXTURE_2D);
        return;
    }
    if (!surface) {
        log_out("ERROR displayingtozoom empty image [%x]->NULL [%s]\n", ptr_id(this), filename);
        return;
    }
    // Tiles end at the rectangle's edges, as the OpenGL quad does.
    SDL_Surface* screen = video.screen;
    if (!screen || x2 <= x1 || y2 <= y1) return;
    SDL_Rect keep;
    SDL_GetClipRect(screen, &keep);
    int cx1 = std::max(x1, 0), cy1 = std::max(y1, 0);
    int cx2 = std::min(x2, screen->w), cy2 = std::min(y2, screen->h);
    if (cx2 <= cx1 || cy2 <= cy1) return;
    SDL_Rect clip = {(Sint16)cx1, (Sint16)cy1, (Uint16)(cx2 - cx1), (Uint16)(cy2 - cy1)};
    SDL_SetClipRect(screen, &clip);
    for (int x = x1; x < x2; x += 115)
        for (int y = y1; y < y2; y += 140) draw(x, y, screen, 0.8984375f, 1.09375f, 0);
    SDL_SetClipRect(screen, &keep);
}

int floor_row(int i, int rows, int h) {
    if (rows <= 0 || h <= 0) return 0;
    // Picture rows run as the square root of the screen rows: the far (upper) rows are
    // squeezed, the near ones stretched, and the last screen row shows the last picture row.
    double t = (i + 0.5) / rows;
    int r = (int)((std::sqrt(1.0 + 3.0 * t) - 1.0) * h);
    return r < 0 ? 0 : r >= h ? h - 1 : r;
}

void img_mgr::draw_floor(int x, int y, SDL_Surface* dst, double scale, double depth) {
    if (scale == 1) {
        draw_on(x, y, dst);
        return;
    }
    if (has_bounds && is_blank()) return; // loaded, but nothing visible
    if (!dst || !(scale > 0)) {
        reset_rects();
        return;
    }
    // Screen rows top_y .. top_y + rows - 1 hold the floor; its bottom stays where the
    // unscaled bottom would be. Columns from src_rect.x of the picture start at scale * x.
    const int zh = (int)std::floor(height * scale + 0.5);
    const int rows = (int)(height * scale);
    const int top_y = y + (height - zh);
    const int left_x = (int)(scale * x);
    const int u0 = src_rect.x > 0 ? src_rect.x : 0;
    const int u1 = width;
    const bool tilt = depth > 0;
    if (video.is_gl()) {
        tohw();
        if (tex == IMG_NONE) {
            log_out("ERROR displaying non-uploadedGL image [%x]->NULL\n", ptr_id(this));
            return;
        }
        if (u1 <= u0) {
            reset_rects();
            return;
        }
        // The texture holds the visible box: picture column u is texel u - left.
        const int bl = has_bounds ? (int)left : 0, bt = has_bounds ? (int)top : 0;
        const int bh = has_bounds ? (int)(bottom - top) : height;
        float tu0 = (float)(u0 - bl) / (float)tex_w, tu1 = (float)(u1 - bl) / (float)tex_w;
        if (mirrored) std::swap(tu0, tu1);
        video.set_blending(alpha != 255 || !opaque_texels);
        video.sync_gl_state();
        glEnable(GL_TEXTURE_2D);
        glBindTexture(GL_TEXTURE_2D, tex);
        glColor4ub(255, 255, 255, alpha);
        // Screen row i of the floor: where it lies, which texture row it shows and how far
        // it slides left; false when it is off the screen or outside the visible box.
        auto floor_line = [&](int i, int* row, float* v, int* slide) {
            *row = top_y + i;
            if (i >= rows || *row < 0 || *row >= dst->h) return false;
            int py = tilt ? floor_row(i, rows, height) : (int)((i + 0.5) / scale);
            if (py < bt || py >= bt + bh) return false;
            *v = ((float)(py - bt) + 0.5f) / (float)tex_h;
            *slide = tilt ? i / 2 : 0;
            return true;
        };
        glBegin(GL_QUADS);
        for (int i = 0; i < rows; i++) {
            int row, slide, row2, slide2;
            float v, v2;
            if (!floor_line(i, &row, &v, &slide)) continue;
            // Two rows sliding alike are one quad two rows high whose texture rows, met at
            // the two rows' centres, are each row's own: half the thin quads a rasteriser
            // handles slowly, the same pixels.
            const bool pair = floor_line(i + 1, &row2, &v2, &slide2) && slide2 == slide;
            const float top = pair ? v - (v2 - v) * 0.5f : v;
            const float bottom = pair ? v2 + (v2 - v) * 0.5f : v;
            const int end = pair ? row + 2 : row + 1;
            if (pair) i++;
            float x0 = (float)(left_x - slide) + (float)((u0 - src_rect.x) * scale);
            float x1 = x0 + (float)((u1 - u0) * scale);
            glTexCoord2f(tu0, top); glVertex2f(x0, (float)row);
            glTexCoord2f(tu1, top); glVertex2f(x1, (float)row);
            glTexCoord2f(tu1, bottom); glVertex2f(x1, (float)end);
            glTexCoord2f(tu0, bottom); glVertex2f(x0, (float)end);
        }
        glEnd();
        glColor4ub(255, 255, 255, 255);
        video.set_blending(false);
        glDisable(GL_TEXTURE_2D);
        reset_rects();
        return;
    }
    if (!surface) {
        log_out("ERROR displayingtozoom empty image [%x]->NULL [%s]\n", ptr_id(this), filename);
        return;
    }
    if (!held(surface)) {
        reset_rects();
        return;
    }
    tohw();
    SDL_Surface* s = surface->surface;
    // Zoomed across only: each screen row then takes one whole picture row, exactly.
    zoom_key key = {(float)scale, 1.0f, 0};
    zcache_entry* e = no_zcache ? nullptr : zcache.find(key, mirrored);
    SDL_Surface* z = e ? e->surface : nullptr;
    if (!z) {
        z = zoom_keyed(s, 0, (float)scale, 1.0f);
        if (!z) {
            reset_rects();
            return;
        }
        if (!no_zcache) zcache.add(z, key, mirrored);
    }
    // The conversion holds the visible box zoomed across; picture row py is its row
    // py - top, picture column u its column (u - left) * scale.
    const int bl = has_bounds ? (int)left : 0, bt = has_bounds ? (int)top : 0;
    const int zx0 = (int)((u0 - bl) * scale);
    for (int i = 0; i < rows; i++) {
        int row = top_y + i;
        if (row < 0 || row >= dst->h) continue;
        int py = tilt ? floor_row(i, rows, height) : (int)((i + 0.5) / scale);
        int zy = py - bt;
        if (zy < 0 || zy >= z->h) continue;
        int xs = left_x - (tilt ? i / 2 : 0);
        int from_x = zx0 < 0 ? 0 : zx0;
        int to_x = xs + (int)((u0 - src_rect.x) * scale) + (from_x - zx0);
        if (from_x >= z->w || to_x >= dst->w) continue;
        SDL_Rect from = {(Sint16)from_x, (Sint16)zy, (Uint16)(z->w - from_x), 1};
        SDL_Rect to = {(Sint16)to_x, (Sint16)row, 0, 0};
        if (to_x < -32767) continue;
        if (SDL_BlitSurface(z, &from, dst, &to) < 0)
            log_err("BlitSurface error: %s\n", SDL_GetError());
    }
    if (no_zcache) SDL_FreeSurface(z);
    reset_rects();
}
