// Animation playback.
//  - animation: one playing instance of a definition (frame index, ticks left on it).
//  - ag_stack: the ordered instances one group or lifeform plays; it owns its instances.
//  - anim_group: definitions placed at offsets, played through the group's own stack.
// Every display call is one tick: each instance draws its current frame (firing the
// frame's sound, flash and shake) and counts down towards the next frame.
//
// Ownership: group entries hold their definitions through smart_ptr handles; instances
// refer to those definitions with plain pointers. A group owns its stack; a lifeform owns
// the stack of its current move.
#pragma once
#include <cstdint>
#include <vector>

#include "animation/anim_mgr.h"
#include "foundation/manager.h"

// The camera zoom frames are drawn at and the effects frames ask of the stage they are shown
// on: a white flash falling by flash_step per draw, a shake swinging back to 0. The stage
// (world/level.h) is one; a caller that draws frames on no stage passes null (zoom 1, the
// effects go nowhere).
struct stage_view {
    double zoom = 1.0;
    int shake = 0;      // signed amplitude in pixels
    int flash = 0;      // alpha of a white full-screen box
    int flash_step = 0;
};

struct animation {
    int32_t x, y;        // relative to the group's display point
    int32_t frame_index; // compared unsigned against the frame count
    int32_t remaining;   // ticks left on the current frame
    int32_t active;      // an inactive instance is neither drawn nor advanced
    int32_t loop;
    anim_mgr* def;
};

struct ag_stack {
    std::vector<animation*> items;

    ag_stack() = default;
    ag_stack(const ag_stack&) = delete;
    ag_stack& operator=(const ag_stack&) = delete;
    ~ag_stack() { clear(); }

    void clear(); // deletes every instance
    int size() const { return (int)items.size(); }
    bool empty() const { return items.empty(); }
    animation* operator[](int i) const { return items[(size_t)i]; }
};

// True for a missing stack or one without instances.
inline bool stack_empty(const ag_stack* s) { return !s || s->empty(); }

struct group_entry {
    smart_ptr<anim_mgr> def;
    int32_t x, y;
};

struct anim_group {
    std::vector<group_entry> entries;
    int32_t max_width;  // largest frame-0 width over the entries; grows with each build
    int32_t max_height;
    int32_t offset_x, offset_y; // added to the display point
    ag_stack* stack;    // the group's own playing stack; may be null after a copy
    int32_t facing;     // -1: each definition's own; 0 or 1: every entry drawn so, as copies
                        // of one group share their definitions but not their facing

    anim_group();
    // An empty group built without the creation line: for globals, which are built before
    // the program starts and must not print ahead of the platform's start-up lines.
    explicit anim_group(bool log_creation);
    anim_group(const anim_group& o);
    anim_group& operator=(const anim_group& o);
    ~anim_group();

    // Appends an entry; returns its index.
    int add(const smart_ptr<anim_mgr>& def, int x, int y);
    // One tick at a screen point on the stage `view` (may be null): 1, or 0 when no stack
    // can be had.
    int display(int x, int y, stage_view* view = nullptr);
};

// How far a frame is moved from where its definition is drawn, in picture pixels: the
// frame's offsets, x reversed while the definition is drawn mirrored. Its picture and the
// box that hits move together.
inline int frame_dx(const anim_mgr* def, const frame& f) { return def->mirrored ? -f.xoffset : f.xoffset; }
inline int frame_dy(const frame& f) { return f.yoffset; }

// A new stack with one instance per entry (stopping at an entry without frames), or null.
ag_stack* build_stack(anim_group& g);
// Draws one frame of a definition (index clamped to the last frame) anchored at its bottom
// edge, moved by its offsets, scaled by the view's zoom and both scales, and fires the frame's sound, and its flash
// and shake on the view (when there is one).
void draw_frame(anim_mgr* def, int x, int y, int frame_index, stage_view* view = nullptr);
// One tick of one instance: spin, draw, count down, move on when the frame has run out.
void step(animation* a, stage_view* view = nullptr);

// The loading animation that fighter and stage loading redraw while they work. Filled by
// the preload; an empty group draws nothing.
extern anim_group loading_group;
// Clears the screen, displays the loading group at x 0 with its bottom on the screen's
// bottom, and presents the frame - at most once per LOADING_PRESENT_MS of the engine clock:
// where presenting waits for the display's refresh, a load calling this hundreds of times
// would otherwise wait for hundreds of refreshes. Calls in between do nothing.
enum { LOADING_PRESENT_MS = 17 }; // a 60 Hz refresh, rounded up
void draw_loading();
