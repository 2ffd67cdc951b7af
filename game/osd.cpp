#include "osd.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "foundation/clock.h"
#include "foundation/log.h"
#include "foundation/settings.h"
#include "foundation/video_mgr.h"
#include "images/font.h"
#include "images/img_mgr.h"
#include "world/level.h"
#include "world/mon_mgr.h"

const char osd_exclamations[16][32] = {
    "Queen-Size", "Knuckle-Sandwich", "Attagirl",   "Applesauce", "Hot Dawg",
    "Hot Socks",  "Sitting Pretty",   "Tasty",      "Unreal",     "Swanky",
    "Swell",      "Ritzy",            "Bee's knees", "Elephant's eyebrows",
    "Gnat's whistle", "Eel's hips"};

int osd_exclamation = -1;

const SDL_Color player_colours[2] = {{96, 176, 255, 0}, {255, 104, 88, 0}};

const char* const osd_portrait_files[OSD_PORTRAITS] = {
    "rsrc/mirelle/mirelle_symbol_small.png", "rsrc/tamsin/tamsin_symbol_small.png",
    "rsrc/ondine/ondine_symbol_small.png", "rsrc/verity/verity_symbol_small.png"};

enum { BAR_LENGTH = 230, BAR_INSET = 18, COMBO_LAPSE_MS = 3000 };
// The combo counter stays this far inside the screen's sides and below the displays' names.
static const int COMBO_MARGIN = 4, COMBO_TOP = 80;

// ---------------------------------------------------------------------------------------
// Resources

static img_mgr* load_picture(const char* path) {
    img_mgr* im = new img_mgr();
    im->load(path);
    im->tohw();
    return im;
}

static font* open_font(const char* path, int size, int mode, SDL_Color fg) {
    font* f = new font(video.screen);
    f->size = size;
    f->mode = mode;
    f->fg = fg;
    f->bg = SDL_Color{0, 0, 0, 0};
    f->open(path);
    return f;
}

void osd_load(osd_resources& r) {
    r.shadow = load_picture("rsrc/meter/shadow.png");
    r.shadow->set_alpha(64);
    r.frame = load_picture("rsrc/meter/lifebar_grey.png");
    for (int i = 0; i < OSD_PORTRAITS; i++) r.portraits[i] = load_picture(osd_portrait_files[i]);
    for (int i = OSD_PORTRAITS; i < fighter_count; i++)
        if (fighter_table[i].small_portrait) r.portraits[i] = load_picture(fighter_table[i].small_portrait);
    SDL_PixelFormat* fmt = video.screen ? video.screen->format : nullptr;
    if (fmt) {
        r.gold = SDL_MapRGBA(fmt, 246, 206, 127, 255);
        r.red = SDL_MapRGBA(fmt, 250, 45, 64, 255);
    }
    r.heading = open_font("rsrc/oldengl.ttf", 30, 1, SDL_Color{246, 206, 127, 0});
    r.counter = open_font("rsrc/oldengl.ttf", 30, 1, SDL_Color{255, 0, 0, 0});
    r.stats = open_font("tahoma.ttf", 12, 0, SDL_Color{255, 255, 0, 0});
    r.plain = open_font("rsrc/Veranda.ttf", 24, 1, SDL_Color{255, 255, 255, 0});
}

template <class T>
static void free_one(T*& p) {
    delete p;
    p = nullptr;
}

void osd_release(osd_resources& r) {
    free_one(r.shadow);
    free_one(r.frame);
    for (img_mgr*& p : r.portraits) free_one(p);
    free_one(r.names[0]);
    free_one(r.names[1]);
    free_one(r.marks[0]);
    free_one(r.marks[1]);
    free_one(r.plain);
    free_one(r.heading);
    free_one(r.counter);
    free_one(r.stats);
}

void osd_set_names(osd_resources& r, const char* name_a, const char* name_b) {
    const char* names[2] = {name_a, name_b};
    for (int i = 0; i < 2; i++) {
        free_one(r.names[i]);
        r.names[i] = new img_mgr();
        if (!r.heading) continue;
        if (r.names[i]->set_surface(r.heading->render(names[i] ? names[i] : "")) > 0)
            r.names[i]->tohw();
    }
    // Fighter A is player 2's, B player 1's: each mark in its player's colour.
    for (int i = 0; i < 2; i++) {
        free_one(r.marks[i]);
        r.marks[i] = new img_mgr();
        if (!r.plain) continue;
        const SDL_Color white = r.plain->fg;
        r.plain->fg = player_colours[1 - i];
        if (r.marks[i]->set_surface(r.plain->render(i == 0 ? "P2" : "P1")) > 0) r.marks[i]->tohw();
        r.plain->fg = white;
    }
}

void osd_set_portraits(osd_resources& r, int pick_a, int pick_b) {
    const int picks[2] = {pick_a, pick_b};
    for (int i = 0; i < 2; i++) r.shown[i] = picks[i] >= 0 && picks[i] < FIGHTERS_MAX && r.portraits[picks[i]] ? picks[i] : 0;
}

// ---------------------------------------------------------------------------------------
// Fighter display

// An image at the display's corner: x = k * width + v, so flush with the screen edge.
static void draw_corner(img_mgr* im, int k, int v, int dx, int y) {
    if (!im) return;
    im->draw_at(k * im->get_width() + v + dx, y);
}

static void set_mirror(img_mgr* im, int mirrored) {
    if (im && im->mirrored != mirrored) im->flip();
}

// A bar of `len` pixels from the edge point o (k = 0 grows right, k = -1 grows left), drawn
// as two boxes so its ends look rounded.
static void draw_bar(double len, int k, int o, uint32_t colour) {
    video.draw_box((int)(len * k + o), 12, (int)(len * (k + 1) + o), 20, colour);
    video.draw_box((int)(len * k + o - 1), 13, (int)(len * (k + 1) + o + 1), 19, colour);
}

static void draw_statistics(osd_resources& r, const combatant* f, int k, int v) {
    if (!r.stats) return;
    char line[96];
    const int step = (int)(12 * 1.5);
    r.stats->pen_x = 200 * k + v;
    r.stats->pen_y = video.screen ? video.screen->h - 12 * 12 : 0;
    for (int n = 0; n < 8; n++) {
        switch (n) {
        case 0: snprintf(line, sizeof line, "Satks %d Cancelable [%s]", f->hits_landed, f->early ? "true" : "false"); break;
        case 1: snprintf(line, sizeof line, "#Hit %d state[%d]", f->hits_taken, f->cur_image); break;
        case 2: snprintf(line, sizeof line, "TDmgD %d position[%d]", f->damage_dealt, f->posture); break;
        case 3: snprintf(line, sizeof line, "TDmgT %d action[%d]", f->damage_taken, f->stance); break;
        case 4: snprintf(line, sizeof line, "TKD %d cmove[%d] procmove[%d]", f->knockdowns, f->action, f->move_state); break;
        case 5: snprintf(line, sizeof line, "Block %d [%d,%d]", f->meters[0], f->x, f->y); break;
        case 6: snprintf(line, sizeof line, "Gimmick %d", f->meters[1]); break;
        default: snprintf(line, sizeof line, "Super %d", f->meters[2]); break;
        }
        if (n == 5) r.stats->pen_y += 3;
        r.stats->draw_text(line);
        r.stats->pen_y += step;
    }
}

void draw_fighter_display(osd_resources& r, combatant* f, int index) {
    if (!f || !video.screen) return;
    osd_lag_life(f);
    show_fighter_display(r, f, index);
}

void osd_lag_life(combatant* f) {
    // (A truncating comparison would leave the bar half a point short after damage.)
    if (f && f->shown_hp != f->hp) f->shown_hp += f->hp > f->shown_hp ? 0.5 : -0.5;
}

void show_fighter_display(osd_resources& r, const combatant* f, int index) {
    if (!f || !video.screen) return;
    const int W = video.screen->w;
    const int L = f->facing ? 1 : 0;
    const int v = (1 - L) * W;
    const int g = L ? 1 : -1;
    const int k = L ? 0 : -1;

    img_mgr* portrait = r.portraits[r.shown[index ? 1 : 0]];
    set_mirror(r.shadow, L);
    set_mirror(r.frame, L);
    set_mirror(portrait, L);
    draw_corner(r.shadow, k, v, 0, 5);
    draw_corner(r.frame, k, v, 0, 5);
    draw_corner(portrait, k, v, 0, 5);
    img_mgr* name = r.names[index ? 1 : 0];
    draw_corner(name, k, v, 64 * g, 39);
    // The mark beside the name, on the side towards the middle of the screen.
    const int name_w = name ? name->get_width() : 0;
    img_mgr* mark = r.marks[index ? 1 : 0];
    if (mark) draw_corner(mark, k, v, (64 + name_w + 8) * g, 43);

    const int o = v + BAR_INSET * g;
    const double max_hp = f->max_hp ? f->max_hp : 1;
    draw_bar(f->shown_hp * BAR_LENGTH / max_hp, k, o, r.red);
    draw_bar(f->hp * (double)BAR_LENGTH / max_hp, k, o, r.gold);

    for (int n = 0; n < f->round_wins; n++)
        video.draw_filled_circle(v + 21 * g + 11 * n * g, 31, 5, 12, r.gold);

    if (debug) draw_statistics(r, f, k, v);
}

void draw_round_clock(osd_resources& r, int seconds) {
    if (!r.plain || !video.screen) return;
    char text[16];
    snprintf(text, sizeof text, "%d", seconds < 0 ? 0 : seconds);
    r.plain->pen_x = (video.screen->w - r.plain->text_width(text)) / 2;
    r.plain->pen_y = 6;
    r.plain->draw_text(text);
}

// ---------------------------------------------------------------------------------------
// Combo counter

// The pen x nearest to x at which text fits inside the screen.
static int on_screen_x(font* f, const char* text, int x) {
    const int w = f->text_width(text);
    const int right = (video.screen ? video.screen->w : 640) - w - COMBO_MARGIN;
    return std::max(COMBO_MARGIN, std::min(x, right));
}

void draw_combo_counter(osd_resources& r, combatant* o, uint32_t now) {
    if (!o || o->hits_in_row <= 1) return;
    if (std::llabs((long long)o->hit_time - (long long)now) >= COMBO_LAPSE_MS) {
        osd_exclamation = -1;
        return;
    }
    if (osd_exclamation == -1) osd_exclamation = random_cosmetic() % 16;
    if (!r.counter) return;
    const level* lv = current_level;
    const int xo = lv ? lv->x_offset : 0, yo = lv ? lv->y_offset : 0;
    const double zoom = lv ? lv->zoom : 1.0;
    char text[32];
    snprintf(text, sizeof text, "%d hit", o->hits_in_row);
    // Over the fighter, but kept on the screen and below the heads-up displays, so the
    // counter of a fighter near an edge is neither cut nor drawn over a name.
    const int x = (int)((o->w / 2 + o->x + 30 * (-5) / 3 - xo) * zoom);
    const int y = std::max(o->y - yo - 100, COMBO_TOP);
    r.counter->pen_x = on_screen_x(r.counter, text, x);
    r.counter->pen_y = y;
    r.counter->draw_text(text);
    r.counter->pen_x = on_screen_x(r.counter, osd_exclamations[osd_exclamation], x);
    r.counter->pen_y = (int)(y + 30 * 1.5);
    r.counter->draw_text(osd_exclamations[osd_exclamation]);
}
