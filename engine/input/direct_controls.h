// The fixed human key sets that move a fighter and fire its basic attacks every frame,
// whatever the bindings say (remapping changes combos only). The path's mode 3 reads the
// first key set and the first joystick, its mode 5 the second key set.
// The caller fills direct_control with the frame's starting values (speeds as the fighter
// had them, action -1, fire direction (0, 0)); the key set overwrites what it decides.
#pragma once
#include <SDL.h>

struct direct_control {
    double vx, vy;         // horizontal, vertical speed: -1 left/up, +1 right/down
    int action;            // -1 none; 0 punch, 3 kick, 4 special2, 5 special1, 6 block, 7 throw
    double fire_x, fire_y; // direction a weapon fired this frame takes
};

// One reading of the first joystick: buttons 0 to 3 (non-zero when down) and axes 0, 1.
struct joystick_sample {
    int buttons[4];
    int axes[2];
};

// Speed for a signed 16-bit axis value: 0.5, 1.0 or 1.5 beyond 3200, 10000, 17000 (strict),
// negative alike; 0 inside the dead zone.
double axis_speed(int value);

// Applies the first key set (arrows, space, i k o l u j) and, when joy is given, the joystick.
void first_key_set(const Uint8* keys, const joystick_sample* joy, direct_control& c);
// Applies the second key set (a d w s, Tab punch, z kick, x c specials, q block, e throw).
void second_key_set(const Uint8* keys, direct_control& c);

// The same from the live SDL key state and, when video.joystick_ok is 1, the first joystick.
void read_first_key_set(direct_control& c);
void read_second_key_set(direct_control& c);
