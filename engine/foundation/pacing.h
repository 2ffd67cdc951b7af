// Frame pacing that answers a closed window at once. SDL reports a closed window (and
// SIGTERM) as one quit event; the watch installed here also notes it, so a loop that did not
// read the event itself (a wait, a closing transition) still knows, until the screen that
// acts on the close takes it (a match or character select goes back to the main menu). A wait for
// the next frame is taken in short slices while events are pumped, and ends as soon as the
// quit arrives; once it has, nothing waits any more, so closing transitions play out at once.
// Waits of a frame shorter than 50 ms (above 20 frames per second) are the plain SDL ones.
#pragma once
#include <SDL.h>
#include <SDL_framerate.h>

void quit_watch_start();            // the programs call it once, when their window is open
bool quit_requested();              // a quit event has arrived and no screen has taken it yet
void quit_taken();                  // the screen acting on the close: later screens carry on
void pace_frame(FPSmanager* pacer); // SDL_framerateDelay, cut short by a quit
void pace_delay(Uint32 ms);         // SDL_Delay, cut short by a quit
