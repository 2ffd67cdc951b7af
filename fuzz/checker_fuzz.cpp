// The folder checker's look at each kind of definition file: the first byte picks the kind
// (settings, controls, animation, fighter, stage, colour swaps, roster, recording), the rest
// is the file. Whatever it holds, the check reports and ends.
#include "animation/anim_mgr.h"
#include "colour_swaps.h"
#include "fuzz_support.h"
#include "game_options.h"
#include "images/file_check.h"
#include "input/control_mgr.h"
#include "replay_file.h"
#include "roster.h"
#include "world/fighter_file.h"
#include "world/level.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzz_setup();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) return 0;
    const std::string path = fuzz_write("checked.ini", data + 1, size - 1);
    check_report report;
    switch (data[0] % 8) {
    case 0: check_settings_file(report, path.c_str()); break;
    case 1: check_controls_file(report, path.c_str()); break;
    case 2: check_anim_file(report, path); break;
    case 3: check_fighter_file(report, path); break;
    case 4: check_stage_file(report, path); break;
    case 5: check_colour_swap_file(report, path); break;
    case 6: check_roster_file(report, path); break;
    default: {
        replay_record rec;
        std::string error;
        int line = 0;
        replay_load(path.c_str(), rec, error, &line);
    }
    }
    fuzz_trim_caches();
    return 0;
}
