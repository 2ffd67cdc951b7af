// The fighters a match can be fought with, the match modes and how a match ends: what the
// match, its recordings and the screens around it share.
#pragma once

// Match modes.
// Training (training.h) never ends a round: only Escape or a closed window ends it.
enum match_mode { MODE_ARCADE = 1, MODE_VERSUS = 2, MODE_SURVIVAL = 3, MODE_DEMO = 4, MODE_TRAINING = 5 };

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
