// What every front-end screen shares: the tile counter that scrolls the tiled background
// and sets the input cadence, the background draw itself, and the first joystick as a menu
// device. Screens read input only on sampling frames, so a held key moves a selection
// once per sampling period rather than once per frame.
#pragma once
#include <cstdint>

struct img_mgr;

// 0 to 115, one step per frame, back to 0 after 115: the background repeats every 116 frames.
struct tile_counter {
    int value = 0;
    void advance() { value = value >= 115 ? 0 : value + 1; }
};

// The tiled background at the given alpha, drifted up and to the left by the counter,
// covering the screen. A missing picture draws nothing.
void draw_menu_background(img_mgr* background, int tile, uint8_t alpha);

// True on the frames a menu at this rate reads input: every (rate / 16) frames.
bool is_sampling_frame(int tile, int rate);

// The first joystick as the menus read it; all zero when there is none.
struct joystick_input {
    bool present = false;
    bool confirm = false; // any of buttons 0 to 3
    int move_x = 0;       // axis 0 beyond +-17000: +1 or -1
    int move_y = 0;       // axis 1 beyond +-17000: +1 or -1
};
joystick_input read_joystick();

// Moves a selection by step and wraps it into 0..count-1.
int wrap_selection(int selection, int step, int count);
