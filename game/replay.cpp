#include "replay.h"
#include "game_options.h"

#include <SDL.h>
#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>

#include "foundation/clock.h"
#include "foundation/log.h"
#include "foundation/safe_file.h"
#include "foundation/settings.h"
#include "foundation/video_mgr.h"
#include "input/control_mgr.h"
#include "input/direct_controls.h"
#include "input/key_source.h"
#include "images/font.h"
#include "fighter_table.h"
#include "osd.h"
#include "stage_choice.h"
#include "world/mon_mgr.h"

static const char* const REPLAY_FOLDER = "game/replays";

// ---------------------------------------------------------------------------------------
// The session

namespace {

enum { SESSION_NONE = 0, SESSION_RECORD = 1, SESSION_PLAY = 2, SESSION_RERECORD = 3 };

struct session {
    int kind = SESSION_NONE;
    int armed = SESSION_NONE;  // what the next replay_begin starts
    std::string file;          // playback: the file; re-record: where it goes back
    replay_record rec;         // recording made, or recording played
    replay_record played;      // re-record: the recording whose inputs are played
    int frame = 0, clock_back = 0;
    size_t next_input = 0, next_check = 0;
    Uint8 keys[REPLAY_KEYS] = {};
    key_override input;
    uint64_t rng = 0;
    clock_fn old_clock = nullptr;
    random_fn old_random = nullptr;
    // Playback controls
    int paused = 0, fast = 0;
    Uint8 held[3] = {0, 0, 0}; // Space, Right, F at the last look
    int diverged = 0, viewer_ended = 0;
    int escaped = 0; // the viewer ended playback with Escape
    // Fast playback's speed: frames shown since the real time `since`, and the last measure.
    uint32_t since = 0;
    int shown = 0;
    double speed = 0;
};

session s;
const Uint8* fed = nullptr;   // the caller's key table while recording, or null
uint32_t next_seed = 0;

const uint32_t CLOCK_BASE = 1000; // a time of 0 means "none" to the key history

uint32_t frame_clock() {
    int rate = fps > 0 ? fps : 60;
    return CLOCK_BASE + (uint32_t)((uint64_t)(s.frame - s.clock_back) * 1000u / (uint64_t)rate);
}

// The match's generator: a 64-bit linear congruential step, top 31 bits out.
int match_random() {
    s.rng = s.rng * 6364136223846793005ULL + 1442695040888963407ULL;
    return (int)(s.rng >> 33);
}

int move_playing(const combatant* o) {
    if (stack_empty(o->stack)) return -1;
    for (size_t m = 0; m < o->moves.size(); m++) {
        const anim_group* g = o->moves[m];
        if (g && !g->entries.empty() && (*o->stack)[0]->def == g->entries[0].def.get()) return (int)m;
    }
    return -1;
}

replay_check check_now() {
    replay_check c;
    c.frame = s.frame;
    for (int i = 0; i < 2; i++) {
        combatant* o = i < Combatant_Manager.count() ? Combatant_Manager.Objects[(size_t)i] : nullptr;
        c.f[i] = o ? replay_fighter_state{o->x, o->y, o->hp, o->action, move_playing(o)}
                   : replay_fighter_state{0, 0, 0, 0, -1};
    }
    return c;
}

void describe(const char* who, const replay_check& c) {
    log_out("  %s: A x=%d y=%d life=%d action=%d move=%d, B x=%d y=%d life=%d action=%d move=%d\n",
            who, c.f[0].x, c.f[0].y, c.f[0].life, c.f[0].action, c.f[0].move, c.f[1].x, c.f[1].y,
            c.f[1].life, c.f[1].action, c.f[1].move);
}

bool same(const replay_check& a, const replay_check& b) {
    for (int i = 0; i < 2; i++) {
        const replay_fighter_state &x = a.f[i], &y = b.f[i];
        if (x.x != y.x || x.y != y.y || x.life != y.life || x.action != y.action || x.move != y.move)
            return false;
    }
    return true;
}

void diverge_at(int frame) {
    if (s.diverged) return;
    s.diverged = 1;
    log_out("replay diverged at frame %d\n", frame);
}

void record_changes(const Uint8* live, int n) {
    for (int code = 0; code < REPLAY_KEYS; code++) {
        Uint8 v = code < n && live && live[code] ? 1 : 0;
        if (v == s.keys[code]) continue;
        s.keys[code] = v;
        s.rec.inputs.push_back(replay_input{s.frame, code, v});
    }
    SDL_Joystick* stick = video.joysticks[0];
    if (!s.input.joystick || !stick) return;
    for (int b = 0; b < 4; b++) {
        int v = SDL_JoystickGetButton(stick, b) ? 1 : 0;
        if (v == s.input.buttons[b]) continue;
        s.input.buttons[b] = v;
        s.rec.inputs.push_back(replay_input{s.frame, REPLAY_BUTTON0 + b, v});
    }
    for (int a = 0; a < 2; a++) {
        int v = SDL_JoystickGetAxis(stick, a);
        // Only the speed an axis gives matters to the rules.
        if (axis_speed(v) == axis_speed(s.input.axes[a])) continue;
        s.input.axes[a] = v;
        s.rec.inputs.push_back(replay_input{s.frame, REPLAY_AXIS0 + a, v});
    }
}

void apply_recorded(const replay_record& r) {
    while (s.next_input < r.inputs.size() && r.inputs[s.next_input].frame <= s.frame) {
        const replay_input& in = r.inputs[s.next_input++];
        if (in.frame < s.frame) continue;
        if (in.code >= REPLAY_AXIS0) s.input.axes[in.code - REPLAY_AXIS0] = in.value;
        else if (in.code >= REPLAY_BUTTON0) s.input.buttons[in.code - REPLAY_BUTTON0] = in.value;
        else s.keys[in.code] = (Uint8)in.value;
    }
}

// A key's press since the last look.
bool pressed(const Uint8* live, int n, int code, int slot) {
    int now = code < n && live[code] ? 1 : 0;
    bool edge = now && !s.held[slot];
    s.held[slot] = (Uint8)now;
    return edge;
}

// The viewer's keys: Space pauses, Right steps while paused, F fast, Escape ends. False
// when the viewer ended playback. The frame that pauses still plays, so that it is shown
// with PAUSED; from the next one on the loop waits here.
bool viewer_outside = false; // a viewer of its own reads the keys (replay_viewer_outside)

bool viewer_controls() {
    for (;;) {
        SDL_Event e;
        while (SDL_PollEvent(&e))
            if (e.type == SDL_QUIT) return false;
        int n = 0;
        const Uint8* live = SDL_GetKeyState(&n);
        // Escape held ends playback, as it ends any match.
        if (SDLK_ESCAPE < n && live[SDLK_ESCAPE]) {
            s.escaped = 1;
            return false;
        }
        const int was_paused = s.paused;
        if (pressed(live, n, SDLK_SPACE, 0)) s.paused = !s.paused;
        if (pressed(live, n, SDLK_f, 2)) s.fast = !s.fast;
        bool step = pressed(live, n, SDLK_RIGHT, 1);
        if (!s.paused || step || !was_paused) return true;
        SDL_Delay(10);
    }
}

bool exists(const char* path) {
    struct stat st;
    return stat(path, &st) == 0;
}

std::string new_file_name() {
    time_t now = time(nullptr);
    struct tm tm_now;
    localtime_r(&now, &tm_now);
    char stamp[32];
    strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", &tm_now);
    for (int n = 0;; n++) {
        char name[96];
        snprintf(name, sizeof name, "%s/replay-%s-%02d.ini", REPLAY_FOLDER, stamp, n);
        if (!exists(name) || n >= 99) return name;
    }
}

} // namespace

// Removes the oldest recordings beyond the newest REPLAY_KEEP (names sort by time).
static void prune_folder() {
    DIR* d = opendir(REPLAY_FOLDER);
    if (!d) return;
    std::vector<std::string> names;
    while (struct dirent* e = readdir(d)) {
        size_t n = strlen(e->d_name);
        if (n > 11 && strncmp(e->d_name, "replay-", 7) == 0 && strcmp(e->d_name + n - 4, ".ini") == 0)
            names.push_back(e->d_name);
    }
    closedir(d);
    std::sort(names.begin(), names.end());
    for (size_t i = 0; i + REPLAY_KEEP < names.size(); i++) {
        std::string path = std::string(REPLAY_FOLDER) + "/" + names[i];
        if (remove(path.c_str()) != 0) log_err("Could not remove the old replay %s\n", path.c_str());
    }
}

// Writes the recording whole; a failure is reported and the game goes on.
static void save_recording(const std::string& path, const replay_record& r) {
    std::string text = replay_format(r);
    if (write_file_atomic(path.c_str(), text.data(), text.size()))
        log_out("Replay saved as %s\n", path.c_str());
    else
        log_err("Could not save the replay %s: %s\n", path.c_str(), strerror(errno));
}

game_options replay_options(const replay_record& r) {
    game_options o = game_opts;
    o.difficulty = r.difficulty, o.life_style = r.life_style, o.round_mode = r.round_mode;
    o.roster = r.roster, o.stage = r.stage_option;
    o.round_time = r.round_time;
    o.rounds = r.required_wins;
    return o;
}

void replay_begin(int mode, int pick_a, int pick_b, int required_wins) {
    int kind = s.armed ? s.armed : SESSION_RECORD;
    s.armed = SESSION_NONE;
    s.kind = kind;
    s.frame = s.clock_back = 0;
    s.next_input = s.next_check = 0;
    memset(s.keys, 0, sizeof s.keys);
    s.input = key_override();
    s.input.keys = s.keys;
    s.input.numkeys = REPLAY_KEYS;
    s.diverged = s.viewer_ended = s.escaped = 0;
    s.paused = 0;
    s.since = SDL_GetTicks(), s.shown = 0, s.speed = 0;
    memset(s.held, 0, sizeof s.held);
    // Keys already down when playback starts are not presses.
    if (kind == SESSION_PLAY) {
        int n = 0;
        const Uint8* live = SDL_GetKeyState(&n);
        for (int k = 0; k < 3; k++) {
            const int codes[3] = {SDLK_SPACE, SDLK_RIGHT, SDLK_f};
            s.held[k] = (Uint8)(codes[k] < n && live[codes[k]]);
        }
    }

    // A recording is played back (and re-recorded) on its own stage.
    if (kind != SESSION_RECORD)
        if (const char* st = known_stage((kind == SESSION_PLAY ? s.rec : s.played).stage.c_str()))
            match_stage_file = st;
    if (kind == SESSION_RECORD || kind == SESSION_RERECORD) {
        replay_record r;
        if (kind == SESSION_RERECORD) {
            r.seed = s.played.seed, r.note = s.played.note;
            r.takeover = s.played.takeover, r.taken = s.played.taken, r.script = s.played.script;
        }
        else if (next_seed) r.seed = next_seed;
        else r.seed = (uint32_t)rand() ^ ((uint32_t)rand() << 16) ^ SDL_GetTicks();
        next_seed = 0;
        r.mode = mode;
        r.required_wins = required_wins;
        // The options the match plays with (the demo always plays the defaults).
        const game_options o = kind == SESSION_RERECORD ? replay_options(s.played)
                               : mode == MODE_DEMO    ? demo_options()
                                                      : game_opts;
        r.difficulty = o.difficulty, r.life_style = o.life_style, r.round_mode = o.round_mode;
        r.roster = o.roster, r.stage_option = o.stage;
        r.round_time = o.round_time;
        r.fps = fps;
        r.width = video.screen ? video.screen->w : video.width;
        r.height = video.screen ? video.screen->h : video.height;
        int picks[2] = {pick_a, pick_b};
        for (int i = 0; i < 2; i++) {
            int p = picks[i] < 0 || picks[i] >= fighter_count ? 0 : picks[i];
            r.fighter[i] = fighter_table[p].file;
        }
        r.recolour[1] = r.fighter[0] == r.fighter[1];
        r.stage = match_stage_file;
        r.players = (int)Control_Manager.lists.size();
        for (int p = 0; p < r.players; p++)
            for (int c = 0; c < CONTROL_COUNT; c++)
                if (const control_binding* b = Control_Manager.lists[(size_t)p].find(control_names[c]))
                    r.bindings.push_back(replay_binding{p, c, b->pressed.key});
        // A fed key table holds everything the controls read: no joystick besides it.
        r.joystick = kind == SESSION_RERECORD ? s.played.joystick
                                               : !fed && video.joystick_ok == 1 && video.joysticks[0];
        s.rec = r;
    }
    s.input.joystick = s.rec.joystick;
    s.rng = s.rec.seed;
    s.old_clock = clock_source();
    s.old_random = random_source();
    clock_set_source(frame_clock);
    random_set_source(match_random);
    key_source_set(&s.input);
}

bool replay_frame_begin() {
    if (s.kind == SESSION_NONE) return false;
    s.frame++;
    if (s.kind == SESSION_RECORD) {
        int n = REPLAY_KEYS;
        const Uint8* live = fed ? fed : SDL_GetKeyState(&n);
        record_changes(live, n);
        return false;
    }
    const replay_record& r = s.kind == SESSION_PLAY ? s.rec : s.played;
    if (s.kind == SESSION_PLAY && !viewer_outside && !viewer_controls()) {
        s.viewer_ended = 1;
        return true;
    }
    if (s.kind == SESSION_PLAY && s.frame > r.frames) {
        diverge_at(s.frame);
        log_out("  recorded: the match ended at frame %d\n  played: it goes on\n", r.frames);
        return true;
    }
    apply_recorded(r);
    return r.abandoned && s.frame >= r.frames;
}

bool replay_playing() { return s.kind == SESSION_PLAY || s.kind == SESSION_RERECORD; }

bool replay_fast() { return s.kind == SESSION_RERECORD || (s.kind == SESSION_PLAY && s.fast); }
bool replay_paused() { return s.kind == SESSION_PLAY && s.paused; }

void replay_viewer_outside(bool outside) { viewer_outside = outside; }

void replay_viewer_ended(bool escaped) {
    s.viewer_ended = 1;
    if (escaped) s.escaped = 1;
}

int replay_length() { return s.kind == SESSION_PLAY ? s.rec.frames : 0; }

void replay_draw(osd_resources& r, const char* mark) {
    if (s.kind != SESSION_PLAY || !r.stats || !video.screen) return;
    if (mark) {
        r.stats->pen_x = (video.screen->w - r.stats->text_width(mark)) / 2;
        r.stats->pen_y = REPLAY_MARK_Y;
        r.stats->draw_text(mark);
        return;
    }
    // The speed over the last half second of real time, frames shown against fps.
    const uint32_t now = SDL_GetTicks();
    s.shown++;
    if (now - s.since >= 500) {
        s.speed = (double)s.shown * 1000.0 / ((double)(now - s.since) * (fps > 0 ? fps : 60));
        s.since = now, s.shown = 0;
    }
    char text[32];
    if (s.paused) snprintf(text, sizeof text, "REPLAY  PAUSED");
    else if (s.fast && s.speed > 0) snprintf(text, sizeof text, "REPLAY  x%.1f", s.speed);
    else snprintf(text, sizeof text, "REPLAY");
    r.stats->pen_x = (video.screen->w - r.stats->text_width(text)) / 2;
    r.stats->pen_y = REPLAY_MARK_Y;
    r.stats->draw_text(text);
}

bool replay_frame_end() {
    if (s.kind == SESSION_NONE) return false;
    if (s.kind == SESSION_RECORD || s.kind == SESSION_RERECORD) {
        if (s.frame % REPLAY_CHECK_EVERY == 0) s.rec.checks.push_back(check_now());
        // A re-recorded match ends where its recording did, at the latest.
        if (s.kind == SESSION_RERECORD && s.frame >= s.played.frames) return true;
        return false;
    }
    const std::vector<replay_check>& checks = s.rec.checks;
    while (s.next_check < checks.size() && checks[s.next_check].frame < s.frame) s.next_check++;
    for (; s.next_check < checks.size() && checks[s.next_check].frame == s.frame; s.next_check++) {
        replay_check now = check_now();
        if (same(now, checks[s.next_check])) continue;
        diverge_at(s.frame);
        describe("recorded", checks[s.next_check]);
        describe("played", now);
        return true;
    }
    return false;
}

void replay_end(int end) {
    if (s.kind == SESSION_NONE) return;
    clock_set_source(s.old_clock);
    random_set_source(s.old_random);
    key_source_set(nullptr);
    int kind = s.kind;
    s.kind = SESSION_NONE;
    if (kind == SESSION_PLAY) {
        bool abandoned = end == MATCH_ABANDONED;
        // Only the viewer abandons a match played back (Escape, a closed window) anywhere
        // but at the recorded end.
        if (abandoned && !(s.rec.abandoned && s.frame == s.rec.frames)) s.viewer_ended = 1;
        if (s.diverged || s.viewer_ended) return;
        if (s.frame != s.rec.frames || abandoned != (s.rec.abandoned != 0)) {
            diverge_at(s.frame);
            log_out("  recorded: the match %s at frame %d\n  played: the match %s at frame %d\n",
                    s.rec.abandoned ? "was abandoned" : "was decided", s.rec.frames,
                    abandoned ? "was abandoned" : "was decided", s.frame);
        }
        return;
    }
    s.rec.frames = s.frame;
    s.rec.abandoned = end == MATCH_ABANDONED;
    if (s.rec.checks.empty() || s.rec.checks.back().frame != s.frame) s.rec.checks.push_back(check_now());
    if (kind == SESSION_RERECORD) {
        for (const replay_input& in : s.played.inputs)
            if (in.frame <= s.frame) s.rec.inputs.push_back(in);
        save_recording(s.file, s.rec);
        return;
    }
    mkdir(REPLAY_FOLDER, 0755);
    save_recording(new_file_name(), s.rec);
    prune_folder();
}

// ---------------------------------------------------------------------------------------
// Arming a playback

void replay_arm(const std::string& file, const replay_record& r, bool rerecord, bool fast) {
    s.file = file;
    s.fast = fast ? 1 : 0;
    if (rerecord) {
        s.played = r;
        s.rec = replay_record();
        s.armed = SESSION_RERECORD;
    } else {
        s.rec = r;
        s.armed = SESSION_PLAY;
    }
}

bool replay_diverged() { return s.diverged != 0; }
bool replay_escaped() { return s.escaped != 0; }

replay_position replay_get_position() {
    replay_position p;
    p.frame = s.frame;
    p.clock_back = s.clock_back;
    p.rng = s.rng;
    p.next_input = s.next_input;
    p.next_check = s.next_check;
    p.inputs = s.rec.inputs.size();
    p.checks = s.rec.checks.size();
    p.diverged = s.diverged;
    memcpy(p.keys, s.keys, sizeof p.keys);
    p.joystick = s.input.joystick;
    memcpy(p.buttons, s.input.buttons, sizeof p.buttons);
    memcpy(p.axes, s.input.axes, sizeof p.axes);
    return p;
}

void replay_set_position(const replay_position& p) {
    s.frame = p.frame;
    s.clock_back = p.clock_back;
    s.rng = p.rng;
    s.next_input = (size_t)p.next_input;
    s.next_check = (size_t)p.next_check;
    if (s.kind == SESSION_RECORD || s.kind == SESSION_RERECORD) {
        if (p.inputs < s.rec.inputs.size()) s.rec.inputs.resize((size_t)p.inputs);
        if (p.checks < s.rec.checks.size()) s.rec.checks.resize((size_t)p.checks);
    }
    s.diverged = p.diverged;
    memcpy(s.keys, p.keys, sizeof s.keys);
    s.input.joystick = p.joystick;
    memcpy(s.input.buttons, p.buttons, sizeof s.input.buttons);
    memcpy(s.input.axes, p.axes, sizeof s.input.axes);
}

const replay_record* replay_recording() {
    if (s.kind == SESSION_NONE) return nullptr;
    return s.kind == SESSION_RERECORD ? &s.played : &s.rec;
}

void replay_take_over(int taken, const std::vector<replay_decision>& script) {
    if (s.kind != SESSION_PLAY) return;
    replay_record& r = s.rec;
    auto after = [](const auto& x) { return x.frame > s.frame; };
    r.inputs.erase(std::find_if(r.inputs.begin(), r.inputs.end(), after), r.inputs.end());
    r.checks.erase(std::find_if(r.checks.begin(), r.checks.end(), after), r.checks.end());
    r.takeover = s.frame, r.taken = taken, r.script = script;
    r.frames = r.abandoned = 0;
    s.kind = SESSION_RECORD;
    s.paused = s.fast = 0;
    log_out("Takeover: the %s fighter at frame %d\n", taken ? "right" : "left", s.frame);
}

void replay_feed(const Uint8* keys) { fed = keys; }
void replay_next_seed(uint32_t seed) { next_seed = seed; }
uint32_t replay_seed() { return s.rec.seed; }
