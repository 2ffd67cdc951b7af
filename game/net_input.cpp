#include "net_input.h"

#include <cstring>

#include "input/control_mgr.h"

namespace {

// The key of control c for side (0: player 2's defaults, 1: player 1's).
int side_key(int side, int c) { return default_key(side == 1 ? 0 : 1, c); }

bool down(const Uint8* keys, int n, int key) { return key > 0 && key < n && keys[key]; }

// The fixed first key set: what the arrows and i k o l u j (and Space) do whatever the
// bindings say.
const int FIXED[CONTROL_COUNT] = {SDLK_UP, SDLK_DOWN, SDLK_LEFT, SDLK_RIGHT, SDLK_i,
                                  SDLK_k,  SDLK_o,    SDLK_l,    SDLK_u,     SDLK_j};

} // namespace

control_mask local_controls(const Uint8* keys, int n, const int bound[CONTROL_COUNT]) {
    control_mask m = 0;
    if (!keys) return m;
    for (int c = 0; c < CONTROL_COUNT; c++) {
        const bool held = down(keys, n, bound[c]) ||
                          down(keys, n, FIXED[c]) || (c == 4 && down(keys, n, SDLK_SPACE));
        if (held) m |= (control_mask)(1u << c);
    }
    return m;
}

control_mask side_controls(int side, const Uint8* keys, int n) {
    control_mask m = 0;
    for (int c = 0; c < CONTROL_COUNT && keys; c++)
        if (down(keys, n, side_key(side, c))) m |= (control_mask)(1u << c);
    return m;
}

void controls_into_keys(const control_mask masks[2], Uint8* keys, int n) {
    memset(keys, 0, (size_t)n);
    for (int side = 0; side < 2; side++)
        for (int c = 0; c < CONTROL_COUNT; c++) {
            const int k = side_key(side, c);
            if ((masks[side] >> c) & 1 && k > 0 && k < n) keys[k] = 1;
        }
}
