// fightgame's front end played through the keyboard under an X display, in both drawing
// modes where the screens draw: the main menu's selection and quit, character select round
// all four fighters into a match on the harbour and back, the two-fighter roster, versus with its second selection, survival, demo, and the options menu
// with key remapping (the cursor staying on the row remapped) and the Video screen. Screenshots of the main menu, character select and a match are kept
// in the build folder's "screenshots" (scripts/copy_screenshots.sh puts them in docs/).
#include <algorithm>
#include <chrono>
#include <csignal>
#include <vector>

#include "game_driver.h"

using namespace game_driver;

// Screens with character select and matches run at fps 5: the front end then paces 80
// frames per second, which even a loaded machine keeps close to. Confirms in the main menu
// are held longer than its reading period and released long before the next screen reads
// the keys; a match reads Escape once per 200 ms frame.
static const char kSlowFrontEnd[] = "fps=5\n";
static const int kMenuConfirmHold = 200;
static const int kMatchEscapeHold = 300;

class FightgameFrontEnd : public ::testing::TestWithParam<int> {};

static const char* mode_name(int hwaccel) { return hwaccel ? "opengl" : "software"; }

TEST_P(FightgameFrontEnd, DownMovesTheSelectionOneRowAtATimeWrapsAndEscapeQuits) {
    game_run g(GetParam());
    g.look(std::string("main_menu_") + mode_name(GetParam()) + ".png");
    ASSERT_EQ(highlighted_item(g.shot), 0) << "arcade is highlighted first";
    EXPECT_EQ(system("xdotool search --name '^Marrowlark$' >/dev/null"), 0) << "the window's caption";
    // Every press moves exactly one row, however short: 20 ms is shorter than most frames
    // of a loaded machine.
    for (int i = 1; i <= 9; i++) {
        press("Down", 20);
        sleep_ms(150);
        g.look();
        EXPECT_EQ(highlighted_item(g.shot), i % 9) << "press " << i << (i == 9 ? ": down from quit goes to arcade" : "");
    }

    int conversions_before = g.count("WARNING: Live image conversion") + g.count("grab patch from");
    const run_result& r = g.quit();
    EXPECT_EQ(r.exit_code, 0);
    size_t clean = r.out.find("Cleaning Image_Manager Cache\n");
    ASSERT_NE(clean, std::string::npos);
    EXPECT_NE(r.out.find("\nDone\n", clean), std::string::npos);
    EXPECT_EQ(count_occurrences(r.out, "MAIN MENU:\n"), 1);
    if (GetParam() == 0) { // software mode converts the growing logo while it is on the
        // screen: 8 frames whole, then once only its part on the screen; then it lies below
        // the screen, as in OpenGL, and nothing is converted
        EXPECT_EQ(count_occurrences(r.out, "WARNING: Live image conversion") +
                      count_occurrences(r.out, "grab patch from") - conversions_before,
                  9);
    }
}

TEST_P(FightgameFrontEnd, ArcadeGoesRoundAllFourFightersAndPlaysTheChosenOneOnTheHarbour) {
    std::string mode = mode_name(GetParam());
    game_run g(GetParam(), std::string(kSlowFrontEnd) + "stage=harbour\n");
    ASSERT_TRUE(g.select_item(0));
    press("Return", kMenuConfirmHold);
    sleep_ms(1200);
    g.look("char_select_" + mode + ".png");
    EXPECT_EQ(offered_fighter(g.shot), 0) << "Mirelle is offered first";
    std::vector<int> seen;
    for (const char* key : {"Right", "Right", "Right", "Right", "Left", "Left"}) seen.push_back(g.next_fighter(key));
    EXPECT_EQ(seen, (std::vector<int>{1, 2, 3, 0, 3, 2})) << "right goes round all four, left back";
    EXPECT_EQ(g.count("Setting FPS"), 0);

    ASSERT_TRUE(g.end_selection("Return")); // Ondine
    ASSERT_TRUE(g.wait_count("sizeof player 2", 1, 60000)) << g.p.out();
    EXPECT_TRUE(g.p.out().find("Setting FPS [5]\n") != std::string::npos);
    EXPECT_NE(g.p.out().find("loading [rsrc/harbour/stage_harbour.ini]\n"), std::string::npos);
    sleep_ms(2500);
    g.look("match_" + mode + ".png");
    EXPECT_EQ(g.count("Loop finished"), 0) << "the match runs until Escape";

    press("Escape", kMatchEscapeHold);
    ASSERT_TRUE(g.wait_count("MAIN MENU:\n", 2, 20000)) << g.p.out();
    std::string out = g.p.out();
    size_t back = out.rfind("MAIN MENU:\n");
    for (const char* line : {"Loop finished\n", "Level Unloaded\n", "Level Deleted\n", "Clearing Gameobjects\n"})
        EXPECT_LT(out.find(line), back) << line;
    EXPECT_EQ(count_occurrences(out, "ERROR"), 0) << out;
    EXPECT_EQ(count_occurrences(out, "Couldn't load"), 0) << "no picture is missing";
    // The recording names the chosen fighter on the right and the stage.
    size_t saved = out.find("Replay saved as ");
    ASSERT_NE(saved, std::string::npos);
    std::string file = out.substr(saved + 16, out.find('\n', saved) - saved - 16);
    std::string replay = read_text(g.dir.file(file));
    EXPECT_NE(replay.find("fighter1=game/fighter/ondine_char.ini\n"), std::string::npos) << replay.substr(0, 400);
    EXPECT_NE(replay.find("stage=rsrc/harbour/stage_harbour.ini\n"), std::string::npos);
    sleep_ms(800);
    g.look();
    EXPECT_EQ(highlighted_item(g.shot), 0) << "the menu starts again on arcade";
    EXPECT_EQ(g.quit().exit_code, 0);
}

INSTANTIATE_TEST_SUITE_P(DrawingModes, FightgameFrontEnd, ::testing::Values(1, 0),
                         [](const ::testing::TestParamInfo<int>& i) { return std::string(mode_name(i.param)); });

// A closed window (here a termination request, which arrives as the same quit event) takes
// character select or a match back to the main menu within a second: from character select,
// and from a match at one frame a second, whose frame wait is cut short. A termination
// request stands, so the main menu then quits.
static int ms_until_main_menu_after_close(game_run& g) {
    const auto sent = std::chrono::steady_clock::now();
    g.p.signal(SIGTERM); // the window manager's close arrives as SDL's quit event
    if (!g.wait_count("MAIN MENU:\n", 2, 30000)) return -1;
    return (int)std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - sent)
        .count();
}

TEST(FightgameFrontEndGL, ClosingTheWindowInCharacterSelectReturnsToTheMainMenu) {
    game_run g(1, kSlowFrontEnd);
    ASSERT_TRUE(g.select_item(0));
    press("Return", kMenuConfirmHold);
    sleep_ms(1200);
    g.look();
    ASSERT_GE(offered_fighter(g.shot), 0) << "in character select";
    int ms = ms_until_main_menu_after_close(g);
    EXPECT_GE(ms, 0) << g.p.out();
    EXPECT_LE(ms, 1000);
    const run_result& r = g.p.finish(20000);
    EXPECT_EQ(r.exit_code, 0);
    EXPECT_NE(r.out.find("\nDone\n"), std::string::npos);
    EXPECT_EQ(count_occurrences(r.out, "Setting FPS"), 0) << "no match was started";
}

TEST(FightgameFrontEndGL, ClosingTheWindowInAMatchAtOneFrameASecondReturnsToTheMainMenu) {
    game_run g(1, "fps=1\n");
    ASSERT_TRUE(g.select_item(6)); // demo
    press("Return", kMenuConfirmHold);
    ASSERT_TRUE(g.p.wait_for("Setting FPS [1]\n", 20000)) << g.p.out();
    // Loading is not a frame: the match's frames start after its last set-up line.
    ASSERT_TRUE(g.p.wait_for("Scrolling Max for level:", 30000)) << g.p.out();
    sleep_ms(1500); // inside a frame's wait
    int ms = ms_until_main_menu_after_close(g);
    EXPECT_GE(ms, 0) << g.p.out();
    EXPECT_LE(ms, 1000);
    EXPECT_EQ(g.p.finish(20000).exit_code, 0);
}

TEST(FightgameFrontEndGL, RosterTwoOffersOnlyTheFirstTwoFighters) {
    game_run g(1, std::string(kSlowFrontEnd) + "roster=two\n");
    ASSERT_TRUE(g.select_item(0));
    press("Return", kMenuConfirmHold);
    ASSERT_GE(g.wait_offered(), 0);
    std::vector<int> seen;
    for (const char* key : {"Right", "Right", "Left", "Left"}) seen.push_back(g.next_fighter(key));
    EXPECT_EQ(seen, (std::vector<int>{1, 0, 1, 0})) << "the two alternate, as before the roster grew";
    ASSERT_TRUE(g.end_selection("Escape"));
    EXPECT_EQ(g.quit().exit_code, 0);
}

TEST(FightgameFrontEndGL, VersusTakesTwoSelectionsAndCancellingTheSecondGoesBackToTheFirst) {
    game_run g(1, kSlowFrontEnd);
    ASSERT_TRUE(g.select_item(1));
    press("Return", kMenuConfirmHold);
    ASSERT_EQ(g.wait_offered(), 0) << "player 1's selection";
    ASSERT_TRUE(g.end_selection("Return"));
    ASSERT_EQ(g.wait_offered(), 0) << "player 2's selection starts again on the first fighter";
    ASSERT_TRUE(g.end_selection("Escape"));
    EXPECT_EQ(g.wait_offered(), 0) << "back in player 1's selection";
    EXPECT_EQ(g.count("MAIN MENU:\n"), 1);
    EXPECT_EQ(g.count("Setting FPS"), 0);

    EXPECT_EQ(g.next_fighter("Right"), 1);
    ASSERT_TRUE(g.end_selection("Return"));
    ASSERT_GE(g.wait_offered(), 0);
    ASSERT_TRUE(g.end_selection("Return"));
    ASSERT_TRUE(g.wait_count("sizeof player 2", 1, 60000)) << g.p.out();
    sleep_ms(1000);
    press("Escape", kMatchEscapeHold);
    ASSERT_TRUE(g.wait_count("MAIN MENU:\n", 2, 20000));
    EXPECT_EQ(g.quit().exit_code, 0);
}

TEST(FightgameFrontEndGL, SurvivalGoesThroughCharacterSelectAndDemoStraightIntoAMatch) {
    game_run g(1, kSlowFrontEnd);
    ASSERT_TRUE(g.select_item(2));
    press("Return", kMenuConfirmHold);
    sleep_ms(1200);
    g.look();
    ASSERT_GE(offered_fighter(g.shot), 0) << "survival begins with character select";
    ASSERT_TRUE(g.end_selection("Return"));
    ASSERT_TRUE(g.wait_count("sizeof player 2", 1, 60000)) << g.p.out();
    sleep_ms(1000);
    press("Escape", kMatchEscapeHold);
    ASSERT_TRUE(g.wait_count("MAIN MENU:\n", 2, 20000));
    sleep_ms(800);

    int fonts_loaded = g.count("loading font\n");
    ASSERT_TRUE(g.select_item(6)); // demo
    press("Return", kMenuConfirmHold);
    ASSERT_TRUE(g.wait_count("sizeof player 2", 2, 60000)) << g.p.out();
    std::string out = g.p.out();
    size_t second_menu = out.rfind("MAIN MENU:\n");
    EXPECT_EQ(out.find("Please select", second_menu), std::string::npos);
    EXPECT_EQ(g.count("loading font\n"), fonts_loaded) << "no character select drew";
    EXPECT_NE(out.find("sizeof player 1[0]", second_menu), std::string::npos);
    sleep_ms(1000);
    press("Escape", kMatchEscapeHold);
    ASSERT_TRUE(g.wait_count("MAIN MENU:\n", 3, 20000));
    EXPECT_EQ(g.quit().exit_code, 0);
}

// Every press counts once in the list menus.
static void tap(const char* key, int times = 1) {
    for (int i = 0; i < times; i++) {
        press(key);
        sleep_ms(200);
    }
}

// The leftmost white column in a band of rows, or 640.
static int leftmost_white(const screen_shot& s, int y0, int y1) {
    for (int x = 0; x < 640; x++)
        for (int y = y0; y < y1; y++)
            if (s.white(x, y)) return x;
    return 640;
}

TEST(FightgameFrontEndGL, RemappingPlayerOnesPunchToMRewritesTheControlsFileAndRefusesAKeyInUse) {
    game_run g(1);
    ASSERT_TRUE(g.select_item(7)); // options
    press("Return", kMenuConfirmHold);
    ASSERT_TRUE(g.wait_count("OPTION MENU:\n", 1, 10000));
    sleep_ms(600);
    tap("Down"); // "Player 1 controls"
    tap("Return");
    sleep_ms(600);
    // Rows start at y 200; the punch row is the fifth.
    tap("Down", 4);
    sleep_ms(400);
    screen_shot before;
    take_shot(before, g.dir.path);
    // x belongs to player 2's special1: refused, and the row says so.
    EXPECT_EQ(system("xdotool keydown space sleep 0.05 key x sleep 0.05 keyup space sleep 0.1 key x"), 0);
    sleep_ms(600);
    EXPECT_FALSE(file_exists(g.dir.file("game/controls.ini")));
    screen_shot refused;
    take_shot(refused, g.dir.path);
    // The list opens again on the punch row. Space chooses it; x while Space is still down is
    // ignored, m after it is bound.
    EXPECT_EQ(system("xdotool keydown space sleep 0.05 key x sleep 0.05 keyup space sleep 0.1 key m"), 0);
    sleep_ms(800);
    std::string saved = read_text(g.dir.file("game/controls.ini"));
    EXPECT_NE(saved.find("player0controlpunch=109"), std::string::npos) << saved;
    EXPECT_NE(saved.find("player0controlkick=107"), std::string::npos) << saved;
    EXPECT_NE(saved.find("player1controlspecial1=120"), std::string::npos) << saved;

    g.look(); // the next showing
    // Only the punch row changes, still selected: "*punch: M*" is wider than "*punch: I*",
    // and "*punch: I (X is P2 special1)*" much wider, so their centred rows start further
    // left: some two-pixel bands start further left than before, none further right, and
    // the refusal furthest.
    int moved_left = 0, moved_right = 0, refusal_left = 640, bound_left = 640;
    for (int y = 200; y < 440; y += 2) {
        int a = leftmost_white(before, y, y + 2), b = leftmost_white(g.shot, y, y + 2);
        int c = leftmost_white(refused, y, y + 2);
        if (b < a) moved_left++;
        if (b > a) moved_right++;
        if (c < a) refusal_left = std::min(refusal_left, c);
        if (b < a) bound_left = std::min(bound_left, b);
    }
    EXPECT_GT(moved_left, 0) << "the punch row shows its new, wider key name";
    EXPECT_EQ(moved_right, 0) << "the cursor stayed on the punch row";
    EXPECT_LT(refusal_left + 40, bound_left) << "the refused key's row carried its message";
    EXPECT_EQ(g.count("OPTION MENU:\n"), 1);

    tap("Down", 6); // from the punch row down to "Done"
    tap("Return");
    ASSERT_TRUE(g.wait_count("OPTION MENU:\n", 2, 10000));
    sleep_ms(400);
    tap("Escape");
    ASSERT_TRUE(g.wait_count("MAIN MENU:\n", 2, 10000));
    EXPECT_EQ(g.quit().exit_code, 0);
}

TEST(FightgameFrontEndGL, VideoOpensItsScreenCheatsLeadsBackToTheMainMenuAndGameOptionsStayOnTheirScreen) {
    game_run g(1);
    ASSERT_TRUE(g.select_item(7)); // options
    press("Return", kMenuConfirmHold);
    ASSERT_TRUE(g.wait_count("OPTION MENU:\n", 1, 10000));
    sleep_ms(600);
    tap("Down", 3); // "Video"
    tap("Return");
    sleep_ms(600);
    tap("Up"); // "done"
    tap("Return");
    ASSERT_TRUE(g.wait_count("OPTION MENU:\n", 2, 10000)) << "Video has a screen of its own";
    EXPECT_EQ(g.count("MAIN MENU:\n"), 1);
    sleep_ms(600);
    tap("Down", 4); // "Cheats"
    tap("Return");
    ASSERT_TRUE(g.wait_count("MAIN MENU:\n", 2, 10000)) << "Cheats leads back to the main menu";
    sleep_ms(800);
    g.look();
    EXPECT_EQ(highlighted_item(g.shot), 0) << "the main menu opens again";

    ASSERT_TRUE(g.select_item(7)); // options
    press("Return", kMenuConfirmHold);
    ASSERT_TRUE(g.wait_count("OPTION MENU:\n", 3, 10000));
    sleep_ms(600);
    tap("Return"); // "Game"
    sleep_ms(600);
    g.look("game_options_opengl.png");
    tap("Return"); // "Difficulty classic" turns "hard": the same screen again
    sleep_ms(600);
    EXPECT_EQ(g.count("OPTION MENU:\n"), 3);
    tap("Up"); // "done"
    tap("Return");
    ASSERT_TRUE(g.wait_count("OPTION MENU:\n", 4, 10000));
    EXPECT_FALSE(file_exists(g.dir.file("game/controls.ini"))) << "the controls were not changed";
    sleep_ms(400);
    tap("Escape");
    ASSERT_TRUE(g.wait_count("MAIN MENU:\n", 3, 10000));
    EXPECT_EQ(g.quit().exit_code, 0);
}
