// anim_mgr: one animation definition - its frames in playing order (from an animation file
// or from a single image), the settings every frame shares (loop, facing, angle, alpha,
// scales, colour swaps) and the parsed file, kept so the editor can write it back.
//
// Ownership: definitions are shared through smart_ptr handles held by group entries; the
// count never frees one. Frames are held by value. Images come from the image registry,
// except the private re-coloured copies made when colour swaps are set: those belong to
// the definition and go with it.
#pragma once
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "foundation/config_file.h"
#include "images/frame.h"
#include "images/img_mgr.h"

typedef std::pair<uint32_t, uint32_t> colour_swap; // (source, target) in the screen format

// The keys each frame of an animation file may have, written with the frame's number
// ("rate3"), in the order an editor writes a new frame's lines.
enum frame_key {
    FK_IMAGE, FK_RATE, FK_SHAKE, FK_FLASH, FK_FLASHRATE, FK_FIRE, FK_FIRESPEED, FK_FIREX, FK_FIREY,
    FK_SPIN, FK_TRAIL, FK_XOFFSET, FK_YOFFSET, FK_SOUND, FRAME_KEYS
};
extern const char* const frame_key_names[FRAME_KEYS];

struct anim_mgr {
    int32_t refs;
    std::vector<frame> frames;
    int32_t total_ticks; // sum of the rates after loading; 1 when made from an image
    config_file config;  // the file as read; save writes it back
    int32_t loop;        // 1: playback restarts at frame 0 after the last frame
    int32_t mirrored;    // facing the frames must be drawn in; set before load to mirror them
    int32_t angle;       // rotation, grown by frame spin, reset at every frame change
    int32_t cur_height;  // largest frame height after loading; last drawn one while playing
    int32_t cur_width;
    int32_t alpha;       // opacity given to each frame image before it is drawn
    double scale;
    double owner_scale;  // the playing lifeform's scale, copied in every tick
    std::vector<colour_swap> swaps; // applied at load time, in order

    anim_mgr();
    explicit anim_mgr(img_mgr* image); // one frame of that image, rate 1
    anim_mgr(const anim_mgr&) = delete;
    anim_mgr& operator=(const anim_mgr&) = delete;
    ~anim_mgr();

    void load(const char* path);
    // The frames again from `config` as it is now (an editor's changed entries), without
    // reading the file; path names it in messages.
    void read_frames(const char* path);
    bool save(const char* path); // false (and reported) when the file on disk stays as it was

    int frame_count() const { return (int)frames.size(); }
    frame* get_frame(int i); // null outside 0..count-1
    int get_total_ticks() const { return total_ticks; }
    int get_width() const { return cur_width; }
    int get_height() const { return cur_height; }

private:
    std::vector<img_mgr*> own_images; // re-coloured copies, freed with the definition
};

struct check_report;
// Checks an animation file as load reads it: the counts, every frame's numbers, its picture
// (each frame the size of frame 0's, since positions are the full picture's corner) and
// its sound. Problems go to report with their lines.
void check_anim_file(check_report& report, const std::string& path);
