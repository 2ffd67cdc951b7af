// framewright's editor: the state of one editing session and its loop, split so the loop
// can be run one pass at a time (the program runs passes until quit; tests run them with
// queued key events). Every pass takes every pending event; each press acts once and held
// arrows repeat (key_press).
//
// It edits one animation file, or a whole fighter: given a fighter file (one with a "moves"
// entry) it opens the animation file of every move and goes from move to move. Per frame it
// changes the wait, sound, shake, fire and offsets, and it duplicates, deletes and reorders
// frames; every change can be undone and redone, per animation file. A save writes every
// changed file through its anim_doc, so the lines it did not change stay as they were. A
// wait never goes below zero: a file that holds one is read with a warning and the wait
// taken as 0. The picture boxes the hit test compares are drawn as outlines: the current
// frame's and its neighbours'.
//
// Ownership: the editor owns its stage (made current while it runs), its open files (each
// with its definition, doc and history), the group that plays the current one and the
// status font; editor_stop frees them.
#pragma once
#include <string>
#include <vector>

#include "animation/anim_doc.h"
#include "animation/anim_group.h"
#include "animation/anim_mgr.h"
#include "images/font.h"
#include "input/key_press.h"
#include "world/level.h"

// The file edited when the program is started without one.
extern const char* const default_animation_path;

enum { EDITOR_UNDO_STEPS = 1000 }; // edits each file remembers; older ones are forgotten

// One animation file open in the editor.
struct edit_file {
    std::string path;
    std::string name; // the file's name without folder and ending
    anim_mgr* def = nullptr;
    smart_ptr<anim_mgr> handle;
    anim_doc doc;
    // The doc's frames and loop at one point of the history, the frame shown then, and the
    // number of that version.
    struct version {
        std::vector<frame_text> frames;
        std::string loop;
        int frame;
        int id;
    };
    std::vector<version> undo, redo;
    int id = 0;       // version shown now
    int saved_id = 0; // version on disk (-1: none, the file read was mended)
    int next_id = 1;
    bool modified() const { return id != saved_id; }
};

struct editor {
    int fps = 60;
    int delay_ms = 1000 / 60; // wait after each pass
    std::string path;         // the file given: an animation or a fighter
    std::string fighter;      // the fighter file, "" when editing one animation file
    std::vector<edit_file*> files; // every animation file open, each once
    std::vector<int> moves;   // move number -> its file in `files` (one move for a lone file)
    int move = 0;             // the move shown
    anim_mgr* def = nullptr;  // the shown move's definition (its file owns it)
    anim_group* group = nullptr;
    std::vector<std::string> sounds; // the sounds a frame can be given; "" (none) first
    int origin_x = 0, origin_y = 0;  // where frames are drawn
    int frame_count = 0;
    int play = 0;       // 1 while playing, 0 while held on one frame
    int show_all = 1;   // draw every frame as a fading ghost
    int boxes = 1;      // outline the picture boxes of the frame and its neighbours
    int help = 0;       // list the keys
    int saved = 1;      // 0 while any open file has changes not saved (or a save failed)
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
// Everything after the window: stage, files, group, font, first tick. The screen must
// already be open (either drawing mode).
void editor_start(editor& e, const char* path);
// One pass of the main loop: input, ghosts, one playback tick, boxes, the text lines,
// present and wait.
void editor_pass(editor& e);
void editor_stop(editor& e);
// A pass's drawing over a cleared screen: the ghosts, one playback tick, the boxes and the
// text lines.
void editor_draw(editor& e);

// Shows move m (wrapping at both ends), held on its first frame.
void editor_select_move(editor& e, int m);
// The file of the move shown, or null when there is none.
edit_file* editor_file(editor& e);
// The instance the editor steers, or null while the group has none.
animation* editor_instance(editor& e);
// Opacity of ghost i around the current frame: 128 for it, fading with the distance.
int ghost_alpha(int i, int current, int count);
// Draws every frame as a ghost (when show all is on).
void editor_draw_ghosts(editor& e);
// Outlines the picture boxes of the current frame and its neighbours (when boxes is on).
void editor_draw_boxes(editor& e);
// The status line's text, or the question after Escape with unsaved changes: written into
// out (each frame draws it, so no allocation), or returned as a string.
void editor_status_line(editor& e, char* out, size_t size);
std::string editor_status(editor& e);
// The lines above it: the move (or file) shown, and the current frame's sound, shake,
// fire and offsets.
void editor_move_line(editor& e, char* out, size_t size);
void editor_frame_line(editor& e, char* out, size_t size);
// Writes every file with changes; false when one could not be written.
bool editor_save(editor& e);

// The whole program: argv[1] is the file to edit, else the default one. Returns the exit code.
int editor_main(int argc, char** argv);
