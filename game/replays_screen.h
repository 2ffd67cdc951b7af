// replays_screen: the recordings of "game/replays/" as the main menu's "replays" lists them,
// newest first, one row each: date and time, mode ("takeover" for a match taken over while
// watching), both fighters, result and length. A file that cannot be read keeps a row saying
// why, after the others. Up and Down move, Return watches the recording (replay_viewer.h),
// Delete asks once and removes its file, Escape goes back.
//
// Ownership: the rows are plain values; the screen owns nothing between showings.
#pragma once
#include <string>
#include <vector>

struct game_resources;

struct replay_row {
    std::string file;     // its path
    std::string text;     // the row as shown
    std::string lit;      // the same, selected
    bool readable = false;
    std::string stamp;    // when it was made, "YYYYMMDD-HHMMSS", for the order
};

// The rows of the recordings in folder: readable ones newest first, then the others by name.
std::vector<replay_row> list_replays(const char* folder);

void replays_screen(game_resources& r);
