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
#include <SDL.h>
#include <cstdint>
#include <string>
#include <vector>

#include "replay_file.h"

struct osd_resources;

enum { REPLAY_CHECK_EVERY = 60, REPLAY_KEEP = 50 };
// Top of the playback mark's line (below the round clock, between the two displays).
enum { REPLAY_MARK_Y = 64 };

// ---------------------------------------------------------------------------------------
// Hooks of the match (run_match and match_frame). Without a session they do nothing.

// Starts the session of a match: recording, or the armed playback.
void replay_begin(int mode, int pick_a, int pick_b, int required_wins);
// Start of a frame, after its events: steps the frame clock and fills the key table (from
// the keyboard, or from the recording; pausing while the viewer pauses). True when the
// match must end now (the recording ends here, or the viewer ended playback).
bool replay_frame_begin();
// Recording: where the frame's keys come from - the live keyboard (null), or a key table of
// REPLAY_KEYS entries that the caller fills before each frame (a match over the network makes
// it from both players' inputs). The table stays the caller's.
void replay_feed(const Uint8* keys);
// The seed the next recording starts with; 0 draws one.
void replay_next_seed(uint32_t seed);
// The seed of the session's match.
uint32_t replay_seed();
// Whether the frame may skip pacing (fast playback); and whether a playback stands paused.
bool replay_fast();
bool replay_paused();
// During playback, the mark at the top centre: "REPLAY", with "PAUSED" while paused or the
// speed measured while fast ("x3.5"); or the given mark instead. The frame that pauses is drawn with it; the next frame
// waits for the viewer. Draws nothing without a playback.
void replay_draw(osd_resources& r, const char* mark = nullptr);
// A viewer of its own (replay_viewer.h) reads the viewer's keys instead of the session; it
// tells the session when the viewer ended playback, with Escape or by closing the window.
void replay_viewer_outside(bool outside);
void replay_viewer_ended(bool escaped);
// The frames of the recording played back; 0 without a playback.
int replay_length();
// Whether the match plays a recording back (or re-records one) rather than live keys.
bool replay_playing();
// End of a frame: records or compares a check line. True when playback diverged.
bool replay_frame_end();
// The playback the next replay_begin starts: the recording r of file, played back, or its
// inputs re-recorded under the current rules (written back to file); fast skips pacing.
void replay_arm(const std::string& file, const replay_record& r, bool rerecord, bool fast);
// What the last playback came to: it diverged from its check lines; the viewer ended it with
// Escape.
bool replay_diverged();
bool replay_escaped();
// The session's recording: the one played back (or whose inputs are re-recorded), or the one
// being made; null without a session.
const replay_record* replay_recording();
// Playback becomes recording here (a takeover, takeover.h): the new recording is the one
// played up to this frame (its set-up, inputs and check lines), marked as taken over here
// with fighter `taken` and the other fighter's script, and goes on from the live keys.
void replay_take_over(int taken, const std::vector<replay_decision>& script);
// The game options a recording was made with.
struct game_options;
game_options replay_options(const replay_record& r);
// Where the session stands in its match: the frame, the match's generator, the key table, and
// how far the recording is read (playback) or written (recording). The match's clock reads
// the frame less clock_back (a takeover's F5 takes the clock back, never the recording). A
// match saved and restored (match_save.h) takes the session back with it.
struct replay_position {
    int frame = 0, clock_back = 0;
    uint64_t rng = 0;
    uint64_t next_input = 0, next_check = 0; // playback: the next input and check line to read
    uint64_t inputs = 0, checks = 0;         // recording: inputs and check lines written
    int diverged = 0;
    Uint8 keys[REPLAY_KEYS] = {};
    int joystick = 0, buttons[4] = {0, 0, 0, 0}, axes[2] = {0, 0};
};
replay_position replay_get_position();
// Back to a position taken in this session: what was recorded after it is forgotten.
void replay_set_position(const replay_position& p);
// End of the match (end flag as run_match returns it): writes the recording, or checks the
// end of playback; the session ends and the real clock, generator and keys return.
void replay_end(int end);
