// roster: the file "game/roster.ini" that adds fighters after the built-in ones. It holds
// "fighters" rows; row %d is "fighter%dname" (the display name, an underscore showing as a
// blank), "fighter%dfile" (the fighter file), "fighter%dshot" (the action shot character
// select turns), "fighter%dportrait" (the portrait beside the other side's choice) and
// "fighter%dsmall" (the small portrait of the match display; without it the first fighter's).
// Character select and the computer's pick offer the added fighters after the built-in
// ones. Without the file nothing changes and nothing is said.
#pragma once
#include <string>

struct check_report;

extern const char* const ROSTER_FILE; // "game/roster.ini"

// Appends the file's rows to the fighter table (a row whose name or fighter file is
// missing is skipped with a WARNING); returns the number added. Called once at start-up;
// a second call first removes the rows the first added.
int load_roster(const char* path);
// Removes the added rows: the table holds the built-in fighters again.
void clear_roster();

// Checks the roster file: each row complete, its pictures loading, its fighter file sound
// (check_fighter_file).
void check_roster_file(check_report& report, const std::string& path);
