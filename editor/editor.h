// framewright's editor: the state of one editing session and its loop, split so the loop
// can be run one pass at a time (the program runs passes until quit; tests run them with
// queued key events). Every pass takes every pending event; each press acts once and held
// arrows repeat (key_press). A wait (a frame's rate) never goes below zero: a file that holds
// one is read with a warning and the wait taken as 0. L switches the loop setting.
//
// Ownership: the editor owns its stage (made current while it runs), the animation
// definition, the group that plays it and the status font; editor_stop frees them.
#pragma once
#include <string>

#include "animation/anim_group.h"
#include "animation/anim_mgr.h"
#include "images/font.h"
#include "input/key_press.h"
#include "world/level.h"

// The file edited when the program is started without one.
extern const char* const default_animation_path;

struct editor {
    int fps = 60;
    int delay_ms = 1000 / 60; // wait after each pass
    std::string path;
    anim_mgr* def = nullptr;  // held through `handle` and the group's entry
    smart_ptr<anim_mgr> handle;
    anim_group* group = nullptr;
    int frame_count = 0;
    int play = 0;       // 1 while playing, 0 while held on one frame
    int show_all = 1;   // draw every frame as a fading ghost
    int saved = 1;      // 0 once a rate changed since the last save (or a save failed)
    int asking = 0;     // 1 after Escape with unsaved changes: a second Escape discards
    int total_time = 0; // sum of all rates
    int loop_count = 0; // passes so far
    int quit = 0;
    font* text = nullptr;
    level* stage = nullptr;
    key_press keys;
};

// Reads "fps" from the settings file in the working directory (settings_fps: 60 when
// missing, 0 or unusable, at most 200).
int editor_read_fps(const char* settings_path);
// Opens the editor's window: OpenGL, double-buffered, 640 x 480 x 32. False on failure.
bool editor_open_window();
// Everything after the window: stage, definition, group, font, first tick. The screen
// must already be open (either drawing mode).
void editor_start(editor& e, const char* path);
// One pass of the main loop: input, ghosts, one playback tick, the status line, present
// and wait.
void editor_pass(editor& e);
void editor_stop(editor& e);
// A pass's drawing over a cleared screen: the ghosts, one playback tick and the status line.
void editor_draw(editor& e);

// The instance the editor steers, or null while the group has none.
animation* editor_instance(editor& e);
// Opacity of ghost i around the current frame: 128 for it, fading with the distance.
int ghost_alpha(int i, int current, int count);
// Draws every frame as a ghost (when show all is on).
void editor_draw_ghosts(editor& e);
// The status line's text, or the question after Escape with unsaved changes.
std::string editor_status(editor& e);

// The whole program: argv[1] is the file to edit, else the default one. Returns the exit code.
int editor_main(int argc, char** argv);
