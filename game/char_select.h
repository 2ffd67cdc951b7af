// Character select: the group picture fades in, the current fighter's action shot turns in
// a ring of ghosts, left and right go round the fighters of the roster (all four and those
// of the roster file, or the first two with the Roster option "two"), Space or Return confirm, and the group picture fades out again. "q", Escape or
// closing the window cancel. Every frame reads every press, whatever the ring's angle; a key
// held when the screen opens waits for its release. The selection music restarts with
// every showing.
//
// Whose choice it is shows under the prompt, in the player's colour: "Player 1", "Player 2"
// (versus' second choice) or "Training dummy" (training's second, made by player 1). The
// chooser's own keys also work: its left and right go round, its punch confirms; a key that
// is one of its controls means only that (player 2's block "q" does not cancel).
#pragma once

struct game_resources;
struct key_press;
struct img_mgr;

enum select_turn { TURN_PLAYER1 = 0, TURN_PLAYER2 = 1, TURN_DUMMY = 2 };

// A choice made at the same time as another player's (a network match). Called once a frame
// with this side's offered fighter and whether it is chosen; it fills in the other side's
// and returns false when the other side is gone. Once this side has chosen, the ring goes on
// turning under "Waiting for the other side" (before: "You") until the other has chosen
// too. The other side's offer shows as its portrait under its label, in its colour
// (other_colour indexes player_colours; this side has the other one).
struct select_partner {
    bool (*frame)(int choice, bool chosen, int* other, bool* other_chosen) = nullptr;
    int other_colour = 1;
};

// Returns the chosen fighter (a fighter table index below roster_size), or -1 when
// cancelled (or when the partner is gone). Paced at rate.
int char_select(game_resources& r, int rate, select_turn turn = TURN_PLAYER1,
                const select_partner* partner = nullptr);

// One frame of the choosing loop over a cleared screen: the group picture, the prompt, the
// turn's label (when given) and the chosen fighter's action shot in its ring of ghosts
// turned to angle (degrees).
void draw_char_select(game_resources& r, int choice, int angle, img_mgr* turn_label = nullptr);

// One frame's presses, in order, over `offered` fighters, by the keys of control player
// `player` (0 or 1) and the menu keys; returns true when the choice is settled (choice -1:
// cancel).
bool char_select_input(int& choice, bool quit_event, key_press& keys, int offered, int player = 0);
