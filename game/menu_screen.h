// What every front-end screen shares: the tile counter that scrolls the tiled background,
// the background draw itself, and the keys as menus read them: every frame takes every
// pending event, each press acts once, held up and down repeat (key_press), and the first
// joystick counts as keys.
#pragma once
#include <cstdint>

#include "input/key_press.h"

struct img_mgr;
struct font;

// Screen width and height, 0 without a screen.
int screen_w();
int screen_h();

// A new image holding text rendered with a font, uploaded for drawing when asked; never
// null (empty when the font has no face). The caller owns it.
img_mgr* render_text_image(font* f, const char* text, bool upload);

// 0 to 115, one step per frame, back to 0 after 115: the background repeats every 116 frames.
struct tile_counter {
    int value = 0;
    void advance() { value = value >= 115 ? 0 : value + 1; }
};

// The tiled background at the given alpha, drifted up and to the left by the counter,
// covering the screen. A missing picture draws nothing.
void draw_menu_background(img_mgr* background, int tile, uint8_t alpha);

// True when the background drawn opaque (alpha 255) hides the whole screen: a picture
// without an empty pixel whose tiles repeat without a seam.
bool menu_background_covers(const img_mgr* background);

// The first joystick as the menus read it; all zero when there is none.
struct joystick_input {
    bool present = false;
    bool confirm = false; // any of buttons 0 to 3
    int move_x = 0;       // axis 0 beyond +-17000: +1 or -1
    int move_y = 0;       // axis 1 beyond +-17000: +1 or -1
};
joystick_input read_joystick();

// What a key means on a menu screen.
enum menu_action { MENU_NONE, MENU_UP, MENU_DOWN, MENU_LEFT, MENU_RIGHT, MENU_CONFIRM, MENU_CANCEL };
// Arrows and the stick move, Space, Return and buttons 0 to 3 confirm, "q" and Escape cancel.
menu_action menu_action_of(int key);

// Starts a screen's keys: what is held now waits for its release; up and down repeat.
void open_menu_keys(key_press& k);
// One frame of input: every pending event and the joystick; true when the window was closed.
bool read_menu_keys(key_press& k);

// Moves a selection by step and wraps it into 0..count-1.
int wrap_selection(int selection, int step, int count);
