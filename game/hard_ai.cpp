#include "hard_ai.h"

#include <cstdlib>

#include "foundation/clock.h"
#include "input/keyhistory.h"
#include "world/mon_mgr.h"

namespace {

// Commands of the path step.
enum { CMD_NONE = -1, CMD_PUNCH = 0, CMD_KICK = 3, CMD_SPECIAL2 = 4, CMD_SPECIAL1 = 5, CMD_THROW = 7 };
enum { POSTURE_CROUCH = 0, POSTURE_JUMP = 2 };

// Distances between the fighters' picture corners, which stand 360 pixels wide.
const int STRIKE_RANGE = 190; // a punch or kick reaches
const int THROW_REACH = 170;
const int THREAT_RANGE = 270; // an attack from here may arrive
const int SPECIAL_RANGE = 320;

// Times in frames: like every rule of the match, the computer counts frames, so the game
// keeps its character at any frame rate.
const int PUNISH_WINDOW = 14; // after an attack ends, the opening it leaves
const int SPECIAL_REST = 150;

// How sharp it plays: "hard", and "normal" with slower eyes and a looser guard.
struct sharpness {
    int reaction;       // frames from seeing an attack it did not expect to blocking it
    int expects;        // percent of attacks it expects (blocks at once)
    int punishes;       // percent of openings it punishes
    int walk_ins;       // walked-in attacks it must have seen before it strikes first
    int mixes;          // percent chance a frame in reach of an idle opponent starts an attack
};
const sharpness HARD = {9, 80, 80, 2, 5};
const sharpness NORMAL = {14, 60, 40, 3, 2};

typedef hard_ai_mind mind;
mind (&minds)[2] = hard_ai_minds;

int chance(int percent) { return random_next() % 100 < percent; }

bool attacking(const combatant* f) {
    return f->stance == STANCE_ATTACK || (f->move_state == MOVE_PLAYING && f->cur_priority == 1);
}

// Starts the fighter's combo whose result is `result`; false when it has none.
bool start_combo(combatant* o, int result) {
    if (!o->combos) return false;
    for (combo& c : *o->combos)
        if (c.move == result) {
            o->keys.start_combo_now(&c);
            return true;
        }
    return false;
}

} // namespace

hard_ai_mind hard_ai_minds[2];

bool guard_low(const combatant* opp) { return opp && opp->posture == POSTURE_CROUCH; }

void hard_ai_reset() {
    for (mind& m : minds) m = mind();
}

void hard_ai_step(combatant* o, int slot, const combatant* opp, int& command, bool hard) {
    if (!o || !opp || slot < 0 || slot > 1) return;
    const sharpness& k = hard ? HARD : NORMAL;
    mind& m = minds[slot];
    const int dist = std::abs(opp->x - o->x);
    const int forward = opp->x > o->x ? 1 : -1;

    // What the opponent does.
    const bool opp_attacks = attacking(opp);
    const bool opp_walks_in = opp->vx != 0 && ((opp->vx > 0) == (forward < 0)) && !opp_attacks;
    if (opp_attacks) {
        if (!m.was_attacking) {
            m.seen_attack = 0;
            m.misses_block = !chance(k.expects);
            if (m.walking_in > 6) m.walk_ins++;
            else if (m.walk_ins > 0) m.walk_ins--;
        }
        m.seen_attack++;
        m.since_attack = 0;
    } else if (m.since_attack < 1000) {
        m.since_attack++;
    }
    m.was_attacking = opp_attacks;
    m.walking_in = opp_walks_in ? m.walking_in + 1 : 0;
    m.blocking = opp->stance == STANCE_BLOCK && dist < THREAT_RANGE ? m.blocking + 1 : 0;
    if (m.special_rest > 0) m.special_rest--;
    if (m.strike_rest > 0) m.strike_rest--;

    o->vx = 0;
    o->vy = 0;
    command = CMD_NONE;
    // The guard: back away from the opponent, low against a crouching one.
    auto guard = [&]() {
        o->vx = -forward;
        if (guard_low(opp)) o->vy = 1;
    };

    if (opp->stance == STANCE_HIT || opp->hp < 0) {
        if (dist > STRIKE_RANGE) o->vx = forward; // close in on a reeling opponent
        return;
    }
    // Punish an attack that has just ended in reach.
    if (m.since_attack > 0 && m.since_attack < PUNISH_WINDOW && dist < STRIKE_RANGE && chance(k.punishes)) {
        command = chance(50) ? CMD_PUNCH : CMD_KICK;
        m.since_attack = 1000;
        m.strike_rest = 12;
        return;
    }
    // An opponent in the air: stand guard and wait for the landing.
    if (opp->posture == POSTURE_JUMP && dist < THREAT_RANGE + 60 && !hard) {
        o->vx = -forward;
        return;
    }
    // An attack under way: block it by its posture, after a moment to see it.
    if (opp_attacks && dist < THREAT_RANGE) {
        if (!m.misses_block || m.seen_attack > k.reaction) guard();
        return;
    }
    // Against a wall of blocks: walk up to it, then the throw, or a low kick under a
    // standing guard.
    if (m.blocking > 12) {
        if (dist >= STRIKE_RANGE) {
            o->vx = forward;
        } else if (m.strike_rest == 0) {
            if (dist < THROW_REACH && (opp->posture == POSTURE_CROUCH || chance(60))) {
                command = CMD_THROW;
            } else {
                o->vy = 1;
                command = CMD_KICK;
            }
            m.strike_rest = 24;
        } else if (dist >= THROW_REACH) {
            o->vx = forward;
        }
        return;
    }
    // Strike first at an opponent who keeps walking in to attack.
    if (m.walk_ins >= k.walk_ins && opp_walks_in && dist < STRIKE_RANGE + 40 && m.strike_rest == 0) {
        command = CMD_KICK;
        m.strike_rest = 20;
        return;
    }
    // An opponent in the air: stand guard and wait for the landing.
    if (opp->posture == POSTURE_JUMP && dist < THREAT_RANGE + 60) {
        o->vx = -forward;
        return;
    }
    // At a distance: now and then one of its specials, otherwise closing in.
    if (dist >= STRIKE_RANGE + 30) {
        if (dist < SPECIAL_RANGE && m.special_rest == 0 && chance(3)) {
            m.special_rest = SPECIAL_REST;
            int pick = random_next() % 3;
            if (pick == 0) command = CMD_SPECIAL1;
            else if (pick == 1 && start_combo(o, 3)) command = CMD_NONE;
            else command = CMD_SPECIAL2;
            return;
        }
        o->vx = forward;
        return;
    }
    // In reach of an opponent doing nothing: guard up, and now and then a mixed attack.
    if (m.strike_rest == 0 && chance(k.mixes)) {
        int pick = random_next() % 4;
        command = pick == 0 ? CMD_THROW : pick == 1 ? CMD_KICK : CMD_PUNCH;
        if (pick == 3) o->vy = 1; // low
        m.strike_rest = 30;
        return;
    }
    guard();
}
