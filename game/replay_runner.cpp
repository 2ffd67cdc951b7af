#include "replay_runner.h"
#include "replay_viewer.h"

#include <cstdlib>
#include <cstring>

#include "foundation/log.h"
#include "foundation/settings.h"
#include "foundation/video_mgr.h"
#include "game_options.h"
#include "input/control_mgr.h"
#include "match.h"
#include "match_save.h"
#include "preload.h"
#include "replay.h"
#include "replay_file.h"
#include "stage_choice.h"
#include "takeover.h"

int replay_command(int argc, char** argv, replay_command_line& cmd) {
    cmd = replay_command_line();
    bool any = false;
    for (int i = 1; i < argc; i++) {
        const char* a = argv[i];
        if (strcmp(a, "--replay") == 0) {
            if (i + 1 >= argc) {
                log_err("usage: fightgame [--replay FILE [--fast] | --rerecord FILE... | --synctest FRAMES FILE...]\n");
                return REPLAY_EXIT_USAGE;
            }
            cmd.files.push_back(argv[++i]);
            any = true;
        } else if (strcmp(a, "--fast") == 0) {
            cmd.fast = 1;
        } else if (strcmp(a, "--rerecord") == 0) {
            cmd.rerecord = 1;
            any = true;
        } else if (strcmp(a, "--synctest") == 0) {
            char* end = nullptr;
            const long k = i + 1 < argc ? strtol(argv[i + 1], &end, 10) : 0;
            if (!end || *end || k < 1 || k > SYNC_MAX_FRAMES) {
                log_err("usage: fightgame [--replay FILE [--fast] | --rerecord FILE... | --synctest FRAMES FILE...]\n");
                return REPLAY_EXIT_USAGE;
            }
            i++;
            cmd.synctest = (int)k;
            cmd.fast = 1;
            any = true;
        } else if (cmd.rerecord || cmd.synctest) {
            cmd.files.push_back(a);
        } else {
            log_err("usage: fightgame [--replay FILE [--fast] | --rerecord FILE... | --synctest FRAMES FILE...]\n");
            return REPLAY_EXIT_USAGE;
        }
    }
    if (!any) return -1;
    if (cmd.files.empty() || (!cmd.rerecord && !cmd.synctest && cmd.files.size() > 1)) {
        log_err("usage: fightgame [--replay FILE [--fast] | --rerecord FILE... | --synctest FRAMES FILE...]\n");
        return REPLAY_EXIT_USAGE;
    }
    // Every file is checked before the window opens.
    for (const std::string& f : cmd.files) {
        replay_record r;
        std::string error;
        if (!replay_load(f.c_str(), r, error)) {
            log_err("%s\n", error.c_str());
            return REPLAY_EXIT_BAD_FILE;
        }
    }
    return -1;
}

static int pick_of(const std::string& file) {
    for (int i = 0; i < fighter_count; i++)
        if (file == fighter_table[i].file) return i;
    return -1;
}

// Puts the recording's world in place: fps, screen size, bindings. False when this game
// cannot play it.
static bool prepare(const std::string& file, const replay_record& r, int picks[2]) {
    for (int i = 0; i < 2; i++) {
        picks[i] = pick_of(r.fighter[i]);
        if (picks[i] < 0) {
            log_err("%s: this game has no fighter %s\n", file.c_str(), r.fighter[i].c_str());
            return false;
        }
    }
    if (!known_stage(r.stage.c_str())) {
        log_err("%s: this game has no stage %s\n", file.c_str(), r.stage.c_str());
        return false;
    }
    fps = r.fps;
    int w = video.screen ? video.screen->w : 0, h = video.screen ? video.screen->h : 0;
    if (w != r.width || h != r.height) {
        log_err("%s: recorded on a %dx%d screen, this one is %dx%d\n", file.c_str(), r.width,
                r.height, w, h);
        return false;
    }
    for (const replay_binding& b : r.bindings)
        Control_Manager.set_binding(b.player, control_names[b.control], b.key);
    return true;
}

// The sync test: the last SYNC_MAX_FRAMES + 1 frames of the round saved, newest last.
namespace {
struct sync_check {
    int depth = 0;
    match_snapshot ring[SYNC_MAX_FRAMES + 1];
    match_snapshot again;
    int saved = 0; // frames in the ring
    int round = -1;
    int failed = 0;
};
sync_check sync;

void sync_after_frame() {
    sync_check& c = sync;
    const match_state& m = current_match;
    if (m.round != c.round) c.saved = 0, c.round = m.round;
    const int slots = c.depth + 1;
    match_snapshot& now = c.ring[c.saved % slots];
    match_save(now);
    c.saved++;
    if (c.saved <= c.depth || m.end != MATCH_RUNNING || c.failed) return;
    // Back to the frame `depth` frames ago and on again, as a rollback would.
    if (!match_restore(c.ring[(c.saved - 1 - c.depth) % slots])) {
        log_out("sync test: frame %d: the saved match does not restore\n", m.frames);
        c.failed = 1;
        return;
    }
    log_mute(true);
    for (int k = 0; k < c.depth; k++) {
        replay_frame_begin();
        match_step(true);
        replay_frame_end();
    }
    log_mute(false);
    match_save(c.again);
    if (c.again.bytes != now.bytes) {
        log_out("sync test: frame %d after %d back: %s\n", m.frames, c.depth,
                match_difference(now, c.again).c_str());
        c.failed = 1;
        match_restore(now); // the straight playback goes on
    }
}
} // namespace

int replay_run(const replay_command_line& cmd, game_resources& res) {
    int status = REPLAY_EXIT_OK;
    sync = sync_check();
    sync.depth = cmd.synctest;
    match_after_frame = cmd.synctest ? sync_after_frame : nullptr;
    match_rules_end = takeover_rules_end; // a recording taken over turns into training where it was
    for (const std::string& file : cmd.files) {
        replay_record r;
        std::string error;
        if (!replay_load(file.c_str(), r, error)) {
            log_err("%s\n", error.c_str());
            return REPLAY_EXIT_BAD_FILE;
        }
        int picks[2];
        if (!prepare(file, r, picks)) return REPLAY_EXIT_BAD_FILE;
        log_out("Replaying %s\n", file.c_str());
        replay_arm(file, r, cmd.rerecord != 0, cmd.fast != 0);
        const game_options kept = game_opts;
        game_opts = replay_options(r);
        // Watched at its own pace: the viewer's timeline, jumps and speeds.
        const bool watched = !cmd.rerecord && !cmd.fast && !cmd.synctest;
        if (watched) replay_viewer_start(r.required_wins);
        run_match(r.mode, picks[0], picks[1], r.required_wins, match_resources_of(res));
        if (watched) replay_viewer_stop();
        game_opts = kept;
        if (replay_diverged() || sync.failed) status = REPLAY_EXIT_DIVERGED;
        else if (replay_escaped()) status = REPLAY_EXIT_STOPPED;
        sync.failed = 0;
        sync.round = -1;
        if (status == REPLAY_EXIT_STOPPED) break;
    }
    match_after_frame = nullptr;
    match_rules_end = nullptr;
    return status;
}

int replay_watch(const std::string& file, game_resources& res) {
    replay_command_line cmd;
    cmd.files.push_back(file);
    int kept[2][CONTROL_COUNT];
    for (int p = 0; p < 2; p++)
        for (int c = 0; c < CONTROL_COUNT; c++) kept[p][c] = Control_Manager.key_for(p, control_names[c]);
    const int kept_fps = fps;
    const int status = replay_run(cmd, res);
    fps = kept_fps;
    for (int p = 0; p < 2; p++)
        for (int c = 0; c < CONTROL_COUNT; c++) Control_Manager.set_binding(p, control_names[c], kept[p][c]);
    return status;
}
