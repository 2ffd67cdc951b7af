// projectile: what a fire frame launches. A projectile is a combatant that plays a copy of
// its shooter's move 13, flies under a constant horizontal acceleration, dies at the edge of
// the area and deals 25 hit points when it hits. It is appended to Combatant_Manager, which
// owns it from then on; its own path (one step of mode 7) belongs to it.
#pragma once
#include "world/mon_mgr.h"

struct frame;

// The move whose group a projectile plays, and the picture it carries as its still image.
enum { PROJECTILE_MOVE = 13, PROJECTILE_SLOTS = 15 };
#define PROJECTILE_IMAGE "rsrc/mirelle/special/mirelle_bullet1.png"

// Creates a projectile in front of shooter for the fire frame f and appends it to
// Combatant_Manager. A shooter without a move 13 launches nothing (null).
combatant* launch(lifeform* shooter, const frame* f);
// Launches what the shooter's latest display fired, as it stood when each frame fired, and
// clears the list.
void launch_fired(lifeform* shooter);
