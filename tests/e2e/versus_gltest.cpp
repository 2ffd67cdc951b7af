// Two people in versus, at a person's pace, in both drawing modes: player 2 (on the left)
// walks up, lets go and punches, and player 1's life bar shortens while player 2's stays
// full; then player 2 backs off, player 1 walks up and punches, and player 2's bar shortens.
#include "game_driver.h"

using namespace game_driver;

namespace {

void xdo(const std::string& script) { EXPECT_EQ(system(("xdotool " + script).c_str()), 0); }

// Four taps of key, 100 ms presses 250 ms apart: at most 40 of the 70 life, never a knock-out.
std::string punches(const char* key) {
    std::string s;
    for (int i = 0; i < 4; i++) s += std::string("keydown ") + key + " sleep 0.1 keyup " + key + " sleep 0.15 ";
    return s;
}

// Gold life-bar pixels on the bars' middle row, left half (side 0) or right half (1).
int gold_length(const screen_shot& shot, int side) {
    int n = 0;
    for (int x = side * 320; x < side * 320 + 320; x++) {
        uint8_t r, g, b;
        shot.rgb(x, 16, &r, &g, &b);
        n += abs(r - 246) < 20 && abs(g - 206) < 20 && abs(b - 127) < 20;
    }
    return n;
}

class Versus : public ::testing::TestWithParam<int> {};

TEST_P(Versus, WalkingUpAndPunchingAStandingPlayerTakesItsLifeFromEitherSide) {
    game_run g(GetParam());
    ASSERT_TRUE(g.select_item(1));
    press("Return", 200);
    ASSERT_EQ(g.wait_offered(), 0);
    ASSERT_TRUE(g.end_selection("Return")); // player 1: Mirelle
    ASSERT_EQ(g.wait_offered(), 0);
    ASSERT_TRUE(g.end_selection("Return")); // player 2: Mirelle
    ASSERT_TRUE(g.wait_count("sizeof player 2", 1, 60000)) << g.p.out();
    sleep_ms(1500);
    g.look();
    const int full[2] = {gold_length(g.shot, 0), gold_length(g.shot, 1)};
    ASSERT_GT(full[0], 150);
    ASSERT_GT(full[1], 150);

    // A punch is 10 of 70 life: a bar of 230 pixels loses 32 of them.
    xdo("keydown d sleep 2.6 keyup d sleep 0.2 " + punches("Tab"));
    sleep_ms(800);
    g.look(std::string("versus_") + (GetParam() ? "opengl" : "software") + ".png");
    EXPECT_EQ(gold_length(g.shot, 0), full[0]) << "player 2 was not hit";
    const int player1 = gold_length(g.shot, 1);
    EXPECT_LE(player1, full[1] - 30) << "player 1, standing, lost life";

    xdo("keydown a sleep 1.5 keyup a sleep 0.2 keydown Left sleep 3 keyup Left sleep 0.2 " + punches("i"));
    sleep_ms(800);
    g.look();
    EXPECT_LE(gold_length(g.shot, 0), full[0] - 30) << "player 2, standing, lost life";
    EXPECT_EQ(gold_length(g.shot, 1), player1) << "player 1 was not hit";
    press("Escape", 300);
    ASSERT_TRUE(g.wait_count("MAIN MENU:\n", 2, 20000));
    EXPECT_EQ(g.quit().exit_code, 0);
}

INSTANTIATE_TEST_SUITE_P(DrawingModes, Versus, ::testing::Values(1, 0),
                         [](const ::testing::TestParamInfo<int>& i) { return i.param ? "opengl" : "software"; });

} // namespace
