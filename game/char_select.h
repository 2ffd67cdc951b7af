// Character select: the group picture fades in, the current fighter's action shot turns in
// a ring of ghosts, left and right go round the fighters of the roster (all four, or the
// first two with the Roster option "two"), Space or Return confirm, and the group picture fades out again. "q", Escape or
// closing the window cancel. Every frame reads every press, whatever the ring's angle; a key
// held when the screen opens waits for its release. The selection music restarts with
// every showing.
#pragma once

struct game_resources;
struct key_press;

// Returns the chosen fighter (a fighter table index below roster_size), or -1 when
// cancelled. Paced at rate.
int char_select(game_resources& r, int rate);

// One frame of the choosing loop over a cleared screen: the group picture, the prompt and
// the chosen fighter's action shot in its ring of ghosts turned to angle (degrees).
void draw_char_select(game_resources& r, int choice, int angle);

// One frame's presses, in order, over `offered` fighters; returns true when the choice is
// settled (choice -1: cancel).
bool char_select_input(int& choice, bool quit_event, key_press& keys, int offered);
