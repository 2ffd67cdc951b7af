#include "takeover.h"

#include <cstring>
#include <vector>

#include "foundation/log.h"
#include "match.h"
#include "match_save.h"
#include "replay.h"
#include "training.h"
#include "world/mon_mgr.h"

namespace {

struct takeover {
    match_snapshot at;       // the match at the end of the takeover frame
    replay_position session; // the replay session then
    // While the recording is played ahead: the fighter whose decisions go to the script.
    bool ahead = false;
    int kept_side = 0;
    std::vector<replay_decision>* script = nullptr;
};
takeover k;

// The decision of the frame being played ahead, for the fighter left to its recording.
void keep_decision(int i, const combatant* o, bool thinks, int command, int combo) {
    if (i != k.kept_side || !k.script || k.script->empty()) return;
    replay_decision& d = k.script->back();
    if (thinks) {
        d.vx = (int8_t)(o->vx * 2);
        d.vy = (int8_t)(o->vy * 2);
        d.command = (int8_t)command;
    }
    d.combo = (int8_t)combo;
}

// The match goes on as training from here, as the recording's takeover says; F5 comes back here.
void become_training(const replay_record& r) {
    match_state& m = current_match;
    m.mode = MODE_TRAINING;
    m.clock = m.time_up = m.ko_counter = 0;
    training_set_up(r.fighter[0].c_str(), r.fighter[1].c_str(), r.taken);
    training.taken = true;
    training.script = r.script;
    match_save(k.at);
    k.session = replay_get_position();
}

// F5: the match as it was at the takeover, with the player's training choices and the function
// keys as they are held now; the recording goes on, and the clock reads the takeover's time again.
void go_back() {
    training_session& t = training;
    const int behaviour = t.behaviour, recorder = t.recorder, play_at = t.play_at;
    const bool help = t.help, overlays = t.overlays;
    uint8_t fkeys[sizeof t.fkeys];
    memcpy(fkeys, t.fkeys, sizeof fkeys);
    std::vector<dummy_frame> recording;
    recording.swap(t.recording);
    const bool back = match_restore(k.at, false);
    t.recording.swap(recording);
    t.behaviour = behaviour, t.recorder = recorder, t.play_at = play_at;
    t.help = help, t.overlays = overlays;
    memcpy(t.fkeys, fkeys, sizeof fkeys);
    if (!back) return;
    replay_position now = replay_get_position();
    now.rng = k.session.rng;
    now.clock_back = now.frame - k.session.frame + k.session.clock_back;
    replay_set_position(now);
    log_out("Training: back to frame %d\n", k.session.frame);
}

} // namespace

bool takeover_start(int side) {
    match_state& m = current_match;
    const replay_record* r = replay_recording();
    if (!r || replay_length() <= 0 || replay_get_position().frame < 1 || m.mode == MODE_TRAINING ||
        m.end != MATCH_RUNNING)
        return false;
    side = side ? 1 : 0;
    // The other fighter's decisions from here to the end of the round (or of the recording's
    // own match, before a takeover of its own), as the recording has them.
    std::vector<replay_decision> script;
    const int end = r->takeover > 0 ? r->takeover : r->frames;
    match_snapshot here;
    match_save(here);
    log_mute(true);
    k.ahead = true;
    k.kept_side = 1 - side;
    k.script = &script;
    match_decision_tap = keep_decision;
    while (replay_get_position().frame < end && m.end == MATCH_RUNNING && script.size() < REPLAY_SCRIPT_MAX) {
        script.push_back(replay_decision());
        if (replay_frame_begin()) {
            script.pop_back();
            break;
        }
        match_step(true);
        if (replay_frame_end()) break;
    }
    match_decision_tap = nullptr;
    k.ahead = false;
    k.script = nullptr;
    const bool back = match_restore(here);
    log_mute(false);
    if (!back) return false;
    replay_take_over(side, script);
    become_training(*replay_recording());
    return true;
}

void takeover_rules_end() {
    if (k.ahead) return;
    if (current_match.mode == MODE_TRAINING) {
        if (training.back) go_back();
        training.back = false;
        return;
    }
    const replay_record* r = replay_recording();
    if (r && r->takeover > 0 && replay_get_position().frame == r->takeover) become_training(*r);
}
