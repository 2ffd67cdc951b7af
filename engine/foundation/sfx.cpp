#include "foundation/sfx.h"

#include "foundation/log.h"

nmanager<sfx> Sfx_Manager;

Mix_Chunk* sfx::load(const char* path) {
    log_out("loading sfx [%s]\n", path);
    SDL_RWops* rw = SDL_RWFromFile(path, "rb");
    chunk = rw ? Mix_LoadWAV_RW(rw, 1) : nullptr;
    if (!chunk) log_out("Mix_LoadWAV: %s\n", Mix_GetError());
    return chunk;
}

void sfx::play(int channel, int loops) const {
    if (chunk) Mix_PlayChannelTimed(channel, chunk, loops, -1);
}
