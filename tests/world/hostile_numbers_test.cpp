// Numbers in fighter files and from animation frames that no real file holds but a broken or
// hostile one may: every one is refused or held in range, so no arithmetic overflows and
// nothing is drawn where no screen is (the sanitizer build checks the arithmetic).
#include <gtest/gtest.h>

#include <climits>

#include "animation/anim_group.h"
#include "fighter_helpers.h"
#include "world/level.h"
#include "world/mon_mgr.h"

namespace {

struct HostileNumbers : ::testing::Test {
    scratch_dir dir;
    test_stage stage;
    std::string small, walk;

    void SetUp() override {
        ASSERT_TRUE(open_test_screen(false));
        small = box_picture(dir, "small.bmp", 40, 60, 5, 10, 30, 55);
        walk = anim_file(dir, "walk.ini", {{small, 2, {{"spin", "2147483647"}}},
                                           {small, 2000000000, {{"spin", "-2147483648"}}}});
    }
    std::string fighter(const std::string& text) {
        std::string path = dir.file("fighter_char.ini");
        write_text(path, text);
        return path;
    }
};

TEST_F(HostileNumbers, ScalesAndSpeedsOutsideAnyScreenAreRefused) {
    log_capture log;
    for (const char* bad : {"1e30", "nan", "inf", "-inf", "1e-30"}) {
        combatant f;
        f.load(fighter(std::string("scale=") + bad + "\nspeed=" + bad + "\n").c_str());
        EXPECT_DOUBLE_EQ(f.scale, 1.0) << bad;
        EXPECT_DOUBLE_EQ(f.speed, 1.0) << bad;
    }
    EXPECT_EQ(log.count("WARNING: scale ["), 5);
    EXPECT_EQ(log.count("WARNING: speed ["), 5);

    combatant still; // 0 is a speed: the fighter stands still
    still.load(fighter("speed=0\nscale=100\n").c_str());
    EXPECT_DOUBLE_EQ(still.speed, 0.0);
    EXPECT_DOUBLE_EQ(still.scale, 100.0);
}

TEST_F(HostileNumbers, MoveScalesOutsideAnyScreenAreIgnored) {
    combatant f;
    log_capture log;
    f.load(fighter("moves=4\nmove0=" + walk + "\nmove1=" + walk + "\nmove2=" + walk + "\nmove3=" +
                   walk + "\nmove0scale=1e30\nmove1scale=nan\nmove2scale=-1\nmove3scale=0\n")
               .c_str());
    ASSERT_EQ(f.moves.size(), 4u);
    for (int i = 0; i < 3; i++) EXPECT_DOUBLE_EQ(f.moves[(size_t)i]->entries[0].def->scale, 1.0) << i;
    EXPECT_DOUBLE_EQ(f.moves[3]->entries[0].def->scale, 0.0);
    EXPECT_TRUE(log.has("WARNING: [move1scale] of [nan] ignored\n"));
}

TEST_F(HostileNumbers, HugeRatesAndSpinsPlayWithoutOverflow) {
    anim_mgr def;
    def.load(walk.c_str());
    EXPECT_EQ(def.get_total_ticks(), 2000000002);
    anim_mgr many;
    write_text(dir.file("many.ini"), "images=3\nimage0=" + small + "\nrate0=2147483647\nimage1=" + small +
                                         "\nrate1=2147483647\nimage2=" + small + "\nrate2=-2147483648\n");
    many.load(dir.file("many.ini").c_str());
    EXPECT_EQ(many.get_total_ticks(), -1); // held at INT_MAX, then lowered by 2^31

    // A frame of rate -2^31 ends after one tick, like a rate of 0, in a group and a lifeform.
    write_text(dir.file("lowest.ini"), "images=2\nloop=1\nimage0=" + small + "\nrate0=-2147483648\nimage1=" +
                                           small + "\nrate1=1\n");
    anim_group g;
    anim_mgr* lowest = new anim_mgr();
    lowest->load(dir.file("lowest.ini").c_str());
    g.add(smart_ptr<anim_mgr>(lowest), 0, 0);
    for (int t = 0; t < 4; t++) g.display(0, 0);
    combatant runner;
    runner.load(fighter("moves=1\nmove0=" + dir.file("lowest.ini") + "\n").c_str());
    runner.start_move(0, 1);
    for (int t = 0; t < 4; t++) runner.display();
    g.entries.clear();
    delete lowest;

    // A lifeform playing a frame of the largest spin, facing either way: the angle stays a
    // part of one turn.
    for (int facing = 0; facing < 2; facing++) {
        combatant f;
        f.load(fighter("moves=1\nmove0=" + walk + "\nimages=1\nimage0=" + small + "\n").c_str());
        f.facing = facing;
        f.start_move(0, 1);
        for (int t = 0; t < 5; t++) {
            f.display();
            ASSERT_FALSE(stack_empty(f.stack));
            EXPECT_LT(std::abs((*f.stack)[0]->def->angle), 360);
        }
    }
}

TEST_F(HostileNumbers, StageShakeAndFlashFromFramesStayInRange) {
    level* lv = current_level;
    ASSERT_NE(lv, nullptr);
    lv->shake = INT_MIN;
    lv->flash = INT_MAX;
    lv->flash_step = INT_MIN;
    lv->draw();
    EXPECT_LE(std::abs(lv->shake), 32767);
    EXPECT_EQ(lv->flash, INT_MAX);
    lv->flash_step = INT_MAX;
    lv->draw();
    EXPECT_EQ(lv->flash, 0);
    lv->shake = INT_MAX;
    lv->draw();
    EXPECT_LE(std::abs(lv->shake), 32767);
}

TEST_F(HostileNumbers, FramesScaledPastAnyScreenAreNotDrawn) {
    anim_mgr def;
    def.load(anim_file(dir, "one.ini", {{small, 1, {}}}).c_str());
    for (double s : {1e30, -1e30, 1e6}) {
        def.scale = s;
        def.owner_scale = 1e3;
        draw_frame(&def, INT_MAX, INT_MIN, 0);
        draw_frame(&def, 0, 0, 0);
    }
    img_mgr* im = def.frames[0].image;
    im->draw(10, 10, video.screen, 1.0f, 1.0f, INT_MIN);
    im->draw(10, 10, video.screen, 1.0f, 1.0f, INT_MAX);
}

} // namespace
