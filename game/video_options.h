// video_options: the settings of the Video screen, kept in "game/game.ini" beside the others:
// full screen ("fullscreen"), the window size ("width" and "height", one of four sizes) and
// the drawing mode ("hwaccel": OpenGL or plain SDL surfaces). The program keeps the mode it
// started with: what the screen changes is used from the next start, and each row whose
// saved value differs from the running one says so.
#pragma once
#include <cstddef>

class config_file;

enum { VIDEO_FULLSCREEN = 0, VIDEO_SIZE = 1, VIDEO_DRAWING = 2, VIDEO_COUNT = 3 };
enum { VIDEO_SIZE_COUNT = 4 };
// The window sizes offered, in the order the row goes round them.
extern const int video_sizes[VIDEO_SIZE_COUNT][2];

struct video_options {
    int fullscreen = 0;
    int width = 640, height = 480;
    int hwaccel = 0;
};

// The values start-up would use from cfg (a key counts when present and non-zero).
video_options read_video_options(const config_file& cfg);
// What the program runs with now: its screen's size and flags.
video_options running_video_options();
// The next value of option `which`, wrapping round; a size not offered goes to the first.
void cycle_video_option(video_options& o, int which);
// "Full Screen on", "Window Size 800 x 600", "Drawing Mode OpenGL", each followed by
// " (next start)" when it differs from running; the text goes to buf.
const char* video_option_row(const video_options& saved, const video_options& running, int which,
                             char* buf, size_t size);
// Writes the four keys into the settings file at path, keeping every other entry; the file is
// replaced whole or not at all. False when it could not be written.
bool save_video_options(const char* path, const video_options& o);
