#include "world/mon_mgr.h"

#include <algorithm>
#include <cstring>

#include "foundation/clock.h"
#include "foundation/log.h"
#include "foundation/settings.h"
#include "foundation/video_mgr.h"
#include "world/level.h"
#include "world/weapon.h"

nmanager<combatant> Combatant_Manager;

// ---------------------------------------------------------------------------------------
// The view the rules read: screen size and the current stage's camera.

static int screen_w() { return video.screen ? video.screen->w : video.width; }
static int screen_h() { return video.screen ? video.screen->h : video.height; }
static int cam_x() { return current_level ? current_level->x_offset : 0; }
static int cam_y() { return current_level ? current_level->y_offset : 0; }
// A zoom of 0 (never set) would divide by zero; such a camera shows the stage unscaled.
static double cam_zoom() {
    double z = current_level ? current_level->zoom : 1.0;
    return z > 0 ? z : 1.0;
}
// Without a stage the area is the screen.
static int stage_width() { return current_level ? current_level->width : screen_w(); }
static double stage_scale() {
    double s = current_level ? current_level->scale : 1.0;
    return s > 0 ? s : 1.0;
}

// ---------------------------------------------------------------------------------------
// Construction

lifeform::lifeform()
    : refs(0), hp(1), max_hp(1), shown_hp(1.0), x(0), y(0), h(0), w(0), freeze(0), vx(0), vy(0),
      ax(0), ay(0), speed(1.0), min_x(0), min_y(0), max_x(0), max_y(0), path_flag(0), side(0),
      facing(0), stance(0), cur_image(0), edge_kill(1), kind(0), path(nullptr), ticks(0),
      path_value(0), stack(new ag_stack()), move_state(MOVE_NONE), scale(1.0),
      combos(new combo_list()), controls(nullptr), alpha(255), last_image(nullptr), drawn_dx(0), drawn_dy(0),
      fired_count(0),
      jump_rise(12), jump_fall(0.25), high_jump(1.1), walk_speed(1), block_sound(nullptr), owns_path(0) {
    memset(weapon_snapshot, 0, sizeof weapon_snapshot);
    for (int32_t& a : ai_weights) a = 0;
}

lifeform::~lifeform() {
    delete stack;
    stack = nullptr;
    // A projectile's slots share one group: free each group once. Definitions made by this
    // lifeform's load go with it unless something else (a projectile's copy) still holds them.
    for (size_t i = 0; i < moves.size(); i++) {
        anim_group* g = moves[i];
        if (!g || std::find(moves.begin(), moves.begin() + (long)i, g) != moves.begin() + (long)i)
            continue;
        delete g;
    }
    moves.clear();
    for (anim_mgr* d : own_defs)
        if (d->refs <= 0) delete d;
    own_defs.clear();
    delete combos;
    combos = nullptr;
    for (weapon* wp : weapons) delete wp;
    weapons.clear();
    for (img_mgr* im : own_images) delete im;
    own_images.clear();
    if (owns_path) delete path;
    path = nullptr;
}

combatant::combatant()
    : posture(1), action(1), hit_posture(0), cur_priority(0), hits_in_row(0), round_wins(0),
      knockdown_streak(0), recovery_timer(0), dash_angle(0), hit_time(0), hits_landed(0),
      hits_taken(0), damage_taken(0), knockdowns(0), damage_dealt(0), early(0) {
    meters[0] = meters[1] = meters[2] = 0;
}

// ---------------------------------------------------------------------------------------
// Small queries

bool lifeform::move_playing() const {
    return move_state != MOVE_NONE && move_state != MOVE_HELD && !stack_empty(stack);
}

bool lifeform::offscreen() const {
    int left = cam_x();
    return x + w < left || x >= (int)((left + screen_w()) / cam_zoom());
}

img_mgr* lifeform::still_image() {
    if (images.empty()) return nullptr;
    if (cur_image < 0 || (size_t)cur_image >= images.size()) return images[0];
    img_mgr* im = images[(size_t)cur_image];
    return im ? im : images[0];
}

int lifeform::image_width(int i) const {
    if (i < 0 || (size_t)i >= images.size() || !images[(size_t)i]) return 0;
    return images[(size_t)i]->get_width();
}

int lifeform::image_height(int i) const {
    if (i < 0 || (size_t)i >= images.size() || !images[(size_t)i]) return 0;
    return images[(size_t)i]->get_height();
}

void lifeform::empty_stack() {
    if (stack) stack->clear();
    else stack = new ag_stack();
}

// ---------------------------------------------------------------------------------------
// Motion

void lifeform::motion(int32_t t) {
    if (speed != 0) {
        if (kind) t *= 4;
        vx += ax;
        vy += ay;
        x += (int32_t)(vx * (1 / speed) * t);
        y += (int32_t)(vy * (1 / speed) * t);
    }
    int left_margin, right_margin;
    if (facing) {
        left_margin = w - max_x;
        right_margin = min_x;
    } else {
        left_margin = min_x;
        right_margin = w - max_x;
    }
    const int floor_y = screen_h() - h;
    if (edge_kill) {
        const int right = stage_width() - w + right_margin;
        if (x < 0) { hp = -1; x = 0; vx = 0; }
        if (y < 0) { hp = -1; y = 0; vy = 0; }
        if (x > right) { hp = -1; x = right; vx = 0; }
        if (y > floor_y) { hp = -1; y = floor_y; vy = 0; }
    } else {
        const double right = (double)stage_width() / stage_scale() + right_margin - w;
        // The top wall too lets the picture's transparent margin leave: a high jump may
        // take the fighter up to the top of the screen.
        const int top = last_image ? (int)last_image->top : 0;
        if (x < -left_margin) { x = -left_margin; vx = 0; }
        if (y < -top) { y = -top; vy = 0; }
        if (x > right) { x = (int32_t)right; vx = 0; }
        if (y > floor_y) { y = floor_y; vy = 0; }
    }
}

// ---------------------------------------------------------------------------------------
// Display

void lifeform::display() {
    // The shadow: a flattened, half-transparent copy at the bottom band of the screen.
    if (last_image) {
        uint8_t a = last_image->alpha;
        last_image->set_alpha(a > 128 ? (uint8_t)(a - 128) : 0);
        int shift = 0;
        if (facing && freeze == 0 && move_playing()) {
            animation* first = (*stack)[0];
            frame* f = first->def ? first->def->get_frame(first->frame_index) : nullptr;
            if (f && f->spin) shift = 40;
        }
        int sx = (int)(x / scale - cam_x() + shift);
        int sy = (int)(((screen_h() - 40) / scale - cam_y()) * 10);
        last_image->draw_scaled(sx, sy, cam_zoom() * scale, 0.1);
        last_image->set_alpha(a);
    }

    if (freeze == 0 && move_playing()) {
        play_stack(stack);
        return;
    }
    if (freeze) freeze--;

    if (offscreen()) {
        log_out("OFFSCREEN [%d,%d]\n", x, y);
    } else {
        if (cur_image < 0 || (size_t)cur_image >= images.size()) cur_image = 0;
        if (images.empty()) {
            log_out("WARNING: lifeform[%x] has no images at all\n", ptr_id(this));
        } else {
            img_mgr* im = images[(size_t)cur_image];
            if (!im) {
                log_out("Asset for state [%d] not set\n", cur_image);
                im = images[0];
            }
            if (im) {
                if ((im->mirrored != 0) != (facing != 0)) im->flip();
                double s = cam_zoom() * scale;
                int dx = (int)(x / scale - cam_x()), dy = y - cam_y();
                if (s == 1.0) im->draw_at(dx, dy);
                else im->draw_anchored(dx, dy, video.screen, s);
                last_image = im;
                drawn_dx = drawn_dy = 0;
                w = (uint16_t)im->get_width();
                h = (uint16_t)im->get_height();
            }
        }
    }

    for (size_t i = 0; i < weapons.size(); i++) {
        weapon* wp = weapons[i];
        wp->update();
        if (i >= WEAPON_ROWS) continue;
        for (size_t j = 0; j < wp->streams.size() && j < WEAPON_STREAMS; j++)
            weapon_snapshot[i][j] = (uint8_t)(wp->streams[j].cooldown & 0xFF);
    }
    ticks++;
}

void lifeform::draw_still(int i) {
    if (i < 0 || (size_t)i >= images.size() || !images[(size_t)i] || offscreen()) return;
    img_mgr* im = images[(size_t)i];
    if ((im->mirrored != 0) != (facing != 0)) im->flip();
    double s = cam_zoom() * scale;
    int dx = (int)(x / scale - cam_x()), dy = y + h - im->get_height() - cam_y();
    if (s == 1.0) im->draw_at(dx, dy);
    else im->draw_anchored(dx, dy, video.screen, s);
}

void lifeform::play_stack(ag_stack* s) {
    if (!s) return;
    for (size_t i = 0; i < s->items.size(); i++) {
        animation* a = s->items[i];
        anim_mgr* def = a->def;
        frame* f = def ? def->get_frame(a->frame_index) : nullptr;
        if (!f) continue;
        def->mirrored = facing;
        def->owner_scale = scale;
        def->alpha = alpha;
        if (f->spin) // whole turns dropped: a long or fast spin cannot overflow the angle
            def->angle = (int32_t)((def->angle + (facing ? -(int64_t)f->spin : (int64_t)f->spin)) % 360);
        draw_frame(def, (int)(x / scale) - cam_x(), y - cam_y(), a->frame_index, current_level);
        last_image = f->image;
        drawn_dx = (int16_t)frame_dx(def, *f);
        drawn_dy = (int16_t)frame_dy(*f);
        if (a->remaining == INT32_MIN) a->remaining = 0; // a rate of -2^31 ends like 0
        if (--a->remaining > 0) continue;

        if (f->fire && fired_count < MAX_FIRED) fired[fired_count++] = fired_frame{f, w};
        def->angle = 0;
        a->frame_index++;
        if ((uint32_t)a->frame_index < (uint32_t)def->frames.size()) {
            a->remaining = def->frames[(size_t)a->frame_index].rate;
        } else if (a->loop) {
            a->frame_index = 0;
            a->remaining = def->frames[0].rate;
        } else {
            // The move is over: back to the still image.
            s->clear();
            move_state = MOVE_NONE;
            cur_image = 0;
            if (!images.empty() && images[0]) {
                w = (uint16_t)images[0]->get_width();
                h = (uint16_t)images[0]->get_height();
            }
            break;
        }
    }
}

// ---------------------------------------------------------------------------------------
// Collisions

img_mgr* lifeform::collision_image(int16_t* dx, int16_t* dy) {
    int16_t sdx = 0, sdy = 0;
    if (!dx) dx = &sdx;
    if (!dy) dy = &sdy;
    if (freeze == 0 && move_state != MOVE_NONE && !stack_empty(stack)) {
        animation* a = (*stack)[0];
        if (a->remaining >= 2 || !a->def || a->def->frames.empty()) {
            *dx = drawn_dx;
            *dy = drawn_dy;
            return last_image;
        }
        size_t next = (size_t)(uint32_t)a->frame_index + 1;
        if (next >= a->def->frames.size()) next = 0;
        const frame& f = a->def->frames[next];
        *dx = (int16_t)frame_dx(a->def, f);
        *dy = (int16_t)frame_dy(f);
        return f.image;
    }
    *dx = *dy = 0;
    if (offscreen() || images.empty()) return nullptr;
    return still_image();
}

bool lifeform::hit_box(pixel_box& b) const {
    if (!last_image || last_image->is_blank()) return false;
    const double s = scale > 0 ? scale : 1.0;
    b = last_image->hit_box((int)(x / s - cam_x()) + drawn_dx, y - cam_y() + drawn_dy,
                            (float)(cam_zoom() * s));
    return true;
}

bool lifeform::collides(lifeform* other) {
    if (!other || !last_image || !other->last_image) {
        log_out("WARNING - Bound checks, never displayed [%x]\n", ptr_id(this));
        return false;
    }
    int ox = (int)(other->x / other->scale - cam_x()) + other->drawn_dx, oy = other->y - cam_y() + other->drawn_dy;
    int tx = (int)(x / scale - cam_x()) + drawn_dx, ty = y - cam_y() + drawn_dy;
    return other->last_image->overlaps(ox, oy, last_image, tx, ty,
                                       (float)(cam_zoom() * scale), false);
}

// ---------------------------------------------------------------------------------------
// Moves and priorities

int combatant::start_move(int move, int priority) {
    if (ready()) cur_priority = 0;
    if (priority < cur_priority) {
        log_out("curpri[%d]>pri[%d]\n", cur_priority, priority);
        return 1;
    }
    // A fighter file with fewer moves than the game asks for: the move is not started.
    if (move < 0 || (size_t)move >= moves.size() || !moves[(size_t)move]) {
        log_out("WARNING: lifeform[%x] has no move [%d]\n", ptr_id(this), move);
        return 1;
    }
    anim_group* g = moves[(size_t)move];
    ag_stack* s = build_stack(*g);
    if (!s) {
        log_out("Can't create a new animation\n");
        empty_stack();
    } else {
        delete stack;
        stack = s;
    }
    w = (uint16_t)g->max_width;
    h = (uint16_t)g->max_height;
    move_state = MOVE_PLAYING;
    cur_priority = priority;
    return 1;
}

bool combatant::ready() {
    if (!stack_empty(stack)) {
        animation* a = (*stack)[0];
        uint32_t count = a->def ? (uint32_t)a->def->frames.size() : 0;
        early = (uint32_t)a->frame_index <= count / 4;
    }
    if (action == 3) return false;
    if (cur_priority != 0 && !stack_empty(stack)) return false;
    return true;
}

// ---------------------------------------------------------------------------------------
// Hits

void combatant::add_to_meters(int a, int b, int c) {
    const int add[3] = {a, b, c};
    for (int i = 0; i < 3; i++) {
        int v = meters[i] + add[i];
        meters[i] = (uint8_t)(v > 100 ? 100 : v < 0 ? 0 : v);
    }
}

void combatant::take_hit(combatant* attacker) {
    // A move shields its fighter only when it was started with a priority: an attack or a
    // hit reaction. Walking (priority 0) leaves the fighter open; holding back blocks.
    if (!attacker || !attacker->alive() || !alive()) return;
    if (move_state == MOVE_PLAYING && cur_priority > 0) return;
    hits_taken++;
    attacker->hits_landed++;
    attacker->add_to_meters(10, 5, 1);

    if (attacker->kind == KIND_PROJECTILE) {
        hp -= 15;
        damage_taken += 15;
        attacker->damage_dealt += 15;
    }
    hp -= 10;
    damage_taken += 10;
    attacker->damage_dealt += 10;

    empty_stack();
    move_state = MOVE_PLAYING;

    if (knockdown_streak >= 3 && recovery_timer < 3 * fps) recovery_timer = 3 * fps;

    // The reaction: by the attacker's posture, then the victim's; low and jumping-in
    // attacks, and the travelling special, knock down.
    int r = 2;
    if (attacker->posture == 2) r = 1;
    if (posture == 0) r = 6;
    else if (posture == 2) r = 7;
    if (attacker->posture == 0 || attacker->action == 9) r = 7;

    int n = ++hits_in_row;
    if (r == 7 || (n > 2 && n % 3 == 0)) {
        if (action == 12) {
            knockdown_streak = 0;
        } else {
            knockdown_streak++;
            knockdowns++;
            r = 7;
        }
        recovery_timer = 0;
    }
    if ((size_t)r < moves.size()) start_move(r, 3);

    hit_posture = posture;
    stance = 2;
    action = 2;
    hit_time = clock_ticks();
    attacker->hits_in_row = 0;

    if (attacker->kind != KIND_PROJECTILE) freeze = 4;
    if ((vx < 0 && facing) || (vx > 0 && !facing)) {
        vx = 0;
        ax = 0;
    }
}

// ---------------------------------------------------------------------------------------
// Think: the path step

void lifeform::think() {
    struct path* p = path;
    if (!p) {
        log_out("Warning [projectile]: This lifeform does not have a path [%x]\n", ptr_id(this));
        return;
    }
    keys.mirrored = facing;
    keys.update();

    p->keys = &keys;
    p->step = path_value;
    p->x = x;
    p->y = y;
    p->vx = vx;
    p->vy = vy;
    p->age = ticks;
    p->action = -1;
    p->action2 = -1;
    p->mirrored = facing;
    p->opponent = path_flag;
    const combatant* opp = path_flag < Combatant_Manager.count() ? Combatant_Manager.Objects[path_flag] : nullptr;
    p->has_opponent = opp ? 1 : 0;
    p->opponent_x = opp ? opp->x : 0;
    p->stage_width = current_level ? current_level->max_width : 0;
    for (int i = 0; i < AI_WEIGHTS; i++) p->weights[i] = ai_weights[i];

    p->run();

    vx = p->vx;
    vy = p->vy;
    path_value = (int16_t)(p->step & 0xFFFF);
    path_flag = (uint8_t)(p->opponent & 0xFF);

    if (weapons.empty()) return;
    for (size_t i = 0; i < weapons.size() && i < WEAPON_ROWS; i++)
        for (size_t j = 0; j < weapons[i]->streams.size() && j < WEAPON_STREAMS; j++)
            weapons[i]->streams[j].cooldown = weapon_snapshot[i][j];

    auto size_from_image0 = [this]() {
        if (!images.empty() && images[0]) {
            w = (uint16_t)images[0]->get_width();
            h = (uint16_t)images[0]->get_height();
        }
    };
    bool stop = false;
    if (p->action != -1) {
        size_from_image0();
        log_out("fireing [%d]\n", p->action);
        int n = p->action - 1;
        if (n < 0 || (size_t)n >= weapons.size()) {
            stop = true;
        } else {
            weapon* wp = weapons[(size_t)n];
            wp->side = side;
            if (wp->ready())
                wp->fire(p->fire_x, p->fire_y, x - cam_x(), y, w, h, (int)vy);
        }
    }
    if (!stop && weapons.size() >= 2 && p->action2 != -1) {
        size_from_image0();
        weapon* wp = weapons[1];
        wp->side = side;
        if (wp->ready()) wp->fire(p->fire_x, p->fire_y, x - cam_x(), y, w, h, (int)vy);
        else log_out("Weapon 1 failed test!!\n");
    }
    if (stop) return;
    for (size_t i = 0; i < weapons.size() && i < WEAPON_ROWS; i++)
        for (size_t j = 0; j < weapons[i]->streams.size() && j < WEAPON_STREAMS; j++)
            weapon_snapshot[i][j] = (uint8_t)(weapons[i]->streams[j].cooldown & 0xFF);
}
