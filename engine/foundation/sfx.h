// sfx: one sound effect, loaded once per path through the sound cache Sfx_Manager and
// played on the first free mixer channel. A file that failed to load plays silently.
// Frames keep their own copy of this record; the chunk is shared and lives until exit.
#pragma once
#include <SDL_mixer.h>
#include <cstdint>
#include <vector>

#include "foundation/manager.h"

struct sfx {
    int32_t refs;
    Mix_Chunk* chunk;

    sfx() : refs(0), chunk(nullptr) {}
    Mix_Chunk* load(const char* path);
    void play(int channel, int loops) const;
};

extern nmanager<sfx> Sfx_Manager;

// Where played sounds go: to the mixer (no target), or into a list that whoever installed
// it plays later (a match step hands its sounds to the screen that shows the frame). A
// target that is full, or that drops, takes nothing more.
struct sfx_list {
    std::vector<const sfx*> played; // capacity reserved by the owner
    bool drop = false;
};
extern sfx_list* sfx_target;
