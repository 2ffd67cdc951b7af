// scenery: stage layers, effects, front-end and display pictures.
#include "scenery.h"

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

} // namespace

void write_stage(media_out& out) {
    const char* names[5] = {"rsrc/road/road_sky.png", "rsrc/road/road_far.png", "rsrc/road/road_middle.png",
                            "rsrc/road/road_near.png", "rsrc/road/road_floor.png"};
    save(out, names[0], sky());
    save(out, names[1], far_layer());
    save(out, names[2], middle_layer());
    save(out, names[3], near_layer());
    save(out, names[4], road_floor());
    ini_text set;
    set.add("width", STAGE_W);
    set.add("images", 5);
    for (int i = 0; i < 5; i++) set.add("image" + std::to_string(i), names[i]);
    out.save_text("rsrc/road/road_bgset.ini", set.text);
    ini_text st;
    st.add("bgset", "rsrc/road/road_bgset.ini");
    st.add("loop", 0);
    st.add("floor", 4);
    st.add("length", 1);
    st.add("part0", 0);
    st.add("part0parallax", 3);
    st.add("part0parallax0", 1);
    st.add("part0parallax1", 2);
    st.add("part0parallax2", 3);
    out.save_text("rsrc/road/stage_road.ini", st.text);
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
        "Front end and display: the logos use the system fonts Cardo and DejaVu (Debian\n"
        "packages fonts-cardo and fonts-dejavu-core) over drawn crests; the menu tile is\n"
        "made of functions that repeat every 128 pixels; the group picture and action shots\n"
        "are the fighters' own poses; bar pictures are plain boxes and discs.\n"
        "\n"
        "Effects: the loading spinner and the explosion are drawn frame by frame.\n"
        "\n"
        "The definition files (game/fighter/*.ini, rsrc/road/*.ini) are written by the same\n"
        "generator and kept in the repository.\n");
}
