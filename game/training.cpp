#include "training.h"

#include <cstdio>
#include <cstring>

#include "foundation/config_file.h"
#include "foundation/log.h"
#include "foundation/settings.h"
#include "hard_ai.h"
#include "input/control_mgr.h"
#include "input/key_source.h"
#include "fighter_table.h"
#include "world/level.h"
#include "world/mon_mgr.h"

training_session training;

// Path modes the dummy is given: the first key set (recording), the computer, nothing.
enum { PATH_KEYS = 3, PATH_COMPUTER = 6, PATH_STILL = 7 };
enum { CMD_NONE = -1, CMD_BLOCK = 6 };

static const char* const behaviour_names[DUMMY_BEHAVIOURS] = {"stand", "crouch", "jump", "block",
                                                              "computer"};

const char* dummy_behaviour_name(int b) {
    return b >= 0 && b < DUMMY_BEHAVIOURS ? behaviour_names[b] : "";
}

static combatant* fighter(int i) {
    return i < Combatant_Manager.count() ? Combatant_Manager.Objects[(size_t)i] : nullptr;
}

// "game/fighter/tamsin/tamsin_rush.ini" -> "tamsin_rush".
static void base_name(const char* path, char* out, size_t size) {
    const char* slash = strrchr(path, '/');
    const char* from = slash ? slash + 1 : path;
    snprintf(out, size, "%s", from);
    char* dot = strrchr(out, '.');
    if (dot) *dot = 0;
}

static void read_move_names(int side, const char* file) {
    config_file c;
    if (!file || !c.load(file)) return;
    for (int m = 0; m < TRAINING_MOVE_NAMES; m++) {
        char key[16];
        snprintf(key, sizeof key, "move%d", m);
        if (c.has(key)) base_name(c.get_string(key), training.move_names[side][m], sizeof training.move_names[side][m]);
    }
}

// A's combos again, each stage taken by name from the player's controls.
static void bind_left_combos() {
    combatant* left = fighter(0);
    training_session& t = training;
    t.left_stages = Control_Manager.build_stage_list(0);
    if (!left || !left->combos || !left->controls) return;
    const control_stage_list& own = *left->controls;
    for (const combo& c : *left->combos) {
        combo copy;
        copy.move = c.move;
        for (const control_stage* st : c.stages)
            for (int e = 0; e < own.count(); e++)
                if (own.at(e).object == st) {
                    if (control_stage* mine = t.left_stages.find(own.at(e).name)) copy.stages.push_back(mine);
                    break;
                }
        t.left_combos.push_back(copy);
    }
    t.left_keys.import_combos(&t.left_combos);
}

static combatant* dummy() { return fighter(1 - training.player); }

void training_set_up(const char* file_a, const char* file_b, int player) {
    training = training_session();
    training.player = player ? 1 : 0;
    training.record_limit = TRAINING_RECORD_SECONDS * (fps > 0 ? fps : 60);
    training.recording.reserve((size_t)training.record_limit);
    for (int c = 0; c < CONTROL_COUNT && c < 10; c++)
        training.player_keys[c] = Control_Manager.key_for(0, control_names[c]);
    read_move_names(0, file_a);
    read_move_names(1, file_b);
    bind_left_combos();
    for (int i = 0; i < 2; i++) {
        combatant* f = fighter(i);
        if (!f) continue;
        training.hp_before[i] = f->hp;
        training.hits_before[i] = f->hits_taken;
        if (f->path) f->path->mode[0] = i == training.player ? PATH_KEYS : PATH_STILL;
    }
    log_out("Training: dummy [%s]\n", behaviour_names[training.behaviour]);
}

// ---------------------------------------------------------------------------------------
// Function keys

static bool scripted() { return training.script_at < (int)training.script.size(); }

static void set_dummy_path() {
    combatant* d = dummy();
    if (!d || !d->path) return;
    training_session& t = training;
    int mode = PATH_STILL;
    if (t.recorder == RECORDER_RECORDING) mode = PATH_KEYS;
    else if (t.recorder == RECORDER_OFF && !scripted() && t.behaviour == DUMMY_COMPUTER) mode = PATH_COMPUTER;
    d->path->mode[0] = mode;
}

// One function key's press; true for F5, which the match answers.
static bool function_key(int n) {
    training_session& t = training;
    switch (n) {
    case 0: t.help = !t.help; break;
    case 1:
        t.behaviour = (t.behaviour + 1) % DUMMY_BEHAVIOURS;
        log_out("Training: dummy [%s]\n", behaviour_names[t.behaviour]);
        break;
    case 2:
        if (t.recorder == RECORDER_RECORDING) {
            t.recorder = RECORDER_OFF;
            log_out("Training: recorded [%d] frames\n", (int)t.recording.size());
        } else {
            t.recording.clear();
            t.recorder = RECORDER_RECORDING;
            log_out("Training: recording\n");
        }
        break;
    case 3:
        if (t.recorder == RECORDER_PLAYING) {
            t.recorder = RECORDER_OFF;
            log_out("Training: playback stopped\n");
        } else if (!t.recording.empty()) {
            t.recorder = RECORDER_PLAYING;
            t.play_at = 0;
            log_out("Training: playing [%d] frames\n", (int)t.recording.size());
        }
        break;
    case 4:
        if (t.taken) {
            t.back = true;
            return false;
        }
        log_out("Training: positions reset\n");
        return true;
    default: t.overlays = !t.overlays; break;
    }
    return false;
}

bool training_keys() {
    bool reset = false;
    training.back = false;
    int n = 0;
    const Uint8* keys = key_source_state(&n);
    for (int k = 0; k < 6; k++) {
        int code = SDLK_F1 + k;
        uint8_t down = keys && code < n && keys[code] ? 1 : 0;
        if (down && !training.fkeys[k] && function_key(k)) reset = true;
        training.fkeys[k] = down;
    }
    set_dummy_path();
    return reset;
}

// ---------------------------------------------------------------------------------------
// The fighters' decisions

// The pressing stages of the fighter's combo with that result (releases not counted).
static int combo_stages(const combatant* o, int result) {
    if (!o->combos) return 1;
    for (const combo& c : *o->combos) {
        if (c.move != result) continue;
        int presses = 0;
        for (const control_stage* st : c.stages)
            if (st && !st->presses.empty() && st->presses[0] && st->presses[0]->state == KEY_PRESSED) presses++;
        return presses;
    }
    return 1;
}

// Speeds are kept in half units: the key sets and the joystick give 0, 0.5, 1 or 1.5.
static int8_t speed_code(double v) { return (int8_t)(v * 2); }

static void mark_special(int side, int result, int stages) {
    training.inputs[side].mark_special(result, stages);
    log_out("Training: %s special [%s]\n", side == training.player ? "player" : "dummy",
            training_special_name(side, result));
}

// on_keys: the combo player 1's keys made for this fighter.
static void player_control(combatant* o, int on_keys, int& command, int& combo_move) {
    training_session& t = training;
    int n = 0;
    const Uint8* keys = key_source_state(&n);
    t.inputs[t.player].feed(controls_from_keys(keys, n, t.player_keys));
    if (t.recorder == RECORDER_RECORDING) {
        // The player's keys drive the dummy; the player's own fighter stands still.
        o->vx = o->vy = 0;
        command = CMD_NONE;
        combo_move = -1;
        return;
    }
    combo_move = on_keys;
    if (combo_move >= 0) mark_special(t.player, combo_move, combo_stages(o, combo_move));
}

static void behave(combatant* o, const combatant* opp, int& command) {
    switch (training.behaviour) {
    case DUMMY_CROUCH: o->vx = 0, o->vy = 1, command = CMD_NONE; break;
    case DUMMY_JUMP: o->vx = 0, o->vy = -1, command = CMD_NONE; break;
    case DUMMY_BLOCK:
        // Guard held still at the height each attack needs; a guard in the air holds anyway.
        o->vx = 0;
        o->vy = guard_low(opp) ? 1 : 0;
        command = CMD_BLOCK;
        break;
    default: o->vx = o->vy = 0, command = CMD_NONE; break;
    }
}

// One frame of a recorded decision: speeds and command when the fighter thinks, its combo.
static void play_frame(combatant* o, const dummy_frame& f, bool thinks, int& command, int& combo_move) {
    if (thinks) {
        o->vx = f.vx / 2.0;
        o->vy = f.vy / 2.0;
        command = f.command;
    }
    combo_move = f.combo;
}

static void dummy_control(combatant* o, int side, const combatant* opp, bool thinks, int on_keys, int& command,
                          int& combo_move) {
    training_session& t = training;
    if (t.recorder == RECORDER_RECORDING) {
        dummy_frame f;
        if (thinks) {
            f.vx = speed_code(o->vx);
            f.vy = speed_code(o->vy);
            f.command = (int8_t)command;
        }
        f.combo = (int8_t)on_keys;
        combo_move = on_keys;
        t.recording.push_back(f);
        if ((int)t.recording.size() >= t.record_limit) {
            t.recorder = RECORDER_OFF;
            log_out("Training: recorded [%d] frames\n", (int)t.recording.size());
        }
    } else if (t.recorder == RECORDER_PLAYING && !t.recording.empty()) {
        play_frame(o, t.recording[(size_t)t.play_at], thinks, command, combo_move);
        t.play_at = (t.play_at + 1) % (int)t.recording.size();
    } else if (scripted()) {
        play_frame(o, t.script[(size_t)t.script_at++], thinks, command, combo_move);
        if (!scripted()) log_out("Training: the dummy's recorded match has ended\n");
    } else if (t.behaviour != DUMMY_COMPUTER) {
        combo_move = -1;
        if (thinks) behave(o, opp, command);
    }
    t.inputs[side].feed(controls_from_decision(o->vx, o->vy, command));
    if (combo_move >= 0) mark_special(side, combo_move, combo_stages(o, combo_move));
}

void training_control(combatant* o, int i, const combatant* opp, bool thinks, int& command, int& combo_move) {
    if (!o || i < 0 || i > 1) return;
    training_session& t = training;
    // A's combos on player 1's keys, followed always; B's own are on them already.
    int on_keys = combo_move;
    if (i == 0) {
        t.left_keys.mirrored = o->facing;
        t.left_keys.update();
        on_keys = t.left_keys.check_combos();
    }
    if (i == t.player) player_control(o, on_keys, command, combo_move);
    else dummy_control(o, i, opp, thinks, on_keys, command, combo_move);
}

// ---------------------------------------------------------------------------------------
// Strings, advantage, refills

bool picture_box(const combatant* o, screen_box& b) {
    pixel_box p;
    if (!o || !o->hit_box(p)) return false;
    b.x1 = p.x1;
    b.y1 = p.y1;
    b.x2 = p.x2;
    b.y2 = p.y2;
    return true;
}

static void note_overlap() {
    screen_box a, b;
    if (!picture_box(fighter(0), a) || !picture_box(fighter(1), b)) return;
    screen_box o;
    o.x1 = a.x1 > b.x1 ? a.x1 : b.x1;
    o.x2 = a.x2 < b.x2 ? a.x2 : b.x2;
    o.y1 = a.y1 > b.y1 ? a.y1 : b.y1;
    o.y2 = a.y2 < b.y2 ? a.y2 : b.y2;
    if (o.x1 > o.x2 || o.y1 > o.y2) return;
    training.overlap = o;
    training.overlap_frames = HIT_OVERLAY_FRAMES;
}

static void refill(combatant* f, int attacker) {
    f->hp = f->max_hp;
    training.string_open[attacker] = false;
}

void training_rules(int frame, const int block_frame[2]) {
    training_session& t = training;
    for (int v = 0; v < 2; v++) {
        combatant* f = fighter(v);
        if (!f) continue;
        const int s = 1 - v; // the attacker's side
        const int hits = (uint8_t)(f->hits_taken - t.hits_before[v]);
        const int damage = t.hp_before[v] - f->hp;
        if (hits > 0 || damage > 0) {
            t.last_hit_frame[v] = frame;
            if (!t.string_open[s]) {
                t.string_open[s] = true;
                t.string_hits[s] = t.string_damage[s] = 0;
            }
            t.string_hits[s] += hits;
            t.string_damage[s] += damage > 0 ? damage : 0;
            if (t.string_hits[s] > t.best_hits[s]) t.best_hits[s] = t.string_hits[s];
            if (t.string_damage[s] > t.best_damage[s]) t.best_damage[s] = t.string_damage[s];
        }
        if (hits > 0) note_overlap();
        if (hits > 0 || block_frame[v] == frame) t.advantage.contact(s);
        // A knock-out refills at once, any other loss a second after the string's last hit.
        if (!f->alive()) refill(f, s);
        else if (f->hp < f->max_hp && t.last_hit_frame[v] >= 0 && frame - t.last_hit_frame[v] >= fps)
            refill(f, s);
        t.hp_before[v] = f->hp;
        t.hits_before[v] = f->hits_taken;
    }
}

void training_after_steps(int frame) {
    combatant* const both[2] = {fighter(0), fighter(1)};
    if (both[0] && both[1]) training.advantage.step(both, frame);
    if (training.overlap_frames > 0) training.overlap_frames--;
}

const char* training_special_name(int side, int combo_result) {
    // Combo results and the moves they play: 2 the backflip, 3 and 5 the rush, 4 the dash.
    int move = combo_result == 2 ? 12 : combo_result == 3 || combo_result == 5 ? 15 : combo_result == 4 ? 18 : -1;
    if (combo_result == 1) return "high jump";
    if (move < 0 || side < 0 || side > 1 || !training.move_names[side][move][0]) return "special";
    return training.move_names[side][move];
}
