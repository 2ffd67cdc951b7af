// Training on the real match with small fighter files: the dummy's behaviours, the
// recorder, refills and strings, the frame data of a move with known timings, the input
// display's rows, and a session recorded and played back as a replay.
#include "match_helpers.h"

#include <algorithm>
#include <dirent.h>

#include "foundation/clock.h"
#include "input_log.h"
#include "preload.h"
#include "replay_runner.h"
#include "training.h"

namespace {

uint32_t fake_now = 1000;
uint32_t fake_clock() { return fake_now; }

// Pictures of the lopsided fighters (body 30..110 of 200) and a punch of three frames:
// 3 ticks at rest, 4 reaching 30 in front, 5 at rest again.
void write_three_frame_punch(match_folder& m) {
    write_lopsided_fighters(m);
    for (const char* n : {"tamsin", "mirelle"}) {
        std::string d = std::string("rsrc/") + n + "_", g = std::string("game/fighter/") + n + "_";
        m.write(g + "punch.ini", "images=3\nimage0=" + d + "still.bmp\nrate0=3\nimage1=" + d +
                                     "punch.bmp\nrate1=4\nimage2=" + d + "still.bmp\nrate2=5\n");
    }
}

struct Training : ::testing::Test {
    match_folder folder;
    void SetUp() override {
        fake_now = 1000;
        clock_set_source(fake_clock);
    }
    void TearDown() override {
        clock_set_source(nullptr);
        hold({SDLK_LEFT, SDLK_RIGHT, SDLK_UP, SDLK_DOWN, SDLK_i, SDLK_k, SDLK_F2, SDLK_F3, SDLK_F4,
              SDLK_F5, SDLK_ESCAPE},
             false);
    }
    void set_up() { match_set_up(MODE_TRAINING, 1, 0, folder.res); }
    void frames(int n) {
        for (int f = 0; f < n; f++) {
            fake_now += 16;
            match_frame();
        }
    }
    void tap(SDLKey k, int times = 1) {
        for (int t = 0; t < times; t++) {
            hold({k});
            frames(1);
            hold({k}, false);
            frames(1);
        }
    }
    // B (the player) walks in to A until the bodies stop it.
    void walk_in() {
        stand(fighter_a(), 400);
        stand(fighter_b(), 560);
        hold({SDLK_LEFT});
        frames(60);
        hold({SDLK_LEFT}, false);
        frames(1);
    }
    void punch() {
        hold({SDLK_i});
        frames(1);
        hold({SDLK_i}, false);
    }
};

TEST_F(Training, TheDummyStandsCrouchesJumpsGuardsByTheAttackersPostureOrIsTheComputer) {
    write_lopsided_fighters(folder);
    set_up();
    combatant* a = fighter_a();
    EXPECT_EQ(a->path->mode[0], 7) << "the dummy's own path does nothing";
    walk_in();
    punch();
    frames(3);
    EXPECT_EQ(a->hp, 90) << "a standing dummy takes the punch";
    frames(fps);
    EXPECT_EQ(a->hp, 100) << "refilled a second after the hit";

    tap(SDLK_F2);
    frames(2);
    EXPECT_EQ(a->posture, 0) << "crouch";
    tap(SDLK_F2);
    int top = a->y;
    for (int f = 0; f < 60; f++) {
        frames(1);
        top = std::min(top, a->y);
    }
    EXPECT_LT(top, 480 - a->h - 10) << "jump";
    tap(SDLK_F2);
    frames(60);
    EXPECT_EQ(training.behaviour, DUMMY_BLOCK);
    EXPECT_EQ(a->stance, 1);
    EXPECT_EQ(a->posture, 1) << "a standing guard against a standing player";
    hold({SDLK_DOWN});
    frames(2);
    EXPECT_EQ(a->posture, 0) << "a low guard against a crouching player";
    hold({SDLK_DOWN}, false);
    frames(2);
    walk_in();
    punch();
    frames(3);
    EXPECT_EQ(a->hp, 100) << "the guard holds the punch";
    EXPECT_GT(current_match.block_frame[0], 0) << "held by the guard";

    tap(SDLK_F2);
    EXPECT_EQ(training.behaviour, DUMMY_COMPUTER);
    EXPECT_EQ(a->path->mode[0], 6);
    tap(SDLK_F2);
    EXPECT_EQ(training.behaviour, DUMMY_STAND);
    EXPECT_EQ(a->path->mode[0], 7);
}

TEST_F(Training, KnockOutsRefillAtOnceAndTheStringPanelCountsHitsDamageAndTheBest) {
    write_lopsided_fighters(folder);
    set_up();
    combatant* a = fighter_a();
    walk_in();
    a->hp = 5;
    training.hp_before[0] = 5;
    punch();
    frames(3);
    EXPECT_EQ(a->hp, 100) << "knocked out, refilled at once";
    EXPECT_EQ(current_match.ko_counter, 0);
    EXPECT_EQ(current_match.end, MATCH_RUNNING);
    EXPECT_EQ(training.string_hits[1], 1);
    EXPECT_EQ(training.string_damage[1], 10);
    frames(30);
    walk_in();
    punch();
    frames(40); // the dummy's reaction ends
    punch();
    frames(3);
    EXPECT_EQ(a->hp, 80);
    EXPECT_EQ(training.string_hits[1], 2) << "a new string began after the refill";
    EXPECT_EQ(training.string_damage[1], 20);
    EXPECT_EQ(training.best_hits[1], 2);
    EXPECT_EQ(training.best_damage[1], 20);
    frames(fps);
    EXPECT_EQ(a->hp, 100);
}

TEST_F(Training, AMoveWithKnownTimingsGivesItsFrameDataAndTheAdvantageAfterAHit) {
    write_three_frame_punch(folder);
    set_up();
    combatant* a = fighter_a();
    combatant* b = fighter_b();
    const move_timing t = move_timing_of(b->moves[0], b->images[0]);
    EXPECT_EQ(t.total, 12);
    EXPECT_EQ(t.first_hit, 4) << "the reaching picture shows from the fourth tick";
    EXPECT_STREQ(training.move_names[1][0], "mirelle_punch");

    walk_in();
    punch();
    EXPECT_EQ(move_tick(b), 1);
    frames(3);
    EXPECT_EQ(a->hp, 100);
    frames(1);
    EXPECT_EQ(move_tick(b), 5);
    EXPECT_EQ(a->hp, 90) << "the reaching picture, shown on the 4th tick, hits before the 5th";
    frames(60);
    // The punch ends after its 12th tick; the reaction (30 ticks, the first 4 held by the
    // hit's freeze) began on the punch's 5th tick.
    ASSERT_TRUE(training.advantage.measured[1]);
    EXPECT_EQ(training.advantage.result[1], 4 + 30 + 4 - 12);
}

TEST_F(Training, TheRecorderDrivesTheDummyWithThePlayersKeysAndPlaysItBackInALoop) {
    write_lopsided_fighters(folder);
    set_up();
    combatant* a = fighter_a();
    combatant* b = fighter_b();
    const int a0 = a->x, b0 = b->x;
    tap(SDLK_F3);
    EXPECT_EQ(training.recorder, RECORDER_RECORDING);
    hold({SDLK_RIGHT});
    frames(20);
    hold({SDLK_RIGHT}, false);
    frames(10);
    tap(SDLK_F3);
    EXPECT_EQ(training.recorder, RECORDER_OFF);
    const int walked = a->x - a0;
    EXPECT_GT(walked, 10) << "the dummy walked on the player's keys";
    EXPECT_EQ(b->x, b0) << "the player's fighter stood still";
    const int length = (int)training.recording.size();

    tap(SDLK_F5);
    EXPECT_EQ(a->x, a0);
    tap(SDLK_F4);
    EXPECT_EQ(training.recorder, RECORDER_PLAYING);
    frames(length - 2);
    EXPECT_EQ(a->x - a0, walked) << "played back, the dummy walks as recorded";
    frames(length);
    EXPECT_EQ(a->x - a0, 2 * walked) << "and again: the recording loops";
    tap(SDLK_F4);
    const int stopped = a->x;
    frames(20);
    EXPECT_EQ(a->x, stopped) << "back to standing";
}

// The dummy's own sequence, pressed by the player while recording, is the dummy's special:
// facing right, its "left, right, punch" is the player's Right, Left, punch.
TEST_F(Training, WhileRecordingThePlayersKeysPerformTheDummysOwnSpecial) {
    folder.write("game/fighter/tamsin_char.ini",
                 fighter_text(100, TEST_MOVES, "combos=1\ncombo0moves=3\ncombo0move=3\ncombo0move0=left\n"
                                               "combo0move1=right\ncombo0move2=punch\n"));
    set_up();
    frames(2);
    tap(SDLK_F3);
    log_capture log;
    for (SDLKey k : {SDLK_RIGHT, SDLK_LEFT, SDLK_i}) {
        hold({k});
        frames(3);
        hold({k}, false);
        frames(3);
    }
    EXPECT_NE(log.out.find("Training: dummy special [move]\n"), std::string::npos) << log.out;
    bool recorded = false;
    for (const dummy_frame& f : training.recording) recorded = recorded || f.combo == 3;
    EXPECT_TRUE(recorded);
}

TEST(TrainingInputs, RowsChangeWithTheControlsHeldNewestFirstAndASpecialMarksItsRows) {
    input_log log;
    const uint16_t down = 2, right = 8, punch = 16;
    log.feed(down);
    log.feed(down);
    log.feed(down | right);
    log.feed(0);
    log.feed(punch);
    log.mark_special(3, 3);
    ASSERT_EQ(log.count, 4);
    EXPECT_EQ(log.rows[0].controls, punch);
    EXPECT_EQ(log.rows[3].controls, down);
    EXPECT_EQ(log.rows[3].frames, 2);
    EXPECT_EQ(log.rows[0].special, 3);
    EXPECT_EQ(log.rows[0].special_rows, 4) << "three presses, the release between them inside";
    for (int f = 0; f < 20; f++) log.feed((uint16_t)(f % 2 ? 1 : 4));
    EXPECT_EQ(log.count, INPUT_LOG_ROWS);
    EXPECT_EQ(log.rows[0].controls, 1);
    EXPECT_EQ(log.rows[11].special, -1) << "the marked rows have scrolled away";
    EXPECT_EQ(controls_from_decision(-1, 1, 5), 4 | 2 | 64);
    EXPECT_EQ(controls_from_decision(0, 0, -1), 0);
}

// Like every match a training session is recorded, F keys and all, and plays back the same.
TEST_F(Training, ASessionIsRecordedAsAReplayAndPlaysBackWithoutDiverging) {
    write_lopsided_fighters(folder);
    clock_set_source(nullptr);
    fps = 20;
    replay_begin(MODE_TRAINING, 1, 0, 0);
    set_up();
    auto step = [](std::initializer_list<SDLKey> keys, int n) {
        hold(keys);
        for (int f = 0; f < n; f++) match_frame();
        hold(keys, false);
        match_frame();
    };
    step({SDLK_LEFT}, 30);
    step({SDLK_i}, 2);
    step({SDLK_F2}, 2);   // crouch
    step({SDLK_F2}, 2);   // jump
    step({SDLK_F2}, 2);   // block
    step({SDLK_F2}, 2);   // computer
    step({}, 40);
    step({SDLK_F3}, 2);
    step({SDLK_RIGHT}, 10);
    step({SDLK_F3}, 2);
    step({SDLK_F4}, 30);
    step({SDLK_ESCAPE}, 1);
    int end = current_match.end;
    EXPECT_EQ(end, MATCH_ABANDONED);
    replay_end(end);
    match_tear_down();

    std::vector<std::string> names;
    if (DIR* d = opendir("game/replays")) {
        while (struct dirent* e = readdir(d))
            if (e->d_name[0] != '.') names.push_back(e->d_name);
        closedir(d);
    }
    ASSERT_EQ(names.size(), 1u);
    game_resources res;
    replay_command_line cmd;
    cmd.files = {"game/replays/" + names[0]};
    cmd.fast = 1;
    log_capture play;
    EXPECT_EQ(replay_run(cmd, res), REPLAY_EXIT_OK);
    EXPECT_NE(play.out.find("Training: dummy [computer]\n"), std::string::npos) << "played under training rules";
    EXPECT_NE(play.out.find("Training: playing ["), std::string::npos);
    EXPECT_EQ(play.out.find("replay diverged"), std::string::npos) << play.out;
}

} // namespace
