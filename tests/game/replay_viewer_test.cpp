// Jumping about a recording: for every committed recording, the state after a jump to each
// tenth equals the state playing straight there reaches, jumps back and forth included (from
// states the scout kept ahead, too), and the playback then ends as recorded, without a
// divergence. Taking a fighter over from a frame of a recording.
#include <gtest/gtest.h>

#include <unistd.h>

#include <map>
#include <string>

#include "animation/anim_group.h"
#include "foundation/log.h"
#include "foundation/primitives.h"
#include "foundation/settings.h"
#include "game_options.h"
#include "input/control_mgr.h"
#include "match.h"
#include "match_helpers.h"
#include "match_save.h"
#include "replay.h"
#include "replay_viewer.h"
#include "replays_screen.h"
#include "takeover.h"

namespace {

void drop(log_stream, const char*, void*) {}

std::map<int, uint64_t> straight; // frame -> checksum, played straight
void note_frame() { straight[replay_get_position().frame] = match_checksum(); }

std::map<int, uint64_t> jumped;
int length = 0;
void jump_first() {
    match_frame_fn = replay_viewer_frame;
    // A few display frames first: the scout keeps states ahead, which the jumps then use.
    for (int i = 0; i < 40; i++) replay_viewer_frame();
    // Out to the last tenth, back to each earlier one, out again; then play on.
    for (int k : {9, 1, 2, 3, 4, 5, 6, 7, 8, 9}) {
        ASSERT_TRUE(replay_viewer_seek(length * k / 10));
        jumped[replay_viewer_at()] = match_checksum();
    }
    replay_viewer_frame();
}

// The game folder as the working directory, a test screen and an explosion: what a
// recording needs to be played in this process.
struct ReplayViewer : ::testing::Test {
    scratch_dir dir;
    std::string old_cwd;
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
        log_set_sink(drop, nullptr);
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
    // Loads a recording and puts its world in place; its fighters' picks.
    replay_record load(const std::string& file, int picks[2]) {
        replay_record rec;
        std::string error;
        EXPECT_TRUE(replay_load(file.c_str(), rec, error)) << error;
        game_opts = replay_options(rec);
        fps = rec.fps;
        for (int i = 0; i < 2; i++)
            for (int f = 0; f < fighter_count; f++)
                if (rec.fighter[i] == fighter_table[f].file) picks[i] = f;
        Control_Manager.set_defaults();
        for (const replay_binding& b : rec.bindings) Control_Manager.set_binding(b.player, control_names[b.control], b.key);
        return rec;
    }
    // Plays the recording through: fast, or watched by the frame function `watch`.
    void play(const std::string& file, const replay_record& rec, const int picks[2], void (*watch)()) {
        replay_arm(file, rec, false, !watch);
        if (watch) {
            replay_viewer_start(rec.required_wins);
            match_frame_fn = watch;
        }
        match_rules_end = takeover_rules_end;
        run_match(rec.mode, picks[0], picks[1], rec.required_wins, res);
        replay_viewer_stop();
        match_rules_end = nullptr;
        match_after_frame = nullptr;
        EXPECT_FALSE(replay_diverged());
    }
};

std::string committed(const char* name) { return std::string(FIGHT_SOURCE_DIR "/tests/replays/") + name; }

TEST_F(ReplayViewer, AJumpToEveryTenthIsTheStatePlayingStraightReachesAndTheEndIsAsRecorded) {
    for (const char* name : {"arcade.ini", "demo.ini", "versus.ini"}) {
        SCOPED_TRACE(name);
        int picks[2];
        const replay_record rec = load(committed(name), picks);
        length = rec.frames;
        straight.clear();
        jumped.clear();
        for (int watched = 0; watched < 2; watched++) {
            match_after_frame = watched ? nullptr : note_frame;
            play(committed(name), rec, picks, watched ? jump_first : nullptr);
            EXPECT_FALSE(replay_escaped());
        }
        ASSERT_EQ(jumped.size(), 9u);
        for (const auto& j : jumped) EXPECT_EQ(j.second, straight[j.first]) << "frame " << j.first;
    }
}

// Taking over: the left fighter of the versus match, the right one of the arcade match, at a
// frame past the middle where it stands free. Up makes it jump on the next frame, which the
// recording does not; after F5 the match plays on from the takeover frame exactly as the first
// time - all of it but the replay session's own frame, which goes on; and the new recording
// plays back as it was played.
int taken = 0, takeover_at = 0;
struct spot {
    int y;
    bool free; // ready on the floor
};
spot spot_now() {
    combatant* o = Combatant_Manager.Objects[(size_t)taken];
    return spot{o->y, o->ready() && o->alive() && o->ay == 0 && o->y + o->h == video.screen->h};
}
std::map<int, spot> track; // frame -> the fighter to take, played straight
void note_spot() { track[replay_get_position().frame] = spot_now(); }
std::vector<spot> answered; // the first frame after the takeover, with no key, then with Up
std::string again;          // where the frame after F5 first differs from the first one
void take_over() {
    match_frame_fn = replay_viewer_frame;
    ASSERT_TRUE(replay_viewer_seek(takeover_at));
    ASSERT_TRUE(replay_viewer_take_over(taken));
    match_snapshot first, after_f5;
    match_frame();
    match_save(first);
    answered.push_back(spot_now());
    hold({SDLK_UP});
    for (int f = 0; f < 20; f++) {
        match_frame();
        answered.push_back(spot_now());
    }
    hold({SDLK_UP}, false);
    hold({SDLK_F5});
    match_frame(); // back to the takeover frame
    hold({SDLK_F5}, false);
    match_frame(); // and on from it with no key, as the first time
    match_save(after_f5);
    again = match_difference(first, after_f5);
    hold({SDLK_ESCAPE});
    match_frame();
    hold({SDLK_ESCAPE}, false);
}

TEST_F(ReplayViewer, ATakenOverFighterAnswersTheKeysFromItsFrameF5RestoresItAndTheNewRecordingPlaysBack) {
    for (const auto& c : {std::make_pair("versus.ini", 0), std::make_pair("arcade.ini", 1)}) {
        SCOPED_TRACE(c.first);
        int picks[2];
        const replay_record rec = load(committed(c.first), picks);
        taken = c.second;
        track.clear();
        answered.clear();
        match_after_frame = note_spot;
        play(committed(c.first), rec, picks, nullptr);
        takeover_at = rec.frames / 2;
        while (!track[takeover_at].free) takeover_at++;
        ASSERT_LT(takeover_at + 20, rec.frames);
        play(committed(c.first), rec, picks, take_over);
        ASSERT_EQ(answered.size(), 21u);
        // answered[k] is frame takeover_at + 1 + k.
        EXPECT_LT(answered[2].y, answered[0].y) << "it jumped on the first frames Up was held";
        EXPECT_NE(answered[2].y, track[takeover_at + 3].y) << "unlike the recording";
        EXPECT_EQ(again, "replay session: frame");

        std::vector<replay_row> rows = list_replays("game/replays");
        ASSERT_FALSE(rows.empty());
        const replay_record made = load(rows[0].file, picks);
        EXPECT_EQ(made.takeover, takeover_at);
        EXPECT_EQ(made.taken, taken);
        play(rows[0].file, made, picks, nullptr);
        EXPECT_EQ(remove(rows[0].file.c_str()), 0);
    }
}

} // namespace
