#include "images/frame.h"

#include "foundation/log.h"

int frame_count = 0;

frame::frame()
    : image(nullptr), sound(nullptr), rate(0), play_sound(0), flash(0), shake(0), flashrate(10),
      spin(0), trail(0), fire(0), firespeed(0.25f), firex(0), firey(0), xoffset(0), yoffset(0) {
    frame_count++;
    log_out("Creating frame[%x] cnt[%d] estmem[%d]\n", ptr_id(this), frame_count,
            frame_count * 60);
}

frame::frame(const frame& o)
    : image(nullptr), sound(nullptr), rate(0), play_sound(0), flash(0), shake(0), flashrate(10),
      spin(0), trail(0), fire(0), firespeed(0.25f), firex(0), firey(0), xoffset(0), yoffset(0) {
    frame_count++;
    log_out("Copying frame [%x] to [%x]\n", ptr_id(&o), ptr_id(this));
    *this = o;
}

frame& frame::operator=(const frame& o) {
    log_out("Assigning frames [%x] cnt[%d] estmem[%d]\n", ptr_id(this), frame_count,
            frame_count * 60);
    if (&o == this) return *this;
    // Our own record of the source's sound; the one we had goes.
    sfx* copy = o.sound ? new sfx(*o.sound) : nullptr;
    if (copy) copy->refs = 0;
    delete sound;
    sound = copy;
    image = o.image;
    rate = o.rate;
    play_sound = o.play_sound;
    flash = o.flash;
    shake = o.shake;
    flashrate = o.flashrate;
    spin = o.spin;
    trail = o.trail;
    fire = o.fire;
    firespeed = o.firespeed;
    firex = o.firex;
    firey = o.firey;
    xoffset = o.xoffset;
    yoffset = o.yoffset;
    return *this;
}

frame::~frame() {
    frame_count--;
    log_out("Deleting frame [%x] cnt[%d]\n", ptr_id(this), frame_count);
    image = nullptr;
    delete sound;
    sound = nullptr;
}
