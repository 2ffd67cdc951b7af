// quit_signals: how the world outside ends a program. A termination request (SIGTERM,
// SIGINT) becomes SDL_QUIT events, re-posted every frame until the program has left every
// screen, so a request made during a match or a key remapping ends the program and not only
// the screen it interrupted; a second request ends the process at once. A lost X display
// ends the process at once with a log line: SDL's own teardown would talk to the dead
// connection again (under SDL 2 it waits on it for ever, at full speed).
#pragma once

// Installs the handlers (once) and watches the present video mode's X connection (each
// call). Called after the video mode is set, when SDL has put its own signal handlers in
// place: they are kept and called in turn.
void quit_signals_install();

// True once a termination request has arrived.
bool terminate_requested();

// Per frame (video_mgr::flip): ends the process when the X connection has closed; while a
// request stands, makes sure an SDL_QUIT event is waiting.
void quit_signals_frame();
