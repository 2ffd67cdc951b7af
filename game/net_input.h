// net_input: one side's controls on one frame as a mask, the form inputs take over the
// network - bit i set while control i (control_names order: up, down, left, right, punch,
// kick, special1, special2, block, throw) is held. Each machine reads its own player from
// player 1's keys; the match on both machines sees the left side (A) on player 2's default
// keys and the right side (B) on player 1's, so both build the same key table from the two
// masks whatever either machine's own bindings are.
#pragma once
#include <SDL.h>
#include <cstdint>

typedef uint16_t control_mask;

// This machine's player: its bound key for each control (bound, in control order: player 1's
// bindings) or its fixed key (the arrows, Space or i for punch, k o l u j).
control_mask local_controls(const Uint8* keys, int numkeys, const int bound[10]);
// The mask side (0 left, 1 right) holds in a key table made by controls_into_keys.
control_mask side_controls(int side, const Uint8* keys, int numkeys);
// Writes both sides' masks into a key table of numkeys entries (every other key up).
void controls_into_keys(const control_mask masks[2], Uint8* keys, int numkeys);
