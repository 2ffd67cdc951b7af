// folder_check: every definition file the game would read in one game folder, checked.
// Paths are the game's own, relative to the folder (the programs run inside it), and so are
// the file names of the problems.
#pragma once
#include <string>

struct check_report;

// Checks the folder the program stands in: the settings, the controls (when there), the
// shared animations, every fighter of the fighter table with its moves, the colour swaps,
// every stage with its background set, the roster file (when there) and its fighters, and
// every recording in "game/replays".
void check_game_folder(check_report& report);

// The problem as one line: "file:line: message" (line 0: the file as a whole).
std::string problem_line(const struct check_problem& p);
