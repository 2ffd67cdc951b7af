#include "fighter_table.h"

#ifdef FIGHT_REDUCED
fighter_info fighter_table[FIGHTERS_MAX] = {
    {"Mirelle", "game/fighter/mirelle_char.ini"},
    {"Tamsin", "game/fighter/tamsin_char.ini"},
};
const int built_in_fighters = 2;
#else
fighter_info fighter_table[FIGHTERS_MAX] = {
    {"Mirelle", "game/fighter/mirelle_char.ini"},
    {"Tamsin", "game/fighter/tamsin_char.ini"},
    {"Ondine", "game/fighter/ondine_char.ini"},
    {"Verity", "game/fighter/verity_char.ini"},
};
const int built_in_fighters = 4;
#endif
int fighter_count = built_in_fighters;
