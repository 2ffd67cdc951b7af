// keyhistory: one per fighter. It records, with their times in ms, the state changes of the
// keys its combos use, and follows every combo stage by stage through that record.
//  - import_combos: once per match, after the fighter file; tracks the combos' keys and sets
//    maxkeep, how long history entries are kept (the longest combo's maximum total).
//  - update: once per frame, before the fighter's path; reads the SDL key state (at the
//    mirrored codes while mirrored is set) and starts scratch entries for combos whose first
//    stage an entry matches.
//  - check_combos: once per frame, after update; prunes the history and returns the move of
//    the combo completed now, or -1. At most one combo completes per check.
//  - start_combo_now: the computer opponent fires a combo through the next check.
// It owns its history, tracked keys and scratch entries; the combo list is the fighter's.
// Detailed traces print only while debug is set.
#pragma once
#include <cstdint>
#include <vector>

#include "input/combo.h"
#include "input/control_stage.h"

// One observed key change; key is never the mirrored code.
struct history_entry {
    int key;
    int time;
    uint8_t state;
};

// A combo in progress: stage is the next stage to see, last_time when the previous one was.
struct cmboscrtch {
    combo* move_combo;
    int stage;
    unsigned expiration;
    int last_time;
};

struct keyhistory {
    std::vector<history_entry> history; // oldest first
    std::vector<press_record> tracked;  // one per distinct key code; the history's own copies
    unsigned maxkeep = 0;
    combo_list* combos = nullptr;
    std::vector<cmboscrtch> scratch;    // combos in progress, earliest started first
    int clock = 0;                      // time of the last update
    int mirrored = 0;                   // read left and right exchanged
    int debug = 0;
    uint8_t changed = 0;                // an update saw a change the checks have not finished

    void import_combos(combo_list* list);
    int update();                       // number of keys that changed state
    int check_combos();                 // the completed combo's move, or -1
    void start_combo_now(combo* c);

    // The pieces of the detector, open for the computer opponent and tests.
    void start_test(const history_entry& e); // scratch entries for combos e starts
    int find_in_history(const press_record& p, int low, int high) const; // time, 0 if none
    int stage_match(const combo& c, int stage, int last_time) const;     // time, 0 if none
};
