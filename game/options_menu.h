// The options menu and its two sub-screens: the game options list (each row shows its
// option's value and moves it to the next when chosen, saved in "game/game.ini" at once)
// and key remapping for either player, which binds the next key pressed once the key that
// chose the row is released, and rewrites "game/controls.ini" at once. A key already bound
// to another control of either player is refused, and the row says which control holds it;
// a file that cannot be written is shown in the row too. "Video" opens the video settings
// (video_options.h), saved in "game/game.ini" at once. Each sub-screen shows its list again
// after a change with the row changed selected. "Cheats", "Back to Main Menu" and cancelling
// return to the main menu.
#pragma once
#include <cstddef>

#include "list_menu.h"

struct game_resources;
struct game_options;
struct video_options;

void options_menu(game_resources& r);

// How a remapping ended.
enum remap_result {
    REMAP_BOUND,     // bound and saved
    REMAP_TAKEN,     // refused: the key belongs to owner_control of owner_player
    REMAP_NOT_SAVED, // bound, but "game/controls.ini" could not be written
    REMAP_CANCELLED, // Escape: nothing changed
    REMAP_CLOSED,    // the window was closed: nothing changed
};
struct remap_outcome {
    int result = REMAP_CANCELLED;
    int control = -1; // the control being remapped
    int key = 0;      // the key pressed
    int owner_player = -1, owner_control = -1;
};

// A key as the remapping rows name it: "Up arrow" for the arrows, otherwise SDL's name with
// a capital first letter ("I", "Tab", "Right shift"). Returns buf or a fixed text.
const char* key_label(int key, char* buf, size_t size);
// The remapping rows of player p: "control: key" ("up: Up arrow") for each control, then
// "Done"; the row of last's control tells a refused key ("%s: %s (%s is P%d %s)") or a failed
// write ("%s: %s (not saved)"). Returns the row count (controls + 1).
int build_remap_rows(char (*rows)[LIST_ROW_TEXT], int player, const remap_outcome* last = nullptr);
// The game option rows: "%s %s" with each label and its option's value, then "done".
// Returns the row count.
int build_game_option_rows(char (*rows)[LIST_ROW_TEXT], const char (*labels)[LIST_ROW_TEXT], int labels_count,
                           const game_options& o);

// The video rows (video_option_row for each setting), then "done". Returns the row count.
int build_video_rows(char (*rows)[LIST_ROW_TEXT], const video_options& saved, const video_options& running);

// Waits until every key held at the call (the one that chose the row) is released, then
// takes the next key pressed for control c of player p: Escape cancels, a key bound to
// another control is refused, any other is bound and the controls file saved.
remap_outcome remap_key(int player, int c, const char* controls_file);
