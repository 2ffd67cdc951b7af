// training: the rules a training match adds to the match. The player's fighter is B (the
// right, first selection, on the first key set) and the dummy A, or either way round after a
// takeover (takeover.h), which also gives the dummy a script: its own recorded match from the
// takeover on, played once before its behaviour. No round ends: a fighter's life refills one
// second after the last hit of a string and at once after a knock-out.
// Function keys, read from the match's key table (so a replay repeats them):
//   F1 the help line, F2 the dummy's behaviour (stand, crouch, jump, block everything,
//   computer), F3 records up to ten seconds of the dummy driven by the player's keys (the
//   player's fighter stands still meanwhile), F4 plays the recording back in a loop, F5
//   puts both fighters back at their starting places (after a takeover: asks the takeover to
//   go back to its frame), F6 shows or hides the overlays.
// The session also keeps what the overlays show: each side's inputs, the strings of hits
// with the best of the session, the advantage after contact and the overlapping boxes of
// the latest hit.
//
// A's own combos are on player 2's controls: whenever player 1's keys drive A (the dummy
// while recording, or the player's fighter after a takeover of the left), A's combos are read
// through a copy of its combo list bound to the player's controls and a key history of its own.
//
// Ownership: one session, `training`, reset by each training match's set-up; the recording
// buffer is reserved there so the frames allocate nothing. The session owns A's re-bound
// stages, combos and key history, and the script; the fighters stay the match's.
#pragma once
#include <cstdint>
#include <vector>

#include "frame_data.h"
#include "input/combo.h"
#include "input/control_stage.h"
#include "input/keyhistory.h"
#include "input_log.h"
#include "replay_file.h"

struct combatant;

enum dummy_behaviour {
    DUMMY_STAND, DUMMY_CROUCH, DUMMY_JUMP, DUMMY_BLOCK, DUMMY_COMPUTER, DUMMY_BEHAVIOURS
};
enum { TRAINING_RECORD_SECONDS = 10, HIT_OVERLAY_FRAMES = 10, TRAINING_MOVE_NAMES = 32 };
enum training_recorder { RECORDER_OFF, RECORDER_RECORDING, RECORDER_PLAYING };

// One frame of the dummy as the recorder keeps it: a decision, as a script's.
using dummy_frame = replay_decision;

// A box on the screen, ends included.
struct screen_box {
    int x1 = 0, y1 = 0, x2 = 0, y2 = 0;
};

struct training_session {
    int player = 1;                     // the player's side (0 A, the left; 1 B); the dummy is the other
    bool taken = false;                 // begun at a takeover: F5 goes back to it
    bool back = false;                  // F5 asked for that on this frame
    int behaviour = DUMMY_STAND;
    bool help = true;
    bool overlays = true;
    int recorder = RECORDER_OFF;
    std::vector<dummy_frame> recording; // capacity reserved at set-up
    int record_limit = 0;               // frames in ten seconds
    int play_at = 0;
    std::vector<dummy_frame> script;    // a takeover's: the dummy's own match from there
    int script_at = 0;                  // its next frame; at its size, the script is over
    control_stage_list left_stages;     // the player's controls, for A's combos
    combo_list left_combos;             // A's combos bound to left_stages
    keyhistory left_keys;               // reads the player's keys for those combos
    uint8_t fkeys[6] = {};              // F1..F6 as last seen
    int player_keys[10] = {};           // the player's bound key per control

    input_log inputs[2];                // per side
    int string_hits[2] = {0, 0};        // the current string each side landed
    int string_damage[2] = {0, 0};
    int best_hits[2] = {0, 0};
    int best_damage[2] = {0, 0};
    bool string_open[2] = {false, false};
    int last_hit_frame[2] = {-1, -1};   // per victim
    int hp_before[2] = {0, 0};
    uint8_t hits_before[2] = {0, 0};
    advantage_meter advantage;

    screen_box overlap;                 // boxes' overlap at the latest hit
    int overlap_frames = 0;             // frames it still shows
    char move_names[2][TRAINING_MOVE_NAMES][40] = {}; // move file names without folder
};
extern training_session training;

// At the set-up of a training match, after both fighters are loaded: fighter files of A and
// B, and the player's side (takes that fighter's path to player 1's keys).
void training_set_up(const char* file_a, const char* file_b, int player = 1);
// The function keys of this frame, from the key table the fighters read. True when F5 asks
// for both fighters back at their starting places (the match puts them there).
bool training_keys();
// After the path step and the combo check of fighter i (0 A, 1 B): replaces what the rules
// decided for the frame. thinks: the fighter was ready and its path ran.
void training_control(combatant* o, int i, const combatant* opp, bool thinks, int& command,
                      int& combo_move);
// After contact, before the knock-out count: strings, advantage, hit overlay and refills.
// block_frame: the last frame on which A's or B's block held a hit.
void training_rules(int frame, const int block_frame[2]);
// After every object step: the inputs of the frame and the advantage measurement.
void training_after_steps(int frame);
// The name of a combo result's special (the move file it plays), for fighter side i.
const char* training_special_name(int side, int combo_result);
// The name of a dummy behaviour ("stand" ... "computer").
const char* dummy_behaviour_name(int behaviour);
// Where fighter o's last drawn picture box is on the screen, as the hit test places it;
// false when it has none.
bool picture_box(const combatant* o, screen_box& box);
