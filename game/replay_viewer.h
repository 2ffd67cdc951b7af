// replay_viewer: watching a recording the way a player studies a match. Under the picture a
// timeline shows the time played and the length. Left and Right jump 5 s back or forward,
// Home to the start, 1 to 9 to that tenth of the match; Up and Down go through the speeds
// x1/4, x1/2, x1, x2 and x4; Space pauses, and while paused "." and "," step one frame
// forward and back. "[" and "]" take over the left or the right fighter (takeover.h): the
// viewer stops and the match goes on as training from the frame shown, recorded anew; while
// paused or slowed a hint under the mark says so (not in a training match, which is not taken
// over). Escape (or a closed window) ends the
// playback.
//
// A jump restores the nearest state saved at or before its frame (one is kept every
// VIEWER_KEY_EVERY frames played; a scout plays VIEWER_SCOUT_STEPS frames ahead of the viewer
// each display frame, keeping them there too, so that after a few seconds of watching a jump
// anywhere finds one near) and steps quietly from there, rounds' ends included; the
// recording's check lines go on being compared on every frame stepped, so a jump never
// reports a divergence the recording does not have. The viewer runs as the match's frame
// function (match.h) while a playback is armed (replay.h).
//
// Ownership: one viewer at a time, owned here; its saved states are freed at stop.
#pragma once

enum { VIEWER_KEY_EVERY = 120, VIEWER_SCOUT_STEPS = 20, VIEWER_SPEEDS = 5, VIEWER_NORMAL_SPEED = 2 };

// Before run_match of an armed playback: the viewer takes the match's frames and the keys.
void replay_viewer_start(int required_wins);
void replay_viewer_stop();

// One display frame: the viewer's keys, the frames the speed asks for, the picture.
void replay_viewer_frame();

// The frame the playback stands on (frames stepped since the start).
int replay_viewer_at();
// Jumps to frame (clamped to the recording, before its last frame): the state is the one
// playing straight to it gives. False when the match ended on the way (a divergence).
bool replay_viewer_seek(int frame);
// Takes over fighter side (0 left, 1 right) at the frame shown and stops the viewer; false
// (and nothing changed) when the match cannot be taken over.
bool replay_viewer_take_over(int side);
// The speed (an index: 0 x1/4 ... 2 x1 ... 4 x4) and the pause.
int replay_viewer_speed();
bool replay_viewer_paused();
