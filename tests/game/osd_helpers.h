// The display's resources loaded from the game folder's pictures and fonts, and a fighter
// built by hand to show them, for the display tests of both drawing modes.
#pragma once
#include <gtest/gtest.h>

#include <string>
#include <unistd.h>

#include "../images/picture_maker.h"
#include "foundation/primitives.h"
#include "foundation/settings.h"
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
    make_dirs(dir + "/rsrc/mirelle");
    std::string data = FIGHT_DATA_DIR;
    std::string cmd = "cp '" + data + "/rsrc/meter/shadow.png' '" + data + "/rsrc/meter/lifebar_grey.png' '" +
                      dir + "/rsrc/meter/' && cp '" + data + "/rsrc/mirelle/mirelle_symbol_small.png' '" + dir +
                      "/rsrc/mirelle/' && cp '" + data + "/rsrc/oldengl.ttf' '" + dir + "/rsrc/' && cp '" + data +
                      "/tahoma.ttf' '" + dir + "/'";
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
