// Replays in-process: the file text reads back into the same recording and damaged text is
// refused with its line; a match is recorded at its end and plays back as recorded; the
// folder keeps the newest fifty; a failed write never stops the match; the frame clock.
#include "match_helpers.h"

#include <dirent.h>

#include <algorithm>

#include "foundation/clock.h"
#include "input/key_source.h"
#include "preload.h"
#include "replay_runner.h"

namespace {

const char* const kSetUp =
    "replay=1\nmode=2\nreqwins=3\nfps=60\nseed=4000000000\nwidth=640\nheight=480\n"
    "fighter0=game/fighter/tamsin_char.ini\nrecolour0=0\nfighter1=game/fighter/mirelle_char.ini\n"
    "recolour1=0\nstage=rsrc/road/stage_road.ini\n";

TEST(ReplayFile, ARecordingReadsBackFromItsOwnText) {
    std::string text = std::string(kSetUp) +
                       "note=two players\nplayers=2\nplayer1controlpunch=9\njoystick=1\nframes=120\n"
                       "result=abandoned\nk3=276+ 32+ b2+ a1:-20000\nc60=1,2,3,4,-1 -5,6,7,8,9\nk70=276-\n"
                       "c120=10,20,30,40,5 50,60,70,80,-1\n";
    replay_record r;
    std::string error;
    ASSERT_TRUE(replay_parse(text.data(), text.size(), r, error)) << error;
    EXPECT_EQ(r.seed, 4000000000u);
    EXPECT_EQ(r.abandoned, 1);
    ASSERT_EQ(r.inputs.size(), 5u);
    EXPECT_EQ(r.inputs[2].code, REPLAY_BUTTON0 + 2);
    EXPECT_EQ(r.inputs[3].code, REPLAY_AXIS0 + 1);
    EXPECT_EQ(r.inputs[3].value, -20000);
    EXPECT_EQ(r.inputs[4].frame, 70);
    ASSERT_EQ(r.checks.size(), 2u);
    EXPECT_EQ(r.checks[0].f[1].x, -5);
    ASSERT_EQ(r.bindings.size(), 1u);
    EXPECT_EQ(r.bindings[0].player, 1);
    EXPECT_EQ(r.bindings[0].key, 9);
    EXPECT_EQ(r.roster, 0) << "a recording from before the Roster and Stage options: their defaults";
    EXPECT_EQ(r.stage_option, 0);
    EXPECT_EQ(r.round_time, 0) << "no roundtime key: rounds without a limit, as recorded";
    EXPECT_EQ(replay_format(r).find("roundtime"), std::string::npos);
    r.roster = 1, r.stage_option = 2, r.round_time = 60;
    r.takeover = 60, r.taken = 1, r.script = {{2, 0, -1, -1}, {2, 0, -1, -1}, {0, 1, 6, 3}};
    // Its own text is the same text, line for line.
    std::string again = replay_format(r);
    replay_record back;
    ASSERT_TRUE(replay_parse(again.data(), again.size(), back, error)) << error;
    EXPECT_EQ(replay_format(back), again);
    EXPECT_NE(again.find("\nk3=276+ 32+ b2+ a1:-20000\n"), std::string::npos);
    EXPECT_EQ(back.roster, 1);
    EXPECT_EQ(back.stage_option, 2);
    EXPECT_EQ(back.round_time, 60);
    EXPECT_NE(again.find("script=3\n"), std::string::npos);
    EXPECT_NE(again.find("\nd61=2,0,-1,-1\nd63=0,1,6,3\n"), std::string::npos) << "the script where it changes";
    ASSERT_EQ(back.script.size(), 3u);
    EXPECT_EQ(back.script[1].vx, 2);
}

TEST(ReplayFile, DamagedTextIsRefusedNamingTheLine) {
    const std::string end = "frames=100\nresult=decided\n";
    const std::string no_stage = std::string(kSetUp).substr(0, std::string(kSetUp).find("stage="));
    const struct {
        std::string text;
        const char* error;
    } cases[] = {
        {"", "not a replay file"},
        {"width=640\nreplay=1\n", "not a replay file"},
        {"replay=2\n", "made by a newer version of the game (replay version 2, this game reads 1)"},
        {"replay=0\n", "damaged replay (line 1: version)"},
        {std::string(kSetUp) + end + "k0=276+\n", "damaged replay (line 15: key change)"},
        {std::string(kSetUp) + end + "k5=512+\n", "damaged replay (line 15: key change)"},
        {std::string(kSetUp) + end + "k5=276\n", "damaged replay (line 15: key change)"},
        {std::string(kSetUp) + end + "k5=a2:0\n", "damaged replay (line 15: key change)"},
        {std::string(kSetUp) + end + "c60=1,2,3,4,5 6,7,8,9\n", "damaged replay (line 15: check line)"},
        {std::string(kSetUp) + end + "player0controlfly=32\n", "damaged replay (line 15: binding)"},
        {std::string(kSetUp) + end + "fps=99999999999999999999\n", "damaged replay (line 15: fps)"},
        {std::string(kSetUp) + end + "fighter0=/etc/passwd\n", "damaged replay (line 15: fighter)"},
        {std::string(kSetUp) + end + "roster=2\n", "damaged replay (line 15: roster)"},
        {std::string(kSetUp) + end + "stagechoice=3\n", "damaged replay (line 15: stagechoice)"},
        {std::string(kSetUp) + end + "script=2\n", "damaged replay (line 15: script without a takeover)"},
        {std::string(kSetUp) + end + "takeover=50\nscript=2\nd50=1,0,-1,-1\n", "damaged replay (line 17: script line before the takeover)"},
        {std::string(kSetUp) + end + "takeover=50\nscript=2\nd53=1,0,-1,-1\n", "damaged replay (line 17: script line after the script)"},
        {std::string(kSetUp) + end + "d53=1,0,-9,-1\n", "damaged replay (line 15: script line)"},
        {std::string(kSetUp) + "frames=100\n", "damaged replay (line 14: set-up incomplete)"},
        {no_stage + end, "damaged replay (line 14: set-up incomplete)"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        replay_record r;
        std::string error;
        EXPECT_FALSE(replay_parse(c.text.data(), c.text.size(), r, error));
        EXPECT_EQ(error, c.error);
    }
}

struct ReplaySession : ::testing::Test {
    match_folder folder;
    void SetUp() override {
        // Every round ends at the first frame: fighter B starts knocked out.
        folder.write("game/fighter/mirelle_char.ini", fighter_text(-1, TEST_MOVES));
        fps = 10;
    }
    std::vector<std::string> saved() const {
        std::vector<std::string> names;
        if (DIR* d = opendir("game/replays")) {
            while (struct dirent* e = readdir(d))
                if (e->d_name[0] != '.') names.push_back(e->d_name);
            closedir(d);
        }
        std::sort(names.begin(), names.end());
        return names;
    }
};

TEST_F(ReplaySession, AMatchIsRecordedAtItsEndAndTheFolderKeepsTheNewestFifty) {
    make_dirs("game/replays");
    for (int i = 0; i < 52; i++)
        write_text("game/replays/replay-20000101-0000" + std::to_string(10 + i) + "-00.ini", "old");
    std::string out;
    {
        log_capture log;
        EXPECT_EQ(run_match(MODE_DEMO, 1, 0, 0, folder.res), MATCH_DECIDED);
        out = log.out;
    }
    std::vector<std::string> names = saved();
    ASSERT_EQ(names.size(), 50u);
    EXPECT_EQ(names[0], "replay-20000101-000013-00.ini"); // the three oldest went
    std::string newest = "game/replays/" + names.back();
    EXPECT_NE(out.find("Replay saved as " + newest + "\n"), std::string::npos);

    replay_record r;
    std::string error;
    ASSERT_TRUE(replay_load(newest.c_str(), r, error)) << error;
    EXPECT_EQ(r.mode, MODE_DEMO);
    EXPECT_EQ(r.fps, 10);
    EXPECT_EQ(r.fighter[0], "game/fighter/tamsin_char.ini");
    EXPECT_EQ(r.abandoned, 0);
    EXPECT_GT(r.frames, 0);
    ASSERT_FALSE(r.checks.empty());
    EXPECT_EQ(r.checks.back().frame, r.frames);
    EXPECT_EQ(r.checks.back().f[1].life, -1);
    EXPECT_EQ((int)r.bindings.size(), 2 * CONTROL_COUNT);

    // Played back it gives the same rounds; a changed check line is a divergence there.
    game_resources res;
    replay_command_line cmd;
    cmd.files = {newest};
    cmd.fast = 1;
    {
        log_capture play;
        EXPECT_EQ(replay_run(cmd, res), REPLAY_EXIT_OK);
        EXPECT_NE(play.out.find("mode [4] reqwins[0] p1[1] p2[0]\n"), std::string::npos);
        EXPECT_EQ(play.out.find("replay diverged"), std::string::npos);
    }
    EXPECT_EQ(saved().size(), 50u);

    std::string text = read_text(newest);
    size_t c = text.rfind("\nc");
    text.replace(text.find('=', c) + 1, 0, "7");
    write_text(newest, text);
    log_capture bad;
    EXPECT_EQ(replay_run(cmd, res), REPLAY_EXIT_DIVERGED);
    EXPECT_NE(bad.out.find("replay diverged at frame " + std::to_string(r.frames) + "\n"), std::string::npos);
}

// Every field of both fighters counts: a check line changed in any one of them is a
// divergence at that check's frame, and playback ends with status 1.
TEST_F(ReplaySession, ACheckLineDifferingInAnyOneFieldIsADivergenceAtItsFrame) {
    fps = 60; // a match long enough for a check line before its end
    {
        log_capture quiet;
        ASSERT_EQ(run_match(MODE_DEMO, 1, 0, 0, folder.res), MATCH_DECIDED);
    }
    ASSERT_EQ(saved().size(), 1u);
    const std::string file = "game/replays/" + saved()[0];
    replay_record r;
    std::string error;
    ASSERT_TRUE(replay_load(file.c_str(), r, error)) << error;
    ASSERT_GE(r.checks.size(), 2u) << r.frames; // the changed check is not the match's end
    const int at = r.checks[0].frame;
    const struct {
        const char* name;
        int replay_fighter_state::*field;
    } fields[] = {{"x", &replay_fighter_state::x},
                  {"y", &replay_fighter_state::y},
                  {"life", &replay_fighter_state::life},
                  {"action", &replay_fighter_state::action},
                  {"move", &replay_fighter_state::move}};
    game_resources res;
    replay_command_line cmd;
    cmd.files = {file};
    cmd.fast = 1;
    for (int fighter = 0; fighter < 2; fighter++)
        for (const auto& f : fields) {
            SCOPED_TRACE(std::string(fighter ? "B " : "A ") + f.name);
            replay_record edited = r;
            edited.checks[0].f[fighter].*f.field += 1;
            write_text(file, replay_format(edited));
            log_capture log;
            EXPECT_EQ(replay_run(cmd, res), REPLAY_EXIT_DIVERGED);
            EXPECT_EQ(count_occurrences(log.out, "replay diverged at frame " + std::to_string(at) + "\n"), 1);
            EXPECT_EQ(count_occurrences(log.out, "replay diverged"), 1);
        }
}

TEST_F(ReplaySession, AFailedWriteIsReportedAndTheMatchStillEnds) {
    write_text("game/replays", "a file where the folder should be");
    log_capture log;
    EXPECT_EQ(run_match(MODE_DEMO, 1, 0, 0, folder.res), MATCH_DECIDED);
    EXPECT_NE(log.err.find("Could not save the replay game/replays/replay-"), std::string::npos);
    EXPECT_EQ(Combatant_Manager.count(), 0);
}

// The key history's clock runs by frames, not by the wall; the generator by the seed.
TEST_F(ReplaySession, DuringAMatchTheClockAdvancesAFrameAtATime) {
    fps = 60;
    replay_begin(MODE_VERSUS, 1, 0, 3);
    EXPECT_EQ(clock_ticks(), 1000u);
    for (int i = 0; i < 59; i++) replay_frame_begin();
    EXPECT_EQ(clock_ticks(), 1983u); // 59 * 1000 / 60 = 983.3
    replay_frame_begin();
    EXPECT_EQ(clock_ticks(), 2000u);
    replay_end(MATCH_ABANDONED);
    EXPECT_EQ(clock_source(), nullptr);
    EXPECT_EQ(random_source(), nullptr);
    EXPECT_EQ(key_source_override(), nullptr);
}

} // namespace
