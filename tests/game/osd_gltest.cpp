// The on-screen display drawn through OpenGL: the same bar, dot, counter and portrait
// geometry as in software mode, read back from the frame being drawn.
#include "osd_helpers.h"

#include "foundation/video_mgr.h"

namespace {

TEST(DisplayGL, BarsAndDotsSitAtTheEdgeTheFighterStandsOn) {
    display_env env(true);
    combatant f;
    ready_fighter(f, 90, 1);
    f.shown_hp = 100;
    f.round_wins = 2;
    video.clear();
    draw_fighter_display(env.r, &f, 0);
    EXPECT_COLOUR(19, 16, GOLD);
    EXPECT_COLOUR(18 + 206, 16, GOLD); // 207 pixels of gold for 90 of 100
    EXPECT_COLOUR(18 + 215, 16, LAG_RED);
    EXPECT_FALSE(same(screen_at(251, 16), LAG_RED));
    EXPECT_COLOUR(21, 31, GOLD);
    EXPECT_COLOUR(32, 31, GOLD);
    EXPECT_FALSE(same(screen_at(43, 31), GOLD));

    f.facing = 0;
    video.clear();
    draw_fighter_display(env.r, &f, 1);
    EXPECT_COLOUR(640 - 20, 16, GOLD);
    EXPECT_COLOUR(640 - 18 - 205, 16, GOLD);
    EXPECT_COLOUR(640 - 18 - 215, 16, LAG_RED);
    EXPECT_COLOUR(640 - 21, 31, GOLD);
    EXPECT_COLOUR(640 - 32, 31, GOLD);
}

TEST(DisplayGL, EachSideShowsItsOwnFightersPortraitMirroredOnTheLeft) {
    display_env env(true);
    expect_own_portraits(env.r);
}

TEST(DisplayGL, TheCounterAndStatisticsAreDrawn) {
    display_env env(true);
    combatant f;
    ready_fighter(f);
    f.hits_in_row = 3;
    f.hit_time = 5000;
    debug = 1;
    video.clear();
    draw_fighter_display(env.r, &f, 0);
    draw_combo_counter(env.r, &f, 5100);
    EXPECT_GT(count_colour(300, 200, 420, 240, COUNTER_RED), 20);
    EXPECT_GT(count_colour(0, 480 - 144, 200, 479, STAT_YELLOW), 50);
    debug = 0;
}

} // namespace
