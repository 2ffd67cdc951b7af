// Frame pacing that answers a closed window at once. SDL reports a closed window (and
// SIGTERM) as one quit event, which the screen that reads it uses up; the watch installed
// here also notes it for good, so every later loop knows the program is ending. A wait for
// the next frame is taken in short slices while events are pumped, and ends as soon as the
// quit arrives; once it has, nothing waits any more, so closing transitions play out at once.
// Waits of a frame shorter than 50 ms (above 20 frames per second) are the plain SDL ones.
#pragma once
#include <SDL.h>
#include <SDL_framerate.h>

void quit_watch_start();            // the programs call it once, when their window is open
bool quit_requested();              // a quit event has arrived since the watch started
void pace_frame(FPSmanager* pacer); // SDL_framerateDelay, cut short by a quit
void pace_delay(Uint32 ms);         // SDL_Delay, cut short by a quit
