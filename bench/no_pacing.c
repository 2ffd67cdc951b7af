/* Preloaded into the real programs (LD_PRELOAD) so their frame-rate waits return at once:
   a whole match of fightdemo then runs as fast as the machine draws it. */
#include <SDL_framerate.h>

Uint32 SDL_framerateDelay(FPSmanager* manager) {
    (void)manager;
    return 0;
}
