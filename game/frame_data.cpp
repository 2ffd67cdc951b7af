#include "frame_data.h"

#include "animation/anim_group.h"
#include "world/mon_mgr.h"


static int box_width(const img_mgr* im) { return im && !im->is_blank() ? (int)im->right - (int)im->left : 0; }

move_timing move_timing_of(const anim_group* move, const img_mgr* at_rest) {
    move_timing t;
    if (!move || move->entries.empty() || !move->entries[0].def) return t;
    const anim_mgr* def = move->entries[0].def.get();
    const int rest = box_width(at_rest);
    int start = 1;
    for (const frame& f : def->frames) {
        if (!t.first_hit && box_width(f.image) > rest) t.first_hit = start;
        start += f.rate > 0 ? f.rate : 0;
    }
    t.total = start - 1;
    return t;
}

int move_tick(const combatant* o) {
    if (stack_empty(o->stack) || o->move_state == MOVE_NONE) return 0;
    const animation* a = (*o->stack)[0];
    if (!a->def) return 0;
    const int count = (int)a->def->frames.size();
    int ticks = 0;
    for (int i = 0; i < count && i < a->frame_index; i++) ticks += a->def->frames[(size_t)i].rate;
    if (a->frame_index >= 0 && a->frame_index < count)
        ticks += a->def->frames[(size_t)a->frame_index].rate - a->remaining;
    return ticks;
}

// A reaction whose last tick has been shown leaves the fighter free at its next step.
bool can_act(combatant* f) { return f && f->ready() && (f->stance != STANCE_HIT || stack_empty(f->stack)); }

void advantage_meter::contact(int attacker_side) {
    attacker = attacker_side;
    free_at[0] = free_at[1] = -1;
}

void advantage_meter::step(combatant* const fighters[2], int frame) {
    if (attacker < 0) return;
    for (int i = 0; i < 2; i++)
        if (free_at[i] < 0 && can_act(fighters[i])) free_at[i] = frame;
    if (free_at[0] < 0 || free_at[1] < 0) return;
    result[attacker] = free_at[1 - attacker] - free_at[attacker];
    measured[attacker] = 1;
    attacker = -1;
}
