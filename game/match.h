// The match: two fighters on the road stage fighting rounds until one has won more rounds
// than required (in survival, until the computer on the left wins one), or until Escape or
// a closed window abandons it. Set-up loads the stage and both fighters; each frame sets
// facing and the camera, draws the stage, applies the rules of contact (blocking by
// posture, trades, projectile clashes, chip damage, throws, block dash), counts the
// knock-out, steps and draws every object with its display, and plays the hit effects.
//
// Ownership: the match owns its fighters and projectiles through the combatant registry and
// the current level; both are emptied and deleted before run_match returns. Everything in
// match_resources is the caller's (loaded by the preload) and is only used here. Hit effects
// are copies of the explosion template kept in match_effects; they outlive a match until
// their animation ends.
#pragma once
#include <SDL_framerate.h>
#include <SDL_mixer.h>
#include <vector>

#include "osd.h"

struct anim_group;
struct font;

// Match modes.
enum match_mode { MODE_ARCADE = 1, MODE_VERSUS = 2, MODE_SURVIVAL = 3, MODE_DEMO = 4 };

// End flag of a round and of the match: 0 running, 1 decided, 2 abandoned.
enum match_end { MATCH_RUNNING = 0, MATCH_DECIDED = 1, MATCH_ABANDONED = 2 };

// One row of the fighter table: the display name and the fighter file.
struct fighter_info {
    const char* name;
    const char* file;
};
// The fighter table: four rows ("Mirelle", "Tamsin", "Ondine", "Verity"); two in fightdemo.
extern const fighter_info fighter_table[];
extern const int fighter_count;

// What the preload holds for the match.
struct match_resources {
    anim_group* explosion = nullptr; // template group of "game/fighter/expl.ini"
    font* main_font = nullptr;       // knock-out texts
    osd_resources* osd = nullptr;    // the display's images, fonts and colours
    FPSmanager* pacer = nullptr;     // the main function's frame-rate manager, set to fps here
    Mix_Music* music = nullptr;      // "rsrc/tech_loop.ogg", looped while the match runs
};

// Runs one match. fighter_a (left, player 2's pick) and fighter_b (right, player 1's pick)
// are fighter table indices; required_wins is ignored in survival. Returns the end flag
// that ended the match: MATCH_DECIDED or MATCH_ABANDONED. The current level and the
// combatant registry are empty afterwards.
int run_match(int mode, int fighter_a, int fighter_b, int required_wins,
              const match_resources& res);

// Hit effects still playing (copies of the explosion template), in creation order.
extern std::vector<anim_group*> match_effects;
