// fightgame and fightdemo: start-up, the preload behind the logo, the screens, shutdown.
// FIGHT_REDUCED selects the reduced front end (no menus: the logo, then one
// computer-against-computer match).
#include <SDL.h>

#include "game_loop.h"
#include "preload.h"
#include "startup.h"

int main(int, char**) {
    game_settings settings;
    game_resources resources;
    if (game_startup(settings)) {
        preload(resources);
        run_game(resources);
    }
    release_resources(resources);
    game_shutdown_audio();
    return 0;
}
