// framewright: plays an animation file, or every move of a fighter, and lets the user edit
// their frames.
#include <SDL.h>

#include "editor.h"
#include "foundation/video_mgr.h"

// The editor starts SDL without the parachute (the program's own object, so it always links).
unsigned video_sdl_init_flags = SDL_INIT_NOPARACHUTE;

int main(int argc, char** argv) { return editor_main(argc, argv); }
