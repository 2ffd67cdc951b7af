// replay: every match recorded, and any recording played back frame for frame.
//
// A match repeats exactly given its set-up, its random seed and the key states of every
// frame: while a replay session runs the match, the engine clock is the match's frame clock
// (1000 / fps ms a frame) and the random source is the match's own generator, seeded per
// match; the controls read the session's key table instead of the live keyboard.
//
// The recording (replay_file.h) has a check line every 60 frames and at the end.
// Recordings go to "game/replays/" (the newest 50 are kept), written whole at the end of
// the match; an abandoned match is kept with result=abandoned.
//
// Ownership: one session at a time, owned here; it holds a copy of the recording.
#pragma once
#include <string>
#include <vector>

#include "replay_file.h"

struct game_resources;
struct osd_resources;

enum { REPLAY_CHECK_EVERY = 60, REPLAY_KEEP = 50 };
// Top of the playback mark's line (below the round clock, between the two displays).
enum { REPLAY_MARK_Y = 64 };

// ---------------------------------------------------------------------------------------
// The command line: "--replay FILE [--fast]" plays one recording; "--rerecord FILE..."
// plays the inputs of each recording under the current rules and rewrites its set-up,
// check lines and end. replay_command returns -1 for a normal start, otherwise the exit
// status the program ends with before starting (usage and file errors are printed).
struct replay_command_line {
    int rerecord = 0;
    int fast = 0;
    std::vector<std::string> files;
};
int replay_command(int argc, char** argv, replay_command_line& cmd);
// Plays (or re-records) the files after start-up and preload; the program's exit status.
int replay_run(const replay_command_line& cmd, game_resources& r);

// ---------------------------------------------------------------------------------------
// Hooks of the match (run_match and match_frame). Without a session they do nothing.

// Starts the session of a match: recording, or the armed playback.
void replay_begin(int mode, int pick_a, int pick_b, int required_wins);
// Start of a frame, after its events: steps the frame clock and fills the key table (from
// the keyboard, or from the recording; pausing while the viewer pauses). True when the
// match must end now (the recording ends here, or the viewer ended playback).
bool replay_frame_begin();
// Whether the frame may skip pacing (fast playback).
bool replay_fast();
// During playback, the mark at the top centre: "REPLAY", with "PAUSED" while paused or the
// speed measured while fast ("x3.5"). The frame that pauses is drawn with it; the next frame
// waits for the viewer. Draws nothing without a playback.
void replay_draw(osd_resources& r);
// Whether the match plays a recording back (or re-records one) rather than live keys.
bool replay_playing();
// End of a frame: records or compares a check line. True when playback diverged.
bool replay_frame_end();
// End of the match (end flag as run_match returns it): writes the recording, or checks the
// end of playback; the session ends and the real clock, generator and keys return.
void replay_end(int end);
