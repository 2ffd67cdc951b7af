// Training entered from the main menu with real key presses: the player takes Mirelle and
// the dummy Tamsin, Mirelle's rush comes out and the input display names it, Tamsin's rush is
// recorded on the dummy with the player's keys and played back, and Escape goes back to the
// main menu. The screenshot is the README's.
#include "game_driver.h"

#include <algorithm>
#include <chrono>
#include <iostream>

using namespace game_driver;

namespace {

// How long a key must be held for the match to see it, from its measured frame time: the
// match counts the combos' windows in frames, so under a slow software OpenGL a sequence
// needs longer presses, and at full speed shorter ones (at most 200 ms between presses).
struct pacing {
    int hold_ms = 120;
    int function_ms = 300;
};
pacing pace;

// Presses keys one after the other in a single xdotool run (so the gaps are kept).
void sequence(const std::vector<const char*>& keys) {
    std::string cmd = "xdotool";
    char hold[32];
    snprintf(hold, sizeof hold, " sleep %.3f keyup ", pace.hold_ms / 1000.0);
    for (const char* k : keys) cmd += std::string(" keydown ") + k + hold + k;
    EXPECT_EQ(system(cmd.c_str()), 0);
}

// Tries a key sequence until line has been printed n times (a busy machine may miss one).
bool perform(game_run& g, const std::vector<const char*>& keys, const std::string& line, int n) {
    for (int tries = 0; tries < 4; tries++) {
        sequence(keys);
        if (g.wait_count(line, n, 3000 + 10 * pace.hold_ms)) return true;
        sleep_ms(1500 + 10 * pace.hold_ms); // the special ends, the history forgets the keys
    }
    return false;
}

// White pixels of the bar the input display draws beside a special's rows (player's side:
// the input column right of the middle, its six rows from y 92).
int special_bar_pixels(const screen_shot& shot) {
    int n = 0;
    for (int y = 92; y < 92 + 6 * 13; y++)
        for (int x = 356; x <= 360; x++)
            if (shot.white(x, y)) n++;
    return n;
}

TEST(TrainingGL, EnteredFromTheMenuItShowsEachFightersSpecialRecordsTheDummyAndEscapeLeaves) {
    game_run g(1);
    ASSERT_TRUE(g.select_item(3)); // training
    press("Return", 200);
    ASSERT_EQ(g.wait_offered(), 0) << "the player's fighter first";
    ASSERT_TRUE(g.end_selection("Return"));
    ASSERT_GE(g.wait_offered(), 0);
    EXPECT_EQ(g.next_fighter("Right"), 1) << "then the dummy";
    ASSERT_TRUE(g.end_selection("Return"));
    ASSERT_TRUE(g.wait_count("Training: dummy [stand]\n", 1, 60000)) << g.p.out();
    sleep_ms(1500);

    // The frame time, from a recording of two seconds: presses of two and a half frames.
    auto start = std::chrono::steady_clock::now();
    press("F3", pace.function_ms);
    sleep_ms(2000);
    press("F3", pace.function_ms);
    const double took = (double)std::chrono::duration_cast<std::chrono::milliseconds>(
                            std::chrono::steady_clock::now() - start).count();
    ASSERT_TRUE(g.wait_count("Training: recorded [", 1, 5000)) << g.p.out();
    const std::string out = g.p.out();
    const int frames = atoi(out.c_str() + out.find("Training: recorded [") + 20);
    ASSERT_GT(frames, 0);
    const double frame_ms = took / frames;
    pace.hold_ms = std::max(120, (int)(2.5 * frame_ms));
    pace.function_ms = std::max(300, (int)(2.5 * frame_ms));
    std::cout << "match frame " << frame_ms << " ms, presses of " << pace.hold_ms << " ms\n";

    // Mirelle, on the right facing left: down, right (away), punch.
    ASSERT_TRUE(perform(g, {"Down", "Right", "i"}, "Training: player special [mirelle_rush]\n", 1)) << g.p.out();
    sleep_ms(300);
    g.look("training.png");
    EXPECT_GT(special_bar_pixels(g.shot), 10) << "the rows that made it are marked";

    // Back at the starting places, the dummy Tamsin faces right: her left, right, punch are
    // the player's Right, Left, i.
    press("F5", pace.function_ms);
    ASSERT_TRUE(g.wait_count("Training: positions reset\n", 1, 5000)) << g.p.out();
    sleep_ms(1000);
    press("F3", pace.function_ms);
    ASSERT_TRUE(g.wait_count("Training: recording\n", 1, 5000)) << g.p.out();
    ASSERT_TRUE(perform(g, {"Right", "Left", "i"}, "Training: dummy special [tamsin_rush]\n", 1)) << g.p.out();
    sleep_ms(500);
    press("F3", pace.function_ms);
    ASSERT_TRUE(g.wait_count("Training: recorded [", 2, 5000)) << g.p.out();
    press("F4", pace.function_ms);
    ASSERT_TRUE(g.wait_count("Training: playing [", 1, 5000)) << g.p.out();
    EXPECT_TRUE(g.wait_count("Training: dummy special [tamsin_rush]\n", 2, 60000)) << "played back";

    press("Escape", 500);
    ASSERT_TRUE(g.wait_count("MAIN MENU:\n", 2, 20000)) << g.p.out();
    EXPECT_EQ(g.count("zotzed"), 0) << "no knock-out ends training";
    EXPECT_EQ(g.quit().exit_code, 0);
}

} // namespace
