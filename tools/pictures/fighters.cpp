// fighters: the character table and everything written per fighter.
#include "fighters.h"

#include <cmath>
#include <cstdio>

namespace {

look make_look(rgb skin, rgb hair, rgb top, rgb sleeve, rgb bottom, rgb boots, rgb gloves, rgb belt,
               rgb energy, hair_style h, bool skirt, bool bare_arms, outfit_detail d) {
    look l;
    l.skin = skin, l.hair = hair, l.top = top, l.sleeve = sleeve, l.bottom = bottom;
    l.boots = boots, l.gloves = gloves, l.belt = belt, l.energy = energy;
    l.outline = {28, 20, 34};
    l.hair_kind = h, l.skirt = skirt, l.bare_arms = bare_arms, l.detail = d;
    return l;
}

std::vector<fighter_def> make_table() {
    std::vector<fighter_def> t;
    t.push_back({"mirelle", "Mirelle", {1.15f, 1.15f, 1.0f},
                 make_look({240, 196, 164}, {178, 54, 34}, {196, 30, 52}, {196, 30, 52}, {44, 40, 64},
                           {92, 52, 36}, {236, 232, 220}, {224, 176, 60}, {255, 128, 48}, HAIR_PONYTAIL,
                           false, false, DETAIL_VNECK),
                 STYLE_BRAWLER, 70, 1.0f, 0.06f,
                 {{1, {"down", "up"}},
                  {2, {"down", "left", "kick"}},
                  {3, {"down", "right", "punch"}},
                  {4, {"right", "noright", "right"}},
                  {5, {"left", "right", "special1"}}},
                 {40, 76, 204}, {214, 210, 200}});
    t.push_back({"tamsin", "Tamsin", {1.09f, 1.3f, 1.1f},
                 make_look({214, 160, 120}, {236, 200, 96}, {28, 128, 150}, {28, 128, 150}, {110, 108, 120},
                           {52, 50, 62}, {192, 40, 40}, {44, 40, 40}, {120, 220, 255}, HAIR_BOB, false,
                           false, DETAIL_ZIP),
                 STYLE_BOXER, 80, 1.0f, 0.05f,
                 {{1, {"down", "nodown", "up"}},
                  {2, {"left", "down", "kick"}},
                  {3, {"left", "right", "punch"}},
                  {4, {"right", "noright", "right"}},
                  {5, {"down", "right", "special2"}}},
                 {226, 120, 36}, {60, 48, 40}});
    t.push_back({"ondine", "Ondine", {1.22f, 1.06f, 0.95f},
                 make_look({250, 218, 196}, {40, 60, 140}, {60, 170, 160}, {60, 170, 160}, {30, 88, 122},
                           {232, 232, 240}, {232, 232, 240}, {204, 170, 80}, {160, 120, 255}, HAIR_LONG,
                           true, true, DETAIL_VNECK),
                 STYLE_DANCER, 65, 0.95f, 0.045f,
                 {{1, {"block", "up"}},
                  {2, {"down", "left", "special2"}},
                  {3, {"right", "down", "right", "punch"}},
                  {4, {"left", "noleft", "left"}},
                  {5, {"down", "down", "special1"}}},
                 {232, 108, 170}, {122, 30, 60}});
    t.push_back({"verity", "Verity", {1.15f, 1.15f, 1.05f},
                 make_look({150, 100, 70}, {232, 230, 240}, {124, 50, 152}, {124, 50, 152}, {40, 40, 50},
                           {96, 30, 112}, {222, 180, 60}, {222, 180, 60}, {255, 222, 80}, HAIR_BUN, false,
                           false, DETAIL_SASH),
                 STYLE_STRIKER, 60, 0.9f, 0.07f,
                 {{1, {"down", "up", "up"}},
                  {2, {"kick", "left"}},
                  {3, {"down", "right", "kick"}},
                  {4, {"right", "noright", "right"}},
                  {5, {"right", "left", "special1"}}},
                 {70, 150, 70}, {200, 196, 188}});
    return t;
}

std::string png_path(const fighter_def& f, const std::string& what) {
    return std::string("rsrc/") + f.name + "/" + what + ".png";
}

std::string still_path(const fighter_def& f, int i) {
    return png_path(f, std::string(f.name) + "_" + STILL_NAMES[i]);
}

std::string frame_path(const fighter_def& f, const move_def& m, int i) {
    if (m.projectile) return png_path(f, "special/" + std::string(f.name) + "_bullet" + std::to_string(i + 1));
    return png_path(f, "moves/" + std::string(f.name) + "_" + m.name + "_" + std::to_string(i));
}

std::string move_file(const fighter_def& f, const move_def& m) {
    return std::string("game/fighter/") + f.name + "/" + f.name + "_" + m.name + ".ini";
}

std::string colour_text(rgb c) {
    char buf[32];
    snprintf(buf, sizeof buf, "%d,%d,%d", c.r, c.g, c.b);
    return buf;
}

// Every exact colour a material takes in the art: three tones near, three on the far side.
std::vector<rgb> material_colours(rgb base) {
    tones n = make_tones(base);
    tones f = make_tones(mix(base, {10, 10, 25}, 0.22f));
    return {n.dark, n.mid, n.light, f.dark, f.mid, f.light};
}

} // namespace

const std::vector<fighter_def>& fighter_table() {
    static const std::vector<fighter_def> table = make_table();
    return table;
}

std::string format_decimal(float v) {
    char buf[32];
    for (int digits = 1; digits < 9; digits++) {
        snprintf(buf, sizeof buf, "%.*f", digits, v);
        if (std::fabs(atof(buf) - v) < 1e-6) break;
    }
    // Trim trailing zeros ("1.0" -> "1").
    std::string s = buf;
    while (s.find('.') != std::string::npos && (s.back() == '0' || s.back() == '.')) {
        bool dot = s.back() == '.';
        s.pop_back();
        if (dot) break;
    }
    return s;
}

SDL_Surface* paint_fighter(const fighter_def& f, const pose& p) {
    SDL_Surface* s = new_canvas(FIGHTER_W, FIGHTER_H);
    draw_figure(s, f.b, f.l, p, FIGHTER_W * 0.5f, FIGHTER_H - 3);
    mirror(s);
    return s;
}

SDL_Surface* paint_bullet(const fighter_def& f, int frame) {
    // The game launches a projectile from the top of the shooter's picture, at its left edge
    // (facing left) or its middle (facing right, drawn mirrored); this spot puts the orb in
    // front of the casting hands at chest height either way. The explosion picture uses the
    // same spot, so a burst made at a projectile lands on the orb.
    const int w = 160, h = 110;
    SDL_Surface* s = new_canvas(w, h);
    tones e = make_tones(f.l.energy);
    float cx = w - 70, cy = 75;
    float pulse = 17 + 2 * std::sin(frame * 3.14159265f / 2);
    // Trailing sparks behind the orb.
    for (int i = 0; i < 5; i++) {
        float tx = cx - 18 - i * 8 - (frame % 2) * 3, ty = cy + ((i + frame) % 3 - 1) * 6;
        disc(s, tx, ty, 5 - i * 0.8f, e, e.dark, 1);
    }
    disc(s, cx, cy, pulse, e, e.dark, 2);
    ring(s, cx, cy, pulse - 6, pulse - 3, e.light);
    disc(s, cx + 3, cy - 3, pulse * 0.4f, make_tones(mix(f.l.energy, {255, 255, 255}, 0.75f)), e.light, 0);
    mirror(s);
    return s;
}

void add_frame(ini_text& a, int& n, const std::string& image, const move_frame& fr) {
    // The game starts a frame's sound and sets its shake and flash on every tick the frame
    // is shown; a sound restarted on each tick would stutter, so a frame with a sound opens
    // with a one-tick frame that carries the sound and effects, and the same picture then
    // stays for the remaining ticks. Spinning frames stay whole (a frame change resets the
    // angle), and a firing frame fires at the end of its last part.
    bool split = !fr.sound.empty() && fr.rate > 1 && !fr.spin;
    for (int part = 0; part < (split ? 2 : 1); part++) {
        bool first = part == 0, last = !split || part == 1;
        std::string k = std::to_string(n++);
        a.add("image" + k, image);
        a.add("rate" + k, split ? (first ? 1 : fr.rate - 1) : fr.rate);
        if (first && !fr.sound.empty()) a.add("sound" + k, fr.sound);
        if (first && fr.shake) a.add("shake" + k, fr.shake);
        if (first && fr.flash) {
            a.add("flash" + k, fr.flash);
            a.add("flashrate" + k, fr.flashrate);
        }
        if (last && fr.fire) {
            a.add("fire" + k, 1);
            a.add("firespeed" + k, format_decimal(fr.firespeed));
        }
        if (fr.spin) a.add("spin" + k, fr.spin);
    }
}

void write_fighter(media_out& out, const fighter_def& f) {
    ini_text ch;
    ch.add("hp", f.hp);
    ch.add("scale", "1.0");
    ch.add("speed", format_decimal(f.speed));
    // A two-pixel step: a player who walks up for two seconds stands in reach.
    ch.add("walk", "2");
    // A jump that clears a crouching opponent's head with time to aim a jumping attack, landing
    // in about three quarters of a second; the high jump rises to the top of the screen.
    ch.add("jump", "33.5");
    ch.add("jumpfall", "1.4");
    ch.add("highjump", "3");
    ch.add("blocksound", "rsrc/sfx/block.wav");
    std::vector<move_def> moves = fighter_moves(f.style, f.firespeed);
    ch.add("moves", (long)moves.size());
    for (size_t q = 0; q < moves.size(); q++) {
        const move_def& m = moves[q];
        ch.add("move" + std::to_string(q), move_file(f, m));
        if (!m.hit_sound.empty()) ch.add("move" + std::to_string(q) + "hit", m.hit_sound);
        if (m.hit_shake) ch.add("move" + std::to_string(q) + "hitshake", m.hit_shake);
        ini_text body;
        int n = 0;
        for (size_t i = 0; i < m.frames.size(); i++) {
            const move_frame& fr = m.frames[i];
            std::string pic = frame_path(f, m, (int)i);
            SDL_Surface* s = m.projectile ? paint_bullet(f, (int)i) : paint_fighter(f, fr.p);
            out.save_png(pic, s);
            SDL_FreeSurface(s);
            add_frame(body, n, pic, fr);
        }
        ini_text a;
        a.add("images", n);
        a.add("loop", m.loop ? 1 : 0);
        a.text += body.text;
        out.save_text(move_file(f, m), a.text);
    }
    ch.add("images", STILL_COUNT);
    for (int i = 0; i < STILL_COUNT; i++) {
        SDL_Surface* s = paint_fighter(f, still_pose(i, f.style));
        out.save_png(still_path(f, i), s);
        SDL_FreeSurface(s);
        ch.add("image" + std::to_string(i), still_path(f, i));
    }
    ch.add("combos", (long)f.combos.size());
    for (size_t k = 0; k < f.combos.size(); k++) {
        std::string c = "combo" + std::to_string(k);
        ch.add(c + "moves", (long)f.combos[k].stages.size());
        ch.add(c + "move", f.combos[k].result);
        for (size_t j = 0; j < f.combos[k].stages.size(); j++)
            ch.add(c + "move" + std::to_string(j), f.combos[k].stages[j]);
    }
    out.save_text(std::string("game/fighter/") + f.name + "_char.ini", ch.text);
}

void write_swap_file(media_out& out) {
    // Swaps apply in order, so no target may be a later source.
    ini_text t;
    std::vector<std::pair<rgb, rgb>> pairs;
    for (const fighter_def& f : fighter_table()) {
        std::vector<rgb> top = material_colours(f.l.top), top_to = material_colours(f.swap_top);
        std::vector<rgb> bot = material_colours(f.l.bottom), bot_to = material_colours(f.swap_bottom);
        for (size_t i = 0; i < top.size(); i++) pairs.push_back({top[i], top_to[i]});
        for (size_t i = 0; i < bot.size(); i++) pairs.push_back({bot[i], bot_to[i]});
    }
    t.add("colors", (long)pairs.size());
    for (size_t i = 0; i < pairs.size(); i++) {
        t.add("color" + std::to_string(i) + "source", colour_text(pairs[i].first));
        t.add("color" + std::to_string(i) + "target", colour_text(pairs[i].second));
    }
    out.save_text("game/fighter/mirelle/mirelle_swap.ini", t.text);
}

// Head and shoulders of a fighter, cropped from the standing picture.
static SDL_Surface* head_crop(const fighter_def& f, int size) {
    // Arms lowered so that nothing crosses the face and shoulders.
    pose p = still_pose(0, f.style);
    p.arm[0] = 12, p.elbow[0] = 15, p.arm[1] = -6, p.elbow[1] = 15, p.lean = 2, p.head = 0;
    SDL_Surface* full = paint_fighter(f, p);
    int top = 0;
    for (int y = 0; y < full->h && !top; y++)
        for (int x = 0; x < full->w; x++)
            if (!is_key(full, x, y)) {
                top = y;
                break;
            }
    SDL_Surface* crop = new_canvas(size, size);
    int x0 = FIGHTER_W / 2 - size / 2 - 4, y0 = top - 4;
    for (int y = 0; y < size; y++)
        for (int x = 0; x < size; x++) put(crop, x, y, get(full, x0 + x, y0 + y));
    SDL_FreeSurface(full);
    return crop;
}

static void badge(SDL_Surface* s, const fighter_def& f, float cx, float cy, float r, float zoom) {
    tones e = make_tones(f.l.energy);
    disc(s, cx, cy, r, make_tones(mix(f.l.top, {20, 16, 30}, 0.55f)), f.l.outline, 2);
    ring(s, cx, cy, r - 4, r - 1.5f, e.light);
    const int crop = 76;
    SDL_Surface* head = head_crop(f, crop);
    SDL_Surface* part = new_canvas((int)(crop * zoom), (int)(crop * zoom));
    stamp_scaled(part, head, 0, 0, zoom);
    // Keep only what falls inside the disc.
    for (int y = 0; y < part->h; y++)
        for (int x = 0; x < part->w; x++) {
            float px = cx - part->w / 2 + x, py = cy - part->h / 2 + y + r * 0.12f;
            if (!is_key(part, x, y) && std::hypot(px - cx, py - cy) < r - 4) put(s, (int)px, (int)py, get(part, x, y));
        }
    SDL_FreeSurface(part);
    SDL_FreeSurface(head);
}

void write_portraits(media_out& out) {
    for (const fighter_def& f : fighter_table()) {
        SDL_Surface* s = new_canvas(96, 96);
        badge(s, f, 48, 48, 46, 1.25f);
        out.save_png(png_path(f, std::string(f.name) + "_symbol"), s);
        SDL_FreeSurface(s);
    }
    // Each fighter's emblem in the heads-up display: below the life bar, left of the name.
    for (const fighter_def& f : fighter_table()) {
        SDL_Surface* s = small_portrait(f);
        out.save_png(png_path(f, std::string(f.name) + "_symbol_small"), s);
        SDL_FreeSurface(s);
    }
}

SDL_Surface* small_portrait(const fighter_def& f) {
    SDL_Surface* s = new_canvas(64, 84);
    badge(s, f, 30, 58, 24, 0.66f);
    return s;
}

void write_contact_sheet(const std::string& dir, const fighter_def& f) {
    const float z = 0.4f;
    const int cw = (int)(FIGHTER_W * z), chh = (int)(FIGHTER_H * z) + 12, label = 120;
    std::vector<move_def> moves = fighter_moves(f.style, f.firespeed);
    size_t cols = STILL_COUNT;
    for (const move_def& m : moves) cols = std::max(cols, m.frames.size());
    int rows = 1 + (int)moves.size();
    SDL_Surface* sheet = new_canvas(label + (int)cols * cw, rows * chh + 4);
    fill(sheet, {70, 74, 86});
    auto cell = [&](int row, int col, SDL_Surface* pic, const std::string& text) {
        int x = label + col * cw, y = row * chh;
        box(sheet, x + 1, y + 1, x + cw - 2, y + chh - 2, {96, 100, 114});
        box(sheet, x + 1, y + chh - 14, x + cw - 2, y + chh - 14, {60, 60, 70});
        stamp_scaled(sheet, pic, x, y, z * (pic->w < FIGHTER_W ? 1.6f : 1.0f));
        small_text(sheet, x + 3, y + chh - 11, text.c_str(), {255, 255, 255});
    };
    small_text(sheet, 4, 8, (std::string(f.title) + " stills").c_str(), {255, 255, 0});
    for (int i = 0; i < STILL_COUNT; i++) {
        SDL_Surface* s = paint_fighter(f, still_pose(i, f.style));
        cell(0, i, s, std::to_string(i) + " " + STILL_NAMES[i]);
        SDL_FreeSurface(s);
    }
    for (size_t q = 0; q < moves.size(); q++) {
        const move_def& m = moves[q];
        std::string head = "move " + std::to_string(q);
        small_text(sheet, 4, (int)(q + 1) * chh + 8, head.c_str(), {255, 255, 0});
        small_text(sheet, 4, (int)(q + 1) * chh + 20, m.name.c_str(), {255, 255, 255});
        if (m.loop) small_text(sheet, 4, (int)(q + 1) * chh + 32, "loop", {180, 220, 255});
        for (size_t i = 0; i < m.frames.size(); i++) {
            const move_frame& fr = m.frames[i];
            SDL_Surface* s = m.projectile ? paint_bullet(f, (int)i) : paint_fighter(f, fr.p);
            std::string t = std::to_string(i) + " r" + std::to_string(fr.rate);
            if (fr.fire) t += " fire";
            if (fr.spin) t += " spin";
            if (fr.shake) t += " shk";
            cell((int)q + 1, (int)i, s, t);
            SDL_FreeSurface(s);
        }
    }
    std::string data = encode_png(sheet);
    write_if_changed(dir + "/" + f.name + "_sheet.png", data);
    SDL_FreeSurface(sheet);
}
