// figure: a fighter drawn from a skeleton. A pose gives the joint angles; the build gives
// the bone lengths and thicknesses; the look gives palette, hair and outfit. Drawing works
// in a right-facing frame (forward is +x) and the caller mirrors the finished picture when
// the game wants the other facing. Angles are degrees: limbs measure from straight down,
// positive towards the front; the torso measures from straight up, positive leaning forward.
#pragma once
#include "paint.h"

enum hair_style { HAIR_PONYTAIL, HAIR_BOB, HAIR_LONG, HAIR_BUN };
enum outfit_detail { DETAIL_VNECK, DETAIL_ZIP, DETAIL_SASH };

struct build {
    float height;    // 1.0: about 240 pixels from heel to crown
    float bulk;      // thickness of torso and limbs
    float shoulders; // chest width factor
};

struct look {
    rgb skin, hair, top, sleeve, bottom, boots, gloves, belt, energy, outline;
    hair_style hair_kind;
    bool skirt;      // a short skirt over the thighs
    bool bare_arms;  // sleeves end at the shoulder
    outfit_detail detail;
};

struct pose {
    float lean = 0, head = 0;       // torso lean, head tilt (both forward positive)
    float arm[2] = {20, 15};        // upper arm angles, near arm first
    float elbow[2] = {60, 60};      // forearm bend, forward positive
    float hip[2] = {8, -8};         // thigh angles
    float knee[2] = {5, 5};         // shin bend, backward positive
    float dx = 0;                   // pelvis shift forward
    float roll = 0;                 // whole body rotation about the pelvis (backward negative)
    bool fist[2] = {true, true};    // closed hands; open palms otherwise
    bool centred = false;           // airborne spin frames: figure centred in the canvas
    float glow = 0;                 // radius of an energy ball held in the near hand
};

// Blends two poses (t = 0 gives a, 1 gives b).
pose blend(const pose& a, const pose& b, float t);

// Draws the figure with its pelvis at horizontal position cx; the lowest point of the body
// rests on the line ground (or the figure is centred vertically when the pose says so).
void draw_figure(SDL_Surface* s, const build& b, const look& l, const pose& p, float cx,
                 float ground);
