#include "fighter_table.h"

#ifdef FIGHT_REDUCED
const fighter_info fighter_table[] = {
    {"Mirelle", "game/fighter/mirelle_char.ini"},
    {"Tamsin", "game/fighter/tamsin_char.ini"},
};
#else
const fighter_info fighter_table[] = {
    {"Mirelle", "game/fighter/mirelle_char.ini"},
    {"Tamsin", "game/fighter/tamsin_char.ini"},
    {"Ondine", "game/fighter/ondine_char.ini"},
    {"Verity", "game/fighter/verity_char.ini"},
};
#endif
const int fighter_count = (int)(sizeof fighter_table / sizeof fighter_table[0]);
