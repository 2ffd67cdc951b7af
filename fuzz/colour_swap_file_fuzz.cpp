// Colour-swap file: read it and re-colour a picture with what it holds.
#include <cstdlib>

#include "colour_swaps.h"
#include "foundation/video_mgr.h"
#include "fuzz_support.h"
#include "images/img_mgr.h"

static img_mgr* picture;

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzz_setup();
    picture = Image_Manager.get("rsrc/mirelle/mirelle_stand.png");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string path = fuzz_write("swap.ini", data, size);
    std::vector<colour_swap> swaps;
    int n = read_colour_swaps(path.c_str(), video.screen->format, swaps);
    if (n != (int)swaps.size() || n > MAX_SWAP_COLOURS) abort();
    img_mgr copy;
    copy.set_surface(picture->display_copy());
    for (const colour_swap& s : swaps) copy.swap_color(s.first, s.second);
    return 0;
}
