// The game options screen played through the keyboard: choosing a row moves its option to
// the next value, "game/game.ini" keeps it beside the video settings, and the next match
// plays with it.
#include "game_driver.h"

using namespace game_driver;

namespace {

// The list menus take one key-press event per sampled frame, so every press counts once.
void tap(const char* key, int times = 1) {
    for (int i = 0; i < times; i++) {
        press(key);
        sleep_ms(200);
    }
}

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

TEST(FightgameOptionsGL, ChoosingRoundsSavesTheNextValueAndTheNextMatchPlaysWithIt) {
    game_run g(1, "fps=5\n");
    ASSERT_TRUE(g.select_item(5)); // options
    press("Return", 200);
    ASSERT_TRUE(g.wait_count("OPTION MENU:\n", 1, 10000));
    sleep_ms(600);
    tap("Return"); // "Game"
    sleep_ms(600);
    tap("Down");   // "Rounds 3"
    tap("Return"); // becomes "Rounds 4", saved at once
    std::string ini = wait_for_text(g.dir.file("game/game.ini"), "rounds=4", 5000);
    EXPECT_NE(ini.find("rounds=4\n"), std::string::npos) << ini;
    EXPECT_NE(ini.find("difficulty=normal\n"), std::string::npos) << ini;
    EXPECT_NE(ini.find("hwaccel=1\n"), std::string::npos) << "the video settings stay: " << ini;
    EXPECT_NE(ini.find("fps=5\n"), std::string::npos) << ini;
    sleep_ms(600);
    tap("Up");     // from the first row up to "done"
    tap("Return");
    ASSERT_TRUE(g.wait_count("OPTION MENU:\n", 2, 10000));
    sleep_ms(400);
    tap("Escape");
    ASSERT_TRUE(g.wait_count("MAIN MENU:\n", 2, 10000));
    sleep_ms(800);

    ASSERT_TRUE(g.select_item(0)); // arcade
    press("Return", 200);
    sleep_ms(1200);
    ASSERT_TRUE(g.end_selection("Return"));
    ASSERT_TRUE(g.wait_count("sizeof player 2", 1, 60000)) << g.p.out();
    EXPECT_EQ(g.count("Game options: difficulty [normal] rounds [4] life style [classic] round mode [classic] round time [off]\n"), 1)
        << g.p.out();
    sleep_ms(1000);
    press("Escape", 300);
    ASSERT_TRUE(g.wait_count("MAIN MENU:\n", 3, 20000));
    EXPECT_EQ(g.quit().exit_code, 0);
}

} // namespace
