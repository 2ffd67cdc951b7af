// The options menu and its two sub-screens: the game options list (each row shows its
// option's value and moves it to the next when chosen, saved in "game/game.ini" at once)
// and key remapping for either player, which binds the next key pressed after Space is
// released and rewrites "game/controls.ini" at once. "Video", "Cheats",
// "Back to Main Menu" and cancelling return to the main menu.
#pragma once

struct game_resources;
struct game_options;

void options_menu(game_resources& r);

// The remapping rows of player p: "%s %s" with each control name and its key's name, then
// "Done". Returns the row count (controls + 1).
int build_remap_rows(char (*rows)[32], int player);
// The game option rows: "%s %s" with each label and its option's value, then "done".
// Returns the row count.
int build_game_option_rows(char (*rows)[32], const char (*labels)[32], int labels_count,
                           const game_options& o);

// Waits for the release of Space, then binds the next key pressed to control c of player p
// and saves the controls file. A closed window cancels the wait; returns whether it bound.
bool remap_key(int player, int c, const char* controls_file);
