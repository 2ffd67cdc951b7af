// The display's resources loaded from the game folder's pictures and fonts, and a fighter
// built by hand to show them, for the display tests of both drawing modes.
#pragma once
#include <gtest/gtest.h>

#include <SDL_image.h>
#include <cstring>
#include <string>
#include <unistd.h>

#include "../images/picture_maker.h"
#include "foundation/primitives.h"
#include "foundation/settings.h"
#include "foundation/video_mgr.h"
#include "osd.h"
#include "test_support.h"
#include "world/mon_mgr.h"

static const rgb GOLD = {246, 206, 127};
static const rgb LAG_RED = {250, 45, 64};
static const rgb STAT_YELLOW = {255, 255, 0};
static const rgb COUNTER_RED = {255, 0, 0};

// Copies what the display loads into dir, so it can run there.
inline void copy_display_files(const std::string& dir) {
    make_dirs(dir + "/rsrc/meter");
    std::string data = FIGHT_DATA_DIR;
    std::string cmd = "cp '" + data + "/rsrc/meter/shadow.png' '" + data + "/rsrc/meter/lifebar_grey.png' '" +
                      dir + "/rsrc/meter/' && cp '" + data + "/rsrc/oldengl.ttf' '" + dir + "/rsrc/' && cp '" +
                      data + "/tahoma.ttf' '" + dir + "/'";
    for (const char* p : osd_portrait_files) {
        std::string file = p;
        make_dirs(dir + "/" + file.substr(0, file.rfind('/')));
        cmd += " && cp '" + data + "/" + file + "' '" + dir + "/" + file + "'";
    }
    EXPECT_EQ(system(cmd.c_str()), 0);
}

struct display_env {
    scratch_dir dir;
    std::string old_cwd;
    osd_resources r;
    explicit display_env(bool gl) {
        char buf[4096];
        old_cwd = getcwd(buf, sizeof buf) ? buf : "/";
        copy_display_files(dir.path);
        EXPECT_EQ(chdir(dir.path.c_str()), 0);
        EXPECT_TRUE(open_test_screen(gl));
        debug = 0;
        osd_exclamation = -1;
        fill_trig_tables(); // the preload fills them in the game
        osd_load(r);
        osd_set_names(r, "Tamsin", "Mirelle");
    }
    ~display_env() {
        osd_release(r);
        EXPECT_EQ(chdir(old_cwd.c_str()), 0);
    }
};

// A fighter with 100 hit points of 100, at rest on the left (facing right).
inline void ready_fighter(combatant& f, int hp = 100, int facing = 1) {
    f.max_hp = 100;
    f.hp = hp;
    f.shown_hp = hp;
    f.facing = (uint8_t)facing;
    f.x = 300;
    f.y = 300;
    f.w = 100;
    f.h = 100;
}

// Pixels of colour c in the box (x1, y1)-(x2, y2), ends included.
inline int count_colour(int x1, int y1, int x2, int y2, rgb c) {
    int n = 0;
    for (int y = y1; y <= y2; y++)
        for (int x = x1; x <= x2; x++)
            if (same(screen_at(x, y), c)) n++;
    return n;
}

// The share of fighter f's small portrait's opaque pixels (below the bars and dots that
// cover its top) that the screen shows in the display's corner: at the left edge mirrored,
// at the right edge as drawn. Near 1 for the portrait shown there, far less for another.
inline double portrait_shown(int f, bool left) {
    SDL_Surface* raw = IMG_Load((std::string(FIGHT_DATA_DIR) + "/" + osd_portrait_files[f]).c_str());
    if (!raw) return 0;
    SDL_Surface* p = SDL_ConvertSurface(raw, video.screen->format, SDL_SWSURFACE);
    SDL_FreeSurface(raw);
    const int x0 = left ? 0 : video.screen->w - p->w;
    int tried = 0, matched = 0;
    for (int y = 34; y < p->h; y++)
        for (int x = 0; x < p->w; x++) {
            Uint8 r, g, b;
            Uint32 v = 0;
            memcpy(&v, (Uint8*)p->pixels + y * p->pitch + x * p->format->BytesPerPixel, p->format->BytesPerPixel);
            SDL_GetRGB(v, p->format, &r, &g, &b);
            if (r == 0 && g == 255 && b == 0) continue;
            rgb s = screen_at(x0 + (left ? p->w - 1 - x : x), 5 + y);
            tried++;
            matched += abs(s.r - r) <= 24 && abs(s.g - g) <= 24 && abs(s.b - b) <= 24;
        }
    SDL_FreeSurface(p);
    return tried ? (double)matched / tried : 0;
}

// Draws Ondine's display on the left (fighter A) and Verity's on the right (fighter B), and
// checks that each corner shows its own fighter's portrait and not the other's or Mirelle's.
inline void expect_own_portraits(osd_resources& r) {
    osd_set_portraits(r, 2, 3);
    combatant a, b;
    ready_fighter(a, 100, 1);
    ready_fighter(b, 100, 0);
    video.clear();
    draw_fighter_display(r, &a, 0);
    draw_fighter_display(r, &b, 1);
    EXPECT_GT(portrait_shown(2, true), 0.9) << "Ondine's portrait, mirrored, on the left";
    EXPECT_GT(portrait_shown(3, false), 0.9) << "Verity's portrait on the right";
    for (int other : {0, 3}) EXPECT_LT(portrait_shown(other, true), 0.6) << other;
    for (int other : {0, 2}) EXPECT_LT(portrait_shown(other, false), 0.6) << other;
}
