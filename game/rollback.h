// rollback: a match whose two sides' inputs come from different places: this machine's
// player at once, the other side's late (over the network). Each frame is stepped with the
// inputs there are; for the other side's inputs not yet come its latest known one stands in
// (a prediction). When the real ones arrive and differ, the match is restored to the frame
// before the first wrong one and stepped again, quietly, up to the present, so only the last
// frame is drawn and sounded. The other side may be at most ROLLBACK_FRAMES frames behind;
// beyond that the session holds the frame (steps nothing) until its inputs come: it never
// goes on with a past it cannot take back.
//
// The key table the match reads is made from both sides' masks (net_input.h) and fed to the
// replay session, which records it: a rollback takes the recording back too, so the
// recording holds the inputs as they were confirmed.
//
// Ownership: the session owns its inputs, its saved states and the key table it feeds.
#pragma once
#include <SDL.h>

#include <vector>

#include "match_save.h"
#include "net_input.h"
#include "replay_file.h"

struct sfx;

enum { ROLLBACK_FRAMES = 8, ROLLBACK_HISTORY = 256 };

struct rollback_stats {
    int rollbacks = 0;    // restores made
    int frames_again = 0; // frames stepped again
    int longest = 0;      // the longest rollback, in frames
    int held = 0;         // frames held waiting for the other side
};

struct rollback_session {
    int local = 1;           // the side this machine plays: 0 left, 1 right
    int frame = 0;           // frames stepped: the next one to step is `frame`
    int known[2] = {-1, -1}; // the last frame of each side whose input is here (in order)
    control_mask input[2][ROLLBACK_HISTORY] = {};
    control_mask used[ROLLBACK_HISTORY] = {}; // the other side's input each stepped frame took
    int wrong = -1;          // the earliest stepped frame whose prediction was wrong, -1 none
    match_snapshot saved[ROLLBACK_FRAMES + 2]; // the match before frame f, at f % size
    Uint8 keys[REPLAY_KEYS] = {};
    rollback_stats stats;
    // The sounds each recent frame has made heard, and those a rollback brought that were not
    // heard before (played by the screen with the present frame's, then cleared).
    enum { FRAME_SOUNDS = 8 };
    const sfx* heard[ROLLBACK_FRAMES + 2][FRAME_SOUNDS] = {};
    int heard_count[ROLLBACK_FRAMES + 2] = {};
    std::vector<const sfx*> late;
};

// Starts a session on the match just set up (its replay session recording): this machine
// plays local_side. The key table is fed to the replay session from here on.
void rollback_start(rollback_session& r, int local_side);
// Ends it: the replay session reads the live keyboard again.
void rollback_stop(rollback_session& r);
// Side's input for frame f. Inputs come in order; one already here (a repeat) or one past a
// gap is ignored. True when it was taken.
bool rollback_input(rollback_session& r, int side, int f, control_mask m);
// Whether the next frame can be stepped: this side's input for it is here, and the other
// side is at most ROLLBACK_FRAMES behind.
bool rollback_can_step(const rollback_session& r);
// Takes back what a wrong prediction stepped, then steps the next frame with its pictures
// and sounds (match_draw shows it). Call only when rollback_can_step.
void rollback_step(rollback_session& r);
// Takes back what a wrong prediction stepped, up to the present, without a new frame; the
// last frame stepped again is drawn and sounded. For a match that has stopped stepping (its
// round is decided) while inputs it stood on are still coming.
void rollback_catch_up(rollback_session& r);
// Plays the sounds a rollback brought late, and forgets them.
void rollback_play_late(rollback_session& r);
// Whether every stepped frame stands on real inputs of both sides (nothing can change it).
bool rollback_settled(const rollback_session& r);
