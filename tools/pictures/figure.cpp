// figure: forward kinematics of the skeleton and the painting of body, outfit and hair.
#include "figure.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

const float DEG = 3.14159265f / 180.0f;

struct pt {
    float x, y;
};

pt add(pt a, pt b) { return {a.x + b.x, a.y + b.y}; }
pt scale(pt a, float k) { return {a.x * k, a.y * k}; }
// A unit vector for a limb angle: 0 points straight down, 90 straight forward.
pt limb_dir(float deg) { return {std::sin(deg * DEG), std::cos(deg * DEG)}; }
// A unit vector for a torso angle: 0 points straight up, positive leans forward.
pt up_dir(float deg) { return {std::sin(deg * DEG), -std::cos(deg * DEG)}; }

// Joint positions of one pose, relative to the pelvis, before the body roll.
struct skeleton {
    pt pelvis, waist, chest, neck, head;
    pt shoulder[2], elbow[2], hand[2];
    pt hip[2], knee[2], ankle[2], toe[2];
    float head_tilt;
};

struct sizes {
    float head_r, neck, torso, upper_arm, forearm, thigh, shin, foot;
    float thigh_r0, thigh_r1, shin_r0, shin_r1, arm_r0, arm_r1, fore_r0, fore_r1;
    float waist_r, chest_r, pelvis_r, hand_r, ow;
};

sizes measure(const build& b) {
    float h = b.height, k = b.bulk;
    sizes z;
    z.head_r = 16.5f * (0.5f + 0.5f * h);
    z.neck = 7 * h;
    z.torso = 66 * h;
    z.upper_arm = 45 * h;
    z.forearm = 41 * h;
    z.thigh = 60 * h;
    z.shin = 58 * h;
    z.foot = 19 * h;
    z.thigh_r0 = 11.5f * k, z.thigh_r1 = 8.5f * k;
    z.shin_r0 = 8 * k, z.shin_r1 = 5.5f * k;
    z.arm_r0 = 7.5f * k, z.arm_r1 = 6 * k;
    z.fore_r0 = 6 * k, z.fore_r1 = 5 * k;
    z.waist_r = 12 * k;
    z.chest_r = 15.5f * k * b.shoulders;
    z.pelvis_r = 12.5f * k;
    z.hand_r = 6.5f * k;
    z.ow = 2.0f;
    return z;
}

skeleton pose_joints(const sizes& z, const pose& p) {
    skeleton s;
    s.pelvis = {0, 0};
    pt up = up_dir(p.lean);
    s.waist = scale(up, z.pelvis_r * 0.8f);
    s.chest = scale(up, z.torso);
    pt hup = up_dir(p.lean + p.head);
    s.neck = add(s.chest, scale(up, 4));
    s.head = add(s.neck, scale(hup, z.neck + z.head_r));
    s.head_tilt = p.lean + p.head;
    pt fwd = {std::cos(p.lean * DEG), std::sin(p.lean * DEG)};
    s.shoulder[0] = add(s.chest, add(scale(fwd, 2), scale(up, -6)));
    s.shoulder[1] = add(s.chest, add(scale(fwd, -3), scale(up, -4)));
    for (int i = 0; i < 2; i++) {
        s.elbow[i] = add(s.shoulder[i], scale(limb_dir(p.arm[i]), z.upper_arm));
        s.hand[i] = add(s.elbow[i], scale(limb_dir(p.arm[i] + p.elbow[i]), z.forearm));
        s.hip[i] = {i == 0 ? 2.0f : -2.0f, i == 0 ? 2.0f : 0.0f};
        s.knee[i] = add(s.hip[i], scale(limb_dir(p.hip[i]), z.thigh));
        float shin = p.hip[i] - p.knee[i];
        s.ankle[i] = add(s.knee[i], scale(limb_dir(shin), z.shin));
        s.toe[i] = add(s.ankle[i], scale(limb_dir(shin + 95), z.foot));
    }
    return s;
}

// Every joint of the skeleton, for measuring and moving it.
std::vector<pt*> all_points(skeleton& s) {
    std::vector<pt*> v = {&s.pelvis, &s.waist, &s.chest, &s.neck, &s.head};
    for (int i = 0; i < 2; i++) {
        pt* arm[] = {&s.shoulder[i], &s.elbow[i], &s.hand[i], &s.hip[i], &s.knee[i], &s.ankle[i], &s.toe[i]};
        v.insert(v.end(), arm, arm + 7);
    }
    return v;
}

void transform(skeleton& s, float roll, pt origin) {
    float c = std::cos(roll * DEG), si = std::sin(roll * DEG);
    for (pt* q : all_points(s)) {
        pt r = {q->x * c - q->y * si, q->x * si + q->y * c};
        *q = add(r, origin);
    }
    s.head_tilt += roll;
}

tones far_side(rgb c) { return make_tones(mix(c, {10, 10, 25}, 0.22f)); }

// Two joined segments (upper and lower limb) outlined as one shape: both outlines first,
// then both fills, so no line crosses the joint.
void limb(SDL_Surface* surf, pt a, pt b, pt c, float ra, float rb, float rc0, float rc1,
          const tones& upper, const tones& lower, rgb line, float ow) {
    tones ink = {line, line, line};
    capsule(surf, a.x, a.y, b.x, b.y, ra + ow, rb + ow, ink, line, 0);
    capsule(surf, b.x, b.y, c.x, c.y, rc0 + ow, rc1 + ow, ink, line, 0);
    capsule(surf, a.x, a.y, b.x, b.y, ra, rb, upper, line, 0);
    capsule(surf, b.x, b.y, c.x, c.y, rc0, rc1, lower, line, 0);
}

// ---- body parts -------------------------------------------------------------------------

void paint_arm(SDL_Surface* surf, const skeleton& s, const sizes& z, const look& l, const pose& p,
               int i) {
    bool near = i == 0;
    auto t = [&](rgb c) { return near ? make_tones(c) : far_side(c); };
    rgb upper = l.bare_arms ? l.skin : l.sleeve;
    limb(surf, s.shoulder[i], s.elbow[i], s.hand[i], z.arm_r0, z.arm_r1, z.fore_r0, z.fore_r1, t(upper),
         t(l.skin), l.outline, z.ow);
    // Glove cuff and hand.
    pt d = {s.hand[i].x - s.elbow[i].x, s.hand[i].y - s.elbow[i].y};
    float len = std::max(1.0f, std::hypot(d.x, d.y));
    pt u = {d.x / len, d.y / len};
    pt cuff = {s.hand[i].x - u.x * 10, s.hand[i].y - u.y * 10};
    capsule(surf, cuff.x, cuff.y, s.hand[i].x, s.hand[i].y, z.fore_r1 + 0.5f, z.fore_r1 + 0.5f,
            t(l.gloves), l.outline, z.ow);
    if (p.fist[i])
        disc(surf, s.hand[i].x + u.x * 3, s.hand[i].y + u.y * 3, z.hand_r, t(l.gloves), l.outline, z.ow);
    else
        capsule(surf, s.hand[i].x, s.hand[i].y, s.hand[i].x + u.x * 11, s.hand[i].y + u.y * 11,
                z.hand_r - 0.5f, z.hand_r - 1.5f, t(l.gloves), l.outline, z.ow);
}

void paint_leg(SDL_Surface* surf, const skeleton& s, const sizes& z, const look& l, int i) {
    bool near = i == 0;
    auto t = [&](rgb c) { return near ? make_tones(c) : far_side(c); };
    tones leg = t(l.skirt ? l.skin : l.bottom);
    limb(surf, s.hip[i], s.knee[i], s.ankle[i], z.thigh_r0, z.thigh_r1, z.shin_r0, z.shin_r1, leg, leg,
         l.outline, z.ow);
    // Boot: the lower shin and the foot.
    pt boot_top = {s.knee[i].x + (s.ankle[i].x - s.knee[i].x) * 0.55f,
                   s.knee[i].y + (s.ankle[i].y - s.knee[i].y) * 0.55f};
    capsule(surf, boot_top.x, boot_top.y, s.ankle[i].x, s.ankle[i].y, z.shin_r1 + 1.5f, z.shin_r1 + 1,
            t(l.boots), l.outline, z.ow);
    capsule(surf, s.ankle[i].x, s.ankle[i].y, s.toe[i].x, s.toe[i].y, z.shin_r1 + 0.5f, 4.5f,
            t(l.boots), l.outline, z.ow);
}

void paint_skirt(SDL_Surface* surf, const skeleton& s, const sizes& z, const look& l) {
    // A short flared skirt from the waist band to mid-thigh, widening with the legs' spread.
    pt dn = {s.pelvis.x - s.waist.x, s.pelvis.y - s.waist.y};
    float len = std::max(1.0f, std::hypot(dn.x, dn.y));
    pt d = {dn.x / len, dn.y / len}, side = {-d.y, d.x};
    float spread = 0;
    for (int i = 0; i < 2; i++) {
        pt k = {s.knee[i].x - s.pelvis.x, s.knee[i].y - s.pelvis.y};
        spread = std::max(spread, std::fabs(k.x * side.x + k.y * side.y) * 0.5f);
    }
    float flare = std::max(24.0f, spread + 10);
    pt hem = add(s.pelvis, scale(d, 30));
    pt q[5] = {add(s.waist, scale(side, z.waist_r + 1)), add(hem, scale(side, flare)),
               add(hem, scale(d, 3)), add(hem, scale(side, -flare)),
               add(s.waist, scale(side, -(z.waist_r + 1)))};
    float xs[5], ys[5];
    for (int i = 0; i < 5; i++) xs[i] = q[i].x, ys[i] = q[i].y;
    polygon(surf, xs, ys, 5, make_tones(l.bottom), l.outline, z.ow);
}

void paint_torso(SDL_Surface* surf, const skeleton& s, const sizes& z, const look& l) {
    tones top = make_tones(l.top);
    disc(surf, s.pelvis.x, s.pelvis.y, z.pelvis_r, make_tones(l.skirt ? l.top : l.bottom), l.outline, z.ow);
    capsule(surf, s.waist.x, s.waist.y, s.chest.x, s.chest.y, z.waist_r, z.chest_r, top, l.outline, z.ow);
    // Belt across the waist.
    pt d = {s.chest.x - s.waist.x, s.chest.y - s.waist.y};
    float len = std::max(1.0f, std::hypot(d.x, d.y));
    pt u = {d.x / len, d.y / len};
    pt b = add(s.waist, scale(u, 2));
    pt side = {-u.y, u.x};
    capsule(surf, b.x - side.x * (z.waist_r - 2), b.y - side.y * (z.waist_r - 2), b.x + side.x * (z.waist_r - 2),
            b.y + side.y * (z.waist_r - 2), 4, 4, make_tones(l.belt), l.outline, 1.5f);
    // The outfit's mark, in the torso's own frame (side points forward, u up).
    auto at = [&](pt base, float f, float up) { return add(base, add(scale(side, f), scale(u, up))); };
    float cr = z.chest_r;
    if (l.detail == DETAIL_VNECK) {
        pt q[3] = {at(s.chest, 3, 3), at(s.chest, cr + 1, 3), at(s.chest, cr - 3, -15)};
        float xs[3] = {q[0].x, q[1].x, q[2].x}, ys[3] = {q[0].y, q[1].y, q[2].y};
        polygon(surf, xs, ys, 3, make_tones(l.skin), l.outline, 1.2f);
    } else if (l.detail == DETAIL_ZIP) {
        pt a = at(s.chest, cr - 3, 2), c = at(s.waist, z.waist_r - 3, 6);
        line(surf, a.x, a.y, c.x, c.y, 2, mix(l.top, {240, 240, 240}, 0.6f));
    } else {
        pt a = at(s.chest, -cr * 0.7f, 2), c = at(s.waist, z.waist_r * 0.8f, 8);
        capsule(surf, a.x, a.y, c.x, c.y, 3.5f, 3.5f, make_tones(l.belt), l.outline, 1.2f);
    }
}

void paint_head(SDL_Surface* surf, const skeleton& s, const sizes& z, const look& l, float sway) {
    float r = z.head_r;
    float a = s.head_tilt * DEG;
    pt up = {std::sin(a), -std::cos(a)}, fwd = {std::cos(a), std::sin(a)};
    // Neck.
    capsule(surf, s.neck.x, s.neck.y, s.head.x - up.x * r * 0.6f, s.head.y - up.y * r * 0.6f, 6, 6,
            make_tones(l.skin), l.outline, z.ow);
    disc(surf, s.head.x, s.head.y, r, make_tones(l.skin), l.outline, z.ow);
    // Nose: a small bump on the profile.
    pt nose = add(s.head, add(scale(fwd, r - 1), scale(up, -0.12f * r)));
    disc(surf, nose.x, nose.y, 3, make_tones(l.skin), l.outline, z.ow * 0.75f);
    tones hair = make_tones(l.hair);
    // Hair cap: crown and back of the head, with volume by style.
    float vol = l.hair_kind == HAIR_BOB ? 5.0f : l.hair_kind == HAIR_LONG ? 3.0f : 2.0f;
    float rh = r + vol;
    for (int y = (int)(s.head.y - rh - 2); y <= (int)(s.head.y + rh + 2); y++)
        for (int x = (int)(s.head.x - rh - 2); x <= (int)(s.head.x + rh + 2); x++) {
            float px = x + 0.5f - s.head.x, py = y + 0.5f - s.head.y;
            float d = std::hypot(px, py);
            float fa = px * fwd.x + py * fwd.y, ub = px * up.x + py * up.y; // forward, up
            bool crown = ub > 0.30f * r - 0.35f * fa;
            bool back = fa < -0.25f * r && ub > (l.hair_kind == HAIR_BOB ? -0.95f * r : -0.45f * r);
            bool fringe = fa > 0.2f * r && ub > 0.38f * r;
            if (!(crown || back || fringe)) continue;
            float lim = (fa > 0.1f * r) ? r + 1 : rh;
            if (d > lim + 1.5f) continue;
            if (d > lim - 0.5f) {
                put(surf, x, y, l.outline);
                continue;
            }
            put(surf, x, y, shade(hair, px / (lim + 1), py / (lim + 1)));
        }
    // Eye and mouth.
    pt eye = add(s.head, add(scale(fwd, 0.55f * r), scale(up, 0.05f * r)));
    // Profile eye: white, a dark iris towards the front, a lash line above.
    int ex = (int)eye.x, ey = (int)eye.y, fx = fwd.x >= 0 ? 1 : -1;
    box(surf, ex - 2, ey - 1, ex + 1, ey + 2, {244, 240, 236});
    box(surf, fx > 0 ? ex : ex - 2, ey - 1, fx > 0 ? ex + 1 : ex - 1, ey + 2, {40, 30, 50});
    box(surf, ex - 3, ey - 2, ex + 2, ey - 2, l.outline);
    pt brow = add(eye, scale(up, 4.5f));
    line(surf, brow.x - fwd.x * 3, brow.y - fwd.y * 3, brow.x + fwd.x * 2, brow.y + fwd.y * 2, 1.5f,
         mix(l.hair, l.outline, 0.5f));
    pt mouth = add(s.head, add(scale(fwd, 0.62f * r), scale(up, -0.5f * r)));
    line(surf, mouth.x - fwd.x * 2, mouth.y - fwd.y * 2, mouth.x + fwd.x * 2, mouth.y + fwd.y * 2, 1.2f,
         mix(l.skin, l.outline, 0.6f));
    if (l.hair_kind == HAIR_BUN) {
        pt bun = add(s.head, add(scale(fwd, -0.55f * r), scale(up, 0.85f * r)));
        disc(surf, bun.x, bun.y, 8.5f, hair, l.outline, z.ow);
    }
    (void)sway;
}

// Hair that hangs behind the body: drawn before everything else.
void paint_back_hair(SDL_Surface* surf, const skeleton& s, const sizes& z, const look& l, float sway,
                     float roll) {
    // Hair hangs down; on a body lying on its back it spreads along the ground instead.
    bool lying = roll <= -60;
    float spread = -180 - roll;
    float r = z.head_r;
    float a = s.head_tilt * DEG;
    pt up = {std::sin(a), -std::cos(a)}, fwd = {std::cos(a), std::sin(a)};
    tones hair = make_tones(l.hair);
    if (l.hair_kind == HAIR_PONYTAIL) {
        pt root = add(s.head, add(scale(fwd, -0.8f * r), scale(up, 0.45f * r)));
        // Outline every segment first, then fill, so the tail reads as one lock of hair.
        pt joints[7];
        float radius[7];
        joints[0] = root, radius[0] = 7.5f;
        float ang = lying ? spread + 4 : -75 + sway; // pointing back and down
        for (int i = 1; i < 7; i++) {
            joints[i] = add(joints[i - 1], scale(limb_dir(ang), 9));
            radius[i] = radius[i - 1] - 0.8f;
            ang += lying ? -5 : 9;
        }
        tones ink = {l.outline, l.outline, l.outline};
        for (int pass = 0; pass < 2; pass++)
            for (int i = 0; i < 6; i++)
                capsule(surf, joints[i].x, joints[i].y, joints[i + 1].x, joints[i + 1].y,
                        radius[i] + (pass ? 0 : z.ow), radius[i + 1] + (pass ? 0 : z.ow),
                        pass ? hair : ink, l.outline, 0);
    } else if (l.hair_kind == HAIR_LONG) {
        pt root = add(s.head, add(scale(fwd, -0.45f * r), scale(up, 0.2f * r)));
        pt end = add(root, add(scale(limb_dir(lying ? spread - 6 : -12 + sway * 0.5f), 62), scale(fwd, -4)));
        capsule(surf, root.x, root.y, end.x, end.y, r + 1, 10, hair, l.outline, z.ow);
    }
}

} // namespace

pose blend(const pose& a, const pose& b, float t) {
    pose p = t < 0.5f ? a : b;
    auto m = [t](float x, float y) { return x + (y - x) * t; };
    p.lean = m(a.lean, b.lean), p.head = m(a.head, b.head);
    for (int i = 0; i < 2; i++) {
        p.arm[i] = m(a.arm[i], b.arm[i]), p.elbow[i] = m(a.elbow[i], b.elbow[i]);
        p.hip[i] = m(a.hip[i], b.hip[i]), p.knee[i] = m(a.knee[i], b.knee[i]);
    }
    p.dx = m(a.dx, b.dx), p.roll = m(a.roll, b.roll), p.glow = m(a.glow, b.glow);
    return p;
}

void draw_figure(SDL_Surface* surf, const build& b, const look& l, const pose& p, float cx,
                 float ground) {
    sizes z = measure(b);
    skeleton s = pose_joints(z, p);
    transform(s, p.roll, {0, 0});
    // Measure the body's vertical extent to stand it on the ground (or centre it).
    float lo = -1e9f, hi = 1e9f;
    for (pt* q : all_points(s)) lo = std::max(lo, q->y), hi = std::min(hi, q->y);
    lo += 7.5f;                 // foot and limb thickness below the lowest joint
    hi = std::min(hi, s.head.y - z.head_r - 4);
    float oy = p.centred ? surf->h * 0.5f - (lo + hi) * 0.5f : ground - lo;
    transform(s, 0, {cx + p.dx, oy});
    float sway = p.lean * 0.6f - p.roll * 0.2f;

    paint_back_hair(surf, s, z, l, sway, p.roll);
    paint_arm(surf, s, z, l, p, 1);
    paint_leg(surf, s, z, l, 1);
    paint_torso(surf, s, z, l);
    paint_leg(surf, s, z, l, 0);
    if (l.skirt) paint_skirt(surf, s, z, l);
    paint_head(surf, s, z, l, sway);
    paint_arm(surf, s, z, l, p, 0);
    if (p.glow > 0) {
        tones e = make_tones(l.energy);
        float gx = s.hand[0].x + (s.hand[0].x - s.elbow[0].x) * 0.25f;
        float gy = s.hand[0].y + (s.hand[0].y - s.elbow[0].y) * 0.25f;
        disc(surf, gx, gy, p.glow, e, e.dark, 2);
        disc(surf, gx - p.glow * 0.2f, gy - p.glow * 0.2f, p.glow * 0.45f,
             make_tones(mix(l.energy, {255, 255, 255}, 0.7f)), e.light, 1);
    }
}
