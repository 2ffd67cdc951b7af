// game_options: the six options of the game options screen and their values, kept in
// "game/game.ini" beside the video settings. Each default but the difficulty is the game as it
// always played:
//  - difficulty: "classic" (the computer of old, which the demo always plays), "normal" (the
//    default: the hard computer with slower eyes and a looser guard) or "hard" (blocks by
//    posture, punishes a repeated approach, picks among its specials);
//  - rounds: round wins required, 1 to 5 (3: the fourth win takes the match);
//  - life style: "classic" (out only below 0 life) or "strict" (an empty bar is out);
//  - round mode: "classic" (the next round starts where the fighters stand) or "staged"
//    (back to the starting places, "Round N" and "Fight", a large "K.O.", a result screen);
//  - roster: "four" (all four fighters in character select and as the computer's pick) or
//    "two" (only the first two, as the game first shipped);
//  - stage: "road", "harbour" or "alternate" (the two in turn, one match after the other);
//  - round time: "off" (rounds have no limit), 60 or 99 seconds a round; at zero the fighter
//    with more life wins the round. The file may hold any number of seconds from 1 to 99.
// Beside them, not part of a match's rules: the input delay of network matches ("netdelay",
// 0 to 4 frames, 2 by default), set on the options menu's Network screen.
// game_opts is what the match and the front end read; the options screen changes it and
// saves it at once.
#pragma once
#include <cstddef>

class config_file;

enum {
    OPT_DIFFICULTY = 0, OPT_ROUNDS = 1, OPT_LIFE_STYLE = 2, OPT_ROUND_MODE = 3, OPT_ROSTER = 4,
    OPT_STAGE = 5, OPT_ROUND_TIME = 6, OPT_COUNT = 7
};
// Values as recorded: classic and hard kept their numbers when normal came.
enum { DIFFICULTY_CLASSIC = 0, DIFFICULTY_HARD = 1, DIFFICULTY_NORMAL = 2 };
enum { LIFE_CLASSIC = 0, LIFE_STRICT = 1 };
enum { ROUNDS_CLASSIC = 0, ROUNDS_STAGED = 1 };
enum { ROSTER_FOUR = 0, ROSTER_TWO = 1 };
enum { STAGE_ROAD = 0, STAGE_HARBOUR = 1, STAGE_ALTERNATE = 2 };
enum { ROUNDS_MIN = 1, ROUNDS_MAX = 5, ROUNDS_DEFAULT = 3 };
enum { ROUND_TIME_OFF = 0, ROUND_TIME_MAX = 99 };
enum { NET_DELAY_DEFAULT = 2, NET_DELAY_MAX = 4 };

struct game_options {
    int difficulty = DIFFICULTY_NORMAL;
    int rounds = ROUNDS_DEFAULT;
    int life_style = LIFE_CLASSIC;
    int round_mode = ROUNDS_CLASSIC;
    int roster = ROSTER_FOUR;
    int stage = STAGE_ROAD;
    int round_time = ROUND_TIME_OFF; // seconds a round lasts; 0: no limit
    int net_delay = NET_DELAY_DEFAULT; // frames a network match's own input waits, 0 to 4
};

extern game_options game_opts;

// What the demo always plays with: the defaults, against the classic computer.
game_options demo_options();

// Reads the seven keys ("difficulty", "rounds", "lifestyle", "roundmode", "roster", "stage",
// "roundtime");
// a missing or unknown value keeps the default.
void read_game_options(const config_file& cfg, game_options& o);
// The text of option `which`'s value ("classic", "3", ...).
const char* game_option_text(const game_options& o, int which, char* buf, size_t size);
// The next value of option `which`, wrapping round.
void cycle_game_option(game_options& o, int which);
// The fighters character select offers and the computer picks among: 4 and those the
// roster file added, or 2 with "two".
int roster_size(const game_options& o);
// Writes the seven keys and "netdelay" into the settings file at path, keeping every other entry; the
// file is replaced whole or not at all. False when it could not be written.
bool save_game_options(const char* path, const game_options& o);

struct check_report;
// Checks a settings file: the start-up and video keys (startup.h, foundation/settings.h) and
// the game options, each a value the options screen knows.
void check_settings_file(check_report& report, const char* path);
