#include "game_loop.h"

#include <SDL.h>

#include "foundation/log.h"
#include "foundation/settings.h"
#include "foundation/video_mgr.h"

FPSmanager game_pacer;

void end_frame(FPSmanager* pacer) {
    video.flip();
    SDL_framerateDelay(pacer);
}

bool quit_requested() {
    SDL_Event e;
    bool quit = false;
    while (SDL_PollEvent(&e)) {
        if (e.type == SDL_QUIT) quit = true;
        if (e.type == SDL_KEYDOWN && (e.key.keysym.sym == SDLK_ESCAPE || e.key.keysym.sym == SDLK_q))
            quit = true;
    }
    return quit;
}

// Stand-in for the main menu until the front end exists: an empty paced screen.
static game_state placeholder_main_menu() {
    log_out("MAIN MENU:\n");
    SDL_setFramerate(&game_pacer, front_end_rate(fps));
    for (;;) {
        if (quit_requested()) return STATE_QUIT;
        video.clear();
        end_frame(&game_pacer);
    }
}

void run_game(const game_settings& s) {
    SDL_initFramerate(&game_pacer);
    SDL_setFramerate(&game_pacer, front_end_rate(fps));
    game_state state = STATE_MAIN_MENU;
    while (state != STATE_QUIT) {
        switch (state) {
        case STATE_MAIN_MENU: state = placeholder_main_menu(); break;
        default: state = STATE_QUIT; break;
        }
    }
}
