// Pictures: corrupt image data through img_mgr's load, its pixel work and every software
// drawing routine.
#include "foundation/video_mgr.h"
#include "fuzz_support.h"
#include "images/img_mgr.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzz_setup();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string path = fuzz_write("picture.png", data, size);
    uint32_t h = 2166136261u;
    for (size_t i = 0; i < size; i++) h = (h ^ data[i]) * 16777619u;
    const int x = (int)(h % 700) - 30, y = (int)((h >> 10) % 520) - 20;
    {
        img_mgr im;
        im.load(path.c_str());
        im.swap_color(SDL_MapRGB(video.screen->format, 255, 255, 255),
                      SDL_MapRGB(video.screen->format, 0, 0, 255));
        img_mgr copy(im);
        im.flip();
        im.set_alpha((uint8_t)(h >> 3));
        im.draw_at(x, y);
        im.draw_scaled(x, y, 0.5 + (h & 7) * 0.25, 1.5);
        im.draw(x, y, video.screen, 1.0f, 1.0f, (int)(h % 360));
        im.draw_anchored(x, y, video.screen, 0.75);
        im.draw_floor(x, y, video.screen, 1.25, 0.17);
        im.draw_tiled(0, 0, 200, 150);
        im.flip();
        im.draw_at(-x, y);
        (void)im.overlaps(x, y, &copy, y, x, 1.0f, (h & 1) != 0);
        copy.tohw();
        copy.draw_at(x, y);
    }
    return 0;
}
