// combo: an ordered list of control stages that, seen in order with each stage inside its
// time window, starts a special move. A fighter's combos are filled by its fighter file and
// owned by its combo_list; the stages belong to the fighter's control stage list. The key
// history's scratch entries point into the list, so it must not grow after import.
#pragma once
#include <vector>

#include "input/control_stage.h"

struct combo {
    std::vector<control_stage*> stages; // not owned
    int move = 0;       // the move started when the combo completes
    int min_total = 0;  // sum of the stages' minimum delays, set at import
    int max_total = 0;  // sum of the stages' maximum delays, set at import
};

typedef std::vector<combo> combo_list;
