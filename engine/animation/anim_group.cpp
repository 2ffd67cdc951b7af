#include "animation/anim_group.h"

#include <cmath>
#include <new>

#include "foundation/clock.h"
#include "foundation/log.h"
#include "foundation/video_mgr.h"

anim_group loading_group(false);

void ag_stack::clear() {
    for (animation* a : items) delete a;
    items.clear();
}

anim_group::anim_group() : anim_group(true) {}

anim_group::anim_group(bool log_creation)
    : max_width(0), max_height(0), offset_x(0), offset_y(0), facing(-1) {
    if (log_creation) log_out("Creating anim_group\n");
    stack = new ag_stack();
}

anim_group::anim_group(const anim_group& o)
    : max_width(0), max_height(0), offset_x(0), offset_y(0), stack(nullptr), facing(-1) {
    log_out("Creating anim_group\n");
    *this = o;
}

anim_group& anim_group::operator=(const anim_group& o) {
    if (&o == this) return *this;
    log_out("Assigning animation group\n");
    max_width = o.max_width;
    max_height = o.max_height;
    offset_x = o.offset_x;
    offset_y = o.offset_y;
    facing = o.facing;
    entries = o.entries;
    if (!stack_empty(o.stack)) {
        log_out("Copying ag_stack\n");
        if (!stack) stack = new ag_stack();
        for (animation* a : o.stack->items) stack->items.push_back(new animation(*a));
    } else if (o.stack) {
        delete stack;
        stack = new ag_stack();
    }
    return *this;
}

anim_group::~anim_group() {
    log_out("Deleteing anim_group\n");
    delete stack;
    stack = nullptr;
    entries.clear();
}

int anim_group::add(const smart_ptr<anim_mgr>& def, int x, int y) {
    entries.push_back(group_entry{def, x, y});
    return (int)entries.size() - 1;
}

ag_stack* build_stack(anim_group& g) {
    ag_stack* s = new (std::nothrow) ag_stack();
    if (!s) {
        log_out("Can't create a new animation\n");
        return nullptr;
    }
    for (size_t j = 0; j < g.entries.size(); j++) {
        anim_mgr* def = g.entries[j].def.get();
        if (!def || def->frames.empty()) {
            log_out("WARNING frames for animation [%d] [%x] is empty\n", (int)j, ptr_id(&g));
            return s;
        }
        animation* a = new animation{g.entries[j].x, g.entries[j].y, 0, def->frames[0].rate,
                                     1, def->loop, def};
        if (img_mgr* img = def->frames[0].image) {
            if (img->get_width() > g.max_width) g.max_width = img->get_width();
            if (img->get_height() > g.max_height) g.max_height = img->get_height();
        }
        s->items.push_back(a);
    }
    return s;
}

void draw_frame(anim_mgr* def, int x, int y, int frame_index, stage_view* view) {
    if (!def || def->frames.empty()) return;
    uint32_t last = (uint32_t)def->frames.size() - 1;
    if ((uint32_t)frame_index > last) frame_index = (int)last;
    frame& f = def->frames[(size_t)frame_index];
    img_mgr* img = f.image;
    if (img) {
        def->cur_width = img->get_width();
        def->cur_height = img->get_height();
        if ((int)img->mirrored != (def->mirrored != 0)) img->flip();
        img->set_alpha((uint8_t)def->alpha);
        double z = view ? view->zoom : 1.0;
        double s = z * def->owner_scale * def->scale;
        int h = img->get_height();
        // Placed like the owner's still image, whose box is the one that collides, and
        // moved by the frame's offsets at the picture's scale.
        double fx = x * z * def->owner_scale + frame_dx(def, f) * s,
               fy = (y + h) - h * s + frame_dy(f) * s;
        // A placement or size no screen could show (scales multiplied out of all
        // proportion) is not drawn: its pixel arithmetic would not fit.
        if (std::isfinite(s) && std::fabs(s) <= 1e4 && std::fabs(fx) < 1e8 && std::fabs(fy) < 1e8)
            img->draw((int)fx, (int)fy, video.screen, (float)s, (float)s, def->angle);
    }
    if (f.play_sound && f.sound) f.sound->play(-1, 0);
    if (view) {
        if (f.flash) {
            view->flash = f.flash;
            view->flash_step = f.flashrate;
        }
        if (f.shake) view->shake = f.shake;
    }
}

void step(animation* a, stage_view* view) {
    if (!a || !a->active || !a->def) return;
    anim_mgr* def = a->def;
    if (frame* f = def->get_frame(a->frame_index))
        // Whole turns dropped, so a long or fast spin cannot overflow the angle.
        if (f->spin) def->angle = (int32_t)(((int64_t)def->angle + f->spin) % 360);
    draw_frame(def, a->x, a->y, a->frame_index, view);
    if (a->remaining == INT32_MIN) a->remaining = 0; // a rate of -2^31 ends like 0
    if (--a->remaining > 0) return;
    a->frame_index++;
    def->angle = 0;
    if ((uint32_t)a->frame_index < (uint32_t)def->frames.size())
        a->remaining = def->frames[(size_t)a->frame_index].rate;
}

int anim_group::display(int x, int y, stage_view* view) {
    if (stack_empty(stack)) {
        delete stack;
        stack = build_stack(*this);
        if (!stack) {
            log_out("Can't get stack animation\n");
            return 0;
        }
    }
    int dx = x + offset_x, dy = y + offset_y;
    for (size_t i = 0; i < stack->items.size(); i++) {
        animation* a = stack->items[i];
        a->x += dx;
        a->y += dy;
        if (facing >= 0) a->def->mirrored = facing;
        step(a, view);
        a->x -= dx;
        a->y -= dy;
        if ((uint32_t)a->frame_index >= (uint32_t)a->def->frames.size()) {
            if (a->loop && !a->def->frames.empty()) {
                a->frame_index = 0;
                a->remaining = a->def->frames[0].rate;
            } else {
                stack->clear();
                return 1;
            }
        }
    }
    return 1;
}

void draw_loading() {
    static bool shown = false;
    static uint32_t shown_at = 0;
    if (!video.screen) return;
    if (shown && clock_ticks() - shown_at < (uint32_t)LOADING_PRESENT_MS) return;
    video.clear();
    loading_group.display(0, video.screen->h - loading_group.max_height);
    video.flip();
    shown = true;
    shown_at = clock_ticks(); // after the present: its own wait does not count
}
