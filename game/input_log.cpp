#include "input_log.h"

// Bits of the controls, in control_names order.
enum { IN_UP = 1, IN_DOWN = 2, IN_LEFT = 4, IN_RIGHT = 8, IN_PUNCH = 16, IN_KICK = 32,
       IN_SPECIAL1 = 64, IN_SPECIAL2 = 128, IN_BLOCK = 256, IN_THROW = 512 };

void input_log::clear() {
    for (input_row& r : rows) r = input_row();
    count = 0;
}

void input_log::feed(uint16_t controls) {
    if (count > 0 && rows[0].controls == controls) {
        rows[0].frames++;
        return;
    }
    for (int i = INPUT_LOG_ROWS - 1; i > 0; i--) rows[i] = rows[i - 1];
    rows[0] = input_row();
    rows[0].controls = controls;
    rows[0].frames = 1;
    if (count < INPUT_LOG_ROWS) count++;
}

void input_log::mark_special(int special, int presses) {
    if (count == 0) return;
    // Back from the newest row until `presses` rows holding something are inside: the
    // releases between them belong to the sequence too.
    int rows_in = 0, held = 0;
    while (rows_in < count && (held < presses || rows_in == 0)) {
        if (rows[rows_in].controls) held++;
        rows_in++;
    }
    rows[0].special = special;
    rows[0].special_rows = rows_in;
}

uint16_t controls_from_keys(const Uint8* state, int numkeys, const int keys[10]) {
    uint16_t c = 0;
    for (int i = 0; i < 10; i++)
        if (state && keys[i] > 0 && keys[i] < numkeys && state[keys[i]]) c |= (uint16_t)(1u << i);
    return c;
}

uint16_t controls_from_decision(double vx, double vy, int command) {
    uint16_t c = 0;
    if (vy < 0) c |= IN_UP;
    if (vy > 0) c |= IN_DOWN;
    if (vx < 0) c |= IN_LEFT;
    if (vx > 0) c |= IN_RIGHT;
    switch (command) {
    case 0: c |= IN_PUNCH; break;
    case 3: c |= IN_KICK; break;
    case 5: c |= IN_SPECIAL1; break;
    case 4: c |= IN_SPECIAL2; break;
    case 6: c |= IN_BLOCK; break;
    case 7: c |= IN_THROW; break;
    default: break;
    }
    return c;
}
