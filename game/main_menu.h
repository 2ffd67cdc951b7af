// The animated main menu: the items slide in over the fading-in background (opening), the
// decorations play while the player moves through "arcade" ... "quit" (interactive loop),
// and, for every choice but "options", the dark logo grows over the last picture of the
// menu (closing). The menu music starts whenever nothing else plays.
#pragma once

struct game_resources;

enum main_item { ITEM_ARCADE, ITEM_VERSUS, ITEM_SURVIVAL, ITEM_DEMO, ITEM_OPTIONS, ITEM_QUIT };

struct main_menu_choice {
    int selection = 0; // a main_item
    bool quit = false; // Escape, "q" or the window closed (selection is then ITEM_QUIT)
};

// One showing of the menu, paced by the resources' frame-rate manager at the front-end rate.
main_menu_choice main_menu(game_resources& r);

// Applies one sampled frame of input to the choice; returns true when it is confirmed.
// quit_event is an SDL_QUIT taken this frame; keys is the keyboard state.
struct joystick_input;
bool main_menu_input(main_menu_choice& c, bool quit_event, const unsigned char* keys,
                     const joystick_input& joy);
