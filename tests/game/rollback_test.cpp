// A match played against inputs that arrive late: the two sides of the committed versus
// recording fed to the rollback session, the left one some frames late, end exactly as
// recorded; the recording the session makes matches the original line for line.
#include <gtest/gtest.h>

#include <dirent.h>
#include <unistd.h>

#include <algorithm>
#include <string>
#include <vector>

#include "animation/anim_group.h"
#include "foundation/log.h"
#include "foundation/primitives.h"
#include "foundation/settings.h"
#include "game_options.h"
#include "input/control_mgr.h"
#include "match.h"
#include "replay.h"
#include "rollback.h"
#include "stage_choice.h"
#include "test_support.h"
#include "world/mon_mgr.h"

namespace {

void drop(log_stream, const char*, void*) {}

std::string newest_recording(const std::string& folder) {
    std::vector<std::string> names;
    if (DIR* d = opendir(folder.c_str())) {
        while (dirent* e = readdir(d))
            if (e->d_name[0] != '.') names.push_back(e->d_name);
        closedir(d);
    }
    std::sort(names.begin(), names.end());
    return names.empty() ? "" : folder + "/" + names.back();
}

struct Rollback : ::testing::Test {
    scratch_dir dir;
    std::string old_cwd;
    replay_record rec;
    std::vector<control_mask> sides[2]; // each side's controls, frame by frame
    anim_group explosion;
    match_resources res;

    void SetUp() override {
        char buf[4096];
        old_cwd = getcwd(buf, sizeof buf) ? buf : "/";
        copy_game_folder(dir.path);
        ASSERT_EQ(chdir(dir.path.c_str()), 0);
        ASSERT_TRUE(open_test_screen(false));
        fill_trig_tables();
        if (Control_Manager.names.empty())
            for (const char* n : control_names) Control_Manager.register_name(n);
        Control_Manager.set_defaults();
        log_set_sink(drop, nullptr);
        std::string error;
        ASSERT_TRUE(replay_load(FIGHT_SOURCE_DIR "/tests/replays/versus.ini", rec, error)) << error;
        Uint8 keys[REPLAY_KEYS] = {};
        size_t next = 0;
        for (int f = 1; f <= rec.frames; f++) {
            for (; next < rec.inputs.size() && rec.inputs[next].frame <= f; next++)
                if (rec.inputs[next].code < REPLAY_KEYS) keys[rec.inputs[next].code] = (Uint8)rec.inputs[next].value;
            for (int side = 0; side < 2; side++) sides[side].push_back(side_controls(side, keys, REPLAY_KEYS));
        }
        anim_mgr* boom = new anim_mgr();
        boom->load("game/fighter/expl.ini");
        explosion.add(smart_ptr<anim_mgr>(boom), 0, 0);
        res.explosion = &explosion;
    }
    void TearDown() override {
        log_set_sink(nullptr, nullptr);
        game_opts = game_options();
        fps = 60;
        EXPECT_EQ(chdir(old_cwd.c_str()), 0);
    }
    static int pick_of(const std::string& file) {
        for (int i = 0; i < fighter_count; i++)
            if (file == fighter_table[i].file) return i;
        return 0;
    }

    // The match with this machine on the right and the left side's inputs `lag` frames late;
    // the recording it makes.
    replay_record play(int lag, rollback_stats& stats, int& heard) {
        game_opts = replay_options(rec);
        fps = rec.fps;
        match_stage_file = known_stage(rec.stage.c_str());
        const int a = pick_of(rec.fighter[0]), b = pick_of(rec.fighter[1]);
        replay_next_seed(rec.seed);
        replay_begin(rec.mode, a, b, rec.required_wins);
        match_set_up(rec.mode, a, b, res);
        current_match.round = 1;
        static rollback_session r;
        rollback_start(r, 1);
        const int frames = (int)sides[0].size();
        for (int tick = 0; tick < frames + 4 * ROLLBACK_FRAMES; tick++) {
            if (tick < frames) rollback_input(r, 1, tick, sides[1][tick]);
            const int late = tick - lag;
            if (late >= 0 && late < frames) rollback_input(r, 0, late, sides[0][late]);
            if (current_match.end != MATCH_RUNNING) {
                // Decided: only once every frame stands on real inputs is it over.
                rollback_catch_up(r);
                if (current_match.end != MATCH_RUNNING && rollback_settled(r)) break;
            } else if (rollback_can_step(r)) {
                rollback_step(r);
                // What the screen would play: the frame's sounds and those a rollback brought.
                heard += (int)(current_match.sounds.played.size() + r.late.size());
                r.late.clear();
            }
        }
        stats = r.stats;
        const int end = current_match.end;
        rollback_stop(r);
        replay_end(end);
        match_tear_down();
        replay_record made;
        std::string error;
        EXPECT_TRUE(replay_load(newest_recording("game/replays").c_str(), made, error)) << error;
        remove(newest_recording("game/replays").c_str());
        return made;
    }
};

TEST_F(Rollback, TheLeftSideArrivingLateStillPlaysTheRecordedMatch) {
    int heard_on_time = 0;
    for (int lag : {0, 3, (int)ROLLBACK_FRAMES}) {
        SCOPED_TRACE("left side " + std::to_string(lag) + " frames late");
        rollback_stats stats;
        int heard = 0;
        const replay_record made = play(lag, stats, heard);
        // Every hit that stands is heard, also one only the late inputs brought.
        if (lag == 0) heard_on_time = heard;
        EXPECT_GE(heard, heard_on_time);
        EXPECT_GT(heard, 0);
        EXPECT_EQ(made.frames, rec.frames);
        ASSERT_EQ(made.checks.size(), rec.checks.size());
        for (size_t c = 0; c < rec.checks.size(); c++) {
            const replay_check &want = rec.checks[c], &got = made.checks[c];
            EXPECT_EQ(got.frame, want.frame);
            for (int i = 0; i < 2; i++) {
                EXPECT_EQ(got.f[i].x, want.f[i].x) << "check " << c << " fighter " << i;
                EXPECT_EQ(got.f[i].life, want.f[i].life) << "check " << c << " fighter " << i;
                EXPECT_EQ(got.f[i].action, want.f[i].action) << "check " << c << " fighter " << i;
            }
        }
        if (lag == 0) EXPECT_EQ(stats.rollbacks, 0);
        else EXPECT_GT(stats.rollbacks, 0);
        EXPECT_LE(stats.longest, lag);
    }
}

} // namespace
