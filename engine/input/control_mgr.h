// control_mgr: which key drives each named control, per player. The game registers the ten
// control names, sets the default bindings, reads "game/controls.ini" over them, and the
// remapping menu changes one binding at a time and saves the file. For each fighter in a
// match it builds the control stage list that the fighter's combos are assembled from.
// The global Control_Manager owns every binding for the life of the program; control names
// are kept as pointers, so register only texts that live as long (literals).
#pragma once
#include <vector>

#include "input/control_stage.h"
#include "input/name_list.h"

// One player's key for one control: the record a press must match and the one a release must.
struct control_binding {
    press_record pressed{0, 0, KEY_PRESSED};
    press_record released{0, 0, KEY_UNPRESSED};
};

typedef name_list<control_binding> binding_list;

// Player numbers at or above this are refused, so a broken file cannot exhaust memory.
enum { MAX_CONTROL_PLAYERS = 64 };

struct control_mgr {
    std::vector<const char*> names;  // control names in registration order
    std::vector<binding_list> lists; // one binding list per player, from player 0

    void register_name(const char* name);
    // The twenty default bindings, player 0 first, each player in control order.
    void set_defaults();
    // Binds name to key for player p, adding binding lists up to p when needed.
    void set_binding(int p, const char* name, int key);
    // The key bound to name for player p, or 0 when p has no such binding.
    int key_for(int p, const char* name) const;
    // Finds a control other than (p, control index c) bound to key: its player and control
    // index, players in order and each in control order. Prints nothing.
    bool find_key(int key, int p, int c, int& owner_player, int& owner_control) const;
    // Reads "players" and "player%dcontrol%s" keys over the current bindings.
    void load(const char* filename);
    // Rewrites the whole file (atomically) with every binding; the writer's result.
    int save(const char* filename) const;
    // Exchanges the left and right keys in player p's mirrored fields and returns a new list
    // of two stages per bound control, "name" (press) and "noname" (release), in control
    // order. Controls p has no binding for get no stages.
    control_stage_list build_stage_list(int p);
};

extern control_mgr Control_Manager;

// The ten control names in their fixed order, as the game registers them.
enum { CONTROL_COUNT = 10 };
extern const char* const control_names[CONTROL_COUNT];
// The key a control has by default: player 0 on the arrows and i k o l u j, player 1 on
// w s a d and Tab z x c q e; 0 outside the players and controls.
int default_key(int player, int control);

// The SDL name of a key code, "unknown key" for codes outside SDL's table.
const char* key_name(int key);

struct check_report;
// Checks a controls file as load reads it: "players" and a key code for each
// "player%dcontrol%s" of a known control.
void check_controls_file(check_report& report, const char* path);
