// Jumping about a recording: for every committed recording, the state after a jump to each
// tenth equals the state playing straight there reaches, jumps back and forth included, and
// the playback then ends as recorded, without a divergence.
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
#include "match_save.h"
#include "replay.h"
#include "replay_viewer.h"
#include "test_support.h"

namespace {

void drop(log_stream, const char*, void*) {}

std::map<int, uint64_t> straight; // frame -> checksum, played straight
void note_frame() { straight[replay_get_position().frame] = match_checksum(); }

std::map<int, uint64_t> jumped;
int length = 0;
void jump_first() {
    match_frame_fn = replay_viewer_frame;
    // Out to the last tenth, back to each earlier one, out again; then play on.
    for (int k : {9, 1, 2, 3, 4, 5, 6, 7, 8, 9}) {
        ASSERT_TRUE(replay_viewer_seek(length * k / 10));
        jumped[replay_viewer_at()] = match_checksum();
    }
    replay_viewer_frame();
}

TEST(ReplayViewer, AJumpToEveryTenthIsTheStatePlayingStraightReachesAndTheEndIsAsRecorded) {
    scratch_dir dir;
    char buf[4096];
    const std::string old_cwd = getcwd(buf, sizeof buf) ? buf : "/";
    copy_game_folder(dir.path);
    ASSERT_EQ(chdir(dir.path.c_str()), 0);
    ASSERT_TRUE(open_test_screen(false));
    fill_trig_tables();
    if (Control_Manager.names.empty())
        for (const char* n : control_names) Control_Manager.register_name(n);
    log_set_sink(drop, nullptr);
    anim_group explosion;
    anim_mgr* boom = new anim_mgr();
    boom->load("game/fighter/expl.ini");
    explosion.add(smart_ptr<anim_mgr>(boom), 0, 0);
    match_resources res;
    res.explosion = &explosion;
    for (const char* name : {"arcade.ini", "demo.ini", "versus.ini"}) {
        SCOPED_TRACE(name);
        const std::string file = std::string(FIGHT_SOURCE_DIR "/tests/replays/") + name;
        replay_record rec;
        std::string error;
        ASSERT_TRUE(replay_load(file.c_str(), rec, error)) << error;
        game_opts = replay_options(rec);
        fps = rec.fps;
        int picks[2];
        for (int i = 0; i < 2; i++)
            for (int f = 0; f < fighter_count; f++)
                if (rec.fighter[i] == fighter_table[f].file) picks[i] = f;
        length = rec.frames;
        straight.clear();
        jumped.clear();
        for (int watched = 0; watched < 2; watched++) {
            Control_Manager.set_defaults();
            for (const replay_binding& b : rec.bindings) Control_Manager.set_binding(b.player, control_names[b.control], b.key);
            replay_arm(file, rec, false, !watched);
            match_after_frame = watched ? nullptr : note_frame;
            if (watched) {
                replay_viewer_start(rec.required_wins);
                match_frame_fn = jump_first;
            }
            run_match(rec.mode, picks[0], picks[1], rec.required_wins, res);
            replay_viewer_stop();
            match_after_frame = nullptr;
            EXPECT_FALSE(replay_diverged());
            EXPECT_FALSE(replay_escaped());
        }
        ASSERT_EQ(jumped.size(), 9u);
        for (const auto& j : jumped) EXPECT_EQ(j.second, straight[j.first]) << "frame " << j.first;
    }
    log_set_sink(nullptr, nullptr);
    game_opts = game_options();
    fps = 60;
    EXPECT_EQ(chdir(old_cwd.c_str()), 0);
}

} // namespace
