// fighter_file: reading a fighter definition file into a lifeform (lifeform::load). The file
// gives hit points ("hp"), "scale", "speed", the animation file of every move ("moves",
// "move%d", "move%dscale"), the still images ("images", "image%d"), an optional fixed size
// ("width", "height") and the combos ("combos", "combo%dmoves", "combo%dmove",
// "combo%dmove%d" naming control stages). The loading animation is redrawn as it goes.
//
// Before loading, set the lifeform's control stage list (combos are bound against it) and,
// for a re-coloured fighter, its colour swaps: every still image and move frame then becomes
// a private re-coloured copy. The configuration object is local to the load.
#pragma once
#include <string>

// Counts above these are taken as these: a broken file cannot make loading run for ever.
enum {
    FIGHTER_MAX_MOVES = 256,
    FIGHTER_MAX_IMAGES = 256,
    FIGHTER_MAX_COMBOS = 256,
    FIGHTER_MAX_COMBO_STAGES = 64
};

// The six AI weights a freshly read fighter starts with (block, reserved, attack range,
// jump, duck, approach); the match sets its own afterwards.
extern const int fighter_default_ai_weights[6];

struct check_report;
// Checks a fighter file as lifeform::load reads it, and each move file it names once: the
// numbers, the still pictures and sounds, that every combo starts a move the fighter has
// and names controls that exist, and that no key numbers a move past the last.
void check_fighter_file(check_report& report, const std::string& path);
