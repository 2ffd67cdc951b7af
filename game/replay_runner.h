// The command line's playback: "--replay FILE [--fast]" plays one recording, "--rerecord
// FILE..." plays the inputs of each recording under the current rules and rewrites its
// set-up, check lines and end, "--synctest FRAMES FILE..." plays each recording fast and,
// after every frame, restores the match as it was FRAMES frames back (1 to 8, within the
// round) and steps it again up to the present: the state must come out the same, else the
// first differing field is named ("sync test: frame N after FRAMES back: FIELD") and the
// exit status is 1. Each recording is armed on the replay session (replay.h) and played
// as a match.
#pragma once
#include <string>
#include <vector>

#include "replay.h"

struct game_resources;

enum { SYNC_MAX_FRAMES = 8 };

// replay_command returns -1 for a normal start, otherwise the exit
// status the program ends with before starting (usage and file errors are printed).
struct replay_command_line {
    int rerecord = 0;
    int fast = 0;
    int synctest = 0; // frames each rollback goes back; 0: none
    std::vector<std::string> files;
};
int replay_command(int argc, char** argv, replay_command_line& cmd);
// Plays (or re-records) the files after start-up and preload; the program's exit status.
int replay_run(const replay_command_line& cmd, game_resources& r);
// Watches one recording from inside the game (the replays screen): as replay_run, and
// afterwards the player's key bindings and frame rate are as they were.
int replay_watch(const std::string& file, game_resources& r);

