// The animated main menu: the items slide in over the fading-in background (opening), the
// decorations play while the player moves through "arcade" ... "quit" (interactive loop),
// and, for every choice but "options", the dark logo grows over the last picture of the
// menu (closing). The menu music plays while the menu shows (play_menu_music).
#pragma once

struct game_resources;

enum main_item {
    ITEM_ARCADE, ITEM_VERSUS, ITEM_SURVIVAL, ITEM_TRAINING, ITEM_NETWORK, ITEM_REPLAYS, ITEM_DEMO, ITEM_OPTIONS, ITEM_QUIT
};

// Top of main-menu row i on a screen h pixels high: the rows are spaced by the height, so
// all of them show whole above the version line (at 480: 168, 198, ... 408).
int main_menu_row_y(int i, int h);

struct main_menu_choice {
    int selection = 0; // a main_item
    bool quit = false; // Escape, "q" or the window closed (selection is then ITEM_QUIT)
};

// One showing of the menu, paced by the resources' frame-rate manager at the front-end rate.
main_menu_choice main_menu(game_resources& r);

// One frame of the interactive loop over a cleared screen: the drifting background, the
// decorations (logo, title, version, credits, the tilted "ALPHA") and the items, the
// selected one lit.
void draw_main_menu(game_resources& r, int selection);

// Applies one frame's presses to the choice, in order; returns true when it is confirmed.
// quit_event: the window was closed this frame.
struct key_press;
bool main_menu_input(main_menu_choice& c, bool quit_event, key_press& keys);
