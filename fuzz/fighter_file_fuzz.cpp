// Fighter files: load into a combatant bound to the default controls, with or without the
// re-colouring a second copy of the same fighter gets.
#include "foundation/video_mgr.h"
#include "fuzz_support.h"
#include "input/control_mgr.h"
#include "world/mon_mgr.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzz_setup();
    for (const char* n : control_names) Control_Manager.register_name(n);
    Control_Manager.set_defaults();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) return 0;
    const uint8_t mode = data[0];
    std::string path = fuzz_write("fighter.ini", data + 1, size - 1);
    {
        control_stage_list controls = Control_Manager.build_stage_list(mode & 1);
        combatant* f = new combatant();
        if (mode & 2)
            f->swaps.push_back(colour_swap(SDL_MapRGB(video.screen->format, 255, 255, 255),
                                           SDL_MapRGB(video.screen->format, 0, 0, 255)));
        if (!(mode & 4)) f->controls = &controls;
        f->load(path.c_str());
        delete f;
    }
    fuzz_trim_caches();
    return 0;
}
