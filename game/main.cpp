// fightgame and fightdemo: start-up, the preload behind the logo, the screens, shutdown.
// FIGHT_REDUCED selects the reduced front end (no menus: the logo, then one
// computer-against-computer match). "--replay FILE" plays a recording instead of the
// screens (see replay_runner.h); "--host" and "--join" play a match over the network
// (netplay.h). The full game offers the fighters of "game/roster.ini" too (roster.h).
#include <SDL.h>

#include "game_loop.h"
#include "netplay.h"
#include "preload.h"
#include "replay_runner.h"
#include "roster.h"
#include "startup.h"

int main(int argc, char** argv) {
    netplay_command_line net;
    int status = netplay_command(argc, argv, net);
    if (status >= 0) return status;
    replay_command_line replay;
    if (!net.active) status = replay_command(argc, argv, replay);
    if (status >= 0) return status;
    const bool replaying = !replay.files.empty();
    status = 0;
#ifndef FIGHT_REDUCED
    load_roster(ROSTER_FILE); // the fighters the game folder adds; nothing without the file
#endif
    game_settings settings;
    game_resources resources;
    if (game_startup(settings)) {
        preload(resources);
        if (net.active) {
            status = netplay_run(net, resources);
            if (net.keys.empty()) status = 0, run_game(resources); // then the menus
        } else if (replaying) {
            status = replay_run(replay, resources);
        } else {
            run_game(resources);
        }
    }
    release_resources(resources);
    game_shutdown_audio();
    return status;
}
