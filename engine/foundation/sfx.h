// sfx: one sound effect, loaded once per path through the sound cache Sfx_Manager and
// played on the first free mixer channel. A file that failed to load plays silently.
// Frames keep their own copy of this record; the chunk is shared and lives until exit.
#pragma once
#include <SDL_mixer.h>
#include <cstdint>

#include "foundation/manager.h"

struct sfx {
    int32_t refs;
    Mix_Chunk* chunk;

    sfx() : refs(0), chunk(nullptr) {}
    Mix_Chunk* load(const char* path);
    void play(int channel, int loops) const;
};

extern nmanager<sfx> Sfx_Manager;
