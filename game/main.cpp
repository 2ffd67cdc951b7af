// fightgame and fightdemo: start-up, the preload behind the logo, the screens, shutdown.
// FIGHT_REDUCED selects the reduced front end (no menus: the logo, then one
// computer-against-computer match). "--replay FILE" plays a recording instead of the
// screens (see replay.h).
#include <SDL.h>

#include "game_loop.h"
#include "preload.h"
#include "replay_runner.h"
#include "startup.h"

int main(int argc, char** argv) {
    replay_command_line replay;
    int status = replay_command(argc, argv, replay);
    if (status >= 0) return status;
    const bool replaying = !replay.files.empty();
    status = 0;
    game_settings settings;
    game_resources resources;
    if (game_startup(settings)) {
        preload(resources);
        if (replaying) status = replay_run(replay, resources);
        else run_game(resources);
    }
    release_resources(resources);
    game_shutdown_audio();
    return status;
}
