// img_mgr: one picture, loaded from a file (or handed over as a ready surface), trimmed to
// the box of its visible pixels (shaving), optionally re-coloured and mirrored, then made
// drawable: an OpenGL texture plus a display list, or a display-format surface with the
// pure-green colour key. Positions given to every draw are the full picture's top-left
// corner; the stored box is placed at (left, top), or (width - right, top) while mirrored.
//
// Ownership: images are normally owned by the registry Image_Manager and found by their
// exact path; a fighter owns its private re-coloured copies. The image owns its surface
// holders (shared with copies through their counts) and its zoom cache. Texture, display
// list and buffer are shared between copies, which count their users: the last image
// using them deletes them.
#pragma once
#include <SDL.h>
#include <cstdint>
#include <vector>

#include "foundation/manager.h"
#include "images/zoom_cache.h"

enum : uint32_t { IMG_NONE = 0xFFFFFFFFu }; // `tex` / `vbo` when there is none

// A box of screen pixels, ends included.
struct pixel_box {
    int x1 = 0, y1 = 0, x2 = 0, y2 = 0;
};

struct img_mgr {
    int32_t refs = 0;
    surface_mgr* surface = nullptr;      // current facing; released after an OpenGL upload
                                         // (and by release_pixels)
    surface_mgr* mirror_surface = nullptr;// other facing, software mode, built by the first flip
    SDL_Rect dst_rect = {0, 0, 0, 0};
    SDL_Rect src_rect = {0, 0, 0, 0};
    uint8_t mirrored = 0;
    uint8_t key_r = 0, key_g = 255, key_b = 0; // colour treated as empty by shave
    zoom_cache zcache;               // software conversions per scale, angle and facing
    uint8_t no_zcache = 0;         // 1 = convert on every draw, never cache
    char filename[67] = {0};
    uint32_t tex = IMG_NONE;
    uint32_t list = 0;
    uint32_t vbo = IMG_NONE;
    int tex_w = 0, tex_h = 0;
    int width = 0, height = 0; // as loaded, before shaving
    uint32_t left = 0, top = 0, right = 0, bottom = 0; // visible box in full-picture coordinates
    float inv_tex_w = 0, inv_tex_h = 0;
    uint8_t has_bounds = 0;
    uint8_t alpha = 255;
    uint8_t sw_ready = 0; // software mode: surface already converted and keyed by tohw
    uint8_t solid = 0;    // shave found no empty pixel: every pixel of the picture shows
    uint8_t opaque_texels = 0; // OpenGL: every uploaded texel is opaque, so it draws unblended

    img_mgr();
    img_mgr(const img_mgr& o);
    img_mgr& operator=(const img_mgr& o);
    ~img_mgr();

    // Loading and pixel work.
    void load(const char* path);
    int set_surface(SDL_Surface* s); // takes ownership; returns its height, 0 for null
    void set_surface_bounded(SDL_Surface* s, int l, int t, int r, int b);
    SDL_Surface* display_copy();     // caller owns the result
    // Makes this image a private copy of o to re-colour: its own pixels of o's picture (read
    // from the file again when an OpenGL upload released o's), o's box and size, then the
    // facing o has now. False when no pixels could be had.
    bool copy_for_recolour(img_mgr& o);
    void swap_color(uint32_t from, uint32_t to);
    void shave();
    void set_alpha(uint8_t a);
    void flip();
    void download();
    // Frees the pixels: for a picture of which only copies are drawn (a stage part's), or
    // one drawn from row runs alone.
    void release_pixels();
    // The box the hit test compares for this picture drawn at (x, y): its visible box,
    // reversed while mirrored, x scaled by scale and y as it is.
    pixel_box hit_box(int x, int y, float scale) const;
    bool overlaps(int x, int y, img_mgr* other, int ox, int oy, float scale, bool show);
    int get_width() const { return width; }
    int get_height() const { return height; }
    // True when the image has no visible pixel to draw or to hit.
    bool is_blank() const { return right <= left || bottom <= top; }
    // True when drawing the image unscaled at (x, y) hides every pixel of the screen, so a
    // screen drawn over it needs no clearing first.
    bool covers_screen(int x, int y) const;

    // Upload and drawing.
    int tohw();
    void set_color_key();
    void draw(int x, int y, SDL_Surface* dst, float sx, float sy, int angle);
    void draw_at(int x, int y);
    void draw_on(int x, int y, SDL_Surface* dst);
    void draw_scaled(int x, int y, double sx, double sy);
    void draw_anchored(int x, int y, SDL_Surface* dst, double s);
    void draw_tiled(int x1, int y1, int x2, int y2);
    void draw_floor(int x, int y, SDL_Surface* dst, double scale, double depth);

private:
    void draw_gl(int bx, int by, float sx, float sy, int angle);
    void draw_sw(int bx, int by, SDL_Surface* dst, float sx, float sy, int angle);
    void quad_size(int* w, int* h) const;
    void reset_rects();
};

// Pictures to be drawn later, in order: while a list is the draw target, draw (and every
// draw routine built on it) on the screen appends the picture with its facing and opacity
// of the moment instead of drawing it; a list that drops takes nothing. Items without an
// image are marks: the list's owner draws what the mark's code stands for at that place.
// A match step fills one; drawing the match shows it.
struct draw_item {
    img_mgr* image; // null for a mark
    int x, y;
    float sx, sy;
    int angle;
    uint8_t alpha, mirrored;
    int mark;       // marks: the owner's code, and its values
    int args[5];
    double value;
};
struct draw_list {
    std::vector<draw_item> items; // capacity reserved by the owner
    bool drop = false;
    void add_mark(int code, int a0 = 0, int a1 = 0, int a2 = 0, int a3 = 0, int a4 = 0, double v = 0);
};
extern draw_list* draw_target;
// Draws a picture item with the facing and opacity it was recorded with; the image keeps its
// own afterwards.
void draw_item_show(const draw_item& d);

// The floor's perspective, the same in both drawing modes: screen row i of a floor drawn
// `rows` rows high shows picture row floor_row(i, rows, h) of an h-row picture, slid i / 2
// pixels to the left. The whole picture shows, top to bottom; its far (upper) rows squeezed.
int floor_row(int i, int rows, int h);

// The RGBA pixels an OpenGL upload makes of s, w x h from its top-left corner: s keyed as
// uploads key it (rendered text keeps its own key, anything else pure green), keyed pixels
// transparent, the rest opaque or with s's own per-pixel alpha. The caller owns the result.
SDL_Surface* texture_pixels(SDL_Surface* s, int w, int h);

// Textures alive (uploaded and not yet deleted), for tests and the memory report.
int img_mgr_live_textures();

extern int img_mgr_count; // images alive, for the memory estimate (count x 200 bytes)
extern nmanager<img_mgr> Image_Manager;
