// Playback of recordings in software mode: the committed recordings play as recorded, a
// changed key change is caught at the next check line, unusable files are refused.
#include <csignal>
#include <unistd.h>

#include "replay_cases.h"

TEST(Replay, TheCommittedArcadeMatchPlaysBackAsRecordedInSoftwareMode) {
    expect_committed_replay_plays("arcade.ini", false);
}
TEST(Replay, TheCommittedVersusMatchPlaysBackAsRecordedInSoftwareMode) {
    expect_committed_replay_plays("versus.ini", false);
}
TEST(Replay, TheCommittedDemoMatchPlaysBackAsRecordedInSoftwareMode) {
    expect_committed_replay_plays("demo.ini", false);
}

// The sync test: every committed recording, rolled back 1 and 8 frames after every frame
// and stepped again, comes out the same at every frame and ends as recorded; a rollback
// that changed anything would name the first field that differs.
TEST(Replay, EveryCommittedRecordingSurvivesRollbacksOfOneAndEightFramesAtEveryFrame) {
    scratch_dir d;
    copy_game_folder(d.path);
    write_settings(d, "hwaccel=0\n");
    // All six side by side, each in the same folder (playback writes nothing).
    running_program runs[3][2];
    const char* const names[3] = {"arcade.ini", "versus.ini", "demo.ini"};
    const char* const backs[2] = {"1", "8"};
    for (int n = 0; n < 3; n++)
        for (int k = 0; k < 2; k++)
            start_program(runs[n][k], "fightgame", {"--synctest", backs[k], committed_replay(names[n])}, d.path,
                          {"SDL_AUDIODRIVER=dummy", "SDL_VIDEODRIVER=dummy"});
    for (int n = 0; n < 3; n++)
        for (int k = 0; k < 2; k++) {
            const char* name = names[n];
            SCOPED_TRACE(std::string(name) + " back " + backs[k]);
            const run_result& r = runs[n][k].finish(280000);
            ASSERT_FALSE(r.timed_out);
            EXPECT_EQ(r.exit_code, 0);
            const size_t report = r.out.find("sync test");
            EXPECT_EQ(report, std::string::npos) << r.out.substr(report, 200);
            EXPECT_EQ(r.out.find("replay diverged"), std::string::npos);
            EXPECT_EQ(count_occurrences(r.out, committed_result(name)), 1);
        }
}

// Without the walk that starts at frame 30 the right fighter stands still, so the first
// check line (frame 60) differs.
TEST(Replay, AHandEditedKeyChangeIsReportedAtTheNextCheckWithBothValues) {
    scratch_dir d;
    copy_game_folder(d.path);
    std::string text = read_text(committed_replay("versus.ini"));
    size_t at = text.find("\nk30=276+\n");
    ASSERT_NE(at, std::string::npos);
    text.replace(at, 10, "\nk30=\n");
    write_text(d.file("edited.ini"), text);
    run_result r = play_replay(d, "edited.ini", false);
    EXPECT_EQ(r.exit_code, 1);
    size_t line = r.out.find("replay diverged at frame 60\n");
    ASSERT_NE(line, std::string::npos) << r.out.substr(r.out.size() > 3000 ? r.out.size() - 3000 : 0);
    size_t recorded = r.out.find("  recorded: A x=", line), played = r.out.find("  played: A x=", line);
    EXPECT_NE(recorded, std::string::npos);
    EXPECT_NE(played, std::string::npos);
    EXPECT_EQ(count_occurrences(r.out, "replay diverged"), 1);
}

TEST(Replay, FilesThatAreNoReplaysNewerOrDamagedAreRefusedWithAReason) {
    scratch_dir d;
    copy_game_folder(d.path);
    std::string good = read_text(committed_replay("arcade.ini"));
    const struct {
        const char* file;
        std::string text;
        const char* message;
    } cases[] = {
        {"menu.ini", "fullscreen=0\nwidth=640\n", "menu.ini: not a replay file\n"},
        {"newer.ini", "replay=2\nmode=1\n", "newer.ini: made by a newer version of the game (replay version 2, this game reads 1)\n"},
        {"cut.ini", good.substr(0, 60), "cut.ini: damaged replay (line "},
        {"huge.ini", "replay=1\nfps=100000\n", "huge.ini: damaged replay (line 2: fps)\n"},
        {"missing.ini", "", "missing.ini: no such replay file\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        if (!c.text.empty()) write_text(d.file(c.file), c.text);
        run_result r = play_replay(d, c.file, false);
        EXPECT_EQ(r.exit_code, 3);
        EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
        EXPECT_EQ(r.out.find("Replaying"), std::string::npos);
    }
    run_result usage = run_program("fightgame", {"--replay"}, d.path, {"SDL_VIDEODRIVER=dummy"}, 60000);
    EXPECT_EQ(usage.exit_code, 2);
}

// A closed window ends playback early; that is the viewer's choice, not a divergence.
TEST(Replay, ClosingTheWindowEndsPlaybackWithoutADivergence) {
    scratch_dir d;
    copy_game_folder(d.path);
    running_program p;
    start_program(p, "fightgame", {"--replay", committed_replay("versus.ini")}, d.path,
                  {"SDL_VIDEODRIVER=dummy", "SDL_AUDIODRIVER=dummy"});
    ASSERT_TRUE(p.wait_for("Scrolling Max for level", 120000)) << p.out();
    usleep(500 * 1000);
    p.signal(SIGTERM); // arrives as the window's close event
    const run_result& r = p.finish(30000);
    EXPECT_EQ(r.exit_code, 0);
    EXPECT_EQ(r.out.find("replay diverged"), std::string::npos);
    EXPECT_EQ(count_occurrences(r.out, "Loop finished"), 1);
}
