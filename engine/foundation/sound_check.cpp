#include "foundation/sound_check.h"

#include <SDL.h>

#include <cstdint>
#include <cstdio>
#include <cstring>

static uint32_t le32(const uint8_t* p) {
    return (uint32_t)p[0] | (uint32_t)p[1] << 8 | (uint32_t)p[2] << 16 | (uint32_t)p[3] << 24;
}

// The sample rate a WAV or Ogg Vorbis header declares, or 0 when there is none to read.
static uint32_t declared_rate(const uint8_t* p, size_t n) {
    if (n >= 12 && memcmp(p, "RIFF", 4) == 0 && memcmp(p + 8, "WAVE", 4) == 0) {
        size_t at = 12; // chunks up to the format chunk
        while (at + 8 <= n) {
            uint32_t len = le32(p + at + 4);
            if (memcmp(p + at, "fmt ", 4) == 0) return at + 16 <= n ? le32(p + at + 12) : 0;
            if (len > n - at - 8) return 0;
            at += 8 + len + (len & 1);
        }
        return 0;
    }
    if (n >= 4 && memcmp(p, "OggS", 4) == 0) { // the identification header of the first page
        for (size_t at = 4; at + 16 <= n; at++)
            if (memcmp(p + at, "\x01vorbis", 7) == 0) return le32(p + at + 12);
    }
    return 0;
}

bool sound_may_be_played(const char* path) {
    uint8_t head[512];
    size_t n = 0;
    if (FILE* in = fopen(path, "rb")) {
        n = fread(head, 1, sizeof head, in);
        fclose(in);
    }
    uint32_t rate = declared_rate(head, n);
    if (rate != 0 && (rate < (uint32_t)SOUND_MIN_RATE || rate > (uint32_t)SOUND_MAX_RATE)) {
        SDL_SetError("sample rate %u Hz out of range", (unsigned)rate);
        return false;
    }
    return true;
}
