#include "world/level.h"

#include <climits>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>

#include "animation/anim_group.h"
#include "foundation/config_file.h"
#include "foundation/log.h"
#include "foundation/primitives.h"
#include "foundation/video_mgr.h"
#include "images/file_check.h"

level* current_level = nullptr;

// Tilt of the floor: how fast its rows stretch towards the bottom of the screen.
static const double floor_depth = 0.17;
// Zooms outside this range draw no pictures (a runaway camera or stage scale).
static const double min_zoom = 0.001, max_zoom = 1000.0;
// Largest shake amplitude drawn, in pixels.
static const int MAX_SHAKE = 32767;

// ---------------------------------------------------------------------------------------
// Reading the definition files

// One more than the greatest index n for which the file has the key pattern(n), or (for a
// two-number pattern) pattern(first, n); 0 when there is none. Loops over counts read from
// a file stop there, so an absurd count costs nothing.
static int index_bound(const config_file& cfg, const char* pattern, int first = -1) {
    int bound = 0;
    for (int e = 0; e < cfg.count(); e++) {
        int a = -1, b = -1;
        if (!key_matches(cfg.entry(e).key, pattern, &a, &b)) continue;
        int n = a;
        if (first >= 0) {
            if (a != first) continue;
            n = b;
        }
        if (n >= bound) bound = n + 1;
    }
    return bound;
}

// True for a screen distance that pictures can possibly span; a camera further away than
// that shows nothing of them, and its positions would not fit the drawing arithmetic.
static bool on_the_map(double v) { return v > -1e8 && v < 1e8; }

static int screen_width() { return video.screen ? video.screen->w : 0; }
static int screen_height() { return video.screen ? video.screen->h : 0; }

// ---------------------------------------------------------------------------------------
// Lifetime

level::level()
    : floor(-1), width(0), max_height(0), total_height(0), image_count(0), length(0),
      onscreen_size(0), scroll(0), x_offset(0), max_width(0), y_offset(0),
      scale(1.0), loading(0), reset(0), loop(-1) {}

level::~level() { clear(); }

void level::clear() {
    for (img_mgr* p : parts) delete p;
    parts.clear();
    layers.clear();
    for (img_mgr* im : images) delete im;
    images.clear();
    runs.clear();
    runs_for.clear();
    composed.close();
    image_count = 0;
    floor = -1;
    loop = -1;
    zoom = 1.0;
    scale = 1.0;
    scroll = 0;
    onscreen_size = 0;
    x_offset = 0;
    y_offset = 0;
    max_width = 0;
    loading = 0;
    shake = 0;
    flash = 0;
    flash_step = 0;
}

// ---------------------------------------------------------------------------------------
// Loading

void level::load(const char* path) {
    if (!path) path = "";
    char key[64];
    log_out("load level\n");
    onscreen_size = 0;
    x_offset = 0;
    loading = 0;
    loop = -1;
    shake = 0;
    flash = 0;

    config_file stage, bgset;
    stage.load(path);
    log_out("loading [%s]\n", path);
    const char* bgset_path = stage.get_string("bgset");
    log_out("loading bgset[%s]\n", bgset_path);
    bgset.load(bgset_path);

    width = bgset.get_int("width");
    max_height = 0;
    max_width = 0;
    int n = bgset.get_int("images");
    log_out("width[%d] images[%d]\n", width, n);
    // Pictures past the last one the set names could only be empty: don't make them.
    int named = index_bound(bgset, "image%d");
    if (n > named) {
        log_out("WARNING: background set lists [%d] images but names [%d]\n", n, named);
        n = named;
    }
    if (n < 0) n = 0;

    if (stage.has("loop")) {
        log_out("Has loop\n");
        loop = stage.get_int("loop");
    }
    if (stage.has("floor")) {
        log_out("Has floor\n");
        floor = stage.get_int("floor");
    }

    loading = 1;
    total_height = 0;
    int base = (int)images.size();
    images.reserve(images.size() + (size_t)n);
    // Pictures that may be composed keep their pixels until compose_pictures decides.
    const bool may_compose = video.screen && video.is_gl() && video.ortho_2d && video.gl_on_processor;
    for (int i = 0; i < n; i++) {
        img_mgr* im = new img_mgr();
        snprintf(key, sizeof key, "image%d", i);
        im->load(bgset.get_string(key));
        if (may_compose) im->set_color_key();
        else if (video.screen) im->tohw(); // without a video mode there is nothing to upload to
        im->no_zcache = 1; // the stage is drawn at a zoom that changes every frame
        images.push_back(im);
        if (video.screen) {
            draw_loading(); // presents the frame once
            video.flip();
        }
        if (im->height > max_height) max_height = im->height;
        if (im->width > max_width) max_width = im->width;
        image_count++;
    }
    if (may_compose && compose_pictures()) log_out("level: composed in memory\n");
    const int count = (int)images.size();
    if (floor >= count || floor < -1) {
        log_out("WARNING: floor [%d] is not one of the [%d] images\n", floor, count);
        floor = -1;
    }

    length = stage.get_int("length");
    int parts_named = index_bound(stage, "part%d");
    int part_end = length < parts_named ? length : parts_named;
    std::vector<int> layer_list;
    for (int i = 0; i < part_end; i++) {
        layer_list.clear();
        snprintf(key, sizeof key, "part%dparallax", i);
        if (stage.has(key)) {
            int layers_named = index_bound(stage, "part%dparallax%d", i);
            for (int j = 0; j < stage.get_int(key) && j < layers_named; j++) {
                char layer_key[64];
                snprintf(layer_key, sizeof layer_key, "part%dparallax%d", i, j);
                if (!stage.has(layer_key)) continue;
                int v = stage.get_int(layer_key);
                if (v < 0 || v >= count) {
                    log_out("WARNING: layer [%d] of part [%d] is not one of the [%d] images\n",
                            v, i, count);
                    continue;
                }
                layer_list.push_back(v);
                log_out("Added layer[%d]\n", v);
            }
        }
        snprintf(key, sizeof key, "part%d", i);
        if (stage.has(key)) {
            int k = stage.get_int(key);
            if (k < 0 || k >= count) {
                log_out("WARNING: part [%d] is not one of the [%d] images\n", k, count);
            } else {
                log_out("level: insert img#[%d] at 0\n", k);
                need_pixels(images[(size_t)k], may_compose);
                parts.insert(parts.begin(), new img_mgr(*images[(size_t)k]));
                log_out("Add layers [%d]\n", (int)layer_list.size());
                log_out("Copying layered segment\n");
                layers.insert(layers.begin(), layer_list);
                int h = images[(size_t)k]->height;
                onscreen_size += h;
                total_height += h;
                log_out("level: height [%d] onscrsz[%d]\n", h, onscreen_size);
            }
        }
        snprintf(key, sizeof key, "part%dsortie", i);
        stage.has(key); // accepted; nothing depends on it
    }
    log_out("level length is [%d/%d]\n", length, total_height);
    // Pictures drawn only through the parts' copies, or not at all, keep no pixels.
    std::vector<bool> drawn(images.size(), false);
    for (const std::vector<int>& l : layers)
        for (int k : l) drawn[(size_t)k] = true;
    if (floor >= 0) drawn[(size_t)floor] = true;
    for (size_t i = 0; i < images.size(); i++) {
        if (drawn[i]) need_pixels(images[i], may_compose);
        else images[i]->release_pixels();
    }
    if (composed.is_open()) {
        for (img_mgr* im : images) mark_drawn(im->surface ? im->surface->surface : nullptr);
        for (img_mgr* p : parts) mark_drawn(p->surface ? p->surface->surface : nullptr);
    }
    // Software mode and a composed stage: the rows as runs of every picture drawn zoomed (the
    // parts have their own copies of the pixels; a part's source picture is never drawn itself).
    std::vector<img_mgr*> zoomed(parts.begin(), parts.end());
    for (const std::vector<int>& l : layers)
        for (int k : l) zoomed.push_back(images[(size_t)k]);
    if (floor >= 0) zoomed.push_back(images[(size_t)floor]);
    for (img_mgr* im : zoomed) {
        SDL_Surface* s = im->surface ? im->surface->surface : nullptr;
        if (!s || !video.screen || (video.is_gl() && !composed.is_open())) continue;
        bool done = false;
        for (const row_runs& r : runs) done = done || r.made_from == s->pixels;
        if (done) continue;
        runs.emplace_back();
        runs.back().build(s);
        runs_for.push_back(im);
    }
    // A composed stage draws a picture whose runs hold every row from the runs alone.
    if (composed.is_open())
        for (size_t i = 0; i < runs.size(); i++)
            if (runs[i].every_row && runs[i].made_from) {
                runs_for[i]->release_pixels();
                runs[i].made_from = nullptr; // nothing else is to be taken for those pixels
            }

    if (stage.has("scale")) {
        log_out("Scaling level \n");
        double s = stage.get_float("scale");
        if (s > 0 && s <= 100) {
            scale = s;
            max_height = (int)(max_height * scale);
            max_width = (int)(max_width * scale);
        } else {
            log_out("WARNING: stage scale [%f] ignored\n", s);
        }
    }
    log_out("Lets look at the size of onscreen plist before loading [%d]\n", (int)parts.size());

    const int sh = screen_height();
    int sum = 0;
    for (int i = base; i < count && sum < sh; i++) {
        sum += images[(size_t)i]->height;
        log_out("adding h/w[ %d /%d]\n", images[(size_t)i]->height, images[(size_t)i]->width);
    }
    reset = sum - sh;
    log_out("reset at [%d]\n", reset);

    log_out("Lets look at the size of onscreen plist [%d]\n", (int)parts.size());
    log_out("done loading\n");
    loading = 0;
    log_out("ml[%d] mw[%d]\n", max_height, max_width);
    scroll = sh - (base < count ? images[(size_t)base]->height : 0);
    if (video.screen) video.flip();
}

// ---------------------------------------------------------------------------------------
// Software drawing of zoomed pictures. Both routines read only the source pixels that land
// on the screen and write straight into it, so a zoom that changes every frame costs no
// conversion of the whole picture and allocates nothing.

// True when src can be copied pixel for pixel into dst.
static bool same_pixels(const SDL_Surface* src, const SDL_Surface* dst) {
    const SDL_PixelFormat* a = src->format;
    const SDL_PixelFormat* b = dst->format;
    return a->BytesPerPixel == b->BytesPerPixel && a->Rmask == b->Rmask &&
           a->Gmask == b->Gmask && a->Bmask == b->Bmask && a->BytesPerPixel != 1;
}

static inline uint32_t read_pixel(const uint8_t* p, int bpp) {
    switch (bpp) {
    case 4: return *(const uint32_t*)p;
    case 2: return *(const uint16_t*)p;
    default: return (uint32_t)p[0] | (uint32_t)p[1] << 8 | (uint32_t)p[2] << 16;
    }
}

static inline void write_pixel(uint8_t* p, int bpp, uint32_t v) {
    switch (bpp) {
    case 4: *(uint32_t*)p = v; break;
    case 2: *(uint16_t*)p = (uint16_t)v; break;
    default:
        p[0] = (uint8_t)v;
        p[1] = (uint8_t)(v >> 8);
        p[2] = (uint8_t)(v >> 16);
    }
}

// A picture's drawable pixels: its stored box and where that lies in the full picture.
struct picture_view {
    const uint8_t* pixels; // the surface's; null when every row is drawn from the runs
    int pitch, w, h;
    int left, top;
    uint32_t key;
    bool keyed;
    const row_runs* runs; // the rows as runs, or null
};

static bool view_of(img_mgr* im, SDL_Surface* dst, picture_view* v, const level& lv) {
    SDL_Surface* s = im->surface ? im->surface->surface : nullptr;
    v->left = im->has_bounds ? (int)im->left : 0;
    v->top = im->has_bounds ? (int)im->top : 0;
    v->runs = nullptr;
    if (!s) {
        // A composed stage's picture whose runs hold every row has let its pixels go.
        for (size_t i = 0; i < lv.runs_for.size() && i < lv.runs.size(); i++)
            if (lv.runs_for[i] == im && lv.runs[i].every_row) v->runs = &lv.runs[i];
        if (!v->runs || dst->format->BytesPerPixel != 4) return false;
        v->pixels = nullptr;
        v->pitch = 0;
        v->w = v->runs->width;
        v->h = v->runs->height;
        v->keyed = v->runs->keyed;
        v->key = v->runs->key;
        return true;
    }
    if (!same_pixels(s, dst)) return false;
    v->pixels = (const uint8_t*)s->pixels;
    v->pitch = s->pitch;
    v->w = s->w;
    v->h = s->h;
    v->keyed = (s->flags & SDL_SRCCOLORKEY) != 0;
    v->key = s->format->colorkey;
    for (const row_runs& r : lv.runs)
        if (r.made_from == s->pixels && r.width == s->w && r.height == s->h &&
            r.keyed == v->keyed && r.key == v->key)
            v->runs = &r;
    return true;
}

void level::need_pixels(img_mgr* im, bool may_compose) {
    if ((im->surface && im->surface->surface) || im->tex != IMG_NONE || !im->filename[0] ||
        (im->has_bounds && im->is_blank()))
        return;
    const std::string path = im->filename;
    im->load(path.c_str());
    if (may_compose && composed.is_open()) im->set_color_key();
    else if (video.screen) im->tohw();
}

bool level::compose_pictures() {
    // Chosen by an earlier load: every loaded picture has the display's layout, as the
    // canvas does.
    if (composed.is_open()) return true;
    SDL_Surface* first = nullptr;
    bool can = true;
    for (img_mgr* im : images) {
        SDL_Surface* s = im->surface ? im->surface->surface : nullptr;
        if (im->tex != IMG_NONE) can = false; // uploaded by an earlier load
        if (!s) continue;                      // draws nothing either way
        if (!first) first = s;
        else if (!same_pixels(s, first)) can = false;
    }
    can = can && first && composed.open(screen_width(), screen_height(), first->format);
    if (can && !same_pixels(first, composed.surface)) can = false;
    if (!can) {
        composed.close();
        for (img_mgr* im : images) im->tohw();
    }
    return can;
}

// Copies one screen row: pixels [x_begin, x_end) of dst row y take the picture's row py,
// column px = floor((x + 0.5 - fx) / z) for a picture whose left edge lies at fx.
static void copy_row(const picture_view& v, SDL_Surface* dst, int y, int py, int x_begin,
                     int x_end, double fx, double z) {
    int sy = py - v.top;
    if (sy < 0 || sy >= v.h) return;
    if (x_begin < 0) x_begin = 0;
    if (x_end > dst->w) x_end = dst->w;
    if (x_begin >= x_end) return;
    const int bpp = dst->format->BytesPerPixel;
    const uint8_t* src_row = v.pixels ? v.pixels + sy * v.pitch : nullptr;
    const int64_t step = (int64_t)(65536.0 / z);
    const double first = ((x_begin + 0.5 - fx) / z - v.left) * 65536.0;
    if (!(first < 65536.0 * v.w) || first < -4e18 || step <= 0) return; // wholly right or absurdly far
    int64_t u = (int64_t)std::floor(first);
    // The columns left of the picture, then those right of it, are cut off first, so the
    // copy below tests nothing but the key.
    if (u < 0) {
        const int64_t skip = (-u + step - 1) / step;
        if (skip >= x_end - x_begin) return;
        x_begin += (int)skip;
        u += skip * step;
    }
    const int64_t inside = (((int64_t)v.w << 16) - u + step - 1) / step;
    if (inside < x_end - x_begin) x_end = x_begin + (int)inside;
    uint8_t* out = (uint8_t*)dst->pixels + y * dst->pitch + x_begin * bpp;
    const int n = x_end - x_begin;
    if (bpp == 4 && v.runs && v.runs->has(sy)) {
        v.runs->draw_row(sy, (uint32_t*)out, u, step, n);
        return;
    }
    if (!src_row) return;
    if (bpp == 4 && ((int64_t)v.w << 16) + step < INT32_MAX) {
        // 32-bit positions, and a keyed pixel written back as it was rather than skipped: a
        // silhouette's edge then costs no mispredicted branch.
        const uint32_t* in = (const uint32_t*)src_row;
        uint32_t* o = (uint32_t*)out;
        int32_t at = (int32_t)u;
        const int32_t by = (int32_t)step;
        if (v.keyed) {
            const uint32_t key = v.key;
            for (int x = 0; x < n; x++, at += by) {
                const uint32_t p = in[at >> 16], q = o[x];
                o[x] = p != key ? p : q;
            }
        } else {
            for (int x = 0; x < n; x++, at += by) o[x] = in[at >> 16];
        }
        return;
    }
    for (int x = 0; x < n; x++, out += bpp, u += step) {
        uint32_t p = read_pixel(src_row + (u >> 16) * bpp, bpp);
        if (v.keyed && p == v.key) continue;
        write_pixel(out, bpp, p);
    }
}

// The full picture scaled by z with its top-left corner at (x0, y0).
static void draw_zoomed_sw(const picture_view& v, SDL_Surface* dst, int x0, int y0, double z) {
    double fx0 = x0 + v.left * z, fy0 = y0 + v.top * z;
    double fx1 = fx0 + v.w * z, fy1 = fy0 + v.h * z;
    if (fx1 <= 0 || fy1 <= 0 || fx0 >= dst->w || fy0 >= dst->h) return;
    int xb = fx0 < 0 ? 0 : (int)fx0, xe = fx1 > dst->w ? dst->w : (int)std::ceil(fx1);
    int yb = fy0 < 0 ? 0 : (int)fy0, ye = fy1 > dst->h ? dst->h : (int)std::ceil(fy1);
    for (int y = yb; y < ye; y++) {
        double py = (y + 0.5 - y0) / z;
        if (py < 0) continue;
        copy_row(v, dst, y, (int)py, xb, xe, x0, z);
    }
}

// The floor in perspective (floor_row, as in img_mgr's own floor draw): the picture zoomed
// by z, shown from column src_x (in picture pixels) with its left edge at trunc(z * x) and
// its bottom where the unzoomed bottom would be; lower rows slide left.
static void draw_floor_sw(const picture_view& v, img_mgr* im, SDL_Surface* dst, int x, int y,
                          double z, int src_x) {
    const int h = im->height;
    const int zh = (int)std::floor(h * z + 0.5);
    const int rows = (int)(h * z);
    const int left_x = (int)(z * x);
    const int top_y = y + (h - zh);
    const int u0 = src_x > 0 ? src_x : 0;
    const int cw = (int)((im->width - u0) * z);
    if (cw <= 0) return;
    // Rows are clipped at the screen's edges one by one, after their shift to the left, so
    // a floor wider than the screen still reaches its right edge on the lower rows.
    for (int i = 0; i < rows; i++) {
        int row = top_y + i;
        if (row < 0 || row >= dst->h) continue;
        int x_start = left_x - i / 2;
        double fx = x_start - src_x * z; // where picture column 0 would lie
        copy_row(v, dst, row, floor_row(i, rows, h), x_start, x_start + cw, fx, z);
    }
}

// ---------------------------------------------------------------------------------------
// Drawing

void level::draw() {
    advance();
    draw_view();
    fade();
}

void level::advance() {
    loading = 0;
    // Frames may hand over any amplitude: held within what a 16-bit picture offset spans.
    if (shake > MAX_SHAKE) shake = MAX_SHAKE;
    if (shake < -MAX_SHAKE) shake = -MAX_SHAKE;
    shake = -shake;
    if (shake > 0) shake--;
    else if (shake < 0) shake++;
    zoom = zoom * scale;
}

void level::fade() {
    if (flash == 0) return;
    // Wide arithmetic: frames may hand over any flash and step.
    long long next = (long long)flash - flash_step;
    flash = next < 0 ? 0 : next > INT_MAX ? INT_MAX : (int)next;
}

// Keeps the larger of two boxes in *best.
static void keep_larger(SDL_Rect* best, int x0, int y0, int x1, int y1) {
    if (x1 <= x0 || y1 <= y0) return;
    if ((long)(x1 - x0) * (y1 - y0) <= (long)best->w * best->h) return;
    *best = SDL_Rect{(Sint16)x0, (Sint16)y0, (Uint16)(x1 - x0), (Uint16)(y1 - y0)};
}

bool level::covered_box(SDL_Rect* box) const {
    SDL_Surface* screen = composed.is_open() ? composed.surface : video.screen;
    const int sw = screen_width(), sh = screen_height();
    const double z = zoom;
    *box = SDL_Rect{0, 0, 0, 0};
    if (!screen || (video.is_gl() && !composed.is_open()) || !(z >= min_zoom && z <= max_zoom))
        return false;
    auto clip = [&](int x0, int y0, int x1, int y1) {
        keep_larger(box, x0 < 0 ? 0 : x0, y0 < 0 ? 0 : y0, x1 > sw ? sw : x1, y1 > sh ? sh : y1);
    };
    int acc = total_height;
    for (size_t i = 0; i < parts.size(); i++) {
        img_mgr* p = parts[i];
        acc -= p->height;
        const int y = scroll - acc;
        if (!(-p->height < y && y < sh) || !p->solid || p->alpha != 255) continue;
        if (layers[i].empty()) {
            const int x = -(x_offset + shake);
            if (on_the_map(x)) clip(x, y, x + p->width, y + p->height);
            continue;
        }
        // The part's own picture, the farthest layer, as draw_view places it.
        const int d = (int)layers[i].size() + 1;
        const int sx = (int)((double)x_offset / d + shake);
        const int sy = (int)((double)y_offset / d);
        if (!on_the_map(z * sx) || !on_the_map(sy)) continue;
        if (z == 1 && !composed.is_open()) {
            clip(-sx, y - sy, -sx + p->width, y - sy + p->height);
            continue;
        }
        picture_view v;
        if (!view_of(p, screen, &v, *this)) continue;
        // The zoomed box, a pixel narrower at every edge for the rounding of its rows.
        const double x0 = (int)(z * -sx) + v.left * z;
        const double y0 = (int)(y - sy + p->height - z * p->height) + v.top * z;
        clip((int)std::ceil(x0) + 1, (int)std::ceil(y0) + 1, (int)std::floor(x0 + v.w * z) - 1,
             (int)std::floor(y0 + v.h * z) - 1);
    }
    return box->w > 0 && box->h > 0;
}

// Lets software drawing write straight into the screen (locked) or go through SDL (not).
static void want_lock(SDL_Surface* screen, bool want, bool* locked) {
    if (want && !*locked && SDL_MUSTLOCK(screen)) *locked = SDL_LockSurface(screen) == 0;
    if (!want && *locked) SDL_UnlockSurface(screen), *locked = false;
}

// Piece k of part i, whose top lies at screen row y: k = -1 the part's own picture (the
// farthest layer), 0..n-1 its n parallax layers, n its floor.
void level::draw_piece(size_t i, int y, int k, SDL_Surface* screen, bool* locked) {
    const double z = zoom;
    const bool gl = video.is_gl() != 0;
    const bool on_canvas = screen == composed.surface; // every piece by the software routines
    img_mgr* p = parts[i];
    const std::vector<int>& part_layers = layers[i];
    const int n = (int)part_layers.size();
    if (k < n) {
        // Layer k is n - k away; the part's own picture n + 1.
        const int d = k < 0 ? n + 1 : n - k;
        img_mgr* im = k < 0 ? p : images[(size_t)part_layers[(size_t)k]];
        int sx = (int)((double)x_offset / d + shake);
        int sy = (int)((double)y_offset / d);
        if (!on_the_map(z * sx) || !on_the_map(sy)) return;
        im->src_rect.x = (Sint16)sx;
        im->src_rect.y = (Sint16)sy;
        if (k < 0) im->dst_rect.x = (Sint16)sx, im->dst_rect.y = (Sint16)sy;
        picture_view v;
        if (on_canvas) {
            if (view_of(im, screen, &v, *this))
                draw_zoomed_sw(v, screen, (int)(z * -sx), (int)(y - sy + im->height - z * im->height), z);
        } else if (!gl && z != 1 && view_of(im, screen, &v, *this)) {
            want_lock(screen, true, locked);
            draw_zoomed_sw(v, screen, (int)(z * -sx), (int)(y - sy + im->height - z * im->height), z);
        } else {
            want_lock(screen, false, locked);
            im->draw_anchored(-sx, y - sy, screen, z);
        }
        return;
    }
    if (floor < 0) return;
    img_mgr* f = images[(size_t)floor];
    img_mgr* last = images[(size_t)part_layers.back()];
    double fy_exact = last->height + y - f->height - y_offset * z;
    if (!on_the_map(fy_exact) || !on_the_map(z * (x_offset + (double)shake))) return;
    int fy = (int)fy_exact;
    int fx = x_offset + shake;
    f->src_rect.x = (Sint16)fx;
    f->src_rect.y = 0;
    picture_view v;
    if (on_canvas) {
        if (!view_of(f, screen, &v, *this)) return;
        // An unzoomed floor is a plain draw, which takes no source offset.
        if (z == 1) draw_zoomed_sw(v, screen, -fx, fy, 1);
        else draw_floor_sw(v, f, screen, 0, fy, z, fx);
        f->src_rect.x = 0;
    } else if (z == 1) {
        // An unzoomed floor is a plain draw, which takes no source offset.
        want_lock(screen, false, locked);
        f->draw_floor(-fx, fy, screen, z, floor_depth);
    } else if (!gl && view_of(f, screen, &v, *this)) {
        want_lock(screen, true, locked);
        draw_floor_sw(v, f, screen, 0, fy, z, fx);
        f->src_rect.x = 0;
    } else {
        want_lock(screen, false, locked);
        f->draw_floor(0, fy, screen, z, floor_depth);
    }
}

// True when every stage picture shows at full opacity, so that one drawn nearer hides what
// lies behind its opaque pixels.
static bool all_opaque(const std::vector<img_mgr*>& a, const std::vector<img_mgr*>& b) {
    for (const img_mgr* im : a)
        if (im->alpha != 255) return false;
    for (const img_mgr* im : b)
        if (im->alpha != 255) return false;
    return true;
}

// Clears dst to nothing drawn (zero) but for the box `kept`, which the stage covers.
static void clear_around(SDL_Surface* dst, const SDL_Rect& kept) {
    const int x0 = kept.x, y0 = kept.y, x1 = kept.x + kept.w, y1 = kept.y + kept.h;
    if (kept.w == 0 || kept.h == 0) {
        SDL_FillRect(dst, nullptr, 0);
        return;
    }
    SDL_Rect around[4] = {{0, 0, (Uint16)dst->w, (Uint16)y0},
                          {0, (Sint16)y1, (Uint16)dst->w, (Uint16)(dst->h - y1)},
                          {0, (Sint16)y0, (Uint16)x0, kept.h},
                          {(Sint16)x1, (Sint16)y0, (Uint16)(dst->w - x1), kept.h}};
    for (SDL_Rect& r : around)
        if (r.w > 0 && r.h > 0) SDL_FillRect(dst, &r, 0);
}

void level::draw_view() {
    const int sw = screen_width(), sh = screen_height();
    const double z = zoom;
    // A composed stage is drawn on the canvas, then shown; a zoom that draws no pictures
    // leaves the screen as it is.
    const bool on_canvas = video.is_gl() && composed.is_open() && video.screen && z >= min_zoom &&
                           z <= max_zoom;
    SDL_Surface* screen = on_canvas ? composed.surface : video.screen;
    const bool gl = video.is_gl() && !on_canvas;
    bool locked = false;
    SDL_Rect box = {0, 0, 0, 0};
    if (on_canvas) {
        if (!covered_box(&box)) box = SDL_Rect{0, 0, 0, 0};
        clear_around(screen, box);
    }
    if (screen && z >= min_zoom && z <= max_zoom) {
        for (img_mgr* p : parts) {
            p->src_rect.w = (Uint16)sw;
            p->src_rect.x = p->dst_rect.x = (Sint16)(x_offset + shake);
        }
        // In OpenGL the pieces go nearest first, each leaving the pixels its opaque texels
        // cover to it alone: the rasteriser then skips what farther pieces would have drawn
        // there, the sky behind the floor above all. Only wholly opaque texels cover, so the
        // pixels are those of drawing farthest first.
        const bool nearest_first = gl && all_opaque(images, parts) && video.begin_cover(0.99f);
        const int count = (int)parts.size();
        // Nearest first, the parts start from where drawing farthest first ends: the heights
        // after a second load count only that load's parts.
        int acc = total_height;
        if (nearest_first)
            for (const img_mgr* p : parts) acc -= p->height;
        for (int q = 0; q < count; q++) {
            const size_t i = (size_t)(nearest_first ? count - 1 - q : q);
            img_mgr* p = parts[i];
            int y;
            if (nearest_first) y = scroll - acc, acc += p->height;
            else acc -= p->height, y = scroll - acc;
            if (!(-p->height < y && y < sh)) continue;
            if (layers[i].empty()) {
                const int shift = x_offset + shake;
                picture_view v;
                if (!(shift < p->width && shift > -sw)) continue;
                if (!on_canvas) p->draw_at(-shift, y);
                else if (view_of(p, screen, &v, *this)) draw_zoomed_sw(v, screen, -shift, y, 1);
                continue;
            }
            const int n = (int)layers[i].size();
            for (int k = -1; k <= n; k++) {
                // The last piece drawn, the farthest picture, covers nothing: it is tested
                // against the depth alone, so hidden pixels are skipped before any shading.
                if (nearest_first && k == n && q == count - 1) video.begin_behind();
                draw_piece(i, y, nearest_first ? n - 1 - k : k, screen, &locked);
            }
        }
        if (nearest_first) video.end_cover();
    }
    if (locked) SDL_UnlockSurface(screen);
    if (on_canvas) composed.show(box.w == sw && box.h == sh);

    if (flash != 0) {
        Uint8 a = (Uint8)(flash > 255 ? 255 : flash < 0 ? 0 : flash);
        if (video.is_gl()) {
            // The OpenGL screen surface has no pixels: cover the frame with a quad instead.
            video.set_blending(true);
            video.sync_gl_state();
            glDisable(GL_TEXTURE_2D);
            glColor4ub(255, 255, 255, a);
            glBegin(GL_QUADS);
            glVertex2i(0, 0);
            glVertex2i(0, sh);
            glVertex2i(sw, sh);
            glVertex2i(sw, 0);
            glEnd();
            glColor4ub(255, 255, 255, 255);
            video.set_blending(false);
        } else if (screen) {
            blend_box(screen, 0, 0, sw, sh, 255, 255, 255, a);
        }
    }
}

// ---------------------------------------------------------------------------------------
// Checking

void check_stage_file(check_report& report, const std::string& path) {
    file_check stage(report, path);
    if (!stage.opened()) return;
    long pictures = 0;
    std::string set = stage.file("bgset");
    if (!stage.config().has("bgset")) stage.problem(0, "no \"bgset\": the stage has no pictures");
    if (!set.empty() && report.first_look(set)) {
        file_check bg(report, set);
        bg.whole("width", 0, 1 << 20);
        bg.whole("images", 0, 10000, &pictures);
        pictures = bg.capped(pictures);
        char key[64];
        for (int i = 0; i < pictures; i++) {
            snprintf(key, sizeof key, "image%d", i);
            if (!bg.config().has(key)) bg.problem(bg.line_of("images"), "picture %d has no \"%s\"", i, key);
            bg.picture(key);
        }
        bg.beyond("image%d", "images");
        bg.finish();
    } else if (!set.empty()) {
        config_file bg;
        bg.load(set.c_str());
        pictures = bg.get_int("images");
    }
    // An index naming one of the set's pictures.
    auto picture_index = [&](const char* key, const char* what) {
        long v = 0;
        if (stage.whole(key, -(1L << 30), 1L << 30, &v) && (v < 0 || v >= pictures))
            stage.problem(stage.line_of(key), "%s \"%s\" is picture %ld, which the background set lacks (it has 0 to %ld)",
                          what, key, v, pictures - 1);
    };
    stage.whole("loop", -1000000, 1000000);
    picture_index("floor", "the floor");
    long length = 0;
    stage.whole("length", 0, 10000, &length);
    length = stage.capped(length);
    char key[64];
    for (int i = 0; i < length; i++) {
        snprintf(key, sizeof key, "part%d", i);
        if (!stage.config().has(key)) stage.problem(stage.line_of("length"), "part %d names no picture (no \"%s\")", i, key);
        picture_index(key, "part");
        long layers = 0;
        snprintf(key, sizeof key, "part%dparallax", i);
        stage.whole(key, 0, 1000, &layers);
        layers = stage.capped(layers);
        for (int j = 0; j < layers; j++) {
            snprintf(key, sizeof key, "part%dparallax%d", i, j);
            picture_index(key, "layer");
        }
        snprintf(key, sizeof key, "part%dsortie", i);
        stage.known(key);
    }
    stage.decimal("scale", 0.000001, 100);
    stage.beyond("part%d", "length");
    stage.beyond("part%dparallax", "length");
    stage.beyond("part%dparallax%d", "length");
    stage.beyond("part%dsortie", "length");
    stage.finish();
}
