// fightgame driven at a person's speed: taps of 40 to 80 ms with 40 ms gaps, the mouse moving
// between presses, a held key that repeats, Escape held half a second, and a window closed
// behind a burst of mouse movement. Every case asserts the one result a player expects: the
// rows moved, the fighter shown, the screen reached, the time the close took.
#include <chrono>

#include "game_driver.h"

using namespace game_driver;

namespace {

// One xdotool run for a whole sequence, so the timing between its steps is the script's.
void xdo(const std::string& script) { EXPECT_EQ(system(("xdotool " + script).c_str()), 0); }

// Taps key once per hold (ms), 40 ms apart, moving the mouse inside the window before each.
std::string taps(const char* key, std::initializer_list<int> holds) {
    std::string s;
    int i = 0;
    for (int h : holds) {
        char step[200];
        snprintf(step, sizeof step, "mousemove %d %d keydown %s sleep %.3f keyup %s sleep 0.04 ", 300 + 7 * (i % 5),
                 240 + 5 * (i % 3), key, h / 1000.0, key);
        s += step;
        i++;
    }
    return s;
}

// Moves the pointer n times inside the window, between two places.
std::string mouse_burst(int n) {
    std::string s;
    for (int i = 0; i < n; i++) s += i % 2 ? "mousemove 330 250 " : "mousemove 310 230 ";
    return s;
}

long ms_since(std::chrono::steady_clock::time_point t) {
    return (long)std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - t)
        .count();
}

// Waits until the main menu is showing (interactive, its opening over) after entry number n.
void wait_menu(game_run& g, int n) {
    ASSERT_TRUE(g.wait_count("MAIN MENU:\n", n, 30000)) << g.p.out();
    ASSERT_TRUE(g.wait_main_menu()) << "the main menu's opening ends";
}

// Waits until a match's frames run: its last set-up line, then a little of the match.
void wait_match_running(game_run& g) {
    ASSERT_TRUE(g.p.wait_for("Scrolling Max for level:", 60000)) << g.p.out();
    sleep_ms(300);
}

// The main-menu row highlighted once the screen has caught up with the presses: a loaded
// machine may show a frame late, so it looks until it sees want (for up to 3 s), then once
// more to be sure nothing else moves.
int settled_item(game_run& g, int want) {
    for (const auto start = std::chrono::steady_clock::now(); ms_since(start) < 3000;) {
        g.look();
        if (highlighted_item(g.shot) == want) break;
        sleep_ms(20);
    }
    sleep_ms(300);
    g.look();
    return highlighted_item(g.shot);
}

// The same for the fighter offered in character select.
int settled_fighter(game_run& g, int want, int limit_ms = 3000) {
    for (const auto start = std::chrono::steady_clock::now(); ms_since(start) < limit_ms;) {
        g.look();
        if (offered_fighter(g.shot) == want) break;
        sleep_ms(20);
    }
    sleep_ms(200);
    g.look();
    return offered_fighter(g.shot);
}

const char* mode_name(int hwaccel) { return hwaccel ? "opengl" : "software"; }

class PersonTiming : public ::testing::TestWithParam<int> {};

// Holds of 40 to 80 ms move exactly one row each; a held Down moves once, waits 400 ms,
// then moves every 125 ms: held 710 ms it moves 4 rows (at 0, 400, 525 and 650 ms).
TEST_P(PersonTiming, MainMenuTapsMoveOneRowEachAndAHeldKeyRepeatsAtItsRate) {
    game_run g(GetParam());
    g.look();
    ASSERT_EQ(highlighted_item(g.shot), 0);
    xdo(taps("Down", {40, 60, 80, 50, 70}));
    EXPECT_EQ(settled_item(g, 5), 5) << "five taps, five rows";
    xdo(taps("Up", {45, 75}));
    EXPECT_EQ(settled_item(g, 3), 3);
    xdo("keydown Down sleep 0.71 keyup Down");
    EXPECT_EQ(settled_item(g, 7), 7) << "held 710 ms: four rows, from training to options";
    EXPECT_EQ(g.quit().exit_code, 0);
}

// Escape held half a second leaves the match for the main menu, which stays: only a new
// press quits.
TEST_P(PersonTiming, EscapeHeldOutOfAMatchLandsInTheMainMenuAndStays) {
    game_run g(GetParam());
    ASSERT_TRUE(g.select_item(6, "Up")); // demo
    press("Return", 60);
    ASSERT_TRUE(g.wait_count("sizeof player 2", 1, 60000)) << g.p.out();
    wait_match_running(g);
    xdo("keydown Escape sleep 0.5 keyup Escape");
    wait_menu(g, 2);
    sleep_ms(1000);
    EXPECT_EQ(g.count("Cleaning Image_Manager Cache"), 0) << "the released Escape did not quit";
    g.look();
    EXPECT_EQ(highlighted_item(g.shot), 0) << "the main menu shows, on arcade";
    auto t = std::chrono::steady_clock::now();
    xdo("keydown Escape sleep 0.06 keyup Escape");
    const run_result& r = g.p.finish(20000);
    EXPECT_EQ(r.exit_code, 0);
    EXPECT_LT(ms_since(t), 4000) << "a new press quits";
}

INSTANTIATE_TEST_SUITE_P(DrawingModes, PersonTiming, ::testing::Values(1, 0),
                         [](const ::testing::TestParamInfo<int>& i) { return std::string(mode_name(i.param)); });

// The options list takes every tap even when the mouse moves just before it; Escape held in
// a sub-screen goes back one screen, not two.
TEST(PersonTimingGL, OptionsTakeEveryTapAndEscapeGoesBackOneScreenPerPress) {
    game_run g(1);
    ASSERT_TRUE(g.select_item(7, "Up")); // options
    press("Return", 60);
    ASSERT_TRUE(g.wait_count("OPTION MENU:\n", 1, 10000));
    g.wait_change(); // the options list shows
    xdo(taps("Down", {50, 70}));
    sleep_ms(200);
    int player1_rows = g.count("Found [up] for player [0]");
    xdo("keydown Return sleep 0.06 keyup Return");
    // Until either controls screen has listed its keys.
    for (const auto start = std::chrono::steady_clock::now(); ms_since(start) < 5000;) {
        if (g.count("Found [up] for player [1]") > 0 || g.count("Found [up] for player [0]") > player1_rows) break;
        sleep_ms(20);
    }
    sleep_ms(100); // and a moment for a second listing, were there one
    EXPECT_EQ(g.count("Found [up] for player [1]"), 1) << "two rows down: Player 2 controls";
    EXPECT_EQ(g.count("Found [up] for player [0]"), player1_rows);
    xdo("keydown Escape sleep 0.5 keyup Escape");
    ASSERT_TRUE(g.wait_count("OPTION MENU:\n", 2, 10000));
    sleep_ms(500); // a held Escape taken as a press would act in the list's first frame
    EXPECT_EQ(g.count("MAIN MENU:\n"), 1) << "one press, one screen back: still in options";
    xdo("keydown Escape sleep 0.3 keyup Escape");
    wait_menu(g, 2);
    sleep_ms(700);
    EXPECT_EQ(g.count("Cleaning Image_Manager Cache"), 0) << "the main menu stays";
    EXPECT_EQ(g.quit().exit_code, 0);
}

// Character select at the slow front end (80 frames per second, a turn of the ring every
// 0.56 s): every tap switches the fighter once, wherever the ring is.
TEST(PersonTimingGL, CharacterSelectReadsEveryTapAtAnyPointOfItsAnimation) {
    game_run g(1, "fps=5\n");
    ASSERT_TRUE(g.select_item(0));
    press("Return", 60);
    // The first fighter shows once the group picture has built up, later on a busy machine.
    ASSERT_EQ(settled_fighter(g, 0, 10000), 0);
    int expected = 0;
    std::string seen;
    for (int i = 0; i < 6; i++) {
        sleep_ms(37 * i); // a different point of the ring each time
        xdo(taps(i % 2 ? "Left" : "Right", {40 + 8 * i}));
        expected = 1 - expected;
        int now = settled_fighter(g, expected);
        seen += std::to_string(now) + " ";
        EXPECT_EQ(now, expected) << "tap " << i << "; seen " << seen;
    }
    xdo(taps("Right", {40, 60, 80}));
    EXPECT_EQ(settled_fighter(g, expected + 3), expected + 3) << "three quick taps, three steps round the four";
    xdo("keydown Escape sleep 0.5 keyup Escape");
    wait_menu(g, 2);
    sleep_ms(700);
    EXPECT_EQ(g.count("Cleaning Image_Manager Cache"), 0) << "cancelled to the main menu, which stays";
    EXPECT_EQ(g.count("Setting FPS"), 0);
    EXPECT_EQ(g.quit().exit_code, 0);
}

// A window closed behind 400 mouse movements takes effect at once: the main menu's quit
// starts within a second, and a match goes back to the main menu within a second.
TEST(PersonTimingGL, AWindowClosedAfterABurstOfMouseMovementTakesEffectWithinASecond) {
    game_run g(1);
    xdo(mouse_burst(400));
    auto t = std::chrono::steady_clock::now();
    ASSERT_TRUE(close_window()); // behind the burst in the event queue
    ASSERT_TRUE(g.wait_count("Cleaning Image_Manager Cache", 1, 20000));
    long quit_ms = ms_since(t);
    const run_result& r = g.p.finish(20000);
    long exit_ms = ms_since(t);
    printf("main menu: close taken after %ld ms, program ended after %ld ms\n", quit_ms, exit_ms);
    EXPECT_EQ(r.exit_code, 0);
    EXPECT_LT(quit_ms, 1000) << "the close was taken after " << quit_ms << " ms";
    EXPECT_LT(exit_ms, 3500) << "and the program ended after its one-second fade";

    game_run m(1);
    ASSERT_TRUE(m.select_item(6, "Up")); // demo
    press("Return", 60);
    ASSERT_TRUE(m.wait_count("sizeof player 2", 1, 60000)) << m.p.out();
    wait_match_running(m);
    xdo(mouse_burst(400));
    t = std::chrono::steady_clock::now();
    ASSERT_TRUE(close_window());
    ASSERT_TRUE(m.wait_count("MAIN MENU:\n", 2, 20000));
    long back_ms = ms_since(t);
    printf("match: back in the main menu after %ld ms\n", back_ms);
    EXPECT_LT(back_ms, 1000) << "the match ended after " << back_ms << " ms";
    EXPECT_EQ(m.quit().exit_code, 0);
}

} // namespace
