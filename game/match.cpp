#include "match.h"
#include "colour_swaps.h"
#include "replay.h"
#include "hard_ai.h"
#include "pause_menu.h"
#include "preload.h"
#include "stage_choice.h"
#include "training.h"
#include "training_osd.h"

#include <malloc.h>
#include <SDL.h>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "animation/anim_group.h"
#include "foundation/clock.h"
#include "foundation/config_file.h"
#include "foundation/log.h"
#include "foundation/pacing.h"
#include "foundation/primitives.h"
#include "foundation/settings.h"
#include "foundation/video_mgr.h"
#include "images/font.h"
#include "music.h"
#include "input/control_mgr.h"
#include "input/path.h"
#include "world/level.h"
#include "world/mon_mgr.h"
#include "world/projectile.h"


std::vector<anim_group*> match_effects;

static const char* const BIG_FONT_FILE = "rsrc/oldengl.ttf";
// Staged rounds: the announcement's size, how long it lasts (frames at 60 fps: "Round N"
// until INTRO_FIGHT frames are left, then "Fight") and the result screen's seconds.
enum { BIG_FONT_SIZE = 72, INTRO_FRAMES = 150, INTRO_FIGHT = 50 };
// The knock-out line: its font and size, white over a dark shadow so it reads on any stage.
static const char* const LINE_FONT_FILE = "rsrc/Veranda.ttf";
enum { LINE_FONT_SIZE = 24, LINE_SHADOW = 2, LINE_STEP = 32 };
// The winner's victory picture (still image 5) and how long it is held, in frames at 60 fps.
enum { IMAGE_VICTORY = 5, VICTORY_FRAMES = 90, FAST_SHOWN_EVERY = 4 };

// The marks of a step's draw list: what match_draw draws at that place besides pictures.
enum {
    MARK_STAGE = 1, MARK_DISPLAY, MARK_COMBO, MARK_KNOCK_OUT, MARK_CLOCK, MARK_TRAINING, MARK_INTRO
};

// Move numbers the rules start.
enum {
    MOVE_CROUCH_PUNCH = 8, MOVE_CROUCH_KICK = 9, MOVE_JUMP_PUNCH = 10, MOVE_JUMP_KICK = 11,
    MOVE_BACKFLIP = 12, MOVE_RUSH = 15, MOVE_WALK_FORWARD = 16, MOVE_WALK_BACKWARD = 17,
    MOVE_DASH = 18
};
// Actions of the match.
enum {
    ACT_IDLE = 0, ACT_BLOCK = 1, ACT_HIT = 2, ACT_KO = 3, ACT_COMBO2 = 8, ACT_TRAVEL = 9,
    ACT_DIZZY = 12, ACT_BLOCK_DASH = 13, ACT_THROW = 14, ACT_THROWN = 15
};
enum { POSTURE_CROUCH = 0, POSTURE_STAND = 1, POSTURE_JUMP = 2 };
enum { MOVE_DASHING = 2, MOVE_TRAVEL_RIGHT = 3, MOVE_TRAVEL_LEFT = 4 };
enum { CMD_BLOCK = 6, CMD_THROW = 7, IMAGE_IN_MOVE = 4, IMAGE_KO = 9 };
enum { THROW_RANGE = 200, PATH_COMPUTER = 6 };
// A throw costs the victim 15 (an ordinary hit 10), lifts it like a jump and tosses it.
enum { HIT_DAMAGE = 10, THROW_DAMAGE = 15, MOVE_THROW = 14, MOVE_KNOCKDOWN = 7 };
static const double THROW_LIFT = 12, THROW_TOSS = 5;
// The throw's beats in ticks at 60 fps (the grab, then the lift, which raises the victim by
// THROW_RAISE pixels): about half a second from the press to the victim on the floor.
enum { THROW_GRAB_TICKS = 10, THROW_LIFT_TICKS = 8, THROW_RAISE = 40, IMAGE_REEL = 3 };

// ---------------------------------------------------------------------------------------
// State of the running match

match_state current_match;
static match_state& ms = current_match;
match_summary last_match;


static combatant* object(int i) {
    if (i < 0 || i >= Combatant_Manager.count()) return nullptr;
    return Combatant_Manager.Objects[(size_t)i];
}
static combatant* fighter(int i) { return object(i); }

static int area_w() { return video.screen ? video.screen->w : 640; }
static int area_h() { return video.screen ? video.screen->h : 480; }

static bool has_move(const combatant* o, int m) {
    return m >= 0 && (size_t)m < o->moves.size() && o->moves[(size_t)m];
}

// Whether the first instance of o's stack plays move m.
static bool plays_move(const combatant* o, int m) {
    if (stack_empty(o->stack) || !has_move(o, m)) return false;
    const anim_group* g = o->moves[(size_t)m];
    return !g->entries.empty() && (*o->stack)[0]->def == g->entries[0].def.get();
}

// Starts a move the fighter has; a move it lacks starts nothing.
static void start_if_present(combatant* o, int m, int priority) {
    if (has_move(o, m)) o->start_move(m, priority);
}

// One display of an object; what its fire frames fired joins the object list at once.
static void display_object(combatant* o) {
    o->display();
    launch_fired(o);
}

static void empty_if_nonempty(combatant* o) {
    if (!stack_empty(o->stack)) o->empty_stack();
}

static bool moving_backwards(const combatant* o) {
    return (o->facing && o->vx < 0) || (!o->facing && o->vx > 0);
}

// ---------------------------------------------------------------------------------------
// Rules of contact

// A block holds or breaks by the postures: a standing block falls to a crouching attack, a
// crouching block to a jumping attack, and a block in the air holds against everything.
static bool block_holds(int blocker_posture, int attacker_posture) {
    if (blocker_posture == POSTURE_STAND) return attacker_posture != POSTURE_CROUCH;
    if (blocker_posture == POSTURE_CROUCH) return attacker_posture != POSTURE_JUMP;
    return true;
}

static int fighter_index(const combatant* f) { return f == fighter(0) ? 0 : 1; }

// The move number attacker plays now, or -1.
static int playing_move(const combatant* o) {
    for (int m = 0; m < (int)o->moves.size(); m++)
        if (plays_move(o, m)) return m;
    return -1;
}

// A hit that lands is heard and felt: the attacking move's contact sound and shake.
static void hit_lands(const combatant* attacker) {
    int m = playing_move(attacker);
    if (m < 0 || (size_t)m >= attacker->contact.size()) return;
    const lifeform::contact_fx& fx = attacker->contact[(size_t)m];
    if (fx.sound) fx.sound->play(-1, 0);
    if (fx.shake && current_level) current_level->shake = fx.shake;
}

// Victim takes attacker's hit; the contact sound and shake follow when it landed.
static void strike(combatant* victim, combatant* attacker) {
    uint8_t before = victim->hits_taken;
    victim->take_hit(attacker);
    if (victim->hits_taken != before) hit_lands(attacker);
}

// The blocker slides back one unit, or takes the hit when its block breaks. A held block
// sounds the blocker's block sound once per touch, not on every frame of it.
static void block_or_hit(combatant* blocker, combatant* attacker) {
    if (block_holds(blocker->posture, attacker->posture)) {
        blocker->ax += blocker->facing ? -1 : 1;
        int& last = ms.block_frame[fighter_index(blocker)];
        if (last != ms.frames - 1 && last != ms.frames && blocker->block_sound)
            blocker->block_sound->play(-1, 0);
        last = ms.frames;
    } else {
        strike(blocker, attacker);
    }
}

// Victim takes the hit of attacker. An attacker struck down in the same clash (alive at its
// start) still lands its own hit: both blows fall in the same instant.
static void hit_from(combatant* victim, combatant* attacker, bool attacker_was_alive) {
    int hp = attacker->hp;
    if (attacker_was_alive && hp < 0) attacker->hp = 0;
    strike(victim, attacker);
    attacker->hp = hp;
}

static void fighter_contact(combatant* a, combatant* b) {
    if (!a || !b || ms.held[0] || ms.held[1] || !a->collides(b)) return;
    if (a->stance == STANCE_ATTACK) {
        if (b->stance == STANCE_BLOCK) {
            block_or_hit(b, a);
        } else if (b->stance == STANCE_ATTACK) {
            bool a_alive = a->alive(), b_alive = b->alive();
            hit_from(a, b, b_alive);
            hit_from(b, a, a_alive);
            a->freeze = 0;
            b->freeze = 0;
        } else {
            strike(b, a);
        }
    } else if (a->stance == STANCE_BLOCK && (b->cur_image == IMAGE_IN_MOVE || b->stance == STANCE_ATTACK)) {
        // An attacker whose move ended this frame still attacks (stance 4) with its still
        // image shown: the left fighter's block holds against it as the right one's does.
        block_or_hit(a, b);
    } else if (b->stance == STANCE_ATTACK) {
        strike(a, b);
    }
}

// A hit effect: a copy of the explosion template placed at the object's position.
static void explode_at(const combatant* o) {
    anim_group* tpl = ms.res ? ms.res->explosion : nullptr;
    if (!tpl) return;
    tpl->offset_x = o->x;
    tpl->offset_y = o->y;
    tpl->facing = o->facing ? 1 : 0; // each copy keeps it: the definition is shared
    match_effects.push_back(new anim_group(*tpl));
}

// A projectile meeting a blocker costs it one point and explodes at it; anything else takes
// the hit.
static void clash_side(combatant* o, combatant* other, bool other_was_alive) {
    if (o->stance != STANCE_BLOCK) {
        hit_from(o, other, other_was_alive);
        return;
    }
    explode_at(o);
    o->stance = STANCE_BLOCK;
    o->action = ACT_BLOCK;
    o->hp -= 1;
}

void match_contact() { fighter_contact(fighter(0), fighter(1)); }

void match_projectile_clashes() {
    ms.projectile_in_play = 0;
    for (int i = 0; i < Combatant_Manager.count(); i++) {
        for (int j = i + 1; j < Combatant_Manager.count(); j++) {
            combatant* a = object(i);
            combatant* b = object(j);
            if (!a->alive() || !b->alive()) continue;
            bool pa = a->kind == KIND_PROJECTILE, pb = b->kind == KIND_PROJECTILE;
            if (pa || pb) ms.projectile_in_play = 1;
            if (a->side == b->side || !(pa || pb) || !a->collides(b)) continue;
            if (pa && pb) {
                hit_from(a, b, true);
                hit_from(b, a, true);
                explode_at(a);
                explode_at(b);
                a->hp -= 1;
                b->hp -= 1;
            } else {
                clash_side(a, b, true);
                clash_side(b, a, true);
            }
        }
    }
}

// ---------------------------------------------------------------------------------------
// Camera and knock-out

static void set_facing_and_camera(combatant* a, combatant* b) {
    level* lv = current_level;
    if (!lv) return;
    combatant* l = a;
    combatant* r = b;
    if ((a->x + a->w) / 2 < (b->x + b->w) / 2) {
        a->facing = 1;
        b->facing = 0;
    } else {
        b->facing = 1;
        a->facing = 0;
        l = b;
        r = a;
    }
    int left = l->x + (l->last_image ? l->w - l->max_x : 0);
    int right = r->x + r->w + (r->last_image ? r->max_x - r->w : 0);
    lv->y_offset = (a->h + b->h) / 2 + (a->y + b->y) / 2 - area_h();
    lv->x_offset = left / 2;
    double span = right * lv->scale - (lv->x_offset - (int)((lv->max_width / lv->scale - right) * 0.5));
    if (span > 0) lv->zoom = area_w() / span;
    if (lv->x_offset < 0) lv->x_offset = 0;
    // A jump does not lift the view above the stage: the fighter on the floor stays whole.
    if (lv->y_offset < 0) lv->y_offset = 0;
}

// The knock-out line's fonts, opened by the set-up: white over a black shadow.
static font* line_font = nullptr;
static font* line_shadow = nullptr;

static font* open_line_font(SDL_Color colour) {
    font* f = new font(video.screen);
    f->size = LINE_FONT_SIZE;
    f->mode = 1;
    f->fg = colour;
    f->open(LINE_FONT_FILE);
    return f;
}

// The knock-out lines, one under the other, centred below the large "K.O." (line 0 at half
// the screen's height, clear of the announcement above it).
static void draw_ko_text(const char* text, int line) {
    const int y = area_h() / 2 + 8 + LINE_STEP * line;
    if (line_font && line_font->loaded && line_shadow && line_shadow->loaded) {
        const int x = (area_w() - line_font->text_width(text)) / 2;
        line_shadow->pen_x = x + LINE_SHADOW;
        line_shadow->pen_y = y + LINE_SHADOW;
        line_shadow->draw_text(text);
        line_font->pen_x = x;
        line_font->pen_y = y;
        line_font->draw_text(text);
        return;
    }
    font* f = ms.res ? ms.res->main_font : nullptr;
    if (!f) return;
    f->pen_x = (area_w() - f->text_width(text)) / 2;
    f->pen_y = y;
    f->draw_text(text);
}

static void knock_out(combatant* f) {
    f->stance = STANCE_KO;
    f->action = ACT_KO;
    f->y = area_h() - f->h;
    ms.ko_counter++;
}

// The large font of the staged announcements, opened by the set-up of a staged match.
static font* big_font = nullptr;

// A text centred on the screen at height y, in the large font (the main font without it).
static void announce(const char* text, int y) {
    font* f = big_font && big_font->loaded ? big_font : ms.res ? ms.res->main_font : nullptr;
    if (!f) return;
    int w = 0;
    for (const char* c = text; f->face && *c; c++) {
        char one[2] = {*c, 0};
        int cw = 0, ch = 0;
        if (TTF_SizeText(f->face, one, &cw, &ch) == 0) w += cw;
    }
    f->pen_x = (area_w() - w) / 2;
    f->pen_y = y;
    f->draw_text(text);
}

// Strict life: an empty bar is a knock-out.
static void strict_life(combatant* f) {
    if (ms.opts.life_style == LIFE_STRICT && f->hp == 0) f->hp = -1;
}

// The knock-out's texts: the large "K.O." of staged rounds and one line per fighter down.
static void draw_knock_out_texts(const combatant* a, const combatant* b) {
    char text[320];
    if (ms.opts.round_mode == ROUNDS_STAGED && (!a->alive() || !b->alive()))
        announce("K.O.", area_h() / 3 - BIG_FONT_SIZE / 2);
    int line = 0;
    if (!a->alive()) {
        snprintf(text, sizeof text, "%.31s zotzed! %.31s Wins", ms.names[0], ms.names[1]);
        draw_ko_text(text, line++);
    }
    if (!b->alive()) {
        snprintf(text, sizeof text, "%.31s zotzed! %.31s Wins", ms.names[1], ms.names[0]);
        draw_ko_text(text, line++);
    }
    if (!a->alive() && !b->alive()) draw_ko_text("Double Zotz", line);
}

static void count_knock_out(combatant* a, combatant* b) {
    if (!a->alive()) knock_out(a);
    if (!b->alive()) knock_out(b);
    if (!a->alive() && !b->alive()) ms.ko_counter++;
}

// Timed rounds: the clock runs while both fighters stand and no announcement plays; at zero
// the round is decided by the life left.
static void run_clock(const combatant* a, const combatant* b) {
    if (ms.clock <= 0 || ms.intro > 0 || !a->alive() || !b->alive()) return;
    if (--ms.clock > 0) return;
    ms.time_up = 1;
    log_out("Time up\n");
}

int clock_winner(int hp_a, int max_a, int hp_b, int max_b) {
    const long long share_a = (long long)hp_a * (max_b > 0 ? max_b : 1);
    const long long share_b = (long long)hp_b * (max_a > 0 ? max_a : 1);
    return share_a > share_b ? 0 : share_b > share_a ? 1 : -1;
}

int match_round_winner() {
    combatant* a = fighter(0);
    combatant* b = fighter(1);
    if (!a || !b) return -1;
    if (!a->alive() || !b->alive()) return a->alive() ? 0 : b->alive() ? 1 : -1;
    if (ms.time_up) return clock_winner(a->hp, a->max_hp, b->hp, b->max_hp);
    return -1;
}

// Timed rounds: the seconds left, at the top centre.
static void draw_clock() {
    if (ms.opts.round_time <= 0 || ms.mode == MODE_TRAINING || !ms.res || !ms.res->osd) return;
    const int rate = fps > 0 ? fps : 60;
    draw_round_clock(*ms.res->osd, (ms.clock + rate - 1) / rate);
}

// ---------------------------------------------------------------------------------------
// The object step

// Dizzy after a third knockdown: three ghosts circle the fighter while the timer runs.
static void dizzy(combatant* o) {
    o->recovery_timer++;
    o->cur_image = 0;
    o->vx = o->vy = 0;
    int rx = o->x, ry = o->y;
    img_mgr* remembered = o->last_image;
    if (remembered) remembered->set_alpha(128);
    for (int k = 0; k <= 16; k += 8) {
        double a = (o->recovery_timer + k) * 15.0 * M_PI / 180.0;
        o->x = (int)(std::cos(a) * 10 + rx);
        o->y = (int)(std::sin(a) * 10 + ry);
        display_object(o);
    }
    if (o->last_image) o->last_image->set_alpha(255);
    if (remembered) remembered->set_alpha(255);
    o->x = rx;
    o->y = ry;
    o->action = ACT_DIZZY;
}

static void command(combatant* o, int cmd) {
    if (cmd == -1 || !o->ready()) return;
    switch (cmd) {
    case 0: o->action = 4; break;
    case 3: o->action = 5; break;
    case 4: o->action = 6; break;
    case 5: o->action = 7; break;
    default: break;
    }
    o->stance = STANCE_ATTACK;
    int n = cmd;
    if (o->posture == POSTURE_CROUCH) {
        if (cmd == 0) n = MOVE_CROUCH_PUNCH;
        if (cmd == 3) n = MOVE_CROUCH_KICK;
    } else if (o->posture == POSTURE_JUMP) {
        if (cmd == 0) n = MOVE_JUMP_PUNCH;
        if (cmd == 3) n = MOVE_JUMP_KICK;
    }
    start_if_present(o, n, 1);
}

static void block_command(combatant* o, combatant* opp) {
    int dist = opp ? std::abs(o->x - opp->x) : THROW_RANGE;
    if (dist >= THROW_RANGE || o->vx == 0) {
        o->stance = STANCE_BLOCK;
        o->action = ACT_BLOCK;
    } else {
        if (o->action != ACT_BLOCK_DASH) o->dash_angle = 0;
        o->dash_angle++;
        if (o->dash_angle > 360) o->dash_angle -= 360;
        o->action = ACT_BLOCK_DASH;
        o->stance = STANCE_NEUTRAL;
    }
    empty_if_nonempty(o);
    o->move_state = MOVE_HELD;
}

// A throw grabs an opponent within reach who stands open on the ground (not in the air, not
// reeling, not in the middle of its own attack) and plays in three beats: the grab holds the
// victim where it stands, the lift raises it, the toss throws it away knocked down, and the
// damage lands on the toss. A grab at anything else, or out of reach, plays the thrower's
// throw at empty air.
static void throw_command(combatant* o, combatant* opp) {
    empty_if_nonempty(o);
    start_if_present(o, MOVE_THROW, 1);
    o->action = ACT_THROW;
    o->cur_image = IMAGE_IN_MOVE;
    bool open = opp && std::abs(o->x - opp->x) < THROW_RANGE && opp->alive() &&
                opp->posture != POSTURE_JUMP && opp->ay == 0 && opp->stance != STANCE_HIT &&
                opp->stance != STANCE_KO && !(opp->move_state == MOVE_PLAYING && opp->cur_priority > 0);
    if (!open) {
        o->stance = STANCE_NEUTRAL;
        return;
    }
    o->stance = STANCE_ATTACK;
    opp->empty_stack();
    opp->move_state = MOVE_NONE;
    opp->vx = opp->ax = 0;
    opp->action = ACT_THROWN;
    opp->stance = STANCE_HIT;
    ms.held[fighter_index(opp)] = 1;
}

// The toss: the victim takes the throw's damage, knocked down, lifted and thrown away.
static void toss(combatant* victim, combatant* thrower) {
    victim->cur_priority = 0;
    uint8_t before = victim->hits_taken;
    victim->take_hit(thrower);
    if (victim->hits_taken == before) return;
    victim->hp -= THROW_DAMAGE - HIT_DAMAGE;
    victim->damage_taken = (uint8_t)(victim->damage_taken + THROW_DAMAGE - HIT_DAMAGE);
    thrower->damage_dealt = (uint8_t)(thrower->damage_dealt + THROW_DAMAGE - HIT_DAMAGE);
    victim->freeze = 0;
    victim->empty_stack();
    victim->cur_priority = 0;
    start_if_present(victim, MOVE_KNOCKDOWN, 3);
    victim->move_state = MOVE_PLAYING;
    victim->action = ACT_THROWN;
    victim->stance = STANCE_HIT;
    victim->hit_posture = POSTURE_STAND;
    victim->ay = -THROW_LIFT;
    victim->ax = victim->x >= thrower->x ? THROW_TOSS : -THROW_TOSS;
}

// A fighter held by a throw: still in the grab, raised in the lift, tossed at its end. True
// while it is held (its step is only drawn).
static bool held_step(combatant* o, int i) {
    int& t = ms.held[i];
    if (t == 0) return false;
    combatant* by = fighter(1 - i);
    const int grab = THROW_GRAB_TICKS * fps / 60, lift = THROW_LIFT_TICKS * fps / 60;
    if (t++ <= grab + lift && by && by->alive()) {
        o->vx = o->vy = o->ax = o->ay = 0;
        o->cur_image = IMAGE_REEL;
        const int raised = t > grab ? THROW_RAISE * (t - grab) / (lift > 0 ? lift : 1) : 0;
        o->y = area_h() - o->h - raised;
        match_draw_object(i);
        return true;
    }
    t = 0;
    if (by) toss(o, by);
    return false;
}

// The travelling special (combo moves 3 and 5).
static void travelling_special(combatant* o, int action, bool move_image) {
    if (!stack_empty(o->stack) && !plays_move(o, MOVE_RUSH)) o->empty_stack();
    if (!o->ready()) return;
    o->action = action;
    o->stance = STANCE_ATTACK;
    if (move_image) o->cur_image = IMAGE_IN_MOVE;
    if (!has_move(o, MOVE_RUSH)) return;
    o->start_move(MOVE_RUSH, 1);
    if (move_image) o->move_state = 0;
    else o->move_state = o->facing ? MOVE_TRAVEL_RIGHT : MOVE_TRAVEL_LEFT;
}

static void combo_result(combatant* o, int move) {
    switch (move) {
    case 1:
        // The high jump: from the floor it is a take-off of its own, higher than the jump;
        // in the air it lifts the jump under way.
        if (o->stance == STANCE_HIT) break;
        if (o->ay == 0 && o->y + o->h == area_h() && o->ready()) {
            o->ay = -(o->jump_rise + o->high_jump);
            o->ax = o->vx;
        } else {
            o->ay -= o->high_jump;
        }
        break;
    case 2:
        if (!stack_empty(o->stack) && !plays_move(o, MOVE_BACKFLIP)) o->empty_stack();
        if (o->ready()) {
            o->action = ACT_COMBO2;
            o->stance = STANCE_NEUTRAL;
            start_if_present(o, MOVE_BACKFLIP, 1);
        }
        break;
    case 3: travelling_special(o, ACT_TRAVEL, false); break;
    case 4:
        if (o->stance == STANCE_HIT) break;
        if (o->facing) o->ax = o->vx > 0 ? 3 : -3;
        else o->ax = o->vx < 0 ? -3 : 3;
        start_if_present(o, MOVE_DASH, 1);
        o->move_state = MOVE_DASHING;
        o->action = ACT_IDLE;
        break;
    case 5: travelling_special(o, ACT_TRAVEL, true); break;
    default: break;
    }
}

static const double JUMP_TRACE = 0.001;

static void decay(combatant* o) {
    if (o->ay < 0) {
        // A long jump keeps a trace of its lift until it lands, so it stays a jump.
        o->ay += o->jump_fall;
        if (o->ay >= 0) o->ay = o->y + o->h < area_h() ? -JUMP_TRACE : 0;
        o->vx = 0;
        return;
    }
    if (o->kind == KIND_PROJECTILE) return;
    int t = (int)o->ax;
    if (t >= 1) {
        o->ax -= 0.25;
    } else if (t < 0) {
        o->ax += 0.25;
    } else {
        if (o->moves.size() > MOVE_DASH && plays_move(o, MOVE_DASH)) {
            o->empty_stack();
            o->move_state = MOVE_NONE;
        }
        o->ax = 0;
    }
}

// Fighters only: the travelling special's ghosts, the block dash's circle, the fall.
static void fighter_motion(combatant* o) {
    if (!stack_empty(o->stack) && o->moves.size() > 14 && plays_move(o, MOVE_RUSH)) {
        if (o->move_state != 0) {
            o->vx += o->move_state == MOVE_TRAVEL_RIGHT ? 1 : -1;
            o->stance = STANCE_ATTACK;
            o->action = ACT_TRAVEL;
            int rx = o->x;
            const double shifts[2] = {2, 4};
            const uint8_t alphas[2] = {192, 64};
            for (int g = 0; g < 2; g++) {
                o->x = (int)(rx - o->vx * shifts[g]);
                o->alpha = alphas[g];
                display_object(o);
                if (!stack_empty(o->stack)) (*o->stack)[0]->remaining++;
            }
            o->x = rx;
            o->alpha = 255;
        } else {
            o->stance = STANCE_ATTACK;
            o->action = ACT_TRAVEL;
        }
    }
    if (o->action == ACT_BLOCK_DASH) {
        int a = ((o->dash_angle % 360) + 360) % 360;
        o->x += o->facing ? cos_table[a] : -cos_table[a];
        o->y += sin_table[a];
    }
    o->vy += 9;
}

static void walk(combatant* o) {
    if (o->vx != 0) {
        bool forward = (o->vx > 0 && o->facing) || (o->vx < 0 && !o->facing);
        if (o->stack && o->stack->empty())
            start_if_present(o, forward ? MOVE_WALK_FORWARD : MOVE_WALK_BACKWARD, 0);
    } else if (o->kind != KIND_PROJECTILE && o->ready()) {
        o->empty_stack();
        o->move_state = MOVE_NONE;
    }
}

// The visible span of a lifeform's last drawn picture, from its x, as drawn now: the stored
// box is the unmirrored picture's, so a mirrored picture shows it reversed.
static void visible_span(const combatant* o, int& from, int& to) {
    const img_mgr* im = o->last_image;
    if (!im) {
        from = 0;
        to = o->w;
    } else if (im->mirrored) {
        from = im->width - (int)im->right;
        to = im->width - (int)im->left;
    } else {
        from = (int)im->left;
        to = (int)im->right;
    }
    from += o->drawn_dx; // the box moves with the frame's offsets
    to += o->drawn_dx;
}

// Fighters do not pass through each other: o is put back against the one it walked into,
// its visible body just short of the other's, whichever side it stands on, so both sides
// stop at the same distance whatever the pictures' transparent margins.
static void body_push(combatant* o) {
    img_mgr* remembered = o->last_image;
    const int16_t remembered_dx = o->drawn_dx, remembered_dy = o->drawn_dy;
    o->last_image = o->collision_image(&o->drawn_dx, &o->drawn_dy);
    if (o->kind != KIND_PROJECTILE) {
        for (int j = 0; j < Combatant_Manager.count(); j++) {
            combatant* other = object(j);
            if (other == o || other->kind == KIND_PROJECTILE) continue;
            if (!o->collides(other)) continue;
            if (o->cur_image == IMAGE_IN_MOVE || other->cur_image == IMAGE_IN_MOVE) continue;
            if (o->action == ACT_BLOCK_DASH || other->action == ACT_BLOCK_DASH) continue;
            int of, ot, jf, jt;
            visible_span(o, of, ot);
            visible_span(other, jf, jt);
            if (o->facing) o->x = other->x + jf - ot - 1;
            else o->x = other->x + jt - of + 1;
            o->vx = 0;
            o->motion(1);
        }
    }
    o->last_image = remembered;
    o->drawn_dx = remembered_dx;
    o->drawn_dy = remembered_dy;
}

static int by_posture(int posture, int crouch, int stand, int jump) {
    return posture == POSTURE_CROUCH ? crouch : posture == POSTURE_JUMP ? jump : stand;
}

static void image_from_action(combatant* o, int i, combatant* other) {
    int action = o->action;
    if (action == ACT_BLOCK && i >= 2) action = ACT_IDLE;
    switch (action) {
    case ACT_BLOCK:
        o->cur_image = by_posture(o->posture, 8, 7, 6);
        if (((other && other->stance == STANCE_ATTACK) || ms.projectile_in_play) && o->ready() && o->stack)
            o->empty_stack();
        break;
    case ACT_IDLE: o->cur_image = by_posture(o->posture, 2, 0, 1); break;
    case ACT_HIT: o->cur_image = by_posture(o->hit_posture, 2, 0, 1); break;
    case ACT_KO: o->cur_image = IMAGE_KO; break;
    case 10:
    case 11: o->cur_image = 0; break;
    case 4: case 5: case 6: case 7: case 8: case 9: o->cur_image = IMAGE_IN_MOVE; break;
    default: break;
    }
}

void match_object_step(int i) {
    combatant* o = object(i);
    if (!o) return;
    if (!o->alive()) {
        o->cur_image = IMAGE_KO;
        // A fighter knocked out keeps its display through the knock-out.
        if (i < 2) match_draw_object(i);
        return;
    }
    if (i < 2 && held_step(o, i)) return;
    combatant* other = i < 2 ? fighter(i == 0 ? 1 : 0) : nullptr;
    combatant* opp = object(o->path_flag);

    o->vx = o->vy = 0;
    int cmd = -1; // the path's command of this frame
    bool thinks = false;
    if (o->knockdown_streak >= 3 && o->recovery_timer < 3 * fps) {
        dizzy(o);
    } else {
        if (o->knockdown_streak >= 3) {
            o->recovery_timer = 0;
            o->knockdown_streak = 0;
        }
        if (o->ready() && ms.intro == 0) {
            o->think();
            thinks = true;
            if (o->path) cmd = o->path->action;
            if (i < 2 && ms.opts.difficulty != DIFFICULTY_CLASSIC && o->path && o->path->steps > 0 &&
                o->path->mode[0] == PATH_COMPUTER)
                hard_ai_step(o, i, opp, cmd, ms.opts.difficulty == DIFFICULTY_HARD);
        }
    }
    int combo_move = o->keys.check_combos();
    if (i < 2 && match_decision_tap) match_decision_tap(i, o, thinks, cmd, combo_move);
    if (i < 2 && ms.mode == MODE_TRAINING) training_control(o, i, opp, thinks, cmd, combo_move);
    // The controller gives the walk's direction; the fighter's stride gives its length.
    if (i < 2) o->vx *= o->walk_speed;
    if (o->stack && o->stack->empty() && o->action != ACT_KO && o->action != 10 && o->action != 11) {
        o->action = ACT_IDLE;
        o->stance = STANCE_NEUTRAL;
    }
    if (o->ay != 0) o->posture = POSTURE_JUMP;
    else if (o->vy > 0 && o->action != ACT_TRAVEL) o->posture = POSTURE_CROUCH;
    else o->posture = POSTURE_STAND;

    command(o, cmd);
    if (cmd == CMD_BLOCK) block_command(o, opp);
    if (cmd == CMD_THROW) throw_command(o, opp);
    combo_result(o, combo_move);

    if (moving_backwards(o)) {
        o->stance = STANCE_BLOCK;
        o->action = ACT_BLOCK;
        if ((other && other->stance == STANCE_ATTACK) || ms.projectile_in_play) o->vx = 0;
    }
    if (o->posture == POSTURE_CROUCH) o->vx = 0;
    if (o->move_state == MOVE_DASHING || o->move_state == MOVE_HELD) o->vx = 0;

    const int floor_y = area_h();
    // (A high jump that took off on this frame is not made an ordinary one.)
    if (o->vy < 0 && o->ready() && o->stance != STANCE_HIT && o->y + o->h == floor_y && o->ay > -6) {
        o->ay = -o->jump_rise;
        o->ax = o->vx;
    }
    decay(o);
    if (o->ay > -6 && o->ay < 0 && o->y + o->h == floor_y) {
        o->posture = POSTURE_STAND;
        o->ay = 0;
        o->ax = 0;
    }
    if (!o->ready()) o->vx = 0;
    if (i < 2) fighter_motion(o);
    walk(o);
    o->motion(1);
    body_push(o);
    image_from_action(o, i, other);
    match_draw_object(i);
}

void match_draw_object(int i) {
    combatant* o = object(i);
    if (!o) return;
    if (i < 2) {
        osd_lag_life(o);
        ms.draws.add_mark(MARK_DISPLAY, i);
    }
    display_object(o);
    if (i < 2) ms.draws.add_mark(MARK_COMBO, i);
}

// ---------------------------------------------------------------------------------------
// Frames and rounds

// Each hit effect's tick; an effect whose animation has ended goes.
static void step_effects() {
    level* lv = current_level;
    int xo = lv ? lv->x_offset : 0, yo = lv ? lv->y_offset : 0;
    for (size_t e = 0; e < match_effects.size();) {
        anim_group* g = match_effects[e];
        g->display(-xo, -yo, lv);
        if (stack_empty(g->stack)) {
            delete g;
            match_effects.erase(match_effects.begin() + (long)e);
        } else {
            e++;
        }
    }
}

// Dead projectiles leave the object list at the end of the frame.
static void remove_dead_projectiles() {
    std::vector<combatant*>& list = Combatant_Manager.Objects;
    for (size_t i = 2; i < list.size();) {
        combatant* o = list[i];
        if (o->kind == KIND_PROJECTILE && !o->alive()) {
            delete o;
            list.erase(list.begin() + (long)i);
        } else {
            i++;
        }
    }
}

static void play_music() {
    if (ms.res && ms.res->music) play_track(ms.res->music, -1);
}

static void clear_for_frame();

void match_frame() {
    combatant* a = fighter(0);
    combatant* b = fighter(1);
    if (!a || !b) {
        ms.end = MATCH_ABANDONED;
        return;
    }
    // Every pending event, so a closed window is seen at once behind any backlog; the
    // fighters read the keyboard state, which the events have already updated.
    SDL_Event e;
    bool pause = false;
    while (SDL_PollEvent(&e)) {
        if (e.type == SDL_QUIT) ms.end = MATCH_ABANDONED;
        if (pause_key(e)) pause = true;
    }
    const bool button = pause_button_down();
    if (button && !ms.pause_button) pause = true;
    ms.pause_button = button;
    if (quit_requested()) ms.end = MATCH_ABANDONED;
    Uint8* keys = SDL_GetKeyState(nullptr);
    if (keys && keys[SDLK_ESCAPE]) ms.end = MATCH_ABANDONED;
    // A recording played back has the viewer's own pause.
    pause = pause && !replay_playing() && ms.res && ms.res->osd;
    if (video.audio_ok && !Mix_PlayingMusic()) play_music();
    if (replay_frame_begin()) ms.end = MATCH_ABANDONED;

    match_step();
    // A fast playback (the check of a recording) shows one frame in FAST_SHOWN_EVERY: the rules
    // of every frame, a share of the pictures, which would only slow the check. Paused, every
    // frame stepped shows.
    const bool shown = !replay_fast() || replay_paused() || ms.frames % FAST_SHOWN_EVERY == 0;
    if (shown) {
        clear_for_frame();
        match_draw();
    }
    if (video.audio_ok) match_play_sounds();

    if (replay_frame_end()) ms.end = MATCH_ABANDONED;
    if (shown && ms.res && ms.res->osd) replay_draw(*ms.res->osd);

    // The pause holds the picture of this frame, taken before it is shown, and comes after
    // the frame is counted: a recording never sees it.
    SDL_Surface* frozen = pause && ms.end != MATCH_ABANDONED ? grab_screen() : nullptr;
    if (ms.res && ms.res->pacer && !replay_fast()) pace_frame(ms.res->pacer);
    ms.now = clock_ticks();
    if (shown) video.flip();
    if (frozen && pause_menu(*ms.res->osd, ms.res->pacer, frozen) != PAUSE_RESUME) ms.end = MATCH_ABANDONED;
    if (match_after_frame) match_after_frame();
}

void (*match_after_frame)() = nullptr;
void (*match_rules_end)() = nullptr;
void (*match_decision_tap)(int, const combatant*, bool, int, int) = nullptr;
void (*match_frame_fn)() = match_frame;

// The rules of one frame, in their fixed order; the pictures go to the draw list.
static void step_rules(combatant* a, combatant* b) {
    if (ms.mode == MODE_TRAINING && training_keys()) match_reset_positions();

    ms.frames++;
    ms.now = clock_ticks();

    set_facing_and_camera(a, b);
    if (level* lv = current_level) {
        // The stage is drawn here in the frame's order, with the shake and flash of this moment.
        lv->advance();
        ms.draws.add_mark(MARK_STAGE, lv->shake, lv->flash, lv->x_offset, lv->y_offset, 0, lv->zoom);
        lv->fade();
    }
    fighter_contact(a, b);
    match_projectile_clashes();
    strict_life(a);
    strict_life(b);
    if (ms.mode == MODE_TRAINING) training_rules(ms.frames, ms.block_frame);
    count_knock_out(a, b);
    run_clock(a, b);
    for (int i = 0; i < Combatant_Manager.count(); i++) match_object_step(i);
    step_effects();
    ms.draws.add_mark(MARK_KNOCK_OUT);
    ms.draws.add_mark(MARK_CLOCK);
    remove_dead_projectiles();
    if (ms.mode == MODE_TRAINING) {
        training_after_steps(ms.frames);
        ms.draws.add_mark(MARK_TRAINING);
    }
    for (int i = 0; i < 2; i++) {
        const combatant* victim = i == 0 ? b : a;
        if (victim->hits_in_row > ms.best_combo[i]) ms.best_combo[i] = victim->hits_in_row;
    }
    if (ms.intro > 0) {
        ms.draws.add_mark(MARK_INTRO, ms.round, ms.intro);
        ms.intro--;
    }
    // A match given up on this frame stays given up, whatever the knock-out count says.
    if (ms.end == MATCH_RUNNING && (ms.ko_counter > 3 * fps || ms.time_up)) ms.end = MATCH_DECIDED;
    if (match_rules_end) match_rules_end();
}

void match_step(bool quiet, bool keep_sounds) {
    combatant* a = fighter(0);
    combatant* b = fighter(1);
    if (!a || !b) {
        ms.end = MATCH_ABANDONED;
        return;
    }
    if (ms.draws.items.capacity() < MATCH_DRAW_ITEMS) ms.draws.items.reserve(MATCH_DRAW_ITEMS);
    if (ms.sounds.played.capacity() < MATCH_SOUNDS) ms.sounds.played.reserve(MATCH_SOUNDS);
    ms.draws.items.clear();
    ms.sounds.played.clear();
    ms.draws.drop = quiet;
    ms.sounds.drop = !keep_sounds;
    draw_list* const drawing = draw_target;
    sfx_list* const sounding = sfx_target;
    draw_target = &ms.draws;
    sfx_target = &ms.sounds;
    if (quiet) log_mute(true);
    step_rules(a, b);
    if (quiet) log_mute(false);
    draw_target = drawing;
    sfx_target = sounding;
}

// The intro's "Round N" until INTRO_FIGHT frames (at 60 fps) are left, then "Fight".
static void draw_intro(int round, int intro) {
    char text[32];
    snprintf(text, sizeof text, "Round %d", round);
    announce(intro > INTRO_FIGHT * fps / 60 ? text : "Fight", area_h() / 3 - BIG_FONT_SIZE / 2);
}

// Runs look(stage) with the stage's camera, shake and flash as the step saw them; the
// stage keeps its own afterwards. False when there is no stage.
template <class F> static bool with_stage_of(const draw_item& d, F look) {
    level* lv = current_level;
    if (!lv) return false;
    const stage_view kept = *lv;
    const int kept_x = lv->x_offset, kept_y = lv->y_offset;
    lv->shake = d.args[0];
    lv->flash = d.args[1];
    lv->x_offset = d.args[2];
    lv->y_offset = d.args[3];
    lv->zoom = d.value;
    const bool answer = look(*lv);
    *(stage_view*)lv = kept;
    lv->x_offset = kept_x;
    lv->y_offset = kept_y;
    return answer;
}

static void draw_stage(const draw_item& d) {
    with_stage_of(d, [](level& lv) {
        lv.draw_view();
        return true;
    });
}

// The clear before the frame's pictures: none where its first draw, the stage, hides the screen.
static void clear_for_frame() {
    SDL_Rect box;
    const draw_item* d = ms.draws.items.empty() ? nullptr : &ms.draws.items.front();
    const bool covered = d && !d->image && d->mark == MARK_STAGE &&
                         with_stage_of(*d, [&box](level& lv) { return lv.covered_box(&box); });
    video.clear_around(covered ? &box : nullptr);
}

void match_draw() {
    osd_resources* osd = ms.res ? ms.res->osd : nullptr;
    combatant* a = fighter(0);
    combatant* b = fighter(1);
    draw_list* const kept = draw_target;
    draw_target = nullptr;
    for (const draw_item& d : ms.draws.items) {
        if (d.image) {
            draw_item_show(d);
            continue;
        }
        switch (d.mark) {
        case MARK_STAGE: draw_stage(d); break;
        case MARK_DISPLAY:
            if (osd) show_fighter_display(*osd, fighter(d.args[0]), d.args[0]);
            break;
        case MARK_COMBO:
            if (osd) draw_combo_counter(*osd, fighter(d.args[0]), ms.now);
            break;
        case MARK_KNOCK_OUT:
            if (a && b) draw_knock_out_texts(a, b);
            break;
        case MARK_CLOCK: draw_clock(); break;
        case MARK_TRAINING:
            if (osd) training_draw(*osd);
            break;
        case MARK_INTRO: draw_intro(d.args[0], d.args[1]); break;
        default: break;
        }
    }
    draw_target = kept;
}

void match_play_sounds() {
    for (const sfx* s : ms.sounds.played) s->play(-1, 0);
}

// ---------------------------------------------------------------------------------------
// Set-up

static combatant* create_fighter(int pick, int player, bool recolour) {
    combatant* f = new combatant();
    if (recolour)
        read_colour_swaps(COLOUR_SWAP_FILE, video.screen ? video.screen->format : nullptr, f->swaps);
    ms.controls[player] = Control_Manager.build_stage_list(player);
    f->controls = &ms.controls[player];
    f->load(fighter_table[pick].file);
    Combatant_Manager.Objects.push_back(f);
    return f;
}

static void initial_camera(combatant* a, combatant* b) {
    level* lv = current_level;
    lv->y_offset = (a->h + b->h) / 2 + (a->y + b->y) / 2 - area_h();
    lv->x_offset = (a->x < b->x ? a->x : b->x) / 2;
    int right = a->x + a->w > b->x + b->w ? a->x + a->w : b->x + b->w;
    int span = (int)(right + (lv->max_width / lv->scale - right) * 0.5) - lv->x_offset;
    if (span > 0) lv->zoom = (double)area_w() / span;
    if (lv->x_offset < 0) lv->x_offset = 0;
    lv->draw();
}

// Every picture the fighters show starts facing as loaded and opaque, whatever an earlier
// match left it at: the same set-up is the same match (its pictures' facing decides hits).
static void settle_picture(img_mgr* im) {
    if (!im) return;
    if (im->mirrored) im->flip();
    if (im->alpha != 255) im->set_alpha(255);
}

static void settle_pictures(combatant* const both[2]) {
    for (int i = 0; i < 2; i++) {
        for (img_mgr* im : both[i]->images) settle_picture(im);
        for (anim_group* g : both[i]->moves) {
            if (!g) continue;
            for (group_entry& e : g->entries)
                if (anim_mgr* d = e.def.get())
                    for (frame& f : d->frames) settle_picture(f.image);
        }
    }
}

static int clamp_pick(int pick) { return pick < 0 || pick >= fighter_count ? 0 : pick; }

void match_set_up(int mode, int fighter_a, int fighter_b, const match_resources& res) {
    static int set_ups = 0;
    ms = match_state();
    ms.generation = ++set_ups;
    ms.res = &res;
    ms.mode = mode;
    ms.opts = mode == MODE_DEMO ? demo_options() : game_opts;
    if (ms.opts.round_mode == ROUNDS_STAGED && !big_font) {
        big_font = new font(video.screen);
        big_font->size = BIG_FONT_SIZE;
        big_font->mode = 1;
        big_font->fg = SDL_Color{246, 206, 127, 0};
        big_font->open(BIG_FONT_FILE);
    }
    if (!line_font) line_font = open_line_font(SDL_Color{255, 255, 255, 0});
    if (!line_shadow) line_shadow = open_line_font(SDL_Color{0, 0, 0, 0});
    int pick_a = clamp_pick(fighter_a), pick_b = clamp_pick(fighter_b);
    video.clear();
    delete current_level;
    current_level = new level();
    current_level->load(match_stage_file);

    log_out("Setting FPS [%d]\n", fps);
    if (ms.res->pacer) SDL_setFramerate(ms.res->pacer, fps);
    log_out("sizeof level is [%d]\n", (int)sizeof(level));
    char values[OPT_COUNT][16];
    for (int w = 0; w < OPT_COUNT; w++) game_option_text(ms.opts, w, values[w], sizeof values[w]);
    log_out("Game options: difficulty [%s] rounds [%s] life style [%s] round mode [%s] round time [%s]\n",
            values[0], values[1], values[2], values[3], values[OPT_ROUND_TIME]);

    if (Combatant_Manager.count()) Combatant_Manager.clean();
    combatant* a = create_fighter(pick_a, 1, false);
    combatant* b = create_fighter(pick_b, 0, pick_a == pick_b);
    a->path_flag = 1;
    b->path_flag = 0;

    snprintf(ms.names[0], sizeof ms.names[0], "%s%s", fighter_table[pick_a].name, pick_a == pick_b ? " 2" : "");
    snprintf(ms.names[1], sizeof ms.names[1], "%s", fighter_table[pick_b].name);
    if (ms.res->osd) osd_set_names(*ms.res->osd, ms.names[0], ms.names[1]);
    if (ms.res->osd) osd_set_portraits(*ms.res->osd, pick_a, pick_b);

    for (combatant* o : Combatant_Manager.Objects) o->edge_kill = 0;

    for (path& p : ms.paths) p.reset();
    hard_ai_reset();
    ms.paths[1].add_step(mode == MODE_DEMO ? 6 : 3, 0, 0, 0, 0);
    ms.paths[0].add_step(mode == MODE_VERSUS ? 5 : mode == MODE_TRAINING ? 7 : 6, 0, 0, 0, 0);

    level* lv = current_level;
    const int centre = (int)(lv->max_width / lv->scale / 2);
    combatant* both[2] = {a, b};
    for (int i = 0; i < 2; i++) {
        combatant* f = both[i];
        f->path = &ms.paths[i];
        f->keys.import_combos(f->combos);
        f->x = i == 0 ? centre - 200 : centre + 200;
        f->y = area_h() - f->h;
        f->side = (uint8_t)i;
        f->facing = i == 0 ? 1 : 0;
        // Block, reserved, attack range, jump, duck, approach. Blocking and evading both back
        // away, so with an approach weight equal to the block weight two computer fighters
        // drift to opposite walls and never meet; 150 makes them close in and fight.
        const int weights[AI_WEIGHTS] = {50, 25, 10, 25, 25, 150};
        for (int w = 0; w < AI_WEIGHTS; w++) f->ai_weights[w] = weights[w];
    }
    settle_pictures(both);
    log_out("sizeof player 1[%d] is [%d]\n", 0, (int)sizeof(combatant));
    log_out("sizeof player 2[%d] is [%d]\n", 1, (int)sizeof(combatant));
    log_out("Level [%d,%d] screen [%d,%d]\n", lv->max_width, lv->max_height, area_w(), area_h());
    log_out("Scrolling Max for level: maxx [%d] maxy[%d]\n", lv->max_width - area_w(),
            lv->max_height - area_h());
    initial_camera(a, b);
    ms.frames = 0;
    ms.clock = mode == MODE_TRAINING ? 0 : ms.opts.round_time * fps;
    ms.pause_button = pause_button_down(); // a button held into the match is no press
    if (mode == MODE_TRAINING) training_set_up(fighter_table[pick_a].file, fighter_table[pick_b].file);
}

static void new_round(combatant* f) {
    ms.held[fighter_index(f)] = 0;
    f->hits_in_row = 0;
    f->stance = STANCE_NEUTRAL;
    f->action = ACT_IDLE;
    f->hp = f->max_hp;
}

// Decides what follows a round: true when the match is over.
bool match_round_over(int mode, int required_wins) {
    combatant* a = fighter(0);
    combatant* b = fighter(1);
    log_out("Loop finished\n");
    bool a_down = !a->alive(), b_down = !b->alive();
    if (a_down) b->round_wins++;
    if (b_down) a->round_wins++;
    // A round ended on the clock goes to the fighter with more life left; equal life, to none.
    const int timed = !a_down && !b_down && ms.time_up && ms.end != MATCH_ABANDONED ? match_round_winner() : -1;
    if (timed == 0) a->round_wins++;
    if (timed == 1) b->round_wins++;
    ms.time_up = 0;
    ms.clock = ms.opts.round_time * fps;
    if (ms.end == MATCH_ABANDONED) return true;
    if (mode == MODE_SURVIVAL) {
        if (a->round_wins > 0) return true;
        // The player survives on what is left of its hp; a beaten opponent comes back whole.
        if (a_down || timed == 1) new_round(a);
        return false;
    }
    log_out("mode [%d] reqwins[%d] p1[%d] p2[%d]\n", mode, required_wins, a->round_wins, b->round_wins);
    if (a->round_wins > required_wins || b->round_wins > required_wins) return true;
    new_round(a);
    new_round(b);
    return false;
}

void match_tear_down() {
    delete big_font;
    big_font = nullptr;
    delete line_font;
    line_font = nullptr;
    delete line_shadow;
    line_shadow = nullptr;
    if (current_level) current_level->clear();
    log_out("Level Unloaded\n");
    delete current_level;
    current_level = nullptr;
    log_out("Level Deleted\n");
    Combatant_Manager.clean();
    log_out("Clearing Gameobjects\n");
    zoom_cache::clear_all(); // the match's conversions: the next one has its own zooms
    // The frames keep their free heap for the next frame; the match's goes back here.
    malloc_trim(0);
}

// Where the set-up places fighter i (0: A on the left, 1: B on the right), at rest.
static void place_at_start(combatant* f, int i) {
    level* lv = current_level;
    const int centre = lv ? (int)(lv->max_width / lv->scale / 2) : area_w() / 2;
    f->x = i == 0 ? centre - 200 : centre + 200;
    f->y = area_h() - f->h;
    f->facing = i == 0 ? 1 : 0;
}

void match_reset_positions() {
    for (int i = 0; i < 2; i++) {
        ms.held[i] = 0;
        combatant* f = fighter(i);
        if (!f) continue;
        f->empty_stack();
        f->move_state = MOVE_NONE;
        f->vx = f->vy = f->ax = f->ay = 0;
        f->freeze = 0;
        f->posture = POSTURE_STAND;
        f->cur_image = 0;
        if (!f->images.empty() && f->images[0]) {
            f->w = (uint16_t)f->images[0]->get_width();
            f->h = (uint16_t)f->images[0]->get_height();
        }
        place_at_start(f, i);
    }
}

void match_start_round() {
    ms.end = MATCH_RUNNING;
    ms.ko_counter = 0;
    ms.round++;
    if (ms.opts.round_mode == ROUNDS_STAGED && ms.mode != MODE_TRAINING) match_stage_round();
}

void match_stage_round() {
    match_reset_positions();
    ms.intro = INTRO_FRAMES * fps / 60;
}

void match_victory_pose(int frames) {
    combatant* a = fighter(0);
    combatant* b = fighter(1);
    if (!a || !b) return;
    const int winner = match_round_winner();
    log_out("Victory pose [%d]\n", winner);
    combatant* both[2] = {a, b};
    for (int n = 0; n < frames; n++) {
        SDL_Event e;
        bool cut = quit_requested();
        while (SDL_PollEvent(&e))
            if (e.type == SDL_QUIT) cut = true;
        Uint8* keys = SDL_GetKeyState(nullptr);
        if (cut || (keys && keys[SDLK_ESCAPE])) break; // the next frame, if any, sees it too
        video.clear();
        if (current_level) current_level->draw();
        for (int i = 0; i < 2; i++) {
            combatant* f = both[i];
            if (ms.res && ms.res->osd) draw_fighter_display(*ms.res->osd, f, i);
            const bool pose = i == winner && f->image_width(IMAGE_VICTORY) > 0;
            f->draw_still(pose ? IMAGE_VICTORY : f->alive() ? 0 : IMAGE_KO);
        }
        draw_knock_out_texts(a, b);
        if (ms.time_up && a->alive() && b->alive()) {
            char text[64];
            announce("Time", area_h() / 3 - BIG_FONT_SIZE / 2);
            if (winner < 0) snprintf(text, sizeof text, "Time! A draw");
            else snprintf(text, sizeof text, "Time! %s Wins", ms.names[winner]);
            draw_ko_text(text, 0);
        }
        draw_clock();
        if (ms.res && ms.res->pacer) pace_frame(ms.res->pacer);
        video.flip();
    }
}

// The match's outcome for the result screen, before the tear-down empties the registry.
static void keep_summary(int mode, int end) {
    last_match = match_summary();
    last_match.mode = mode;
    last_match.end = end;
    for (int i = 0; i < 2; i++) {
        snprintf(last_match.names[i], sizeof last_match.names[i], "%s", ms.names[i]);
        last_match.wins[i] = fighter(i) ? fighter(i)->round_wins : 0;
        last_match.best_combo[i] = ms.best_combo[i];
    }
}

int run_match(int mode, int fighter_a, int fighter_b, int required_wins, const match_resources& res) {
    match_stage_file = stage_for_next_match(mode == MODE_DEMO ? game_options() : game_opts);
    replay_begin(mode, fighter_a, fighter_b, required_wins); // playback: the recorded stage
    match_set_up(mode, fighter_a, fighter_b, res);
    for (;;) {
        play_music();
        match_start_round();
        while (ms.end == MATCH_RUNNING) match_frame_fn();
        // Re-recording and fast playback go straight on; the pose changes nothing they check.
        if (ms.end == MATCH_DECIDED && !replay_fast()) match_victory_pose(VICTORY_FRAMES * fps / 60);
        if (match_round_over(mode, required_wins)) break;
    }
    int end = ms.end;
    keep_summary(mode, end);
    replay_end(end);
    match_tear_down();
    ms.res = nullptr;
    return end;
}

match_resources match_resources_of(game_resources& r) {
    match_resources m;
    m.explosion = r.explosion;
    m.main_font = r.main_font;
    m.osd = &r.osd;
    m.pacer = &r.pacer;
    m.music = r.match_music;
    return m;
}
