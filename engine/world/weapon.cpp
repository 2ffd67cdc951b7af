#include "world/weapon.h"

#include "foundation/log.h"
#include "foundation/manager.h"

void weapon::update() {
    for (weapon_stream& s : streams)
        if (s.cooldown > 0) s.cooldown--;
}

void weapon::fire(double, double, int, int, int, int, int) {
    if (streams.empty()) {
        log_out("FAULT: This weapon does not have any streams [%x]\n", ptr_id(this));
        return;
    }
    for (const weapon_stream& s : streams)
        if (s.cooldown < 1 && s.blocking == 0) log_out("Before new proj\n");
}
