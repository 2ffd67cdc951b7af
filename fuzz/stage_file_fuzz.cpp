// Stage and background-set files: load a stage and draw it under a few cameras. An input
// holding a line "%%" is a stage file, then a background set file that the stage is made
// to name; otherwise the stage names its own set.
#include <cstring>
#include <string>

#include "foundation/video_mgr.h"
#include "fuzz_support.h"
#include "world/level.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzz_setup();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string text((const char*)data, size);
    std::string stage_text = text;
    size_t cut = text.find("\n%%\n");
    if (cut != std::string::npos) {
        std::string bgset = fuzz_write("bgset.ini", (const uint8_t*)text.data() + cut + 4,
                                       text.size() - cut - 4);
        // The first "bgset" entry wins.
        stage_text = "bgset=" + bgset + "\n" + text.substr(0, cut) + "\n";
    }
    std::string path = fuzz_write("stage.ini", (const uint8_t*)stage_text.data(), stage_text.size());

    level* lv = new level();
    current_level = lv;
    lv->load(path.c_str());
    // Cameras from the last bytes: offsets and zooms the match could set, and wild ones.
    uint32_t h = 2166136261u;
    for (size_t i = 0; i < size; i++) h = (h ^ data[i]) * 16777619u;
    const double zooms[4] = {1.0, 0.5, 2.0, 0.0001};
    for (int t = 0; t < 3; t++) {
        lv->x_offset = (int)(h & 0x3FF) - 256;
        lv->y_offset = (int)((h >> 10) & 0x3FF) - 512;
        lv->zoom = zooms[(h >> 20) & 3];
        if (t == 1) lv->shake = (int)((h >> 22) & 31);
        if (t == 2) {
            lv->flash = 255;
            lv->flash_step = 50;
        }
        lv->draw();
        h = h * 1103515245u + 12345u;
    }
    current_level = nullptr;
    delete lv;
    fuzz_trim_caches();
    return 0;
}
