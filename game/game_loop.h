// The game's top-level state machine, run after the preload: main menu, options, character
// select and match, over and over until the user quits. Every entry to the main menu
// prints "MAIN MENU:", makes a fresh empty current level and sets the pacer back to the
// front-end rate; the match switches it to fps. The reduced program (FIGHT_REDUCED) has no
// menus: it plays one computer-against-computer match and returns.
#pragma once

struct game_resources;

enum game_state { STATE_MAIN_MENU, STATE_OPTIONS, STATE_SELECT, STATE_MATCH, STATE_NETWORK, STATE_REPLAYS, STATE_QUIT };

// What the main-menu choice hands the match: mode, required wins and the two picks
// (fighter table indices); a pick of -1 is made by the character select.
struct match_setup {
    int mode;
    int required_wins;
    int player1; // fighter B, on the right
    int player2; // fighter A, on the left
};

// The set-up of a main-menu item ("arcade" ... "demo"); random_pick gives the computer's
// fighter for "arcade" and "survival" (one of the roster's, see roster_size).
match_setup setup_for_item(int item, int random_pick);

// Runs the screens after the preload; returns when the user quits.
void run_game(game_resources& r);
