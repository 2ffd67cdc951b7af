// The committed recordings play back as recorded in OpenGL mode too, and the viewer's mark
// and keys in both modes.
#include "replay_cases.h"

#include <cstring>

TEST(ReplayScreen, TheCommittedArcadeMatchPlaysBackAsRecordedInOpenGLMode) {
    expect_committed_replay_plays("arcade.ini", true);
}
TEST(ReplayScreen, TheCommittedVersusMatchPlaysBackAsRecordedInOpenGLMode) {
    expect_committed_replay_plays("versus.ini", true);
}
TEST(ReplayScreen, TheCommittedDemoMatchPlaysBackAsRecordedInOpenGLMode) {
    expect_committed_replay_plays("demo.ini", true);
}

// At the game's own pace (60 frames a second, not fast), two playbacks at once on a machine
// kept busy by each other still end exactly as recorded.
TEST(ReplayScreen, TwoRecordingsPlayedAtOnceAtTheirOwnPaceEndAsRecorded) {
    const char* names[2] = {"arcade.ini", "versus.ini"};
    scratch_dir d[2];
    running_program p[2];
    for (int i = 0; i < 2; i++) {
        copy_game_folder(d[i].path);
        write_settings(d[i], "hwaccel=1\n");
        start_program(p[i], "fightgame", {"--replay", committed_replay(names[i])}, d[i].path,
                      {"SDL_AUDIODRIVER=dummy"});
    }
    for (int i = 0; i < 2; i++) {
        const run_result& r = p[i].finish(280000);
        ASSERT_FALSE(r.timed_out) << names[i];
        EXPECT_EQ(r.exit_code, 0) << names[i] << r.out.substr(r.out.size() > 3000 ? r.out.size() - 3000 : 0);
        EXPECT_EQ(r.out.find("replay diverged"), std::string::npos) << names[i];
        EXPECT_EQ(count_occurrences(r.out, committed_result(names[i])), 1) << names[i];
    }
}

// Watching a recording in either drawing mode: the REPLAY mark shows, Space pauses (the mark
// grows to "REPLAY  PAUSED" and the picture stands still), Escape ends with status 4.
#include "game_driver.h"

namespace {

// The REPLAY mark's leftmost column, in the statistics font's yellow on its line from y 64 (it
// is centred: a longer text starts further left), or 640.
int mark_left(const game_driver::screen_shot& s) {
    uint8_t r, g, b;
    for (int x = 200; x < 320; x++)
        for (int y = 64; y < 80; y++)
            if (s.rgb(x, y, &r, &g, &b), r > 200 && g > 200 && b < 80) return x;
    return 640;
}

class ReplayViewer : public ::testing::TestWithParam<int> {};

TEST_P(ReplayViewer, ShowsTheMarkPausesStillAndEscapeEndsWithItsOwnStatus) {
    using namespace game_driver;
    scratch_dir d;
    copy_game_folder(d.path);
    write_settings(d, "hwaccel=" + std::to_string(GetParam()) + "\n");
    running_program p;
    start_program(p, "fightgame", {"--replay", committed_replay("versus.ini")}, d.path, {"SDL_AUDIODRIVER=dummy"});
    ASSERT_TRUE(p.wait_for("Scrolling Max for level", 120000)) << p.out();
    sleep_ms(800);
    point_at_window();
    screen_shot playing, paused, later;
    take_shot(playing, d.path);
    const int playing_left = mark_left(playing);
    EXPECT_LT(playing_left, 320) << "REPLAY shows";
    press("space", 100);
    sleep_ms(500);
    take_shot(paused, d.path);
    sleep_ms(500);
    take_shot(later, d.path);
    EXPECT_LT(mark_left(paused) + 10, playing_left) << "REPLAY  PAUSED is longer";
    ASSERT_TRUE(paused.s && later.s);
    EXPECT_EQ(memcmp(paused.s->pixels, later.s->pixels, (size_t)paused.s->h * paused.s->pitch), 0)
        << "the picture stands still while paused";
    press("Escape", 300);
    const run_result& r = p.finish(30000);
    EXPECT_EQ(r.exit_code, 4) << "ended with Escape";
    EXPECT_EQ(r.out.find("replay diverged"), std::string::npos);
}

// The viewer's keys at a person's pace, each ending on its frame: Space pauses, "." steps
// forward and "," back, Home goes to the start, 5 to the middle, Right 5 s on and Left back,
// Up and Down go through the speeds; "[" takes the left fighter over there, F5 comes back to
// that frame, and Escape ends the training match, recorded like any.
TEST(ReplayViewerKeys, EveryKeyLandsOnItsFrame) {
    using namespace game_driver;
    scratch_dir d;
    copy_game_folder(d.path);
    write_settings(d, "hwaccel=0\n");
    running_program p;
    start_program(p, "fightgame", {"--replay", committed_replay("versus.ini")}, d.path, {"SDL_AUDIODRIVER=dummy"});
    ASSERT_TRUE(p.wait_for("Scrolling Max for level", 120000)) << p.out();
    sleep_ms(800);
    point_at_window();
    press("space", 60);
    ASSERT_TRUE(p.wait_for(", x1, paused\n", 5000)) << p.out();
    const std::string out = p.out();
    const int paused_at = atoi(out.c_str() + out.rfind("Replay at frame ") + 16);
    const struct {
        const char* key;
        int frame; // -1: where the step before left it
        const char* state;
    } steps[] = {{"period", paused_at + 1, "x1, paused"}, {"period", paused_at + 2, "x1, paused"},
                 {"comma", paused_at + 1, "x1, paused"}, {"Home", 1, "x1, paused"},
                 {"5", 717, "x1, paused"},           {"Right", 1017, "x1, paused"},
                 {"Left", 717, "x1, paused"},        {"Up", 717, "x2, paused"},
                 {"Down", 717, "x1, paused"},        {"Down", 717, "x1/2, paused"},
                 {"Down", 717, "x1/4, paused"}};
    for (const auto& s : steps) {
        press(s.key, 60);
        const std::string line = "Replay at frame " + std::to_string(s.frame) + ", " + s.state + "\n";
        EXPECT_TRUE(p.wait_for(line, 5000)) << s.key << ": " << p.out().substr(p.out().rfind("Replay at"));
        sleep_ms(150);
    }
    press("bracketleft", 60);
    EXPECT_TRUE(p.wait_for("Takeover: the left fighter at frame 717\n", 5000)) << p.out().substr(p.out().rfind("Replay at"));
    press("Right", 300);
    press("F5", 60);
    EXPECT_TRUE(p.wait_for("Training: back to frame 717\n", 5000));
    press("Escape", 300);
    const run_result& r = p.finish(30000);
    EXPECT_EQ(r.exit_code, 0);
    EXPECT_EQ(count_occurrences(r.out, "Training: back to frame"), 1) << "one press, once";
    EXPECT_EQ(replays_in(d).size(), 1u);
}

INSTANTIATE_TEST_SUITE_P(DrawingModes, ReplayViewer, ::testing::Values(1, 0),
                         [](const ::testing::TestParamInfo<int>& i) { return std::string(i.param ? "opengl" : "software"); });

} // namespace
