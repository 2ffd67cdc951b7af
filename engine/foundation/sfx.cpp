#include "foundation/sfx.h"

#include "foundation/log.h"
#include "foundation/safe_file.h"
#include "foundation/sound_check.h"

nmanager<sfx> Sfx_Manager;
sfx_list* sfx_target = nullptr;

Mix_Chunk* sfx::load(const char* path) {
    log_out("loading sfx [%s]\n", path);
    // Only regular files: a device or pipe could hang the read.
    SDL_RWops* rw = nullptr;
    if (regular_file(path)) rw = sound_may_be_played(path) ? SDL_RWFromFile(path, "rb") : nullptr;
    else SDL_SetError("Couldn't open %s", path ? path : "");
    chunk = rw ? Mix_LoadWAV_RW(rw, 1) : nullptr;
    if (!chunk) log_out("Mix_LoadWAV: %s\n", Mix_GetError());
    return chunk;
}

void sfx::play(int channel, int loops) const {
    if (sfx_target) {
        sfx_list& t = *sfx_target;
        if (!t.drop && t.played.size() < t.played.capacity()) t.played.push_back(this);
        return;
    }
    if (chunk) Mix_PlayChannelTimed(channel, chunk, loops, -1);
}
