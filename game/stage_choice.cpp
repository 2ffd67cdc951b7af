#include "stage_choice.h"

#include <cstring>

#include "game_options.h"

const char* const stage_files[STAGE_FILES] = {"rsrc/road/stage_road.ini",
                                              "rsrc/harbour/stage_harbour.ini"};
const char* match_stage_file = stage_files[0];

// Matches begun under "alternate" this session.
static int alternated = 0;

const char* stage_for_next_match(const game_options& o) {
    if (o.stage == STAGE_ALTERNATE) return stage_files[alternated++ % STAGE_FILES];
    return stage_files[o.stage == STAGE_HARBOUR ? 1 : 0];
}

const char* known_stage(const char* file) {
    for (const char* s : stage_files)
        if (file && strcmp(file, s) == 0) return s;
    return nullptr;
}
