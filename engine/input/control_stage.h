// Control stages: the named building blocks of combos ("down", "nopunch", ...).
//  - press_record: one key state that is required or observed: the key, the key read instead
//    while the fighter's controls are mirrored (left and right exchanged), and the state.
//  - control_stage: one step of a combo: every press record it points at must be seen within
//    [minimum, maximum] ms of the previous step. The records belong to the player's key
//    bindings (control_mgr), which outlive every stage.
//  - control_stage_list: a fighter's stages by name, built per match by control_mgr and owned
//    by the fighter; its combos point at the stages inside it.
#pragma once
#include <cstdint>
#include <vector>

#include "input/name_list.h"

enum { KEY_UNPRESSED = 0, KEY_PRESSED = 1 };

struct press_record {
    int mirrored_key; // read instead of key while mirrored
    int key;
    uint8_t state;    // KEY_PRESSED or KEY_UNPRESSED
};

struct control_stage {
    int min_delay = 1;    // ms after the previous stage
    int max_delay = 1000; // ms after the previous stage
    std::vector<press_record*> presses; // all required; not owned
    const char* name = nullptr;         // the control name, not owned
};

typedef name_list<control_stage> control_stage_list;
