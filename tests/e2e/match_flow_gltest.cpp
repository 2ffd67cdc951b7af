// A match from its first choice to its result, played through the keyboard in both drawing
// modes: versus character select shows whose turn it is and takes player 2's own keys; a
// mirror match gives the two sides distinct names and P1 / P2 marks; a knock-out keeps the
// loser's display and its line, the winner holds its victory pose, and the result screen
// waits for a fresh press; the pause freezes the picture and a paused recording replays
// exactly; a timed round ends on the clock.
#include "game_driver.h"
#include "demo_folder.h"

using namespace game_driver;

namespace {

struct rgb_colour {
    int r, g, b;
};
const rgb_colour kPlayer1 = {96, 176, 255}, kPlayer2 = {255, 104, 88}, kGold = {246, 206, 127},
                 kWhite = {255, 255, 255};

// Pixels within 24 of a colour in a box of the screenshot.
int pixels_of(const screen_shot& s, rgb_colour c, int x0, int y0, int x1, int y1) {
    int n = 0;
    for (int y = y0; y < y1; y++)
        for (int x = x0; x < x1; x++) {
            uint8_t r, g, b;
            s.rgb(x, y, &r, &g, &b);
            n += abs(r - c.r) < 24 && abs(g - c.g) < 24 && abs(b - c.b) < 24;
        }
    return n;
}

// The gold name's reach on one side of the display band: from the screen's edge + 64.
int name_width(const screen_shot& s, bool left) {
    int reach = 0;
    for (int y = 39; y < 75; y++)
        for (int d = 0; d < 256; d++) {
            int x = left ? 64 + d : 640 - 64 - d;
            uint8_t r, g, b;
            s.rgb(x, y, &r, &g, &b);
            if (abs(r - kGold.r) < 24 && abs(g - kGold.g) < 24 && abs(b - kGold.b) < 24) reach = std::max(reach, d);
        }
    return reach;
}

bool same_pixels(const screen_shot& a, const screen_shot& b) {
    if (!a.s || !b.s || a.s->w != b.s->w || a.s->h != b.s->h || a.s->pitch != b.s->pitch) return false;
    return memcmp(a.s->pixels, b.s->pixels, (size_t)a.s->pitch * a.s->h) == 0;
}

void hold_key(const char* key, bool down) {
    EXPECT_EQ(system((std::string("xdotool ") + (down ? "keydown " : "keyup ") + key).c_str()), 0);
}

// Player 1 walks left into player 2 and punches until a round more has ended.
void knock_out_player2(game_run& g, int round) {
    hold_key("Left", true);
    for (int tries = 0; tries < 60 && !g.wait_count("Victory pose [1]", round, 200); tries++) press("i", 60);
}

class MatchFlow : public ::testing::TestWithParam<int> {};

TEST_P(MatchFlow, VersusTurnsMirrorNamesKnockOutVictoryAndAResultThatWaitsForAFreshPress) {
    const std::string mode = GetParam() ? "opengl" : "software";
    // Mirelle falls to one punch; a round win more than one ends the match.
    game_run g(GetParam(), "fps=30\nrounds=1\n");
    set_key(g.dir, "game/fighter/mirelle_char.ini", "hp", "0");
    ASSERT_TRUE(g.select_item(1)); // versus
    press("Return", 200);
    sleep_ms(1500);
    g.look();
    EXPECT_GT(pixels_of(g.shot, kPlayer1, 0, 20, 200, 60), 40) << "player 1's turn";
    EXPECT_LT(pixels_of(g.shot, kPlayer2, 0, 20, 200, 60), 10);
    ASSERT_TRUE(g.end_selection("Return"));
    sleep_ms(1500);
    g.look("select_player2_" + mode + ".png");
    EXPECT_GT(pixels_of(g.shot, kPlayer2, 0, 20, 200, 60), 40) << "player 2's turn";
    EXPECT_LT(pixels_of(g.shot, kPlayer1, 0, 20, 200, 60), 10);
    EXPECT_EQ(g.next_fighter("d"), 1) << "player 2's right";
    EXPECT_EQ(g.next_fighter("a"), 0) << "player 2's left";
    press("q", 60); // player 2's block: no cancel
    sleep_ms(400);
    ASSERT_TRUE(g.end_selection("Tab")) << "player 2's punch confirms"; // a mirror match
    ASSERT_TRUE(g.wait_count("sizeof player 2", 1, 60000)) << g.p.out();
    EXPECT_NE(g.p.out().find("mirelle_swap.ini"), std::string::npos);
    sleep_ms(1500);
    g.look("mirror_match_" + mode + ".png");
    int left = name_width(g.shot, true), right = name_width(g.shot, false);
    EXPECT_GT(left, right + 8) << "\"Mirelle 2\" on the left, \"Mirelle\" on the right";
    EXPECT_GT(pixels_of(g.shot, kPlayer2, 64, 39, 320, 75), 20) << "P2 mark";
    EXPECT_GT(pixels_of(g.shot, kPlayer1, 320, 39, 576, 75), 20) << "P1 mark";

    // Round 1: player 1 walks up until touching, then punches; during the knock-out the loser
    // keeps its display and the line reads below.
    hold_key("Left", true);
    sleep_ms(4500); // 200 px at 2 px a frame, 30 frames a second
    for (int tries = 0; tries < 60 && g.count("zotz") == 0; tries++) {
        press("i", 60);
        sleep_ms(150);
        g.look();
        if (pixels_of(g.shot, kWhite, 120, 248, 520, 290) > 150) break;
    }
    hold_key("Left", false);
    g.look("knock_out_" + mode + ".png");
    EXPECT_GT(pixels_of(g.shot, kWhite, 120, 248, 520, 290), 150) << "the knock-out line";
    EXPECT_GT(pixels_of(g.shot, kPlayer2, 64, 39, 320, 75), 20) << "the loser's display stays";
    ASSERT_TRUE(g.wait_count("Victory pose [1]", 1, 10000)) << g.p.out();
    sleep_ms(300); // the line comes before the pose's first frame is on the screen
    g.look("victory_pose_" + mode + ".png");
    screen_shot held;
    take_shot(held, g.dir.path);
    if (g.count("Loop finished") == 0) {
        EXPECT_TRUE(same_pixels(g.shot, held)) << "the pose is held";
    }
    ASSERT_TRUE(g.wait_count("mode [2] reqwins[1] p1[0] p2[1]", 1, 10000)) << g.p.out();

    // Round 2, Left held from the fight into the result screen; a tap in its first second.
    knock_out_player2(g, 2);
    ASSERT_TRUE(g.wait_count("Clearing Gameobjects", 1, 20000)) << g.p.out();
    press("x", 60);
    sleep_ms(1600);
    hold_key("Left", false);
    sleep_ms(300);
    g.look("result_" + mode + ".png");
    EXPECT_EQ(g.count("MAIN MENU:\n"), 1) << "neither the held key nor the early tap left the result";
    EXPECT_GT(pixels_of(g.shot, kWhite, 0, 100, 640, 300), 200) << "the result's lines";
    press("Return", 100);
    ASSERT_TRUE(g.wait_count("MAIN MENU:\n", 2, 10000)) << "a fresh press leaves it";
    EXPECT_EQ(g.quit().exit_code, 0);
}

TEST_P(MatchFlow, PauseFreezesThePictureItsRecordingReplaysAndATimedRoundEndsOnTheClock) {
    const std::string mode = GetParam() ? "opengl" : "software";
    game_run g(GetParam(), "fps=30\nroundtime=6\n");
    ASSERT_TRUE(g.select_item(1)); // versus, nobody striking
    press("Return", 200);
    ASSERT_GE(g.wait_offered(), 0);
    ASSERT_TRUE(g.end_selection("Return"));
    ASSERT_GE(g.wait_offered(), 0);
    ASSERT_TRUE(g.end_selection("Return"));
    ASSERT_TRUE(g.wait_count("sizeof player 2", 1, 60000)) << g.p.out();
    sleep_ms(1000);
    g.look();
    EXPECT_GT(pixels_of(g.shot, kWhite, 290, 4, 350, 40), 20) << "the clock at the top centre";
    hold_key("a", true); // player 2 walks away, and keeps walking through the pause
    sleep_ms(300);
    press("Return", 100);
    sleep_ms(800);
    screen_shot paused;
    take_shot(paused, g.dir.path, "paused_" + mode + ".png");
    sleep_ms(700);
    g.look();
    EXPECT_TRUE(same_pixels(paused, g.shot)) << "nothing moves while paused";
    EXPECT_EQ(g.count("Time up"), 0);
    press("p", 100); // resume
    sleep_ms(700);
    hold_key("a", false);
    g.look();
    EXPECT_FALSE(same_pixels(paused, g.shot)) << "the match goes on";
    ASSERT_TRUE(g.wait_count("Time up", 1, 20000)) << g.p.out();
    ASSERT_TRUE(g.wait_count("mode [2] reqwins[3] p1[0] p2[0]", 1, 10000)) << "equal life: a draw" << g.p.out();
    // Return again, then leave from the menu: the match is over, its recording kept.
    sleep_ms(1000);
    press("Return", 100);
    sleep_ms(600);
    press("Down", 60);
    sleep_ms(300);
    press("Return", 100);
    ASSERT_TRUE(g.wait_count("MAIN MENU:\n", 2, 20000)) << g.p.out();
    std::string out = g.p.out();
    size_t saved = out.find("Replay saved as ");
    ASSERT_NE(saved, std::string::npos);
    std::string file = out.substr(saved + 16, out.find('\n', saved) - saved - 16);
    EXPECT_NE(read_text(g.dir.file(file)).find("\nroundtime=6\n"), std::string::npos);
    EXPECT_EQ(g.quit().exit_code, 0);
    std::vector<std::string> env = {"SDL_AUDIODRIVER=dummy"};
    if (!GetParam()) env.push_back("SDL_VIDEODRIVER=dummy");
    run_result again = run_program("fightgame", {"--replay", file, "--fast"}, g.dir.path, env, 120000);
    EXPECT_EQ(again.exit_code, 0) << again.out.substr(again.out.size() > 2000 ? again.out.size() - 2000 : 0);
    EXPECT_EQ(again.out.find("replay diverged"), std::string::npos);
    EXPECT_EQ(count_occurrences(again.out, "Time up"), 1) << again.out.substr(again.out.size() > 3000 ? again.out.size() - 3000 : 0);
}

INSTANTIATE_TEST_SUITE_P(DrawingModes, MatchFlow, ::testing::Values(1, 0),
                         [](const ::testing::TestParamInfo<int>& i) { return std::string(i.param ? "opengl" : "software"); });

} // namespace
