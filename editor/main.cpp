// framewright: plays one animation file and lets the user retime its frames.
#include <SDL.h>

#include "foundation/log.h"
#include "foundation/video_mgr.h"

// The editor starts SDL without the parachute (the program's own object, so it always links).
unsigned video_sdl_init_flags = SDL_INIT_NOPARACHUTE;

int main(int argc, char** argv) {
    video.flags = SDL_OPENGL | SDL_DOUBLEBUF;
    if (video.set_video_mode(640, 480, 32) != 0) return 0;
    for (bool running = true; running;) {
        SDL_Event e;
        while (SDL_PollEvent(&e))
            if (e.type == SDL_QUIT || (e.type == SDL_KEYDOWN && e.key.keysym.sym == SDLK_ESCAPE))
                running = false;
        video.clear();
        video.flip();
        SDL_Delay(1000 / 60);
    }
    return 0;
}
