#include "replay_viewer.h"

#include <SDL.h>

#include <cstdio>
#include <vector>

#include "foundation/clock.h"
#include "foundation/log.h"
#include "foundation/pacing.h"
#include "foundation/settings.h"
#include "foundation/video_mgr.h"
#include "images/font.h"
#include "input/key_press.h"
#include "match.h"
#include "match_save.h"
#include "osd.h"
#include "replay.h"
#include "takeover.h"

namespace {

// Quarter frames stepped per display frame at each speed.
const int QUARTERS[VIEWER_SPEEDS] = {1, 2, 4, 8, 16};
const char* const SPEED_TEXT[VIEWER_SPEEDS] = {"x1/4", "x1/2", "x1", "x2", "x4"};

struct saved_state {
    int frame;
    match_snapshot state;
};

struct viewer {
    bool on = false;
    int required_wins = 0;
    int speed = VIEWER_NORMAL_SPEED;
    int quarters = 0; // owed, below one frame
    bool paused = false;
    key_press keys;
    std::vector<saved_state> saved; // by frame, ascending
    // The scout plays ahead of the viewer a few frames each display frame, keeping states
    // there too, so a jump forward finds one near.
    match_snapshot scout, here;
    bool scouted = false, scout_done = false;
};
viewer v;

int frame_now() { return replay_get_position().frame; }

void keep_state() {
    const int f = frame_now();
    if (current_match.end != MATCH_RUNNING || f % VIEWER_KEY_EVERY != 0) return;
    if (!v.saved.empty() && v.saved.back().frame >= f) return;
    v.saved.push_back(saved_state{f, match_snapshot()});
    match_save(v.saved.back().state);
}

// One frame of the recording: its keys, the rules (quiet: nothing drawn or heard), its check
// line. A round decided on the way starts the next one, as the match screen would after it.
// False when the match is over (its end, or a divergence).
bool step(bool quiet) {
    match_state& m = current_match;
    if (replay_frame_begin()) m.end = MATCH_ABANDONED;
    if (m.end == MATCH_RUNNING) match_step(quiet);
    if (replay_frame_end()) m.end = MATCH_ABANDONED;
    if (m.end == MATCH_RUNNING) keep_state();
    return m.end == MATCH_RUNNING;
}

bool next_round() {
    match_state& m = current_match;
    if (m.end == MATCH_ABANDONED || match_round_over(m.mode, v.required_wins)) return false;
    match_start_round();
    return true;
}

// The timeline under the picture: the share played, and "played / length" in m:ss.
void draw_timeline(osd_resources& osd) {
    if (!video.screen) return;
    const int w = video.screen->w, h = video.screen->h;
    const int length = replay_length() > 0 ? replay_length() : 1;
    const int at = frame_now() < length ? frame_now() : length;
    const int x0 = 40, x1 = w - 40, y = h - 18;
    video.draw_box(x0 - 1, y - 1, x1 + 1, y + 7, SDL_MapRGB(video.screen->format, 20, 20, 30));
    video.draw_box(x0, y, x0 + (int)((long)(x1 - x0) * at / length), y + 6, osd.gold);
    if (!osd.stats) return;
    const int rate = fps > 0 ? fps : 60;
    char text[32];
    snprintf(text, sizeof text, "%d:%02d / %d:%02d", at / rate / 60, at / rate % 60, length / rate / 60,
             length / rate % 60);
    osd.stats->pen_x = (w - osd.stats->text_width(text)) / 2;
    osd.stats->pen_y = y - 20;
    osd.stats->draw_text(text);
}

// While the player studies a moment (paused or slowed), the takeover keys under the mark.
void draw_hint(font& f) {
    if (!video.screen) return;
    const char* hint = "[ or ] takes over the left or right fighter";
    f.pen_x = (video.screen->w - f.text_width(hint)) / 2;
    f.pen_y = REPLAY_MARK_Y + 16;
    f.draw_text(hint);
}

// A few frames more of the scout, between this display frame's keys and its steps.
void scout() {
    match_state& m = current_match;
    if (v.scout_done || v.paused || v.saved.empty()) return;
    match_save(v.here);
    if (!match_restore(v.scouted ? v.scout : v.saved.front().state)) {
        v.scout_done = true;
        return;
    }
    log_mute(true);
    for (int i = 0; i < VIEWER_SCOUT_STEPS && !v.scout_done; i++) {
        if (frame_now() >= replay_length() - 1) v.scout_done = true;
        else if (!step(true) && !(m.end == MATCH_DECIDED && next_round())) v.scout_done = true;
    }
    log_mute(false);
    match_save(v.scout);
    v.scouted = true;
    match_restore(v.here);
}

void draw() {
    match_state& m = current_match;
    video.clear();
    match_draw();
    if (m.res && m.res->osd) {
        char mark[32];
        if (v.paused) snprintf(mark, sizeof mark, "REPLAY  PAUSED");
        else if (v.speed != VIEWER_NORMAL_SPEED) snprintf(mark, sizeof mark, "REPLAY  %s", SPEED_TEXT[v.speed]);
        else snprintf(mark, sizeof mark, "REPLAY");
        replay_draw(*m.res->osd, mark);
        draw_timeline(*m.res->osd);
        if ((v.paused || v.speed < VIEWER_NORMAL_SPEED) && m.mode != MODE_TRAINING && m.res->osd->stats)
            draw_hint(*m.res->osd->stats);
    }
    if (m.res && m.res->pacer) pace_frame(m.res->pacer);
    m.now = clock_ticks();
    video.flip();
}

} // namespace

void replay_viewer_start(int required_wins) {
    v = viewer();
    v.on = true;
    v.required_wins = required_wins;
    v.keys.open(); // one press, one jump or step: a long jump must not read as a held key
    replay_viewer_outside(true);
    match_frame_fn = replay_viewer_frame;
}

void replay_viewer_stop() {
    v = viewer();
    replay_viewer_outside(false);
    match_frame_fn = match_frame;
}

int replay_viewer_at() { return frame_now(); }
int replay_viewer_speed() { return v.speed; }
bool replay_viewer_paused() { return v.paused; }

bool replay_viewer_take_over(int side) {
    if (!v.on || !takeover_start(side)) return false;
    replay_viewer_stop();
    return true;
}

bool replay_viewer_seek(int frame) {
    match_state& m = current_match;
    if (v.saved.empty()) keep_state(); // the match's first frame
    const int last = replay_length() - 1;
    if (frame > last) frame = last;
    if (frame < 1) frame = 1;
    // The latest state saved before the frame: the frame itself is stepped, so it is drawn.
    const saved_state* from = nullptr;
    for (const saved_state& s : v.saved)
        if (s.frame < frame) from = &s;
    if (from && (frame < frame_now() || from->frame > frame_now())) {
        if (!match_restore(from->state)) return false;
    }
    log_mute(true);
    bool going = true;
    while (going && frame_now() < frame) {
        going = step(frame_now() + 1 < frame);
        if (!going && m.end == MATCH_DECIDED && frame_now() < frame) going = next_round();
    }
    log_mute(false);
    // A divergence met on the way is the recording's, and is said as playing would say it.
    if (replay_get_position().diverged) log_out("replay diverged at frame %d\n", frame_now());
    v.quarters = 0;
    return m.end == MATCH_RUNNING || m.end == MATCH_DECIDED;
}

void replay_viewer_frame() {
    match_state& m = current_match;
    if (v.saved.empty()) keep_state(); // the match's first frame
    const bool closed = v.keys.pump() || quit_requested();
    const int length = replay_length();
    const int second = fps > 0 ? fps : 60;
    int steps = 0;
    bool changed = false;
    for (int key = closed ? SDLK_ESCAPE : v.keys.next(); key; key = v.keys.next()) {
        changed = true;
        switch (key) {
        case SDLK_ESCAPE:
            replay_viewer_ended(!closed);
            m.end = MATCH_ABANDONED;
            return;
        case SDLK_SPACE: v.paused = !v.paused; break;
        case SDLK_UP: v.speed = v.speed + 1 < VIEWER_SPEEDS ? v.speed + 1 : v.speed; break;
        case SDLK_DOWN: v.speed = v.speed > 0 ? v.speed - 1 : 0; break;
        case SDLK_LEFT: replay_viewer_seek(frame_now() - 5 * second); break;
        case SDLK_RIGHT: replay_viewer_seek(frame_now() + 5 * second); break;
        case SDLK_HOME: replay_viewer_seek(1); break;
        case SDLK_COMMA:
            if (v.paused) replay_viewer_seek(frame_now() - 1);
            break;
        case SDLK_PERIOD:
            if (v.paused) steps++;
            break;
        case SDLK_LEFTBRACKET:
        case SDLK_RIGHTBRACKET:
            if (replay_viewer_take_over(key == SDLK_RIGHTBRACKET)) return;
            break;
        default:
            if (key >= SDLK_1 && key <= SDLK_9) replay_viewer_seek(length * (key - SDLK_0) / 10);
            break;
        }
        if (m.end != MATCH_RUNNING) return; // a jump that ended the match
    }
    scout();
    if (!v.paused) {
        v.quarters += QUARTERS[v.speed];
        steps = v.quarters / 4;
        v.quarters %= 4;
    }
    // Only the last frame of several is drawn and heard.
    for (int i = 0; i < steps && m.end == MATCH_RUNNING; i++) {
        if (!step(i + 1 < steps)) break;
        if (i + 1 == steps && video.audio_ok) match_play_sounds();
    }
    // Where the viewer's keys left the playback, for whoever reads the log.
    if (changed)
        log_out("Replay at frame %d, %s%s\n", frame_now(), SPEED_TEXT[v.speed], v.paused ? ", paused" : "");
    draw();
}
