// fightgame and fightdemo: start-up, the screens, shutdown. FIGHT_REDUCED selects the
// reduced front end (no menus: the logo, then one computer-against-computer match).
#include <SDL.h>

#include "foundation/log.h"
#include "images/img_mgr.h"
#include "game_loop.h"
#include "startup.h"

int main(int argc, char** argv) {
    game_settings settings;
    if (game_startup(settings)) run_game(settings);
    log_out("Cleaning Image_Manager Cache\n");
    Image_Manager.clean();
    log_out("Done\n");
    game_shutdown_audio();
    return 0;
}
