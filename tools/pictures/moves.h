// moves: the choreography of every fighter. For each move number the game uses (0 punch,
// 1 and 2 reeling from a hit, 3 kick, 4 and 5 the two specials, 6 reeling while crouched,
// 7 knocked down, 8 and 9 crouching punch and kick, 10 and 11 jumping punch and kick,
// 12 back flip, 13 the projectile in flight, 14 throw, 15 rolling rush, 16 and 17 walking
// forwards and backwards, 18 dash) a list of frames: a pose, how many ticks it stays, and
// the sound and screen effects it triggers. Still images 0 to 9 have one pose each.
#pragma once
#include <string>
#include <vector>

#include "figure.h"

struct move_frame {
    pose p;
    int rate = 4;
    std::string sound; // path under the game folder, empty for none
    int shake = 0, flash = 0, flashrate = 0;
    bool fire = false;
    float firespeed = 0;
    int spin = 0;
};

struct move_def {
    std::string name;   // file-name part, e.g. "jump_punch"
    bool loop = false;
    bool projectile = false; // frames are the fighter's projectile, not the fighter
    std::vector<move_frame> frames;
    // Heard and felt only when one of the move's hits lands, never on a miss.
    std::string hit_sound;
    int hit_shake = 0;
};

const int MOVE_COUNT = 19;
const int STILL_COUNT = 10;

// Fighting styles shape the guard and the signature special (move 4).
enum fight_style { STYLE_BRAWLER, STYLE_BOXER, STYLE_DANCER, STYLE_STRIKER };

extern const char* const STILL_NAMES[STILL_COUNT];

std::vector<move_def> fighter_moves(fight_style style, float firespeed);
pose still_pose(int index, fight_style style);
