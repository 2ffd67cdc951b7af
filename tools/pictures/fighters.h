// fighters: the four playable characters. Each has a build, a look, a style, game values
// and combos; this module paints their still images, move frames and projectile, writes
// their fighter and move files, the colour-swap file for mirror matches and their
// portraits, and lays out the per-fighter contact sheets used to review the art.
#pragma once
#include <string>
#include <vector>

#include "figure.h"
#include "media_out.h"
#include "moves.h"

struct combo_def {
    int result;                      // the game's combo result (1 to 5)
    std::vector<const char*> stages; // control names, "no" + name for a release
};

struct fighter_def {
    const char* name;  // folder and file-name part, lower case
    const char* title; // display name
    build b;
    look l;
    fight_style style;
    int hp;
    float speed;
    float firespeed;
    std::vector<combo_def> combos;
    rgb swap_top, swap_bottom; // what a mirror match's second copy wears instead
};

const std::vector<fighter_def>& fighter_table();

const int FIGHTER_W = 360, FIGHTER_H = 340;

// Paints one pose of a fighter on a fresh canvas, facing left as the game's art does.
SDL_Surface* paint_fighter(const fighter_def& f, const pose& p);
SDL_Surface* paint_bullet(const fighter_def& f, int frame);

// Writes everything of one fighter (pictures and definition files).
void write_fighter(media_out& out, const fighter_def& f);
// The colour-swap file used when both players pick the same fighter.
void write_swap_file(media_out& out);
// Portraits: one badge per fighter and the small one of the heads-up display.
void write_portraits(media_out& out);
// A fighter's small portrait (the heads-up display's emblem), on a fresh canvas.
SDL_Surface* small_portrait(const fighter_def& f);
// One labelled picture of every still image and move frame of a fighter, saved as
// <dir>/<name>_sheet.png.
void write_contact_sheet(const std::string& dir, const fighter_def& f);

// Text of a definition file: one key=value line per entry, in order.
struct ini_text {
    std::string text;
    void add(const std::string& key, const std::string& value) { text += key + "=" + value + "\n"; }
    void add(const std::string& key, long value) { add(key, std::to_string(value)); }
};
std::string format_decimal(float v); // shortest text that reads back as v ("0.05", "1")
// Appends the keys of one frame (numbered from n, which advances) to an animation file.
void add_frame(ini_text& a, int& n, const std::string& image, const move_frame& fr);
