#include "input/path.h"

#include <cmath>
#include <cstdlib>

#include "foundation/clock.h"
#include "foundation/log.h"
#include "foundation/primitives.h"
#include "input/direct_controls.h"
#include "input/keyhistory.h"

// rand mod n for a non-negative draw; a modulus below 1 (weights that sum to nothing)
// gives 0 instead of dividing by zero. Exactly one draw either way.
static int draw_mod(int n) {
    int r = random_next();
    if (r < 0) r = -(r + 1);
    return n > 0 ? r % n : 0;
}

path::path() { reset(); }

void path::reset() {
    for (int i = 0; i < PATH_MAX_STEPS; i++) mode[i] = arg1[i] = arg2[i] = arg3[i] = arg4[i] = 0;
    step = 0;
    steps = 0;
    action = 0;
    action2 = 0;
    vx = vy = 0;
    fire_x = fire_y = 0;
    x = y = 0;
    age = 0;
    mirrored = 0;
    ai_state = -1;
    opponent = 0;
    opponent_x = 0;
    has_opponent = 0;
    stage_width = 0;
    keys = nullptr;
    for (int& w : weights) w = 0;
}

void path::add_step(int m, int a1, int a2, int a3, int a4) {
    if (steps >= PATH_MAX_STEPS) {
        log_out("WARNING: path is full, step of mode [%d] not added\n", m);
        return;
    }
    mode[steps] = m;
    arg1[steps] = a1;
    arg2[steps] = a2;
    arg3[steps] = a3;
    arg4[steps] = a4;
    steps++;
}

// Weapon 0 fired straight down.
static void fire_down(path& p) {
    p.action = 0;
    p.fire_x = 0;
    p.fire_y = 1;
}

static void wander(path& p) {
    if (draw_mod(100) > 90) p.vx = draw_mod(3) - 1;
    if (draw_mod(100) > 90) p.vy = draw_mod(3) - 1;
    if (draw_mod(100) > 10) fire_down(p);
}

static void circle(path& p) {
    int i = (p.age * 3) % 360;
    if (i < 0) i += 360;
    p.vx = cos_table[i] * 0.01f + 0.1;
    p.vy = sin_table[i] * 0.01f;
    fire_down(p);
}

static void swing(path& p) {
    p.vx = cos(p.age * 2 * 0.03488888888888889);
    fire_down(p);
}

static void drift(path& p) {
    if (draw_mod(100) > 10) p.vx = draw_mod(3) - 1;
    if (draw_mod(100) > 80) p.vy = draw_mod(3) - 1;
    random_next();
    if (draw_mod(100) > 95) {
        p.action2 = 1;
        p.fire_x = 0;
        p.fire_y = -1;
    }
}

static void key_set(path& p, void (*read)(direct_control&)) {
    direct_control c = {p.vx, p.vy, p.action, p.fire_x, p.fire_y};
    read(c);
    p.vx = c.vx;
    p.vy = c.vy;
    p.action = c.action;
    p.fire_x = c.fire_x;
    p.fire_y = c.fire_y;
}

void path::run() {
    action = -1;
    action2 = -1;
    fire_x = 0;
    fire_y = 0;
    // No program, nothing to run; a step index from elsewhere is brought back into range.
    if (steps < 1) return;
    if (step < 0 || step >= steps) step = 0;

    switch (mode[step]) {
    case 0: wander(*this); break;
    case 1: circle(*this); break;
    case 2: swing(*this); break;
    case 3: key_set(*this, read_first_key_set); break;
    case 4: drift(*this); break;
    case 5: key_set(*this, read_second_key_set); break;
    case 6: think_ai(); break;
    case 7: vy = 0; break;
    default: break;
    }

    step++;
    if (step >= steps) step = 0;
}

// States of the computer opponent.
enum {
    AI_SHORT = -2,  // decide between blocking and approaching only
    AI_DECIDE = -1, // decide afresh
    AI_BLOCKING = 0,
    AI_APPROACHING = 1,
    AI_JUMPING = 2,
    AI_DUCKING = 3,
    AI_SPECIAL = 4,
    AI_EVADING = 5
};

void path::think_ai() {
    const int block = weights[AI_BLOCK], range = weights[AI_ATTACK_RANGE];
    const int jump = weights[AI_JUMP], duck = weights[AI_DUCK], approach = weights[AI_APPROACH];
    int& s = ai_state;

    if (draw_mod(100) > 95) s = AI_DECIDE;
    if (s == AI_JUMPING) s = AI_SHORT;
    if (s == AI_SHORT) {
        int r = draw_mod(block + approach + 100);
        if (r <= block) s = AI_BLOCKING;
        else if (r <= block + approach) s = AI_APPROACHING;
    }
    if (s == AI_DECIDE) {
        int r = draw_mod(2 * block + jump + duck + approach + 100);
        if (r <= block) s = AI_BLOCKING;
        else if (r <= block + approach) s = AI_APPROACHING;
        else if (r <= block + approach + jump) s = AI_JUMPING;
        else if (r <= block + approach + jump + duck) s = AI_DUCKING;
        else if (r <= block + approach + jump + duck + 100) s = AI_SPECIAL;
        else s = AI_EVADING;
    }

    switch (s) {
    case AI_BLOCKING: vx = mirrored ? -1 : 1; break;
    case AI_APPROACHING: {
        // Without an opponent there is nobody to reach: keep approaching.
        bool near = has_opponent && abs(opponent_x - x) < range * stage_width / 100;
        if (near) {
            int r = draw_mod(4);
            action = (r == 0 || r == 2) ? 0 : 3;
            fire_x = 0;
            fire_y = -1;
        } else {
            vx = mirrored ? 1 : -1;
        }
        break;
    }
    case AI_JUMPING: vy = -1; break;
    case AI_DUCKING: vy = 1; break;
    case AI_SPECIAL:
        if (keys && keys->combos && !keys->combos->empty()) {
            int k = draw_mod((int)keys->combos->size());
            keys->start_combo_now(&(*keys->combos)[(size_t)k]);
        }
        s = AI_DECIDE;
        break;
    default:
        action = -1;
        vx = mirrored ? -1 : 1;
        break;
    }
}
