// input_log: one side's latest inputs for the training display. Each row is one set of
// controls held together (bit n = control n of control_names: up, down, left, right,
// punch, kick, special1, special2, block, throw; no bit: nothing held) with the frames it
// lasted; a new row starts whenever the set changes. A special move that came out marks
// the rows that made it. Rows live in a fixed array, newest first: feeding allocates nothing.
#pragma once
#include <SDL.h>
#include <cstdint>

enum { INPUT_LOG_ROWS = 12 };

struct input_row {
    uint16_t controls = 0;
    int frames = 0;
    int special = -1;     // combo result that came out when this row was the newest, -1 none
    int special_rows = 0; // how many rows, from this one back, made it
};

struct input_log {
    input_row rows[INPUT_LOG_ROWS]; // rows[0] is the newest
    int count = 0;

    void clear();
    // One frame of input.
    void feed(uint16_t controls);
    // The combo with result `special`, of `presses` pressing stages, came out on the newest
    // row: the rows back to the first of those presses are marked.
    void mark_special(int special, int presses);
};

// The controls held in a key table, by one player's bindings (keys[c] = key of control c).
uint16_t controls_from_keys(const Uint8* state, int numkeys, const int keys[10]);
// The controls a fighter's decision of the frame stands for: speeds and path command.
uint16_t controls_from_decision(double vx, double vy, int command);
