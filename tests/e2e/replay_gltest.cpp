// The committed recordings play back as recorded in OpenGL mode too.
#include "replay_cases.h"

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
