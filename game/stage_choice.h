// stage_choice: the stages a match can be fought on, in the order of the Stage option's
// values (road, harbour), and which one the next match takes. With "alternate" the matches
// of a session take the road and the harbour in turn, the first on the road. A recording
// names its stage and is played back on that one, whatever the option says.
#pragma once

struct game_options;

enum { STAGE_FILES = 2 };
extern const char* const stage_files[STAGE_FILES];

// The stage the match is fought on: chosen by run_match from the Stage option (or the
// recording being played) before the set-up loads it; the road until the first match.
extern const char* match_stage_file;

// The stage file of the next match under o; with "alternate" each call takes the next one.
const char* stage_for_next_match(const game_options& o);
// The entry of stage_files that names file, or null when this game has no such stage.
const char* known_stage(const char* file);
