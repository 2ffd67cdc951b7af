// replay: every match recorded, and any recording played back frame for frame.
//
// A match repeats exactly given its set-up, its random seed and the key states of every
// frame: while a replay session runs the match, the engine clock is the match's frame clock
// (1000 / fps ms a frame) and the random source is the match's own generator, seeded per
// match; the controls read the session's key table instead of the live keyboard.
//
// The recording is a definition file ("key=value" lines):
//   replay=1  mode, reqwins, fps, seed, width, height, fighter0/1, recolour0/1, stage,
//   players, player<p>control<name> (the bindings), joystick, frames, result
//   k<frame>=<code>+ <code>- b<n>+ a<n>:<value>   key, joystick button and axis changes
//   c<frame>=x,y,life,action,move x,y,life,action,move   both fighters after that frame,
//                                                         every 60 frames and at the end
// Recordings go to "game/replays/" (the newest 50 are kept), written whole at the end of
// the match; an abandoned match is kept with result=abandoned.
//
// Ownership: one session at a time, owned here; it holds a copy of the recording.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

struct game_resources;

enum { REPLAY_VERSION = 1, REPLAY_CHECK_EVERY = 60, REPLAY_KEEP = 50 };

// Exit statuses of playback.
enum {
    REPLAY_EXIT_OK = 0,       // played as recorded (or ended by the viewer)
    REPLAY_EXIT_DIVERGED = 1, // a check line or the end differed
    REPLAY_EXIT_USAGE = 2,    // bad command line
    REPLAY_EXIT_BAD_FILE = 3  // missing, not a replay, newer version or damaged
};

// Pseudo codes of the inputs beyond the keyboard's.
enum { REPLAY_KEYS = 512, REPLAY_BUTTON0 = 1000, REPLAY_AXIS0 = 1100 };

// One input change: a key or button going to value 1/0, or an axis to a raw value.
struct replay_input {
    int frame;
    int code;
    int value;
};

// A fighter's state at a check: position, life, match action and the move playing (-1).
struct replay_fighter_state {
    int x, y, life, action, move;
};
struct replay_check {
    int frame;
    replay_fighter_state f[2];
};

struct replay_binding {
    int player;
    int control; // index into control_names
    int key;
};

struct replay_record {
    int version = REPLAY_VERSION;
    std::string note; // what the recording shows, for people; kept by re-recording
    int mode = 0;
    int required_wins = 0;
    int fps = 60;
    uint32_t seed = 0;
    int width = 640, height = 480;
    std::string fighter[2];
    int recolour[2] = {0, 0};
    std::string stage;
    int players = 0;
    std::vector<replay_binding> bindings;
    int joystick = 0;
    int frames = 0;    // frames the match ran
    int abandoned = 0; // 1: ended by Escape or a closed window
    std::vector<replay_input> inputs; // in frame order
    std::vector<replay_check> checks; // in frame order
};

// Reads a recording from memory. False with a one-line reason in error for text that is
// not a replay, comes from a newer version, or is damaged.
bool replay_parse(const char* text, size_t size, replay_record& out, std::string& error);
// The file text of a recording.
std::string replay_format(const replay_record& r);
// replay_parse on a file; the error names the file.
bool replay_load(const char* file, replay_record& out, std::string& error);

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
// End of a frame: records or compares a check line. True when playback diverged.
bool replay_frame_end();
// End of the match (end flag as run_match returns it): writes the recording, or checks the
// end of playback; the session ends and the real clock, generator and keys return.
void replay_end(int end);
