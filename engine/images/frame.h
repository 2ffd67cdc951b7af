// frame: one step of an animation - the picture, how many ticks it shows, the sound it
// starts, its effects (flash, shake, spin, projectile fire) and its offsets (the picture
// and its box are drawn that far from the animation's place), plus values only carried
// for the editor. Animations keep frames by value, in playing order.
//
// Ownership: `image` is a plain pointer to an image owned elsewhere (the image registry or
// a fighter) and is never freed here. `sound` is this frame's own copy of a sound record:
// copies get their own record (the mixer chunk inside stays shared, owned by the sound
// cache) and the frame frees its record when it goes.
#pragma once
#include <cstdint>

#include "foundation/sfx.h"
#include "images/img_mgr.h"

struct frame {
    img_mgr* image;
    sfx* sound;
    int32_t rate;       // ticks shown
    int32_t play_sound; // start `sound` when shown
    int32_t flash;
    int32_t shake;
    int32_t flashrate;
    int32_t spin;  // degrees added to the animation's angle per tick
    int32_t trail; // carried for the editor
    uint8_t fire;  // launches a projectile
    float firespeed;
    int16_t firex, firey;
    int16_t xoffset, yoffset; // pixels, as the picture faces in its file

    frame();
    frame(const frame& o);
    frame& operator=(const frame& o);
    ~frame();
};

extern int frame_count; // frames alive, for the memory estimate (count x 60 bytes)
