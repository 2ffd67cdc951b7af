// paint: shaded shapes, gradients, text and copies on 32-bit canvases.
#include "paint.h"

#include <SDL_gfxPrimitives.h>
#include <SDL_ttf.h>
#include <algorithm>
#include <cmath>

// ---- colours ----------------------------------------------------------------------------

rgb mix(rgb a, rgb b, float t) {
    return {(uint8_t)std::lround(a.r + (b.r - a.r) * t), (uint8_t)std::lround(a.g + (b.g - a.g) * t),
            (uint8_t)std::lround(a.b + (b.b - a.b) * t)};
}

rgb safe_colour(rgb c) {
    if (c.r == 0 && c.g == 255 && c.b == 0) c.r = 1;
    return c;
}

tones make_tones(rgb base) {
    tones t;
    t.mid = safe_colour(base);
    t.dark = safe_colour(mix(base, {20, 10, 30}, 0.38f));
    t.light = safe_colour(mix(base, {255, 250, 235}, 0.35f));
    return t;
}

// ---- pixels -----------------------------------------------------------------------------

SDL_Surface* new_canvas(int w, int h) {
    SDL_Surface* s = SDL_CreateRGBSurface(SDL_SWSURFACE, w, h, 32, 0xFF0000, 0xFF00, 0xFF, 0);
    fill(s, KEY_GREEN);
    return s;
}

void fill(SDL_Surface* s, rgb c) {
    SDL_FillRect(s, nullptr, SDL_MapRGB(s->format, c.r, c.g, c.b));
}

void put(SDL_Surface* s, int x, int y, rgb c) {
    if (x < 0 || y < 0 || x >= s->w || y >= s->h) return;
    uint32_t* row = (uint32_t*)((uint8_t*)s->pixels + y * s->pitch);
    row[x] = ((uint32_t)c.r << 16) | ((uint32_t)c.g << 8) | c.b;
}

rgb get(SDL_Surface* s, int x, int y) {
    if (x < 0 || y < 0 || x >= s->w || y >= s->h) return KEY_GREEN;
    uint32_t p = ((uint32_t*)((uint8_t*)s->pixels + y * s->pitch))[x];
    return {(uint8_t)(p >> 16), (uint8_t)(p >> 8), (uint8_t)p};
}

bool is_key(SDL_Surface* s, int x, int y) {
    rgb c = get(s, x, y);
    return c.r == 0 && c.g == 255 && c.b == 0;
}

// ---- shaded shapes ----------------------------------------------------------------------

const rgb& shade(const tones& t, float nx, float ny) {
    // Light from the upper front; nz is what remains of a unit normal.
    float nz2 = 1.0f - nx * nx - ny * ny;
    float nz = nz2 > 0 ? std::sqrt(nz2) : 0.0f;
    float l = nx * 0.45f + ny * -0.55f + nz * 0.70f;
    if (l < 0.30f) return t.dark;
    if (l > 0.86f) return t.light;
    return t.mid;
}

void capsule(SDL_Surface* s, float ax, float ay, float bx, float by, float ra, float rb,
             const tones& t, rgb line, float ow) {
    float rmax = std::max(ra, rb) + ow + 1;
    int x1 = (int)std::floor(std::min(ax, bx) - rmax), x2 = (int)std::ceil(std::max(ax, bx) + rmax);
    int y1 = (int)std::floor(std::min(ay, by) - rmax), y2 = (int)std::ceil(std::max(ay, by) + rmax);
    x1 = std::max(x1, 0), y1 = std::max(y1, 0);
    x2 = std::min(x2, s->w - 1), y2 = std::min(y2, s->h - 1);
    float dx = bx - ax, dy = by - ay, len2 = dx * dx + dy * dy;
    for (int y = y1; y <= y2; y++)
        for (int x = x1; x <= x2; x++) {
            float px = x + 0.5f - ax, py = y + 0.5f - ay;
            float u = len2 > 0 ? (px * dx + py * dy) / len2 : 0;
            u = std::clamp(u, 0.0f, 1.0f);
            float cx = px - dx * u, cy = py - dy * u;
            float d = std::sqrt(cx * cx + cy * cy);
            float r = ra + (rb - ra) * u;
            if (d > r + ow) continue;
            if (d > r) {
                put(s, x, y, line);
                continue;
            }
            float nx = r > 0 ? cx / r : 0, ny = r > 0 ? cy / r : 0;
            put(s, x, y, shade(t, nx, ny));
        }
}

void disc(SDL_Surface* s, float cx, float cy, float r, const tones& t, rgb line, float ow) {
    capsule(s, cx, cy, cx, cy, r, r, t, line, ow);
}

static bool inside(const float* xs, const float* ys, int n, float px, float py) {
    bool in = false;
    for (int i = 0, j = n - 1; i < n; j = i++)
        if ((ys[i] > py) != (ys[j] > py) &&
            px < (xs[j] - xs[i]) * (py - ys[i]) / (ys[j] - ys[i]) + xs[i])
            in = !in;
    return in;
}

static float edge_distance(const float* xs, const float* ys, int n, float px, float py) {
    float best = 1e9f;
    for (int i = 0, j = n - 1; i < n; j = i++) {
        float dx = xs[i] - xs[j], dy = ys[i] - ys[j], l2 = dx * dx + dy * dy;
        float u = l2 > 0 ? ((px - xs[j]) * dx + (py - ys[j]) * dy) / l2 : 0;
        u = std::clamp(u, 0.0f, 1.0f);
        float ex = xs[j] + dx * u - px, ey = ys[j] + dy * u - py;
        best = std::min(best, ex * ex + ey * ey);
    }
    return std::sqrt(best);
}

void polygon(SDL_Surface* s, const float* xs, const float* ys, int n, const tones& t, rgb line,
             float ow) {
    float minx = *std::min_element(xs, xs + n), maxx = *std::max_element(xs, xs + n);
    float miny = *std::min_element(ys, ys + n), maxy = *std::max_element(ys, ys + n);
    for (int y = std::max(0, (int)miny); y <= std::min(s->h - 1, (int)maxy + 1); y++)
        for (int x = std::max(0, (int)minx); x <= std::min(s->w - 1, (int)maxx + 1); x++) {
            float px = x + 0.5f, py = y + 0.5f;
            if (!inside(xs, ys, n, px, py)) continue;
            if (ow > 0 && edge_distance(xs, ys, n, px, py) <= ow) {
                put(s, x, y, line);
                continue;
            }
            float v = maxy > miny ? (py - miny) / (maxy - miny) : 0.5f;
            put(s, x, y, v < 0.25f ? t.light : v < 0.7f ? t.mid : t.dark);
        }
}

void polygon_flat(SDL_Surface* s, const float* xs, const float* ys, int n, rgb c) {
    tones t = {c, c, c};
    polygon(s, xs, ys, n, t, c, 0);
}

void box(SDL_Surface* s, int x1, int y1, int x2, int y2, rgb c) {
    for (int y = std::max(0, y1); y <= std::min(s->h - 1, y2); y++)
        for (int x = std::max(0, x1); x <= std::min(s->w - 1, x2); x++) put(s, x, y, c);
}

void vertical_gradient(SDL_Surface* s, int y1, int y2, rgb top, rgb bottom, int bands) {
    for (int y = y1; y <= y2; y++) {
        float v = y2 > y1 ? (float)(y - y1) / (y2 - y1) : 0;
        float q = bands > 1 ? std::floor(v * bands) / (bands - 1) : v;
        box(s, 0, y, s->w - 1, y, safe_colour(mix(top, bottom, std::min(q, 1.0f))));
    }
}

void line(SDL_Surface* s, float ax, float ay, float bx, float by, float width, rgb c) {
    tones t = {c, c, c};
    capsule(s, ax, ay, bx, by, width * 0.5f, width * 0.5f, t, c, 0);
}

void ring(SDL_Surface* s, float cx, float cy, float r1, float r2, rgb c) {
    for (int y = (int)(cy - r2 - 1); y <= (int)(cy + r2 + 1); y++)
        for (int x = (int)(cx - r2 - 1); x <= (int)(cx + r2 + 1); x++) {
            float d = std::hypot(x + 0.5f - cx, y + 0.5f - cy);
            if (d >= r1 && d <= r2) put(s, x, y, c);
        }
}

// ---- text -------------------------------------------------------------------------------

void small_text(SDL_Surface* s, int x, int y, const char* text, rgb c, int scale) {
    if (scale <= 1) {
        stringRGBA(s, (Sint16)x, (Sint16)y, text, c.r, c.g, c.b, 255);
        return;
    }
    // Draw at 1x on a scratch canvas, then enlarge.
    int n = (int)strlen(text);
    SDL_Surface* tmp = new_canvas(n * 8 + 1, 9);
    stringRGBA(tmp, 0, 0, text, c.r, c.g, c.b, 255);
    stamp_scaled(s, tmp, x, y, (float)scale);
    SDL_FreeSurface(tmp);
}

static TTF_Font* open_face(int points, bool serif) {
    if (!TTF_WasInit() && TTF_Init() != 0) return nullptr;
    const char* path = serif ? "/usr/share/fonts/truetype/cardo/Cardob101.ttf"
                             : "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf";
    TTF_Font* f = TTF_OpenFont(path, points);
    if (!f && serif) f = TTF_OpenFont("/usr/share/fonts/truetype/dejavu/DejaVuSerif-Bold.ttf", points);
    return f;
}

int big_text_width(const char* text, int points, bool serif) {
    TTF_Font* f = open_face(points, serif);
    if (!f) return (int)strlen(text) * 8 * std::max(1, points / 10);
    int w = 0, h = 0;
    TTF_SizeText(f, text, &w, &h);
    TTF_CloseFont(f);
    return w;
}

static void stamp_glyphs(SDL_Surface* dst, SDL_Surface* src, int x, int y, rgb c) {
    // Solid rendering gives an 8-bit surface whose index 0 is the background.
    SDL_LockSurface(src);
    for (int j = 0; j < src->h; j++)
        for (int i = 0; i < src->w; i++)
            if (((uint8_t*)src->pixels)[j * src->pitch + i] != 0) put(dst, x + i, y + j, c);
    SDL_UnlockSurface(src);
}

int big_text(SDL_Surface* s, int x, int y, const char* text, int points, rgb c, bool serif,
             rgb outline, int outline_w) {
    TTF_Font* f = open_face(points, serif);
    if (!f) {
        int scale = std::max(1, points / 10);
        small_text(s, x, y, text, c, scale);
        return (int)strlen(text) * 8 * scale;
    }
    SDL_Color white = {255, 255, 255, 0};
    SDL_Surface* g = TTF_RenderText_Solid(f, text, white);
    int w = 0;
    if (g) {
        for (int oy = -outline_w; oy <= outline_w; oy++)
            for (int ox = -outline_w; ox <= outline_w; ox++)
                if ((ox || oy) && ox * ox + oy * oy <= outline_w * outline_w + 1)
                    stamp_glyphs(s, g, x + ox, y + oy, safe_colour(outline));
        stamp_glyphs(s, g, x, y, safe_colour(c));
        w = g->w;
        SDL_FreeSurface(g);
    }
    TTF_CloseFont(f);
    return w;
}

// ---- copies -----------------------------------------------------------------------------

void stamp(SDL_Surface* dst, SDL_Surface* src, int x, int y) {
    for (int j = 0; j < src->h; j++)
        for (int i = 0; i < src->w; i++)
            if (!is_key(src, i, j)) put(dst, x + i, y + j, get(src, i, j));
}

void stamp_scaled(SDL_Surface* dst, SDL_Surface* src, int x, int y, float scale) {
    int w = (int)(src->w * scale), h = (int)(src->h * scale);
    for (int j = 0; j < h; j++)
        for (int i = 0; i < w; i++) {
            int sx = (int)(i / scale), sy = (int)(j / scale);
            if (!is_key(src, sx, sy)) put(dst, x + i, y + j, get(src, sx, sy));
        }
}

void mirror(SDL_Surface* s) {
    for (int y = 0; y < s->h; y++) {
        uint32_t* row = (uint32_t*)((uint8_t*)s->pixels + y * s->pitch);
        std::reverse(row, row + s->w);
    }
}

void recolour(SDL_Surface* s, rgb from, rgb to) {
    for (int y = 0; y < s->h; y++)
        for (int x = 0; x < s->w; x++) {
            rgb c = get(s, x, y);
            if (c.r == from.r && c.g == from.g && c.b == from.b) put(s, x, y, to);
        }
}
