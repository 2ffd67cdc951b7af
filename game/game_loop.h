// The game's top-level state machine: main menu, options, character select and match, over
// and over until the user quits. It owns the frame-rate manager that paces these screens.
#pragma once
#include <SDL_framerate.h>

#include "startup.h"

enum game_state { STATE_MAIN_MENU, STATE_OPTIONS, STATE_SELECT, STATE_MATCH, STATE_QUIT };

extern FPSmanager game_pacer;

// Runs the screens after start-up; returns when the user quits.
void run_game(const game_settings& s);

// One paced frame end: present, then wait for the pacer.
void end_frame(FPSmanager* pacer);

// True when the window was closed or Escape or "q" was pressed since the last call.
bool quit_requested();
