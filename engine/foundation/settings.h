// Global game settings read by the engine and the programs: the match frame rate and the
// debug level. The programs set them from "game/game.ini" at start-up.
#pragma once

extern int fps;   // frames per second of a match, default 60
extern int debug; // non-zero shows the debug overlays, default 0
