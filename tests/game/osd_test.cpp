// The on-screen display in software mode: bar geometry on both sides, the lagging red
// stretch, round dots, statistics only in debug, the combo counter and its word, each
// side's own portrait, and both displays changing sides when the fighters cross in a match.
#include "osd_helpers.h"

#include "foundation/clock.h"
#include "foundation/video_mgr.h"
#include "match_helpers.h"

namespace {

TEST(Display, AFullBarRunsTwoHundredThirtyPixelsFromEitherEdgeWithNoRed) {
    display_env env(false);
    combatant f;
    ready_fighter(f, 100, 1);
    video.clear();
    draw_fighter_display(env.r, &f, 0);
    EXPECT_COLOUR(18, 16, GOLD);
    EXPECT_COLOUR(248, 16, GOLD);
    EXPECT_COLOUR(17, 14, GOLD); // the rounded ends: one pixel longer, one shorter in height
    EXPECT_COLOUR(249, 14, GOLD);
    EXPECT_FALSE(same(screen_at(250, 16), GOLD));
    EXPECT_FALSE(same(screen_at(16, 16), GOLD));
    EXPECT_EQ(count_colour(10, 12, 260, 20, LAG_RED), 0);

    f.facing = 0; // standing on the right
    video.clear();
    draw_fighter_display(env.r, &f, 1);
    EXPECT_COLOUR(640 - 18, 16, GOLD);
    EXPECT_COLOUR(640 - 18 - 230, 16, GOLD);
    EXPECT_FALSE(same(screen_at(640 - 18 - 232, 16), GOLD));
    EXPECT_FALSE(same(screen_at(640 - 16, 16), GOLD));
    EXPECT_EQ(count_colour(380, 12, 630, 20, LAG_RED), 0);
}

TEST(Display, TenPointsOfDamageShortenTheGoldAndTheRedStretchGoesInTwentyFrames) {
    display_env env(false);
    combatant f;
    ready_fighter(f, 100, 1);
    f.hp = 90; // shown hp still 100
    video.clear();
    draw_fighter_display(env.r, &f, 0);
    EXPECT_COLOUR(18 + 207, 16, GOLD); // 230 - 23
    EXPECT_COLOUR(18 + 215, 16, LAG_RED);
    EXPECT_DOUBLE_EQ(f.shown_hp, 99.5);
    for (int frame = 2; frame <= 20; frame++) {
        video.clear();
        draw_fighter_display(env.r, &f, 0);
    }
    EXPECT_DOUBLE_EQ(f.shown_hp, 90.0);
    video.clear();
    draw_fighter_display(env.r, &f, 0);
    EXPECT_EQ(count_colour(226, 12, 250, 20, LAG_RED), 0);
    EXPECT_DOUBLE_EQ(f.shown_hp, 90.0);
}

TEST(Display, TheShownValueClimbsBackWhenHitPointsAreRestored) {
    display_env env(false);
    combatant f;
    ready_fighter(f, 100, 1);
    f.shown_hp = 60;
    for (int frame = 0; frame < 4; frame++) draw_fighter_display(env.r, &f, 0);
    EXPECT_DOUBLE_EQ(f.shown_hp, 62.0);
}

TEST(Display, FourWinsShowFourDotsElevenPixelsApartFromTheEdge) {
    display_env env(false);
    combatant f;
    ready_fighter(f, 100, 1);
    f.round_wins = 4;
    video.clear();
    draw_fighter_display(env.r, &f, 0);
    for (int n = 0; n < 4; n++) EXPECT_COLOUR(21 + 11 * n, 31, GOLD);
    EXPECT_FALSE(same(screen_at(21 + 11 * 4, 31), GOLD));

    f.facing = 0;
    video.clear();
    draw_fighter_display(env.r, &f, 1);
    for (int n = 0; n < 4; n++) EXPECT_COLOUR(640 - 21 - 11 * n, 31, GOLD);
    EXPECT_FALSE(same(screen_at(640 - 21 - 11 * 4, 31), GOLD));
}

TEST(Display, StatisticsAreDrawnOnlyWithTheDebugLevelSet) {
    display_env env(false);
    combatant f;
    ready_fighter(f, 100, 1);
    video.clear();
    draw_fighter_display(env.r, &f, 0);
    EXPECT_EQ(count_colour(0, 480 - 144, 200, 479, STAT_YELLOW), 0);

    debug = 1;
    video.clear();
    draw_fighter_display(env.r, &f, 0);
    EXPECT_GT(count_colour(0, 480 - 144, 200, 479, STAT_YELLOW), 50);
    EXPECT_EQ(count_colour(440, 480 - 144, 639, 479, STAT_YELLOW), 0);
    f.facing = 0; // the right-hand display writes them from W - 200
    video.clear();
    draw_fighter_display(env.r, &f, 1);
    EXPECT_GT(count_colour(440, 480 - 144, 639, 479, STAT_YELLOW), 50);
    debug = 0;
}

static int fixed_random() { return 21; } // word 21 % 16 = 5

TEST(Display, TheCounterShowsFromTheSecondHitAndVanishesThreeSecondsAfterTheLast) {
    display_env env(false);
    random_set_cosmetic_source(fixed_random);
    combatant f;
    ready_fighter(f);
    f.hit_time = 10000;
    f.hits_in_row = 1;
    video.clear();
    draw_combo_counter(env.r, &f, 10000);
    EXPECT_EQ(count_colour(200, 150, 500, 300, COUNTER_RED), 0);
    EXPECT_EQ(osd_exclamation, -1);

    f.hits_in_row = 2;
    video.clear();
    draw_combo_counter(env.r, &f, 12999);
    EXPECT_EQ(osd_exclamation, 5);
    EXPECT_GT(count_colour(300, 200, 420, 240, COUNTER_RED), 20); // "2 hit" at (300, 200)
    EXPECT_GT(count_colour(300, 245, 500, 290, COUNTER_RED), 20); // the word 45 lower

    video.clear();
    draw_combo_counter(env.r, &f, 13000);
    EXPECT_EQ(osd_exclamation, -1);
    EXPECT_EQ(count_colour(200, 150, 500, 300, COUNTER_RED), 0);
    random_set_cosmetic_source(nullptr);
}

TEST(Display, TheCounterOfAFighterAtAnEdgeStaysOnScreenAndBelowTheNames) {
    display_env env(false);
    random_set_source(fixed_random);
    combatant f;
    ready_fighter(f, 100, 0);
    f.x = 600; // right edge, picture top near the screen top
    f.y = 40;
    f.hit_time = 10000;
    f.hits_in_row = 4;
    video.clear();
    draw_combo_counter(env.r, &f, 10000);
    EXPECT_EQ(count_colour(0, 0, 639, 79, COUNTER_RED), 0); // nothing over the names
    EXPECT_GT(count_colour(440, 80, 635, 200, COUNTER_RED), 40);
    EXPECT_EQ(count_colour(636, 0, 639, 479, COUNTER_RED), 0); // whole, inside the edge
    f.x = -200; // and the left edge
    video.clear();
    draw_combo_counter(env.r, &f, 10000);
    EXPECT_GT(count_colour(4, 80, 200, 200, COUNTER_RED), 40);
    EXPECT_EQ(count_colour(0, 0, 3, 479, COUNTER_RED), 0);
    random_set_source(nullptr);
}

TEST(Display, BothDisplaysChangeSidesOnTheFrameTheFightersCross) {
    match_folder folder;
    copy_display_files(folder.dir.path);
    osd_resources r;
    osd_load(r);
    folder.res.osd = &r;
    match_set_up(MODE_VERSUS, 1, 0, folder.res);
    combatant* a = fighter_a();
    combatant* b = fighter_b();
    stand(a, 300);
    stand(b, 700);
    a->hp = a->max_hp / 2; // A's bar is half as long as B's
    a->shown_hp = a->hp;
    match_frame();
    EXPECT_FALSE(same(screen_at(18 + 150, 16), GOLD)); // left: A's short bar
    EXPECT_COLOUR(640 - 18 - 150, 16, GOLD);            // right: B's full bar

    stand(a, 750);
    stand(b, 200);
    match_frame();
    EXPECT_COLOUR(18 + 150, 16, GOLD);
    EXPECT_FALSE(same(screen_at(640 - 18 - 150, 16), GOLD));
    match_tear_down();
    osd_release(r);
}

TEST(Display, EachSideShowsItsOwnFightersPortraitMirroredOnTheLeft) {
    display_env env(false);
    expect_own_portraits(env.r);
}

TEST(Display, ReleaseFreesEverythingAndMayRunTwice) {
    display_env env(false);
    EXPECT_NE(env.r.names[1], nullptr);
    osd_release(env.r);
    EXPECT_EQ(env.r.shadow, nullptr);
    EXPECT_EQ(env.r.names[0], nullptr);
    EXPECT_EQ(env.r.stats, nullptr);
    osd_release(env.r);
}

} // namespace
