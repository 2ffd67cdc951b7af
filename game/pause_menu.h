// The match's pause: Return, "p" or the joystick's fifth button freeze the match on the
// picture it last showed, under a small menu of "Resume" and "Leave match". Up and down
// choose, Return or Space take the row, "p" or the fifth button resume at once and Escape
// leaves the match at once, as it does in the fight. While the menu shows no rule runs and
// the frozen picture is drawn unchanged, so a recording of the match never sees the pause.
//
// Ownership: the frozen picture, taken by the match before it presents its frame, belongs to
// the pause from then on and is freed when it ends.
#pragma once
#include <SDL.h>
#include <SDL_framerate.h>

struct osd_resources;

enum pause_choice { PAUSE_RESUME = 0, PAUSE_LEAVE = 1, PAUSE_CLOSED = 2 };
enum { PAUSE_BUTTON = 4 }; // the joystick's fifth button

// Whether an event is a press of a pause key (Return or "p").
bool pause_key(const SDL_Event& e);
// Whether the joystick's pause button is down now (false without a joystick).
bool pause_button_down();
// The picture drawn so far, before it is presented, as a surface the caller owns (null
// without a screen).
SDL_Surface* grab_screen();
// Shows the frozen picture (taken over and freed) under the menu until the player resumes
// or leaves, or the window is closed.
pause_choice pause_menu(osd_resources& osd, FPSmanager* pacer, SDL_Surface* frozen);
