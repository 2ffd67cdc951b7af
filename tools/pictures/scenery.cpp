// scenery: stage layers, effects, front-end and display pictures.
#include "scenery.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string>

#include "fighters.h"
#include "paint.h"

namespace {

const float PI = 3.14159265f;

// A small deterministic generator: the same pictures on every run.
struct lcg {
    uint32_t s;
    explicit lcg(uint32_t seed) : s(seed) {}
    uint32_t next() {
        s = s * 1664525u + 1013904223u;
        return s >> 8;
    }
    float unit() { return (next() & 0xFFFF) / 65535.0f; }
    float range(float a, float b) { return a + (b - a) * unit(); }
};

void save(media_out& out, const std::string& path, SDL_Surface* s) {
    out.save_png(path, s);
    SDL_FreeSurface(s);
}

// ---- stage ------------------------------------------------------------------------------
// Every layer shares the sky's height so that all of them scale about the same bottom edge;
// only their visible bands hold pixels, so the game's trimming keeps the drawn area small.

// Tall enough to fill the screen when the camera zooms out to the whole stage width.
const int STAGE_W = 1600, STAGE_H = 1200, FLOOR_H = 150;
const int HORIZON = STAGE_H - FLOOR_H; // where the road meets the roadside
const int STAGE_LAYERS = 5;              // the farthest picture, three parallax layers, the floor

SDL_Surface* sky() {
    SDL_Surface* s = new_canvas(STAGE_W, STAGE_H);
    vertical_gradient(s, 0, HORIZON - 250, {20, 22, 64}, {96, 70, 140}, 20);
    vertical_gradient(s, HORIZON - 249, HORIZON, {110, 76, 146}, {250, 160, 110}, 12);
    // Below the horizon the road's own colour, in case the floor leaves a gap when tilted.
    box(s, 0, HORIZON + 1, STAGE_W - 1, STAGE_H - 1, {62, 60, 70});
    // Sun low over the horizon, and a few long clouds.
    disc(s, 1000, HORIZON - 110, 70, make_tones({255, 214, 120}), {255, 190, 110}, 0);
    ring(s, 1000, HORIZON - 110, 74, 80, {250, 180, 120});
    lcg r(7);
    for (int i = 0; i < 14; i++) {
        float x = r.range(0, STAGE_W), y = r.range(HORIZON - 390, HORIZON - 170), len = r.range(90, 260);
        rgb c = mix({150, 110, 170}, {250, 190, 170}, (y - (HORIZON - 390)) / 220);
        line(s, x, y, x + len, y, r.range(7, 14), c);
        line(s, x + len * 0.2f, y - 6, x + len * 0.7f, y - 6, 8, mix(c, {255, 255, 255}, 0.2f));
    }
    for (int i = 0; i < 150; i++) put(s, (int)r.range(0, STAGE_W), (int)r.range(10, HORIZON - 390), {230, 230, 250});
    return s;
}

SDL_Surface* far_layer() {
    SDL_Surface* s = new_canvas(STAGE_W, STAGE_H);
    lcg r(11);
    // Rolling hills.
    rgb hill = {84, 62, 120};
    for (int x = 0; x < STAGE_W; x++) {
        float h = HORIZON - 120 + 30 * std::sin(x * 2 * PI / 800) + 18 * std::sin(x * 2 * PI / 320 + 1.3f);
        box(s, x, (int)h, x, HORIZON - 20, hill);
        box(s, x, (int)h, x, (int)h + 2, mix(hill, {240, 170, 140}, 0.3f));
    }
    // A distant town skyline with lit windows.
    float x = 40;
    while (x < STAGE_W - 60) {
        float w = r.range(30, 70), h = r.range(50, 150);
        float top = HORIZON - 40 - h;
        box(s, (int)x, (int)top, (int)(x + w), HORIZON - 30, {64, 48, 96});
        box(s, (int)x, (int)top, (int)(x + w), (int)top + 2, {120, 90, 140});
        for (float wy = top + 10; wy < HORIZON - 50; wy += 14)
            for (float wx = x + 6; wx < x + w - 6; wx += 11)
                if (r.unit() < 0.35f) box(s, (int)wx, (int)wy, (int)wx + 3, (int)wy + 5, {255, 214, 130});
        x += w + r.range(10, 90);
    }
    return s;
}

SDL_Surface* middle_layer() {
    SDL_Surface* s = new_canvas(STAGE_W, STAGE_H);
    lcg r(23);
    // A grass bank, then trees and cottages on it.
    for (int x = 0; x < STAGE_W; x++) {
        int top = (int)(HORIZON - 60 + 8 * std::sin(x * 2 * PI / 400));
        box(s, x, top, x, HORIZON - 6, {46, 84, 60});
        box(s, x, top, x, top + 1, {92, 130, 80});
    }
    float x = 20;
    while (x < STAGE_W - 40) {
        if (r.unit() < 0.3f) {
            float w = r.range(70, 110), h = r.range(50, 70), base = HORIZON - 50;
            box(s, (int)x, (int)(base - h), (int)(x + w), (int)base, {196, 176, 150});
            box(s, (int)x, (int)(base - h), (int)x + 2, (int)base, {120, 100, 96});
            float rx[3] = {x - 8, x + w / 2, x + w + 8}, ry[3] = {base - h, base - h - 40, base - h};
            polygon(s, rx, ry, 3, make_tones({150, 60, 56}), {50, 30, 40}, 2);
            box(s, (int)(x + w * 0.3f), (int)(base - h * 0.6f), (int)(x + w * 0.3f) + 12, (int)(base - h * 0.6f) + 12,
                {255, 220, 140});
            x += w + r.range(20, 60);
        } else {
            float h = r.range(70, 130), base = HORIZON - 45;
            line(s, x, base, x, base - h * 0.5f, 9, {80, 56, 44});
            tones leaf = make_tones({52, 110, 70});
            disc(s, x, base - h * 0.65f, h * 0.28f, leaf, {24, 44, 40}, 2);
            disc(s, x - h * 0.18f, base - h * 0.45f, h * 0.22f, leaf, {24, 44, 40}, 2);
            disc(s, x + h * 0.2f, base - h * 0.47f, h * 0.21f, leaf, {24, 44, 40}, 2);
            x += r.range(40, 110);
        }
    }
    return s;
}

SDL_Surface* near_layer() {
    SDL_Surface* s = new_canvas(STAGE_W, STAGE_H);
    lcg r(31);
    // Roadside verge, a stone wall and street lamps.
    box(s, 0, HORIZON - 34, STAGE_W - 1, HORIZON + 6, {70, 112, 62});
    for (int x = 0; x < STAGE_W; x += 3) box(s, x, HORIZON - 36 - (int)(r.unit() * 5), x + 1, HORIZON - 34, {96, 140, 74});
    for (int x = 0; x < STAGE_W; x += 40) {
        int off = (x / 40) % 2 ? 20 : 0;
        for (int row = 0; row < 2; row++) {
            int y = HORIZON - 56 + row * 14;
            int x1 = x + (row ? off : 0);
            box(s, x1, y, x1 + 38, y + 12, {150, 144, 136});
            box(s, x1, y, x1 + 38, y + 1, {190, 184, 176});
            box(s, x1 + 38, y, x1 + 39, y + 12, {90, 86, 84});
        }
    }
    box(s, 0, HORIZON - 30, STAGE_W - 1, HORIZON - 28, {90, 86, 84});
    for (int x = 150; x < STAGE_W; x += 400) {
        line(s, x, HORIZON - 30, x, HORIZON - 220, 8, {50, 50, 62});
        line(s, x, HORIZON - 220, x + 34, HORIZON - 232, 6, {50, 50, 62});
        disc(s, x + 36, HORIZON - 224, 9, make_tones({255, 230, 150}), {50, 50, 62}, 2);
        box(s, x - 8, HORIZON - 36, x + 8, HORIZON - 28, {50, 50, 62});
    }
    for (int i = 0; i < 16; i++) {
        float x = r.range(0, STAGE_W);
        disc(s, x, HORIZON - 30, r.range(12, 20), make_tones({60, 120, 60}), {24, 50, 36}, 2);
    }
    return s;
}

SDL_Surface* road_floor() {
    SDL_Surface* s = new_canvas(STAGE_W, FLOOR_H);
    lcg r(41);
    vertical_gradient(s, 0, FLOOR_H - 1, {88, 86, 96}, {58, 56, 66}, 6);
    box(s, 0, 0, STAGE_W - 1, 7, {176, 172, 164});
    box(s, 0, 8, STAGE_W - 1, 9, {110, 106, 104});
    for (int x = 0; x < STAGE_W; x += 40) box(s, x, 0, x + 1, 7, {120, 116, 112});
    for (int x = 0; x < STAGE_W; x += 120) box(s, x, FLOOR_H / 2 - 3, x + 64, FLOOR_H / 2 + 3, {236, 226, 180});
    for (int i = 0; i < 1600; i++) {
        int x = (int)r.range(0, STAGE_W), y = (int)r.range(12, FLOOR_H);
        put(s, x, y, r.unit() < 0.5f ? rgb{104, 102, 110} : rgb{50, 48, 56});
    }
    return s;
}

// ---- harbour ----------------------------------------------------------------------------
// The second stage: a harbour quay at night. The same sizes as the road, so both stages
// frame the fighters alike: a moonlit sky, the far shore with its lighthouse and cranes, the
// water with moored boats, the quay's edge with bollards, crates and lanterns, and the
// quay's stones as the floor.

SDL_Surface* harbour_sky() {
    SDL_Surface* s = new_canvas(STAGE_W, STAGE_H);
    vertical_gradient(s, 0, HORIZON - 200, {4, 8, 26}, {18, 34, 70}, 18);
    vertical_gradient(s, HORIZON - 199, HORIZON, {20, 38, 76}, {44, 70, 110}, 10);
    box(s, 0, HORIZON + 1, STAGE_W - 1, STAGE_H - 1, {52, 54, 60});
    lcg r(53);
    for (int i = 0; i < 260; i++) {
        int x = (int)r.range(0, STAGE_W), y = (int)r.range(6, HORIZON - 260);
        put(s, x, y, r.unit() < 0.2f ? rgb{255, 240, 200} : rgb{190, 200, 236});
    }
    // A full moon with a faint halo, and thin clouds passing in front of it.
    ring(s, 420, HORIZON - 520, 62, 76, {34, 52, 90});
    disc(s, 420, HORIZON - 520, 56, make_tones({236, 232, 206}), {200, 196, 176}, 0);
    disc(s, 400, HORIZON - 536, 12, make_tones({210, 206, 184}), {210, 206, 184}, 0);
    disc(s, 438, HORIZON - 504, 8, make_tones({214, 210, 188}), {214, 210, 188}, 0);
    for (int i = 0; i < 9; i++) {
        float x = r.range(0, STAGE_W), y = r.range(HORIZON - 600, HORIZON - 300), len = r.range(120, 300);
        line(s, x, y, x + len, y, r.range(5, 10), {40, 58, 96});
    }
    return s;
}

SDL_Surface* harbour_far() {
    SDL_Surface* s = new_canvas(STAGE_W, STAGE_H);
    lcg r(59);
    // The far shore: a low dark line of land with scattered lights.
    for (int x = 0; x < STAGE_W; x++) {
        int top = (int)(HORIZON - 96 + 14 * std::sin(x * 2 * PI / 700) + 6 * std::sin(x * 2 * PI / 210));
        box(s, x, top, x, HORIZON - 70, {14, 22, 40});
    }
    for (int i = 0; i < 70; i++) {
        int x = (int)r.range(0, STAGE_W), y = (int)r.range(HORIZON - 86, HORIZON - 72);
        box(s, x, y, x + 1, y + 1, r.unit() < 0.5f ? rgb{255, 200, 110} : rgb{230, 230, 250});
    }
    // Dock cranes: a tower, a jib and a hanging line.
    for (int x = 260; x < STAGE_W; x += 430) {
        rgb c = {26, 36, 58};
        line(s, x, HORIZON - 80, x, HORIZON - 260, 10, c);
        line(s, x - 60, HORIZON - 250, x + 150, HORIZON - 262, 7, c);
        line(s, x, HORIZON - 300, x - 60, HORIZON - 250, 3, c);
        line(s, x, HORIZON - 300, x + 150, HORIZON - 262, 3, c);
        line(s, x + 120, HORIZON - 260, x + 120, HORIZON - 180, 2, c);
        box(s, x - 1, HORIZON - 304, x + 2, HORIZON - 300, {255, 70, 60});
    }
    // A lighthouse on its point, its beam sweeping out over the water.
    const int lx = 1320;
    float bx[3] = {(float)lx, (float)lx - 420, (float)lx - 400}, by[3] = {HORIZON - 214, HORIZON - 260, HORIZON - 196};
    polygon_flat(s, bx, by, 3, {52, 66, 96});
    float tx[4] = {lx - 12, lx + 12, lx + 18, lx - 18}, ty[4] = {HORIZON - 200, HORIZON - 200, HORIZON - 80, HORIZON - 80};
    polygon(s, tx, ty, 4, make_tones({196, 190, 184}), {20, 24, 40}, 2);
    for (int band = 0; band < 3; band++)
        box(s, lx - 14 - band * 2, HORIZON - 180 + band * 36, lx + 14 + band * 2, HORIZON - 166 + band * 36, {170, 50, 50});
    box(s, lx - 14, HORIZON - 222, lx + 14, HORIZON - 200, {30, 34, 50});
    disc(s, lx, HORIZON - 212, 8, make_tones({255, 236, 150}), {255, 210, 120}, 0);
    return s;
}

SDL_Surface* harbour_water() {
    SDL_Surface* s = new_canvas(STAGE_W, STAGE_H);
    lcg r(61);
    // The water from the far shore to the quay, with the moon's path across it.
    vertical_gradient(s, HORIZON - 70, HORIZON - 8, {16, 30, 58}, {8, 16, 34}, 8);
    for (int i = 0; i < 420; i++) {
        float y = r.range(HORIZON - 68, HORIZON - 10), x = r.range(0, STAGE_W), len = r.range(8, 40);
        bool moonlit = std::fabs(x - 420) < 70 + (y - (HORIZON - 70)) * 1.5f;
        line(s, x, y, x + len, y, 1.5f, moonlit ? rgb{200, 204, 186} : rgb{40, 62, 100});
    }
    // Moored boats: a hull, a cabin, a mast, a lit porthole.
    for (float x = 60; x < STAGE_W - 120;) {
        float w = r.range(110, 170), base = HORIZON - 30;
        float hx[4] = {x, x + w, x + w - 18, x + 14}, hy[4] = {base - 22, base - 22, base, base};
        rgb hull = r.unit() < 0.5f ? rgb{120, 40, 44} : rgb{40, 70, 110};
        polygon(s, hx, hy, 4, make_tones(hull), {10, 12, 24}, 2);
        box(s, (int)(x + w * 0.3f), (int)base - 44, (int)(x + w * 0.62f), (int)base - 22, {170, 166, 160});
        box(s, (int)(x + w * 0.36f), (int)base - 38, (int)(x + w * 0.36f) + 7, (int)base - 31, {255, 214, 130});
        line(s, x + w * 0.5f, base - 44, x + w * 0.5f, base - 120, 3, {30, 30, 40});
        line(s, x + w * 0.5f, base - 120, x + w, base - 24, 1, {60, 60, 74});
        x += w + r.range(90, 220);
    }
    return s;
}

SDL_Surface* harbour_quay() {
    SDL_Surface* s = new_canvas(STAGE_W, STAGE_H);
    lcg r(67);
    // The quay wall's top edge, bollards with their ropes, stacked crates and lanterns.
    box(s, 0, HORIZON - 14, STAGE_W - 1, HORIZON + 6, {84, 84, 90});
    box(s, 0, HORIZON - 14, STAGE_W - 1, HORIZON - 12, {130, 130, 136});
    for (int x = 0; x < STAGE_W; x += 64) box(s, x, HORIZON - 14, x + 1, HORIZON + 6, {56, 56, 62});
    for (int x = 90; x < STAGE_W; x += 260) {
        box(s, x - 9, HORIZON - 34, x + 9, HORIZON - 14, {36, 36, 44});
        box(s, x - 13, HORIZON - 38, x + 13, HORIZON - 33, {50, 50, 60});
        line(s, x + 9, HORIZON - 26, x + 60, HORIZON - 4, 3, {150, 124, 80});
    }
    for (float x = 200; x < STAGE_W - 80; x += r.range(300, 520)) {
        int rows = 1 + (int)(r.unit() * 2.9f);
        for (int k = 0; k < rows; k++) {
            int cx = (int)x + (k % 2) * 22, top = HORIZON - 14 - 46 * (k + 1);
            box(s, cx, top, cx + 60, top + 44, {122, 90, 56});
            box(s, cx, top, cx + 60, top + 2, {170, 132, 84});
            line(s, cx + 2, top + 2, cx + 58, top + 42, 3, {92, 66, 42});
            box(s, cx, top, cx + 1, top + 44, {60, 42, 30});
        }
    }
    for (int x = 330; x < STAGE_W; x += 520) {
        line(s, x, HORIZON - 14, x, HORIZON - 200, 7, {28, 28, 36});
        box(s, x - 10, HORIZON - 226, x + 10, HORIZON - 200, {28, 28, 36});
        box(s, x - 7, HORIZON - 222, x + 7, HORIZON - 204, {255, 206, 120});
        ring(s, x, HORIZON - 213, 16, 20, {120, 100, 80});
    }
    return s;
}

SDL_Surface* harbour_floor() {
    SDL_Surface* s = new_canvas(STAGE_W, FLOOR_H);
    lcg r(71);
    // Cobbles in staggered rows, wet and catching the lanterns' light near the edge.
    vertical_gradient(s, 0, FLOOR_H - 1, {70, 72, 80}, {40, 42, 50}, 6);
    for (int row = 0, y = 4; y < FLOOR_H; row++, y += 12 + row) {
        int h = 10 + row;
        for (int x = (row % 2) * 14 - 14; x < STAGE_W; x += 28) {
            rgb c = mix({88, 88, 98}, {60, 60, 70}, r.unit());
            box(s, std::max(0, x + 1), y, std::min(STAGE_W - 1, x + 25), std::min(FLOOR_H - 1, y + h - 2), c);
            box(s, std::max(0, x + 1), y, std::min(STAGE_W - 1, x + 25), y, mix(c, {200, 190, 160}, 0.3f));
        }
    }
    box(s, 0, 0, STAGE_W - 1, 3, {140, 140, 146});
    for (int x = 330; x < STAGE_W; x += 520)
        for (int i = 0; i < 40; i++) put(s, x + (int)r.range(-60, 60), (int)r.range(6, 40), {200, 170, 110});
    return s;
}

// ---- effects ----------------------------------------------------------------------------

SDL_Surface* loading_frame(int i) {
    SDL_Surface* s = new_canvas(200, 56);
    big_text(s, 54, 12, "LOADING", 22, {236, 210, 140}, true, {40, 24, 30}, 2);
    for (int k = 0; k < 8; k++) {
        float a = k * 2 * PI / 8;
        float cx = 26 + 16 * std::cos(a), cy = 28 + 16 * std::sin(a);
        int age = (i - k + 8) % 8;
        float rr = age == 0 ? 6.0f : age == 1 ? 5.0f : age == 2 ? 4.0f : 3.0f;
        rgb c = age < 3 ? mix({255, 230, 150}, {200, 120, 80}, age / 3.0f) : rgb{110, 80, 90};
        disc(s, cx, cy, rr, make_tones(c), {40, 24, 30}, 1);
    }
    return s;
}

SDL_Surface* explosion_frame(int i, int n) {
    // The burst sits where a projectile's orb sits in its own picture (see paint_bullet).
    SDL_Surface* s = new_canvas(160, 150);
    float t = (float)i / (n - 1);
    float cx = 70, cy = 75;
    lcg r(100 + i);
    // Smoke behind the fire, drifting outwards and upwards as the fire dies.
    if (t > 0.4f) {
        const int puffs = 8;
        for (int k = 0; k < puffs; k++) {
            float a = k * 2 * PI / puffs + 0.4f, d = 26 + 34 * t;
            float rr = 13 * (1.2f - t) + 2;
            rgb c = mix({214, 196, 178}, {150, 140, 146}, t);
            tones soft = {mix(c, {60, 50, 60}, 0.12f), c, mix(c, {255, 255, 255}, 0.15f)};
            disc(s, cx + d * std::cos(a), cy + d * std::sin(a) * 0.8f - 16 * t, rr, soft, soft.dark, 1);
        }
    }
    if (t < 0.75f) {
        // A star burst growing and cooling from white through yellow to orange.
        float grow = t / 0.75f;
        float outer = 20 + 34 * grow;
        float xs[16], ys[16];
        for (int k = 0; k < 16; k++) {
            float a = k * PI / 8 + i * 0.2f, rr = (k % 2 ? outer * 0.55f : outer) * r.range(0.85f, 1.1f);
            xs[k] = cx + rr * std::cos(a), ys[k] = cy + rr * std::sin(a);
        }
        polygon(s, xs, ys, 16, make_tones(mix({255, 200, 80}, {240, 100, 30}, grow)), {170, 50, 30}, 2);
        disc(s, cx, cy, outer * 0.45f, make_tones(mix({255, 250, 210}, {255, 190, 70}, grow)), {255, 150, 50}, 1);
        if (grow < 0.6f) disc(s, cx, cy, outer * 0.22f, make_tones({255, 255, 240}), {255, 240, 200}, 0);
    }
    return s;
}

// ---- front end --------------------------------------------------------------------------

SDL_Surface* tile() {
    // Built only from functions that repeat every 128 pixels, so it tiles seamlessly.
    SDL_Surface* s = new_canvas(128, 128);
    for (int y = 0; y < 128; y++)
        for (int x = 0; x < 128; x++) {
            float u = x * 2 * PI / 128, v = y * 2 * PI / 128;
            float a = std::sin(u) * std::sin(v);
            float b = std::cos(2 * u + v) * 0.5f + std::cos(u - 2 * v) * 0.5f;
            float m = 0.5f + 0.35f * a + 0.15f * b;
            int band = (int)(m * 5);
            rgb c = mix({34, 22, 48}, {92, 58, 96}, band / 5.0f);
            // Diamond lattice lines.
            int dx = (x + y) % 64, dy = (x - y + 128) % 64;
            if (dx == 0 || dy == 0) c = mix(c, {160, 120, 140}, 0.35f);
            put(s, x, y, c);
        }
    return s;
}

void emblem(SDL_Surface* s, float cx, float cy, float r, rgb metal, rgb dark) {
    // A ring with two crossed fists' worth of spikes: the game's crest.
    tones m = make_tones(metal);
    float xs[16], ys[16];
    for (int k = 0; k < 16; k++) {
        float a = k * PI / 8 - PI / 2, rr = k % 2 ? r * 0.78f : r;
        xs[k] = cx + rr * std::cos(a), ys[k] = cy + rr * std::sin(a);
    }
    polygon(s, xs, ys, 16, m, dark, 3);
    disc(s, cx, cy, r * 0.62f, make_tones(mix(dark, metal, 0.25f)), dark, 3);
    ring(s, cx, cy, r * 0.5f, r * 0.56f, m.light);
}

SDL_Surface* splash_logo() {
    SDL_Surface* s = new_canvas(640, 480);
    vertical_gradient(s, 0, 479, {12, 8, 24}, {70, 30, 56}, 24);
    emblem(s, 320, 170, 110, {210, 170, 90}, {40, 24, 30});
    const char* title = "MarrowlarK";
    int w = big_text_width(title, 64, true);
    big_text(s, 320 - w / 2, 290, title, 64, {246, 206, 127}, true, {40, 16, 20}, 3);
    const char* sub = "a two-fisted road brawl";
    w = big_text_width(sub, 20, true);
    big_text(s, 320 - w / 2, 382, sub, 20, {220, 200, 210}, true);
    return s;
}

SDL_Surface* dark_logo() {
    SDL_Surface* s = new_canvas(360, 140);
    emblem(s, 70, 70, 62, {90, 70, 96}, {16, 10, 22});
    big_text(s, 140, 26, "ML", 72, {64, 48, 76}, true, {12, 8, 18}, 3);
    return s;
}

SDL_Surface* stage_backdrop(int w, int h) {
    SDL_Surface* s = new_canvas(w, h);
    vertical_gradient(s, 0, h - 1, {24, 20, 50}, {120, 70, 110}, 16);
    box(s, 0, h - 60, w - 1, h - 1, {58, 52, 62});
    box(s, 0, h - 60, w - 1, h - 58, {150, 140, 140});
    return s;
}

SDL_Surface* group_picture() {
    SDL_Surface* s = stage_backdrop(640, 480);
    // Spotlights behind the line-up.
    const auto& t = fighter_table();
    const float xs[4] = {95, 250, 400, 550};
    const int poses[4] = {5, 0, 0, 0};
    for (int i = 0; i < 4; i++) {
        // A pool of light on the floor and a faint beam above it.
        rgb beam = mix({70, 50, 100}, t[i].l.energy, 0.18f);
        float bx[4] = {xs[i] - 20, xs[i] + 20, xs[i] + 85, xs[i] - 85}, by[4] = {0, 0, 440, 440};
        polygon_flat(s, bx, by, 4, beam);
        for (int y = 425; y < 455; y++) {
            float hw = 80 * std::sqrt(std::max(0.0f, 1 - ((y - 440) / 15.0f) * ((y - 440) / 15.0f)));
            box(s, (int)(xs[i] - hw), y, (int)(xs[i] + hw), y, mix({58, 52, 62}, t[i].l.energy, 0.3f));
        }
    }
    for (int i = 3; i >= 0; i--) {
        SDL_Surface* f = paint_fighter(t[i], still_pose(poses[i], t[i].style));
        if (i % 2) mirror(f); // alternate facings so they face one another
        const float z = 0.88f;
        stamp_scaled(s, f, (int)(xs[i] - FIGHTER_W * z / 2), (int)(480 - 28 - FIGHTER_H * z), z);
        SDL_FreeSurface(f);
        int w = big_text_width(t[i].title, 18, true);
        big_text(s, (int)xs[i] - w / 2, 452, t[i].title, 18, {246, 206, 127}, true, {20, 10, 20}, 2);
    }
    return s;
}

SDL_Surface* action_shot(const fighter_def& f, int move, int frame) {
    SDL_Surface* s = new_canvas(FIGHTER_W, FIGHTER_H + 20);
    // A slanted panel in the fighter's energy colour behind the figure.
    float px[4] = {40, FIGHTER_W - 10, FIGHTER_W - 40, 10}, py[4] = {30, 10, FIGHTER_H + 10, FIGHTER_H + 19};
    polygon(s, px, py, 4, make_tones(mix(f.l.energy, {30, 20, 40}, 0.45f)), f.l.outline, 3);
    std::vector<move_def> moves = fighter_moves(f.style, f.firespeed);
    SDL_Surface* fig = paint_fighter(f, moves[move].frames[frame].p);
    stamp(s, fig, 0, 10);
    SDL_FreeSurface(fig);
    return s;
}

// The layers of one stage, farthest first, the floor last.
struct stage_def {
    const char* name; // folder and file-name part
    const char* layers[STAGE_LAYERS];
    SDL_Surface* (*paint[STAGE_LAYERS])();
};

const stage_def STAGES[] = {
    {"road", {"sky", "far", "middle", "near", "floor"}, {sky, far_layer, middle_layer, near_layer, road_floor}},
    {"harbour",
     {"sky", "far", "water", "quay", "floor"},
     {harbour_sky, harbour_far, harbour_water, harbour_quay, harbour_floor}},
};

std::string layer_path(const stage_def& d, int i) {
    return std::string("rsrc/") + d.name + "/" + d.name + "_" + d.layers[i] + ".png";
}

// One stage's pictures, its background set and its stage file: one part whose picture is
// the sky, the other layers its parallax over it, and the floor.
void write_one_stage(media_out& out, const stage_def& d) {
    const std::string dir = std::string("rsrc/") + d.name + "/";
    ini_text set;
    set.add("width", STAGE_W);
    set.add("images", STAGE_LAYERS);
    for (int i = 0; i < STAGE_LAYERS; i++) {
        save(out, layer_path(d, i), d.paint[i]());
        set.add("image" + std::to_string(i), layer_path(d, i));
    }
    out.save_text(dir + d.name + "_bgset.ini", set.text);
    ini_text st;
    st.add("bgset", dir + d.name + "_bgset.ini");
    st.add("loop", 0);
    st.add("floor", STAGE_LAYERS - 1);
    st.add("length", 1);
    st.add("part0", 0);
    st.add("part0parallax", STAGE_LAYERS - 2);
    for (int i = 1; i < STAGE_LAYERS - 1; i++) st.add("part0parallax" + std::to_string(i - 1), i);
    out.save_text(dir + "stage_" + d.name + ".ini", st.text);
}

} // namespace

void write_stage(media_out& out) {
    for (const stage_def& d : STAGES) write_one_stage(out, d);
}

void write_scenery_sheet(const std::string& dir) {
    // Each stage's layers side by side, scaled to a quarter, stacked into the finished view
    // at the end of the row; below them every fighter's small portrait.
    const float z = 0.25f;
    const int cw = (int)(STAGE_W * z), chh = (int)(STAGE_H * z) + 14, label = 90;
    const int rows = (int)(sizeof STAGES / sizeof STAGES[0]);
    SDL_Surface* sheet = new_canvas(label + (STAGE_LAYERS + 1) * cw, rows * chh + 120);
    fill(sheet, {70, 74, 86});
    for (int q = 0; q < rows; q++) {
        const stage_def& d = STAGES[q];
        const int y = q * chh;
        small_text(sheet, 4, y + 8, d.name, {255, 255, 0});
        const int whole_x = label + STAGE_LAYERS * cw;
        box(sheet, whole_x, y + 1, whole_x + cw - 2, y + chh - 15, {20, 20, 24});
        for (int i = 0; i < STAGE_LAYERS; i++) {
            SDL_Surface* pic = d.paint[i]();
            const int x = label + i * cw;
            box(sheet, x + 1, y + 1, x + cw - 2, y + chh - 15, {96, 100, 114});
            const bool floor = i == STAGE_LAYERS - 1;
            stamp_scaled(sheet, pic, x, floor ? y + chh - 14 - (int)(FLOOR_H * z) : y, z);
            stamp_scaled(sheet, pic, whole_x, floor ? y + (int)(HORIZON * z) : y, z);
            small_text(sheet, x + 3, y + chh - 11, d.layers[i], {255, 255, 255});
            SDL_FreeSurface(pic);
        }
        small_text(sheet, whole_x + 3, y + chh - 11, "together", {255, 255, 255});
    }
    small_text(sheet, 4, rows * chh + 8, "portraits", {255, 255, 0});
    int x = label;
    for (const fighter_def& f : fighter_table()) {
        SDL_Surface* p = small_portrait(f);
        stamp(sheet, p, x, rows * chh + 10);
        small_text(sheet, x, rows * chh + 100, f.name, {255, 255, 255});
        x += p->w + 40;
        SDL_FreeSurface(p);
    }
    write_if_changed(dir + "/scenery_sheet.png", encode_png(sheet));
    SDL_FreeSurface(sheet);
}

void write_effects(media_out& out) {
    ini_text load;
    load.add("images", 8);
    load.add("loop", 1);
    for (int i = 0; i < 8; i++) {
        std::string p = "rsrc/loading/loading_" + std::to_string(i) + ".png";
        save(out, p, loading_frame(i));
        load.add("image" + std::to_string(i), p);
        load.add("rate" + std::to_string(i), 4);
    }
    out.save_text("game/fighter/loading.ini", load.text);
    const int n = 7;
    ini_text body;
    int frames = 0;
    for (int i = 0; i < n; i++) {
        std::string p = "rsrc/effects/expl_" + std::to_string(i) + ".png";
        save(out, p, explosion_frame(i, n));
        move_frame fr;
        fr.rate = 3;
        if (i == 0) fr.sound = "rsrc/sfx/explosion.wav";
        add_frame(body, frames, p, fr);
    }
    ini_text ex;
    ex.add("images", frames);
    ex.add("loop", 0);
    ex.text += body.text;
    out.save_text("game/fighter/expl.ini", ex.text);
}

void write_front_end(media_out& out) {
    save(out, "rsrc/pml_logo2_640x480.png", splash_logo());
    save(out, "rsrc/ferromldark.png", dark_logo());
    save(out, "rsrc/tilablebg128.png", tile());
    save(out, "rsrc/ML_group_redo_rough_640x480.png", group_picture());
    const auto& t = fighter_table();
    save(out, "rsrc/060415_mirelle_02_b.png", action_shot(t[0], 3, 1));
    save(out, "rsrc/060419_tamsin01c.png", action_shot(t[1], 0, 1));
    save(out, "rsrc/ondine/ondine_action_shot_ha.png", action_shot(t[2], 4, 2));
    save(out, "rsrc/verity/verity_action_shot.png", action_shot(t[3], 5, 2));
}

void write_display(media_out& out) {
    // The display draws these pictures as they are at the right screen edge and mirrored at
    // the left, so they are laid out for the right edge: the 230-pixel bar ends 18 pixels
    // from the picture's right edge (y 7..15 of the picture, which is drawn at y 5), and the
    // round dots sit below it from 21 pixels in, 11 apart.
    const int w = 264;
    SDL_Surface* f = new_canvas(w, 36);
    rgb edge = {40, 36, 44}, metal = {150, 146, 156}, slot = {28, 24, 32};
    box(f, 10, 2, 253, 20, edge);
    box(f, 11, 3, 252, 19, metal);
    box(f, 11, 3, 252, 4, {200, 196, 204});
    box(f, 13, 5, 250, 17, edge);
    box(f, 14, 6, 249, 16, slot);
    for (int n = 0; n < 4; n++) disc(f, w - 21 - 11 * n, 26.5f, 6, make_tones(metal), edge, 1.5f);
    out.save_png("rsrc/meter/lifebar_grey.png", f);
    SDL_FreeSurface(f);
    // Shadow under the display, drawn translucent by the game: flush with the screen edge,
    // cut on a slant towards the middle of the screen.
    SDL_Surface* s = new_canvas(300, 96);
    for (int y = 0; y < 96; y++)
        for (int x = 0; x < 300; x++) {
            float fx = x / 300.0f, fy = y / 96.0f;
            if (fx > fy * 0.6f && fy < 0.98f) put(s, x, y, {8, 6, 12});
        }
    out.save_png("rsrc/meter/shadow.png", s);
    SDL_FreeSurface(s);
}

void write_notes(media_out& out) {
    out.save_text("PICTURES.txt",
        "How the pictures of this game folder were made\n"
        "\n"
        "Every PNG under rsrc/ except the sound, music and font files is drawn by the\n"
        "project's own generator (tools/pictures, built as picgen) when the game is built.\n"
        "Nothing is traced, sampled or downloaded. Pure green (0,255,0) is the transparent\n"
        "colour; the output is the same on every run.\n"
        "\n"
        "Fighters (rsrc/<name>/): each figure is a skeleton of joints posed by keyframes per\n"
        "move; body, limbs, head and hair are painted as round-ended shapes shaded in three\n"
        "flat tones with a dark outline. Each fighter has her own proportions, palette, hair\n"
        "and outfit. Still images are rsrc/<name>/<name>_<pose>.png, move frames\n"
        "rsrc/<name>/moves/<name>_<move>_<frame>.png and projectiles\n"
        "rsrc/<name>/special/<name>_bullet<n>.png. Portraits (<name>_symbol.png and the\n"
        "small emblem of the heads-up display) are cropped from the standing picture.\n"
        "\n"
        "Stage (rsrc/road/): sky, far hills and town, middle trees and cottages, near wall\n"
        "and street lamps, and the road surface, drawn from gradients, simple shapes and a\n"
        "seeded pseudo-random sequence.\n"
        "\n"
        "Stage (rsrc/harbour/): a night sky with the moon, the far shore with a lighthouse\n"
        "and dock cranes, the water with moored boats, the quay's edge with bollards,\n"
        "crates and lanterns, and its cobbles, drawn the same way.\n"
        "\n"
        "Front end and display: the logos use the system fonts Cardo and DejaVu (Debian\n"
        "packages fonts-cardo and fonts-dejavu-core) over drawn crests; the menu tile is\n"
        "made of functions that repeat every 128 pixels; the group picture and action shots\n"
        "are the fighters' own poses; bar pictures are plain boxes and discs.\n"
        "\n"
        "Effects: the loading spinner and the explosion are drawn frame by frame.\n"
        "\n"
        "The definition files (game/fighter/*.ini, rsrc/road/*.ini, rsrc/harbour/*.ini)\n"
        "are written by the same generator and kept in the repository.\n");
}
