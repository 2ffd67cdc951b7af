// replay_file: the recording of one match as a definition file ("key=value" lines):
//   replay=1  mode, reqwins, difficulty, lifestyle, roundmode, roster, stagechoice, roundtime
//   (only when the round has a time limit), fps, seed,
//   width, height, fighter0/1, recolour0/1, stage, note,
//   players, player<p>control<name> (the bindings), joystick, frames, result
//   k<frame>=<code>+ <code>- b<n>+ a<n>:<value>   key, joystick button and axis changes
//   c<frame>=x,y,life,action,move x,y,life,action,move   both fighters after that frame
// A match taken over while watching (takeover.h) adds takeover, taken and script (the
// frames of the other fighter's script), and the script's decisions where they change:
//   d<frame>=vx,vy,command,combo
// Frames count from 1. Reading never trusts the text: anything that is not a replay, comes
// from a newer version or is damaged is refused with a one-line reason.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

enum { REPLAY_VERSION = 1 };

// Exit statuses of playback.
enum {
    REPLAY_EXIT_OK = 0,       // played as recorded (or the window was closed)
    REPLAY_EXIT_DIVERGED = 1, // a check line or the end differed
    REPLAY_EXIT_USAGE = 2,    // bad command line
    REPLAY_EXIT_BAD_FILE = 3, // missing, not a replay, newer version or damaged
    REPLAY_EXIT_STOPPED = 4   // the viewer ended playback with Escape before its end
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

// One frame of a fighter's decision, as a takeover's script keeps it (and training's recorder,
// training.h): speeds in half steps (-1 to 1 is -2 to 2), the path's command (-1 none) and the
// combo result that came out (-1 none). Speeds and command count only on frames the fighter
// was ready to think.
struct replay_decision {
    int8_t vx = 0, vy = 0;
    int8_t command = -1;
    int8_t combo = -1;
};
enum { REPLAY_SCRIPT_MAX = 216000 }; // an hour at 60 frames a second

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
    int difficulty = 0, life_style = 0, round_mode = 0; // the game options in force (0: classic)
    int roster = 0, stage_option = 0; // 0 (four, road) in recordings made before these options
    int round_time = 0;               // seconds a round lasts; 0 (no limit) when not recorded
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
    // A takeover: after frame `takeover` (0: none) the match is training, fighter `taken` (0
    // left, 1 right) on player 1's keys and the other playing `script`, one decision a frame
    // from the frame after.
    int takeover = 0, taken = 0;
    std::vector<replay_decision> script;
};

// Reads a recording from memory. False with a one-line reason in error for text that is
// not a replay, comes from a newer version, or is damaged; then the line the reason lies on
// goes to error_line when given (1 for a text that is no replay at all).
bool replay_parse(const char* text, size_t size, replay_record& out, std::string& error,
                  int* error_line = nullptr);
// The file text of a recording.
std::string replay_format(const replay_record& r);
// replay_parse on a file; the error names the file.
bool replay_load(const char* file, replay_record& out, std::string& error, int* error_line = nullptr);
