// Helpers shared by the tests: capturing log lines, scratch folders, starting the real
// programs, and reading pixels back in either drawing mode.
#pragma once
#include <SDL.h>
#include <cstdint>
#include <string>
#include <vector>

#include "foundation/log.h"

// Captures everything logged while it lives.
struct log_capture {
    std::string out, err;
    log_capture();
    ~log_capture();
    std::string all() const { return out + err; }
    bool has(const std::string& text) const { return out.find(text) != std::string::npos; }
    int count(const std::string& text) const;
    void reset() { out.clear(); err.clear(); }
};

// A fresh folder under /tmp, removed with everything in it when the object goes.
struct scratch_dir {
    std::string path;
    scratch_dir();
    ~scratch_dir();
    std::string file(const std::string& name) const { return path + "/" + name; }
};

void write_text(const std::string& path, const std::string& text);
std::string read_text(const std::string& path);
bool file_exists(const std::string& path);
void make_dirs(const std::string& path);

// Copies the game folder (definition files and generated media) into dest.
void copy_game_folder(const std::string& dest);

struct run_result {
    int exit_code = -1;  // -1 when killed or timed out
    bool timed_out = false;
    std::string out, err;
};

// Starts a program (a path, or a name found in the build folder) in cwd with extra
// environment entries ("NAME=value"), waits at most timeout_ms and kills it after that.
run_result run_program(const std::string& program, const std::vector<std::string>& args,
                       const std::string& cwd, const std::vector<std::string>& env,
                       int timeout_ms);
std::string program_path(const std::string& name); // build/<name>

// The environment of a program run with no display and no sound card.
inline const std::vector<std::string> dummy_drivers = {"SDL_VIDEODRIVER=dummy", "SDL_AUDIODRIVER=dummy"};

// A program started in the background, for tests that act while it runs.
struct running_program {
    int pid = -1;
    int out_fd = -1, err_fd = -1;
    run_result result;
    ~running_program();
    std::string out() const; // what it has printed so far
    std::string err() const;
    // Waits until standard output holds text (true) or timeout_ms passes (false).
    bool wait_for(const std::string& text, int timeout_ms);
    void signal(int sig);
    // Waits for the end (killing it after timeout_ms) and fills result.
    const run_result& finish(int timeout_ms);
};
void start_program(running_program& p, const std::string& program,
                   const std::vector<std::string>& args, const std::string& cwd,
                   const std::vector<std::string>& env);

// Opens a video mode for a drawing test: software (dummy driver) or OpenGL (X display).
bool open_test_screen(bool gl, int w = 640, int h = 480);
// Reads one pixel of the frame being drawn (screen surface, or glReadPixels with y flipped).
void read_screen_pixel(int x, int y, uint8_t* r, uint8_t* g, uint8_t* b);
uint32_t map_rgb(uint8_t r, uint8_t g, uint8_t b); // a pixel value of the screen format

// Counts the lines of text holding needle.
int count_occurrences(const std::string& text, const std::string& needle);

// Sends the X window the close request of a window manager's close button (WM_DELETE_WINDOW).
bool send_window_close(unsigned long window);
// The pixels of the X screen's area at (x, y), w by h, as a 32-bit surface the caller frees
// (black where the area leaves the screen); null without a display.
SDL_Surface* grab_screen_area(int x, int y, int w, int h);
