// level: the stage behind the fighters. A stage file names a background set (the list of
// pictures) and says which picture makes up each part; the parts are stacked one above the
// other, each either a single picture or a set of parallax layers that slide at different
// speeds as the camera moves, with an optional floor drawn in perspective. Every frame the
// match sets the camera (x_offset, y_offset, zoom) and calls draw; animation frames set the
// shake and the white flash.
//
// Where OpenGL runs on the processor, the level composes the whole stage with the software
// routines on its own canvas and shows that (see canvas.h): the stage then looks as it does
// in software mode. Where the canvas cannot be had, the pictures are uploaded as textures.
//
// Ownership: the level owns its pictures (`images`), one private copy of each part's
// picture (`parts`) and its canvas; layers and the floor are indices into `images`. Exactly one level is
// current at a time (`current_level`); whoever creates it (the game, the match, the editor)
// deletes it.
#pragma once
#include <string>
#include <vector>

#include "animation/anim_group.h"
#include "images/canvas.h"
#include "images/img_mgr.h"
#include "images/row_runs.h"

struct level : stage_view { // the camera's zoom, the shake and the flash
    std::vector<img_mgr*> images;       // the background set's pictures, in "image%d" order
    std::vector<img_mgr*> parts;        // one copy per part; the part loaded last comes first
    std::vector<std::vector<int>> layers; // parallel to parts: image indices of its layers
    int floor;          // index into images of the floor picture, -1 for none
    int width;          // the background set's "width"
    int max_height;     // tallest picture (times scale after loading)
    int total_height;   // sum of the parts' heights
    int image_count;    // pictures loaded
    int length;         // the stage file's "length"
    int onscreen_size;  // the same sum as total_height, kept for the log
    int scroll;         // screen y of the bottom part's top: screen height - height of image 0
    int x_offset;       // camera, set by the match every frame
    int max_width;      // widest picture (times scale after loading)
    int y_offset;       // camera, set by the match every frame
    double scale;       // the stage file's "scale", 1.0 without it
    int loading;        // 1 while a load runs
    int reset;          // how far the first pictures reach above the screen height
    int loop;           // the stage file's "loop", -1 without it; nothing draws by it
    std::vector<row_runs> runs; // software mode and composed: the pictures drawn zoomed, as runs
    std::vector<img_mgr*> runs_for; // parallel to runs: the picture each was built for
    canvas composed;   // open when the stage is composed in memory (chosen by load)

    level();
    ~level();
    level(const level&) = delete;
    level& operator=(const level&) = delete;

    // Reads the stage file and its background set and loads every picture. Missing files
    // and keys leave zeros; indices outside the pictures count as missing. A picture drawn
    // only through parts' copies, or from its runs alone, lets its pixels go; a second load
    // that uses it again reads its file again.
    void load(const char* path);
    // Frees the pictures and parts and puts the camera and effects back at rest.
    void clear();
    // Draws the stage with the current camera, then the flash. Reads no file. It is
    // advance, draw_view, fade in that order.
    void draw();
    // What a draw changes: the shake swings back one step (advance, before the pictures),
    // the zoom takes the stage's scale; the flash falls by its step (fade, after them).
    void advance();
    void fade();
    // The pictures and the flash as the camera, shake and flash are now; changes nothing
    // the rules read.
    void draw_view();
    // The screen box that draw_view, as the camera and shake are now, certainly covers with
    // opaque pixels (software mode, or composed): a frame drawn over it needs no clear there.
    // False when there is none.
    bool covered_box(SDL_Rect* box) const;

private:
    // Opens the canvas when every picture can be drawn on it, else uploads them all.
    bool compose_pictures();
    // Reads a picture again that an earlier load let go of (see load) when this one draws
    // or copies it; a picture uploaded or never loaded is left as it is.
    void need_pixels(img_mgr* im, bool may_compose);
    void draw_piece(size_t part, int y, int piece, SDL_Surface* dst, bool* locked);
};

struct check_report;
// Checks a stage file and the background set it names as load reads them: every part,
// layer and the floor must name one of the set's pictures, and every picture must load.
void check_stage_file(check_report& report, const std::string& path);

// The stage every drawing routine reads the camera and the effects from; may be null.
extern level* current_level;
