// The fighters a match can be fought with, the match modes and how a match ends: what the
// match, its recordings and the screens around it share.
#pragma once

// Match modes.
// Training (training.h) never ends a round: only Escape or a closed window ends it.
enum match_mode { MODE_ARCADE = 1, MODE_VERSUS = 2, MODE_SURVIVAL = 3, MODE_DEMO = 4, MODE_TRAINING = 5 };

// End flag of a round and of the match: 0 running, 1 decided, 2 abandoned.
enum match_end { MATCH_RUNNING = 0, MATCH_DECIDED = 1, MATCH_ABANDONED = 2 };

// One row of the fighter table: the display name and the fighter file; a fighter added by
// the roster file (roster.h) also names its character-select pictures (built-in fighters
// have theirs in the preload: null here).
struct fighter_info {
    const char* name;
    const char* file;
    const char* action_shot = nullptr;
    const char* portrait = nullptr;
    const char* small_portrait = nullptr; // the match display's
};

// Rows the table can hold: the built-in fighters and those the roster file adds.
enum { FIGHTERS_MAX = 32 };
// The fighter table: four built-in rows ("Mirelle", "Tamsin", "Ondine", "Verity"; two in
// fightdemo), then the roster file's. The texts of added rows belong to the roster.
extern fighter_info fighter_table[FIGHTERS_MAX];
extern int fighter_count;
extern const int built_in_fighters;
