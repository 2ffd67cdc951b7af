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

// Leaves a match: Escape held until the match has taken it, however late its first frame
// comes on a loaded machine, and let go before the main menu reads the keys again.
static void leave_match(game_run& g) {
    const int rounds_ended = g.count("Loop finished\n");
    EXPECT_EQ(system("xdotool keydown Escape"), 0);
    EXPECT_TRUE(g.wait_count("Loop finished\n", rounds_ended + 1, 20000)) << g.p.out();
    EXPECT_EQ(system("xdotool keyup Escape"), 0);
}

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
    EXPECT_EQ(g.wait_offered(), 0) << "Mirelle is offered first";
    g.look("char_select_" + mode + ".png");
    std::vector<int> seen;
    for (const char* key : {"Right", "Right", "Right", "Right", "Left", "Left"}) seen.push_back(g.next_fighter(key));
    EXPECT_EQ(seen, (std::vector<int>{1, 2, 3, 0, 3, 2})) << "right goes round all four, left back";
    EXPECT_EQ(g.count("Setting FPS"), 0);

    ASSERT_TRUE(g.end_selection("Return")); // Ondine
    ASSERT_TRUE(g.wait_count("sizeof player 2", 1, 60000)) << g.p.out();
    EXPECT_TRUE(g.p.out().find("Setting FPS [5]\n") != std::string::npos);
    EXPECT_NE(g.p.out().find("loading [rsrc/harbour/stage_harbour.ini]\n"), std::string::npos);
    sleep_ms(2500); // the round's introduction (2.5 s) over, for the picture
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
    EXPECT_TRUE(g.wait_main_menu());
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
    ASSERT_GE(g.wait_offered(), 0) << "in character select";
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
    ASSERT_TRUE(g.select_item(6, "Up")); // demo
    press("Return", kMenuConfirmHold);
    ASSERT_TRUE(g.p.wait_for("Setting FPS [1]\n", 20000)) << g.p.out();
    // Loading is not a frame: the match's frames start after its last set-up line.
    ASSERT_TRUE(g.p.wait_for("Scrolling Max for level:", 30000)) << g.p.out();
    sleep_ms(600); // inside a frame's wait (a frame draws in a small part of its second)
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
    leave_match(g);
    ASSERT_TRUE(g.wait_count("MAIN MENU:\n", 2, 20000));
    EXPECT_EQ(g.quit().exit_code, 0);
}

TEST(FightgameFrontEndGL, SurvivalGoesThroughCharacterSelectAndDemoStraightIntoAMatch) {
    game_run g(1, kSlowFrontEnd);
    ASSERT_TRUE(g.select_item(2));
    press("Return", kMenuConfirmHold);
    ASSERT_GE(g.wait_offered(), 0) << "survival begins with character select";
    ASSERT_TRUE(g.end_selection("Return"));
    ASSERT_TRUE(g.wait_count("sizeof player 2", 1, 60000)) << g.p.out();
    leave_match(g);
    ASSERT_TRUE(g.wait_count("MAIN MENU:\n", 2, 20000));
    EXPECT_TRUE(g.wait_main_menu());

    int fonts_loaded = g.count("loading font\n");
    ASSERT_TRUE(g.select_item(6, "Up")); // demo
    press("Return", kMenuConfirmHold);
    ASSERT_TRUE(g.wait_count("sizeof player 2", 2, 60000)) << g.p.out();
    std::string out = g.p.out();
    size_t second_menu = out.rfind("MAIN MENU:\n");
    EXPECT_EQ(out.find("Please select", second_menu), std::string::npos);
    EXPECT_EQ(g.count("loading font\n"), fonts_loaded) << "no character select drew";
    EXPECT_NE(out.find("sizeof player 1[0]", second_menu), std::string::npos);
    leave_match(g);
    ASSERT_TRUE(g.wait_count("MAIN MENU:\n", 3, 20000));
    EXPECT_EQ(g.quit().exit_code, 0);
}

TEST(FightgameFrontEndGL, RemappingPlayerOnesPunchToMRewritesTheControlsFileAndRefusesAKeyInUse) {
    game_run g(1);
    ASSERT_TRUE(g.select_item(7, "Up")); // options
    press("Return", kMenuConfirmHold);
    ASSERT_TRUE(g.wait_count("OPTION MENU:\n", 1, 10000));
    g.wait_change(); // the options list shows
    g.tap_seen("Down"); // "Player 1 controls"
    g.tap_seen("Return");
    // Rows start at y 200; the punch row is the fifth.
    g.tap_seen("Down", 4);
    screen_shot before;
    g.look_into(before);
    // x belongs to player 2's special1: refused, and the row says so.
    EXPECT_EQ(system("xdotool keydown space sleep 0.05 key x sleep 0.05 keyup space sleep 0.1 key x"), 0);
    g.wait_change(); // the list again, after the refusal
    EXPECT_FALSE(file_exists(g.dir.file("game/controls.ini")));
    screen_shot refused;
    g.look_into(refused);
    // The list opens again on the punch row. Space chooses it; x while Space is still down is
    // ignored, m after it is bound.
    EXPECT_EQ(system("xdotool keydown space sleep 0.05 key x sleep 0.05 keyup space sleep 0.1 key m"), 0);
    std::string saved;
    for (int t = 0; t < 5000; t += 50) { // the file as soon as it holds the bindings looked for
        saved = file_exists(g.dir.file("game/controls.ini")) ? read_text(g.dir.file("game/controls.ini")) : "";
        bool all = true;
        for (const char* line : {"player0controlpunch=109", "player0controlkick=107", "player1controlspecial1=120"})
            all = all && saved.find(line) != std::string::npos;
        if (all) break;
        sleep_ms(50);
    }
    EXPECT_NE(saved.find("player0controlpunch=109"), std::string::npos) << saved;
    EXPECT_NE(saved.find("player0controlkick=107"), std::string::npos) << saved;
    EXPECT_NE(saved.find("player1controlspecial1=120"), std::string::npos) << saved;

    g.wait_change(); // the next showing
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

    g.tap_seen("Down", 6); // from the punch row down to "Done"
    g.tap_seen("Return");
    ASSERT_TRUE(g.wait_count("OPTION MENU:\n", 2, 10000));
    g.tap_seen("Escape");
    ASSERT_TRUE(g.wait_count("MAIN MENU:\n", 2, 10000));
    EXPECT_EQ(g.quit().exit_code, 0);
}

TEST(FightgameFrontEndGL, VideoOpensItsScreenCheatsLeadsBackToTheMainMenuAndGameOptionsStayOnTheirScreen) {
    game_run g(1);
    ASSERT_TRUE(g.select_item(7, "Up")); // options
    press("Return", kMenuConfirmHold);
    ASSERT_TRUE(g.wait_count("OPTION MENU:\n", 1, 10000));
    g.wait_change(); // the options list shows
    g.tap_seen("Down", 3); // "Video"
    g.tap_seen("Return");
    g.tap_seen("Up"); // "done"
    g.tap_seen("Return");
    ASSERT_TRUE(g.wait_count("OPTION MENU:\n", 2, 10000)) << "Video has a screen of its own";
    EXPECT_EQ(g.count("MAIN MENU:\n"), 1);
    g.tap_seen("Down", 4); // "Cheats"
    g.tap_seen("Return");
    ASSERT_TRUE(g.wait_count("MAIN MENU:\n", 2, 10000)) << "Cheats leads back to the main menu";
    EXPECT_TRUE(g.wait_main_menu());
    EXPECT_EQ(highlighted_item(g.shot), 0) << "the main menu opens again";

    ASSERT_TRUE(g.select_item(7, "Up")); // options
    press("Return", kMenuConfirmHold);
    ASSERT_TRUE(g.wait_count("OPTION MENU:\n", 3, 10000));
    g.wait_change(); // the options list shows
    g.tap_seen("Return"); // "Game"
    g.look("game_options_opengl.png");
    g.tap_seen("Return"); // "Difficulty classic" turns "hard": the same screen again
    EXPECT_EQ(g.count("OPTION MENU:\n"), 3);
    g.tap_seen("Up"); // "done"
    g.tap_seen("Return");
    ASSERT_TRUE(g.wait_count("OPTION MENU:\n", 4, 10000));
    EXPECT_FALSE(file_exists(g.dir.file("game/controls.ini"))) << "the controls were not changed";
    g.tap_seen("Escape");
    ASSERT_TRUE(g.wait_count("MAIN MENU:\n", 3, 10000));
    EXPECT_EQ(g.quit().exit_code, 0);
}
