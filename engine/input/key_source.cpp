#include "input/key_source.h"

static const key_override* g_override = nullptr;

const Uint8* key_source_state(int* numkeys) {
    if (!g_override) return SDL_GetKeyState(numkeys);
    if (numkeys) *numkeys = g_override->numkeys;
    return g_override->keys;
}

const key_override* key_source_override() { return g_override; }
void key_source_set(const key_override* o) { g_override = o; }
