#include "sizes.h"

#include "animation/anim_group.h"
#include "animation/anim_mgr.h"
#include "foundation/log.h"
#include "images/frame.h"
#include "images/img_mgr.h"
#include "world/level.h"
#include "world/mon_mgr.h"

// One line per engine class, in a fixed order; each class adds its line when it exists.
void print_class_sizes() {
    log_out("lifeform size [%d]\n", (int)sizeof(lifeform));
    log_out("level size [%d]\n", (int)sizeof(level));
    log_out("img_mgr size [%d]\n", (int)sizeof(img_mgr));
    log_out("frame size [%d]\n", (int)sizeof(frame));
    log_out("anim_mgr size [%d]\n", (int)sizeof(anim_mgr));
    log_out("anim_group size [%d]\n", (int)sizeof(anim_group));
    log_out("animation size [%d]\n", (int)sizeof(animation));
}
