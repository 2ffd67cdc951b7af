#include "foundation/manager.h"

int surface_mgr_count = 0;

surface_mgr::surface_mgr() : surface(nullptr), refs(0) { surface_mgr_count++; }

void surface_mgr::release() {
    refs--;
    if (refs > 0) return;
    if (!surface) {
        log_out("____ERROR: Would be deleting surface [%x] but its already deleted\n", 0u);
        return;
    }
    SDL_FreeSurface(surface);
    surface = nullptr;
}

void surface_mgr::set_surface(SDL_Surface* s) {
    if (!s) {
        log_out("ERROR, set surface to null\n");
        return;
    }
    if (surface) log_out("____WARNING: Setting an alreadys set surface[%x]\n", ptr_id(surface));
    surface = s;
}
