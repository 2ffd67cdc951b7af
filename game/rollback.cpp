#include "rollback.h"

#include "foundation/sfx.h"
#include "match.h"
#include "replay.h"

namespace {

const int SAVED = ROLLBACK_FRAMES + 2;

int slot(int f) { return f % ROLLBACK_HISTORY; }

// What side plays on frame f: its input when it is here, else its latest (none: nothing held).
control_mask input_for(const rollback_session& r, int side, int f) {
    const int k = r.known[side];
    if (f <= k) return r.input[side][slot(f)];
    return k >= 0 ? r.input[side][slot(k)] : 0;
}

// What frame f made heard now: on its first step all of it; stepped again, the sounds it did
// not make before (a hit the real inputs brought) join the late ones.
void note_sounds(rollback_session& r, int f, bool again) {
    std::vector<const sfx*>& now = current_match.sounds.played;
    const int at = f % SAVED;
    if (again) {
        bool used[rollback_session::FRAME_SOUNDS] = {};
        for (const sfx* snd : now) {
            bool was = false;
            for (int i = 0; i < r.heard_count[at] && !was; i++)
                if (!used[i] && r.heard[at][i] == snd) used[i] = was = true;
            if (!was && r.late.size() < r.late.capacity()) r.late.push_back(snd);
        }
    }
    r.heard_count[at] = 0;
    for (const sfx* snd : now)
        if (r.heard_count[at] < rollback_session::FRAME_SOUNDS) r.heard[at][r.heard_count[at]++] = snd;
    if (again) now.clear(); // heard already, or late: nothing of it plays twice
}

// One frame as the match screen steps it, from the inputs of both sides; again: a frame
// stepped before (its sounds are weighed against what it made heard then).
void step_frame(rollback_session& r, bool quiet, bool again) {
    const int f = r.frame;
    const int other = 1 - r.local;
    control_mask masks[2];
    masks[r.local] = input_for(r, r.local, f);
    masks[other] = input_for(r, other, f);
    r.used[slot(f)] = masks[other];
    match_save(r.saved[f % SAVED]);
    controls_into_keys(masks, r.keys, REPLAY_KEYS);
    replay_frame_begin();
    match_step(quiet, true);
    replay_frame_end();
    note_sounds(r, f, again);
    r.frame++;
}

} // namespace

void rollback_start(rollback_session& r, int local_side) {
    const rollback_session fresh;
    r.local = local_side == 0 ? 0 : 1;
    r.frame = 0;
    r.known[0] = r.known[1] = -1;
    r.wrong = -1;
    r.stats = fresh.stats;
    for (int& n : r.heard_count) n = 0;
    r.late.clear();
    r.late.reserve(32);
    replay_feed(r.keys);
}

void rollback_stop(rollback_session&) { replay_feed(nullptr); }

bool rollback_input(rollback_session& r, int side, int f, control_mask m) {
    if (side < 0 || side > 1 || f != r.known[side] + 1) return false;
    // A frame further ahead than the history holds would overwrite inputs still needed.
    if (f - r.frame >= ROLLBACK_HISTORY - SAVED) return false;
    r.input[side][slot(f)] = m;
    r.known[side] = f;
    if (side != r.local && f < r.frame && r.used[slot(f)] != m && (r.wrong < 0 || f < r.wrong)) r.wrong = f;
    return true;
}

bool rollback_can_step(const rollback_session& r) {
    return r.known[r.local] >= r.frame && r.frame - r.known[1 - r.local] <= ROLLBACK_FRAMES;
}

// Back to the frame before the first wrong prediction and on again up to the present; the
// last frame again with its pictures when show_last.
static void take_back(rollback_session& r, bool show_last) {
    if (r.wrong < 0) return;
    const int back = r.frame - r.wrong;
    const int present = r.frame;
    if (match_restore(r.saved[r.wrong % SAVED])) {
        r.frame = r.wrong;
        while (r.frame < present) step_frame(r, !(show_last && r.frame == present - 1), true);
        r.stats.rollbacks++;
        r.stats.frames_again += back;
        if (back > r.stats.longest) r.stats.longest = back;
    }
    r.wrong = -1;
}

void rollback_step(rollback_session& r) {
    take_back(r, false);
    step_frame(r, false, false);
}

void rollback_catch_up(rollback_session& r) { take_back(r, true); }

void rollback_play_late(rollback_session& r) {
    for (const sfx* snd : r.late) snd->play(-1, 0);
    r.late.clear();
}

bool rollback_settled(const rollback_session& r) {
    return r.wrong < 0 && r.known[0] >= r.frame - 1 && r.known[1] >= r.frame - 1;
}
