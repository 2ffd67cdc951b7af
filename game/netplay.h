// netplay: a versus match between two machines. `fightgame --host [PORT]` waits for a guest
// (port NET_DEFAULT_PORT, 7435, by default) and plays on the right; `fightgame --join
// HOST[:PORT]` connects and plays on the left; the main menu's "network" does the same.
// Both players choose their fighters in character select at the same time, each seeing the
// other's offer; `--fighter N` (0 to 3) gives this machine's instead. On each machine its own
// player uses player 1's keys. The input delay is the Network option's unless `--delay`
// gives it. After the match the game goes on to its main menu. `--netkeys RECORDING` plays this side's part of a recording instead of the keyboard
// (frame for frame, whatever the delay); the host then sets the match up as the recording
// was (its options, frame rate, round wins and stage), so two machines replay a recorded
// match against each other over the network - how the automated check plays; such a run
// shows no pages and ends the program with the match.
//
// Before the match both sides say which program they are (its version) and hash the
// definition files that decide the rules (every fighter file, move and colour swap under
// game/fighter/, the stage and background-set files); a difference is refused on both sides
// with a line that says what differs. The host then sends the match: the seed, its frame
// rate, its game options, both picks and the input delay.
//
// The match runs on the rollback session (rollback.h): this side's input goes out at once
// and acts `delay` frames later; each packet repeats every input the other side has not yet
// acknowledged, so a lost packet costs nothing. A round's end only stands once every frame
// before it stands on both sides' real inputs. A side running ahead of the other holds a
// frame now and then until they match. Every 60th confirmed frame both sides compare the
// match's checksum: a difference ends the match on both with "desync at frame N". Nothing
// heard for 3 s ends it with "connection lost"; Escape, a closed window or a quit on one
// side ends it on both. Both sides record the match as any match is recorded.
//
// Ownership: one session at a time, owned here.
#pragma once
#include <string>

struct game_resources;

enum {
    NET_EXIT_OK = 0,      // the match was played to its end
    NET_EXIT_DESYNC = 1,  // the two sides' matches differed
    NET_EXIT_USAGE = 2,   // bad command line
    NET_EXIT_CANCELLED = 3, // this side's player left before the match
    NET_EXIT_LOST = 5,    // no other side, or it went away
    NET_EXIT_LEFT = 7,    // the other side's player left
    NET_EXIT_REFUSED = 6, // another version or other definition files
    NET_LOST_MS = 3000,     // silence that ends a match under way
    NET_LOADING_MS = 30000, // silence allowed before the other side's first input: it is loading
    NET_SETUP_MS = 10000,   // the guest's wait for the host's match, the host's for its delivery
    NET_CHECK_EVERY = 60,
    NET_DEFAULT_DELAY = 2
};

struct netplay_command_line {
    int host = 0;        // 1: --host, 0: --join
    int port = 0;
    std::string address; // --join's host
    int fighter = -1;    // --fighter; -1: chosen in character select (0 without screens)
    int delay = -1;      // --delay; -1: the Network option's
    int active = 0;      // the command line asked for a network match
    std::string keys;    // --netkeys: the recording whose inputs this side plays
    bool screens = true; // the waiting pages, character select and the endings show
};
// -1 for a normal start (no network option), else the exit status to end with at once
// (usage errors are printed).
int netplay_command(int argc, char** argv, netplay_command_line& cmd);
// Connects (showing the host's wait or the guest's attempt; Escape cancels), checks, lets both
// choose their fighters, plays the match and closes; the program's exit status.
int netplay_run(const netplay_command_line& cmd, game_resources& r);
// Hash of the definition files that decide the rules, read from the game folder.
unsigned long long rules_hash();
