// The options played through the keyboard, in both drawing modes: choosing a row moves its
// option to the next value and the list shows again on that row, "game/game.ini" keeps it
// beside the video settings, the next match plays with it, and the Video screen saves its
// settings there too. The rows are drawn large enough to read at 640 x 480.
#include "game_driver.h"

using namespace game_driver;

namespace {

// Waits until the file holds text; the file as last read.
std::string wait_for_text(const std::string& path, const std::string& text, int timeout_ms) {
    std::string got;
    for (int t = 0; t < timeout_ms; t += 100) {
        got = file_exists(path) ? read_text(path) : "";
        if (got.find(text) != std::string::npos) break;
        sleep_ms(100);
    }
    return got;
}

// The height of the text in a list's first row (from y 200): the rows between its first and
// last with white in them.
int first_row_height(const screen_shot& shot) {
    int top = -1, bottom = -1;
    for (int y = 196; y < 240; y++)
        for (int x = 160; x < 480; x++)
            if (shot.white(x, y)) top = top < 0 ? y : top, bottom = y, x = 480;
    return top < 0 ? 0 : bottom - top + 1;
}

class FightgameOptions : public ::testing::TestWithParam<int> {};

TEST_P(FightgameOptions, ChoosingRoundsTwiceSavesItAndTheMatchPlaysWithItAndVideoSavesItsSettings) {
    game_run g(GetParam(), "fps=5\n");
    ASSERT_TRUE(g.select_item(7, "Up")); // options
    press("Return", 200);
    ASSERT_TRUE(g.wait_count("OPTION MENU:\n", 1, 10000));
    g.wait_change(); // the options list shows
    g.tap_seen("Return"); // "Game"
    g.look();
    EXPECT_GE(first_row_height(g.shot), 18) << "readable rows";
    g.tap_seen("Down");   // "Rounds 3"
    g.tap_seen("Return"); // becomes "Rounds 4", saved at once
    g.tap_seen("Return"); // the cursor stayed on it: "Rounds 5"
    std::string ini = wait_for_text(g.dir.file("game/game.ini"), "rounds=5", 5000);
    EXPECT_NE(ini.find("rounds=5\n"), std::string::npos) << ini;
    EXPECT_NE(ini.find("difficulty=normal\n"), std::string::npos) << ini;
    EXPECT_NE(ini.find("hwaccel=" + std::to_string(GetParam()) + "\n"), std::string::npos)
        << "the video settings stay: " << ini;
    EXPECT_NE(ini.find("fps=5\n"), std::string::npos) << ini;
    g.tap_seen("Escape");
    ASSERT_TRUE(g.wait_count("OPTION MENU:\n", 2, 10000));

    // Video: the window size twice (the cursor stays), then the drawing mode.
    g.tap_seen("Down", 3);
    g.tap_seen("Return");
    g.tap_seen("Down");
    g.tap_seen("Return", 2);
    g.tap_seen("Down");
    g.tap_seen("Return");
    ini = wait_for_text(g.dir.file("game/game.ini"), "hwaccel=" + std::to_string(1 - GetParam()), 5000);
    for (const std::string line : {"fullscreen=0\n", "width=1024\n", "height=768\n", "rounds=5\n", "fps=5\n"})
        EXPECT_NE(ini.find(line), std::string::npos) << line << ini;
    EXPECT_NE(ini.find("hwaccel=" + std::to_string(1 - GetParam()) + "\n"), std::string::npos) << ini;
    g.tap_seen("Escape");
    ASSERT_TRUE(g.wait_count("OPTION MENU:\n", 3, 10000));
    g.tap_seen("Escape");
    ASSERT_TRUE(g.wait_count("MAIN MENU:\n", 2, 10000));

    ASSERT_TRUE(g.select_item(0)); // arcade
    press("Return", 200);
    ASSERT_GE(g.wait_offered(), 0);
    ASSERT_TRUE(g.end_selection("Return"));
    ASSERT_TRUE(g.wait_count("sizeof player 2", 1, 60000)) << g.p.out();
    EXPECT_EQ(g.count("Game options: difficulty [normal] rounds [5] life style [classic] round mode [classic] round time [off]\n"), 1)
        << g.p.out();
    // Escape held until the match has taken it, however late its first frame comes.
    EXPECT_EQ(system("xdotool keydown Escape"), 0);
    EXPECT_TRUE(g.wait_count("Loop finished\n", 1, 20000)) << g.p.out();
    EXPECT_EQ(system("xdotool keyup Escape"), 0);
    ASSERT_TRUE(g.wait_count("MAIN MENU:\n", 3, 20000));
    EXPECT_EQ(g.quit().exit_code, 0);
}

INSTANTIATE_TEST_SUITE_P(DrawingModes, FightgameOptions, ::testing::Values(1, 0),
                         [](const ::testing::TestParamInfo<int>& i) { return std::string(i.param ? "opengl" : "software"); });

} // namespace
