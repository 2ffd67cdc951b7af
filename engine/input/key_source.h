// key_source: where the match's controls read the keyboard and the first joystick. By
// default that is the live SDL state; a replay puts its own table in place, so the rules
// see exactly the recorded keys, frame after frame. The table stays the installer's.
#pragma once
#include <SDL.h>

// What the controls read instead of the live state.
struct key_override {
    const Uint8* keys = nullptr; // indexed by key code
    int numkeys = 0;
    int joystick = 0;            // 1: buttons and axes below stand for the first joystick
    int buttons[4] = {0, 0, 0, 0};
    int axes[2] = {0, 0};
};

// The key table to read: the override's, else SDL_GetKeyState. numkeys may be null.
const Uint8* key_source_state(int* numkeys);
// The override in force, or null for the live state.
const key_override* key_source_override();
// Installs an override; null restores the live state.
void key_source_set(const key_override* o);
