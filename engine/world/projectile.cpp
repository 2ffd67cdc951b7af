#include "world/projectile.h"

#include "foundation/log.h"
#include "images/frame.h"
#include "input/path.h"

combatant* launch(lifeform* shooter, const frame* f) {
    if (!shooter || !f) return nullptr;
    if ((size_t)PROJECTILE_MOVE >= shooter->moves.size() || !shooter->moves[PROJECTILE_MOVE]) {
        log_out("WARNING: lifeform[%x] has no move [%d] to fire\n", ptr_id(shooter),
                (int)PROJECTILE_MOVE);
        return nullptr;
    }
    combatant* p = new combatant();
    p->moves.assign(PROJECTILE_SLOTS, nullptr);
    p->images.push_back(Image_Manager.get(PROJECTILE_IMAGE));
    // Its own copy of the move, so its playback never disturbs the shooter's.
    anim_group* g = new anim_group(*shooter->moves[PROJECTILE_MOVE]);
    p->moves[14] = g;
    p->moves[1] = g;
    p->moves[0] = g;
    p->side = shooter->side;
    p->x = shooter->x + shooter->w / 2 - (shooter->facing ? 0 : 40);
    p->y = shooter->y + 50;
    p->ax = shooter->facing ? f->firespeed : -f->firespeed;
    if (ag_stack* s = build_stack(*g)) {
        delete p->stack;
        p->stack = s;
    }
    p->w = (uint16_t)g->max_width;
    p->h = (uint16_t)g->max_height;
    p->move_state = MOVE_FLIGHT;
    p->cur_image = 4;
    p->kind = KIND_PROJECTILE;
    p->edge_kill = 1;
    p->facing = shooter->facing;
    p->path = new struct path();
    p->owns_path = 1;
    p->path->add_step(7, 0, 0, 0, 0);
    p->speed = 0.1;
    p->hp = 1;
    p->posture = 1;
    p->scale = shooter->scale;
    p->stance = 4;
    p->action = 4;
    Combatant_Manager.Objects.push_back(p);
    return p;
}

void launch_fired(lifeform* shooter) {
    if (!shooter) return;
    const uint16_t w = shooter->w;
    for (int i = 0; i < shooter->fired_count; i++) {
        shooter->w = shooter->fired[i].w;
        launch(shooter, shooter->fired[i].f);
    }
    shooter->w = w;
    shooter->fired_count = 0;
}
