// moves: poses and frame lists of every move, shared by all fighters and varied by style.
#include "moves.h"

#include <cmath>

namespace {

const char* SWING_LIGHT = "rsrc/sfx/swing_light.wav";
const char* SWING_HEAVY = "rsrc/sfx/swing_heavy.wav";
const char* HIT_LIGHT = "rsrc/sfx/hit_light.wav";
const char* HIT_HEAVY = "rsrc/sfx/hit_heavy.wav";
const char* PROJECTILE = "rsrc/sfx/projectile.wav";
const char* KNOCKOUT = "rsrc/sfx/knockout.wav";
const char* JUMP = "rsrc/sfx/jump.wav";
const char* THROW = "rsrc/sfx/throw.wav";

// A pose from its angles: lean, head, near arm, near elbow, far arm, far elbow, near hip,
// near knee, far hip, far knee, forward shift, roll.
pose P(float lean, float head, float a0, float e0, float a1, float e1, float h0, float k0, float h1,
       float k1, float dx = 0, float roll = 0) {
    pose p;
    p.lean = lean, p.head = head;
    p.arm[0] = a0, p.elbow[0] = e0, p.arm[1] = a1, p.elbow[1] = e1;
    p.hip[0] = h0, p.knee[0] = k0, p.hip[1] = h1, p.knee[1] = k1;
    p.dx = dx, p.roll = roll;
    return p;
}

pose with_arms(pose p, const pose& arms) {
    for (int i = 0; i < 2; i++) {
        p.arm[i] = arms.arm[i], p.elbow[i] = arms.elbow[i], p.fist[i] = arms.fist[i];
    }
    return p;
}

pose with_legs(pose p, const pose& legs) {
    for (int i = 0; i < 2; i++) p.hip[i] = legs.hip[i], p.knee[i] = legs.knee[i];
    return p;
}

pose open_hands(pose p) {
    p.fist[0] = p.fist[1] = false;
    return p;
}

pose centred(pose p) {
    p.centred = true;
    return p;
}

// What the move sounds like and how the screen shakes when one of its hits lands.
move_def lands(move_def m, const char* sound, int shake) {
    m.hit_sound = sound;
    m.hit_shake = shake;
    return m;
}

move_def named(const std::string& name) {
    move_def m;
    m.name = name;
    return m;
}

move_frame F(const pose& p, int rate, const char* sound = "", int shake = 0, int flash = 0,
             int flashrate = 0) {
    move_frame f;
    f.p = p, f.rate = rate, f.sound = sound, f.shake = shake, f.flash = flash, f.flashrate = flashrate;
    return f;
}

// ---- the basic stances ------------------------------------------------------------------

pose stand(fight_style s) {
    switch (s) {
    case STYLE_BOXER: return P(8, 4, 30, 118, 18, 125, 16, 14, -14, 10);
    case STYLE_DANCER: return open_hands(P(2, -2, 45, 70, 10, 60, 12, 4, -10, 14));
    case STYLE_STRIKER: return P(5, 0, 38, 95, 25, 120, 18, 12, -16, 6);
    default: return P(4, 0, 35, 105, 20, 115, 14, 10, -12, 8);
    }
}

pose crouch(fight_style s) { return with_arms(P(22, -10, 0, 0, 0, 0, 75, 125, 35, 120), stand(s)); }
pose tuck(fight_style s) { return with_arms(P(8, 0, 0, 0, 0, 0, 85, 140, 55, 125), stand(s)); }
pose block_arms() { return P(-2, -8, 60, 140, 70, 130, 0, 0, 0, 0); }
pose block_stand() { return P(-4, -8, 60, 140, 72, 128, 22, 12, -16, 10, -2); }
pose hit_reel() { return P(-22, -18, -20, 40, -35, 30, 6, 14, -24, 6, -10); }
pose knocked_out() {
    pose p = P(0, 6, -12, 15, 140, 30, 8, 18, -6, 4, 22, -90);
    p.fist[0] = p.fist[1] = false;
    return p;
}
pose victory(fight_style s) { return P(2, 10, 178, 4, 12, 40, 12, 4, -12, 4); }
pose punch_out(fight_style s) { return P(14, 4, 92, 0, -15, 125, 30, 22, -30, 0, 10); }

// ---- moves ------------------------------------------------------------------------------

move_def punch(fight_style s) {
    move_def m = named("punch");
    pose wind = P(-4, 0, -25, 125, 45, 100, 25, 20, -22, 5, -4);
    pose hit = punch_out(s);
    m.frames = {F(wind, 4, SWING_LIGHT), F(hit, 6), F(blend(hit, stand(s), 0.5f), 5)};
    return lands(m, HIT_LIGHT, 0);
}

move_def kick(fight_style s) {
    move_def m = named("kick");
    pose wind = P(-8, 0, 40, 100, 10, 110, 80, 120, -6, 6);
    pose hit = P(-24, 6, 60, 70, -40, 60, 100, 2, -10, 4, -6);
    m.frames = {F(wind, 5, SWING_HEAVY), F(hit, 8), F(blend(wind, stand(s), 0.5f), 7)};
    return lands(m, HIT_HEAVY, 4);
}

move_def reel(const char* name, const pose& hit, const pose& back) {
    move_def m = named(name);
    m.frames = {F(hit, 5), F(back, 9), F(blend(back, hit, 0.5f), 6)};
    return m;
}

move_def special_rising(fight_style s) {
    move_def m = named("rising_strike");
    pose low = P(24, 0, -10, 130, 40, 100, 80, 120, 30, 110, 4);
    pose up = P(-6, -12, 170, 8, 30, 90, 40, 60, -10, 12, 10);
    pose top = P(-10, -15, 178, 0, 10, 70, 60, 90, -20, 30, 8);
    m.frames = {F(low, 6, SWING_HEAVY), F(up, 6, "", 0, 170, 40), F(top, 8),
                F(crouch(s), 6), F(stand(s), 4)};
    return lands(m, HIT_HEAVY, 8);
}

move_def special_roundhouse(fight_style s) {
    move_def m = named("roundhouse");
    pose chamber = P(-10, 0, 30, 90, -20, 80, 95, 130, -8, 6, -2);
    pose turn = P(-20, 8, -40, 60, -60, 40, 70, 60, -15, 4, -4);
    pose hit = P(-32, 10, 70, 30, -50, 50, 112, 0, -12, 6, -8);
    m.frames = {F(chamber, 5, SWING_HEAVY), F(turn, 4), F(hit, 8, "", 0, 170, 40),
                F(blend(chamber, stand(s), 0.5f), 7)};
    return lands(m, HIT_HEAVY, 8);
}

move_def cast(fight_style s, float firespeed) {
    move_def m = named("cast");
    pose charge = P(-8, 0, -40, 95, -35, 100, 28, 28, -26, 12, -4);
    charge.glow = 7;
    pose gather = P(-4, 0, -10, 120, -5, 110, 30, 30, -28, 12, -2);
    gather.glow = 12;
    pose release = open_hands(P(14, 0, 88, 0, 80, 10, 32, 22, -30, 0, 10));
    release.glow = 15;
    pose after = open_hands(P(10, 0, 85, 5, 75, 20, 30, 20, -28, 4, 8));
    move_frame f = F(release, 6, PROJECTILE, 3, 90, 30);
    f.fire = true, f.firespeed = firespeed;
    m.frames = {F(charge, 6, SWING_LIGHT), F(gather, 8), f, F(after, 10), F(stand(s), 4)};
    return m;
}

move_def knockdown(fight_style s) {
    move_def m = named("knockdown");
    pose back = P(-35, -25, -30, 50, 150, 30, 10, 20, -30, 10, -12);
    pose fall = P(-10, -20, 120, 40, 150, 30, 40, 40, 20, 30, -10, -50);
    pose flat = knocked_out();
    pose rise = P(30, 0, 60, 20, 40, 30, 85, 130, 40, 125, 0, -20);
    m.frames = {F(back, 6), F(fall, 6), F(flat, 8, KNOCKOUT, 6), F(flat, 22),
                F(rise, 8), F(crouch(s), 6)};
    return m;
}

move_def crouch_punch(fight_style s) {
    move_def m = named("crouch_punch");
    pose c = crouch(s);
    pose wind = with_arms(c, P(0, 0, -20, 120, 45, 100, 0, 0, 0, 0));
    pose hit = with_arms(c, P(0, 0, 88, 0, -10, 120, 0, 0, 0, 0));
    hit.lean = 28, hit.dx = 8;
    m.frames = {F(wind, 4, SWING_LIGHT), F(hit, 6), F(blend(hit, c, 0.5f), 5)};
    return lands(m, HIT_LIGHT, 0);
}

move_def crouch_kick(fight_style s) {
    move_def m = named("crouch_kick");
    pose c = crouch(s);
    pose wind = P(30, -6, 40, 90, 55, 20, 95, 140, 40, 125, -2);
    pose hit = P(34, -10, 30, 80, 62, 15, 66, 0, 40, 125, -6);
    m.frames = {F(wind, 5, SWING_HEAVY), F(hit, 8), F(blend(hit, c, 0.5f), 7)};
    return lands(m, HIT_HEAVY, 3);
}

move_def jump_punch(fight_style s) {
    move_def m = named("jump_punch");
    pose t = tuck(s);
    pose wind = with_arms(t, P(0, 0, -30, 130, 40, 100, 0, 0, 0, 0));
    pose hit = with_arms(t, P(0, 0, 62, 0, -10, 120, 0, 0, 0, 0));
    hit.lean = 20, hit.head = 12;
    hit.hip[0] = 60, hit.knee[0] = 110;
    m.frames = {F(wind, 4, SWING_LIGHT), F(hit, 8), F(blend(hit, t, 0.5f), 6)};
    return lands(m, HIT_LIGHT, 0);
}

move_def jump_kick(fight_style s) {
    move_def m = named("jump_kick");
    pose t = tuck(s);
    pose wind = P(-4, 0, 40, 100, 10, 110, 95, 140, 60, 130);
    pose hit = P(-14, 4, 120, 40, -20, 80, 62, 0, 65, 135, -4);
    m.frames = {F(wind, 4, SWING_HEAVY), F(hit, 10), F(blend(hit, t, 0.5f), 6)};
    return lands(m, HIT_HEAVY, 3);
}

move_def backflip(fight_style s) {
    move_def m = named("backflip");
    pose c = crouch(s);
    pose spring = P(-20, -20, 170, 10, 160, 20, 10, 10, -10, 6);
    pose ball = centred(P(10, 10, 60, 120, 50, 120, 100, 150, 90, 145));
    move_frame spin = F(ball, 12);
    spin.spin = -30;
    m.frames = {F(c, 5, JUMP), F(spring, 5, SWING_LIGHT), spin, F(c, 6), F(stand(s), 3)};
    return m;
}

move_def throw_move(fight_style s) {
    move_def m = named("throw");
    // Grab, heave the opponent up over the shoulder, then slam them down in front.
    pose reach = open_hands(P(18, 0, 80, 20, 75, 25, 24, 16, -22, 6, 8));
    pose grab = P(8, -4, 70, 70, 65, 75, 26, 22, -22, 12, 4);
    pose lift = P(-10, -10, 165, 20, 160, 25, 16, 24, -18, 12);
    pose slam = open_hands(P(30, 10, 70, 10, 62, 15, 40, 40, -30, 6, 12));
    m.frames = {F(reach, 5, THROW), F(grab, 6), F(lift, 8), F(slam, 8, HIT_HEAVY, 6),
                F(blend(slam, stand(s), 0.6f), 6)};
    return m;
}

move_def rush(fight_style s) {
    move_def m = named("rush");
    pose c = P(30, 0, -30, 120, -20, 110, 80, 125, 30, 120, -4);
    pose ball = centred(P(30, 20, 70, 130, 60, 130, 110, 150, 100, 150));
    move_frame roll = F(ball, 12);
    roll.spin = 30;
    pose hit = punch_out(s);
    hit.dx = 18, hit.lean = 20;
    m.frames = {F(c, 5, SWING_HEAVY), roll, F(hit, 8, "", 0, 120, 30), F(blend(hit, stand(s), 0.5f), 6)};
    return lands(m, HIT_HEAVY, 6);
}

move_def walk(fight_style s, bool forward) {
    move_def m = named(forward ? "walk_forward" : "walk_backward");
    m.loop = true;
    pose base = stand(s);
    const int n = 8;
    for (int i = 0; i < n; i++) {
        int k = forward ? i : n - 1 - i;
        float ph = k * 2 * 3.14159265f / n;
        pose p = base;
        float sw = std::sin(ph) * 24;
        p.hip[0] = 4 + sw, p.hip[1] = 4 - sw;
        p.knee[0] = 8 + 30 * std::max(0.0f, -std::cos(ph)) + (sw < 0 ? 8 : 0);
        p.knee[1] = 8 + 30 * std::max(0.0f, std::cos(ph)) + (sw > 0 ? 8 : 0);
        p.arm[0] = base.arm[0] - sw * 0.25f, p.arm[1] = base.arm[1] + sw * 0.25f;
        p.lean = forward ? base.lean + 4 : base.lean - 4;
        m.frames.push_back(F(p, 5));
    }
    return m;
}

move_def dash(fight_style s) {
    move_def m = named("dash");
    pose a = P(30, 14, -50, 40, -62, 30, 75, 50, -45, 15, 12);
    pose b = P(32, 14, -55, 35, -60, 30, 40, 20, -20, 80, 14);
    m.frames = {F(crouch(s), 3, SWING_LIGHT), F(a, 4), F(b, 4), F(a, 4), F(crouch(s), 3)};
    return m;
}

move_def projectile(fight_style s) {
    move_def m = named("bullet");
    m.loop = true;
    m.projectile = true;
    for (int i = 0; i < 4; i++) m.frames.push_back(F(pose(), 4));
    return m;
}

} // namespace

const char* const STILL_NAMES[STILL_COUNT] = {"stand", "jump", "crouch", "reel", "strike",
                                              "victory", "block_air", "block", "block_crouch", "ko"};

pose still_pose(int index, fight_style s) {
    switch (index) {
    case 0: return stand(s);
    case 1: return tuck(s);
    case 2: return crouch(s);
    case 3: return hit_reel();
    case 4: return punch_out(s);
    case 5: return victory(s);
    case 6: return with_arms(tuck(s), block_arms());
    case 7: return block_stand();
    case 8: {
        pose p = with_arms(crouch(s), block_arms());
        p.lean = 10;
        return p;
    }
    default: return knocked_out();
    }
}

std::vector<move_def> fighter_moves(fight_style s, float firespeed) {
    pose c = crouch(s);
    pose high = P(-30, -30, -40, 60, 150, 20, 0, 8, -18, 4, -12);
    pose low = with_legs(P(-6, -25, -30, 40, -10, 50, 0, 0, 0, 0, -6), c);
    bool kicker = s == STYLE_DANCER || s == STYLE_STRIKER;
    std::vector<move_def> m = {
        punch(s),
        reel("reel_high", hit_reel(), high),
        reel("reel", blend(stand(s), hit_reel(), 0.5f), hit_reel()),
        kick(s),
        kicker ? special_roundhouse(s) : special_rising(s),
        cast(s, firespeed),
        reel("reel_low", blend(c, low, 0.5f), low),
        knockdown(s),
        crouch_punch(s),
        crouch_kick(s),
        jump_punch(s),
        jump_kick(s),
        backflip(s),
        projectile(s),
        throw_move(s),
        rush(s),
        walk(s, true),
        walk(s, false),
        dash(s),
    };
    return m;
}
