// The match: two fighters on a stage (stage_choice.h) fighting rounds until one has won more rounds
// than required (in survival, until the computer on the left wins one), or until Escape or
// a closed window abandons it. Set-up loads the stage and both fighters; each frame's step
// sets facing and the camera, applies the rules of contact (blocking by posture, trades,
// projectile clashes, chip damage, throws, block dash), counts the knock-out and steps every
// object and the hit effects, keeping what it would show in a draw list and what it would
// sound in a list of sounds; the screen then draws the list and plays the sounds. The whole
// running match can be saved and restored (match_save.h).
// The game options (game_options.h) choose the computer, the life style and staged rounds;
// the demo always plays with their defaults.
//
// Ownership: the match state owns the fighters' paths and control stages, its draw list and
// its sounds; it owns its fighters and projectiles through the combatant registry and
// the current level; both are emptied and deleted before run_match returns. Everything in
// match_resources is the caller's (loaded by the preload) and is only used here. Hit effects
// are copies of the explosion template kept in match_effects; they outlive a match until
// their animation ends.
#pragma once
#include <SDL_framerate.h>
#include <SDL_mixer.h>
#include <cstdint>
#include <vector>

#include "fighter_table.h"
#include "foundation/sfx.h"
#include "game_options.h"
#include "images/img_mgr.h"
#include "input/control_stage.h"
#include "input/path.h"
#include "osd.h"

struct anim_group;
struct combatant;
struct font;




// What the preload holds for the match.
struct match_resources {
    anim_group* explosion = nullptr; // template group of "game/fighter/expl.ini"
    font* main_font = nullptr;       // knock-out texts
    osd_resources* osd = nullptr;    // the display's images, fonts and colours
    FPSmanager* pacer = nullptr;     // the main function's frame-rate manager, set to fps here
    Mix_Music* music = nullptr;      // "rsrc/tech_loop.ogg", looped while the match runs
};

// What the match needs from the preload.
struct game_resources;
match_resources match_resources_of(game_resources& r);

// Runs one match, recorded (or played back) by the replay session. fighter_a (left, player 2's pick) and fighter_b (right, player 1's pick)
// are fighter table indices; required_wins is ignored in survival. Returns the end flag
// that ended the match: MATCH_DECIDED or MATCH_ABANDONED. A current level left by the caller
// is deleted and replaced by the stage; afterwards current_level is null and the combatant
// registry is empty.
int run_match(int mode, int fighter_a, int fighter_b, int required_wins,
              const match_resources& res);

// Hit effects still playing (copies of the explosion template), in creation order.
extern std::vector<anim_group*> match_effects;

// ---------------------------------------------------------------------------------------
// The pieces of run_match, open for tests. run_match is: match_set_up; then rounds of
// (end = 0, knock-out counter = 0, match_frame until end is non-zero, match_round_over)
// until match_round_over says the match is over; then match_tear_down.

// What a running match keeps from frame to frame.
struct match_state {
    const match_resources* res = nullptr;
    int generation = 0;        // which set-up this is: a new one for every match
    int mode = 0;
    int end = MATCH_RUNNING;   // set by the frame: 1 round over, 2 abandoned
    int ko_counter = 0;        // grows by one per knocked-out case per frame
    int projectile_in_play = 0;
    int frames = 0;
    uint32_t now = 0;          // tick count of the frame, ms
    // Display names of fighters A and B; in a mirror match A's says it is the second one.
    char names[2][32] = {"", ""};
    int block_frame[2] = {-2, -2};   // last frame on which A's or B's block held a hit
    game_options opts;               // the options this match plays with (defaults in demo)
    int round = 0;                   // the round being fought, from 1
    int intro = 0;                   // staged rounds: frames of "Round N" / "Fight" left
    int best_combo[2] = {0, 0};      // longest string of hits A and B landed this match
    int held[2] = {0, 0};            // ticks A or B has been held by a throw; 0 when not held
    int clock = 0;                   // timed rounds: frames left in the round (0: no limit)
    int time_up = 0;                 // the round ended on the clock
    bool pause_button = false;       // the joystick's pause button at the last frame
    // What the latest step showed and sounded: its pictures and marks in drawing order (shown
    // by match_draw) and its sounds (played by match_play_sounds).
    draw_list draws;
    sfx_list sounds;
    // The movement controllers of fighters A and B, and the control stages their combos are
    // made of (player 2's for A, player 1's for B).
    path paths[2];
    control_stage_list controls[2];
};
enum { MATCH_DRAW_ITEMS = 512, MATCH_SOUNDS = 32 };
extern match_state current_match;

// Loads the stage and both fighters (A = index 0, B = index 1 of Combatant_Manager) and
// places the camera. Replaces any current level.
void match_set_up(int mode, int fighter_a, int fighter_b, const match_resources& res);
// One frame on the screen: events (a closed window, Escape, the pause), the frame's keys
// (replay.h), match_step, match_draw, the step's sounds, the check line, pacing and present.
void match_frame();
// One frame of rules in its fixed order, from the keys the controls read now (the live
// keyboard, a recording's or a test's key table): facing and camera, stage effects, fighter
// contact, projectile clashes, knock-out count, the object step of every object, effects;
// dead projectiles leave the object list at its end; a knock-out counted out or the clock
// run down decides the round. Reads no event queue and no file; draws nothing and plays
// nothing: the frame's pictures go to current_match.draws, its sounds to .sounds. quiet: a
// frame stepped again (a rollback, a seek) keeps nothing to show and logs nothing; its sounds
// are kept only when keep_sounds says so (a rollback hears what the real inputs brought).
void match_step(bool quiet, bool keep_sounds);
inline void match_step(bool quiet = false) { match_step(quiet, !quiet); }
// The frame run_match runs until a round's end: match_frame, or a network match's own
// (netplay.h), which steps on both sides' inputs.
extern void (*match_frame_fn)();
// Called after every frame match_frame shows (null: nothing): where a tool that checks the
// match as it runs puts itself (the command line's sync test).
extern void (*match_after_frame)();
// A takeover's hooks (takeover.h), null without one: the end of every frame's rules (where a
// recording becomes a training match, and F5 takes one back), and each fighter's decision of
// the frame, after its path and combo check (i: 0 A, 1 B; thinks: the path ran).
extern void (*match_rules_end)();
extern void (*match_decision_tap)(int i, const combatant* o, bool thinks, int command, int combo);
// Draws what the latest step showed, in either drawing mode, over what is on the screen;
// changes nothing of the match.
void match_draw();
// Plays the latest step's sounds.
void match_play_sounds();
void match_contact();             // fighter contact between A and B
void match_projectile_clashes();  // every pair of objects of which one is a projectile
void match_object_step(int i);    // the step of object i of the object list
// The drawing that ends an object's step: a fighter's heads-up display, the object itself
// (shadow, move or still image) and its combo counter.
void match_draw_object(int i);
// After a round: counts the wins and prints them; resets the fighters for the next round.
// True when the match is over.
bool match_round_over(int mode, int required_wins);
// The start of a round, before its first frame: running again, the knock-out counter at 0,
// the round counted and, for staged rounds, the starting places and the announcement.
void match_start_round();
// Clears and deletes the current level and empties the combatant registry.
void match_tear_down();
// Both fighters back at their starting places, at rest.
void match_reset_positions();
// Staged rounds: both fighters back at their starting places, at rest, and the "Round N",
// "Fight" announcement started (the fighters wait for it).
void match_stage_round();
// The winner of a round ended on the clock, by the share of its life bar left: 0 (A), 1 (B)
// or -1 for equal shares (a draw, no round win).
int clock_winner(int hp_a, int max_a, int hp_b, int max_b);
// The winner of the round just ended (a knock-out or the clock): 0, 1, or -1 for none.
int match_round_winner();
// After a decided round: the winner holds its victory picture over the still scene for
// `frames` frames (Escape or a closed window cut it short). No rule runs meanwhile.
void match_victory_pose(int frames);

// What the result screen shows of the match last played, kept after its tear-down.
struct match_summary {
    int mode = 0;
    int end = MATCH_RUNNING;
    char names[2][32] = {"", ""}; // fighters A and B
    int wins[2] = {0, 0};
    int best_combo[2] = {0, 0}; // longest string of hits A and B landed
};
extern match_summary last_match;
