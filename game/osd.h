// The on-screen display of a match: for each living fighter a heads-up display in the top
// corner on the side where it stands (bar shadow, bar frame, small portrait, name with the
// player's mark "P1" or "P2" in the player's colour beside it, a gold
// life bar over a red bar that lags behind it, one dot per round won and, with the debug
// level non-zero, eight lines of statistics), and a combo counter with an exclamation over
// any object taking a string of hits. Timed rounds show the seconds left at the top centre.
//
// Ownership: the preload calls osd_load once and the shutdown osd_release; between them the
// resources belong to the main function and the match only draws with them. The two name
// images are re-rendered by every match set-up (osd_set_names) and freed by the next one or
// by osd_release; the set-up also says whose small portrait each side shows
// (osd_set_portraits). Nothing here reads a file or renders text inside a frame.
#pragma once
#include <SDL.h>
#include <cstdint>

#include "fighter_table.h"

struct img_mgr;
struct font;
struct combatant;

enum { OSD_PORTRAITS = 4 };
// The players' colours, player 1 then player 2: their marks here and their turns in
// character select. Player 1 plays fighter B (index 1), player 2 fighter A (index 0).
extern const SDL_Color player_colours[2];
extern const char* const osd_portrait_files[OSD_PORTRAITS];

struct osd_resources {
    img_mgr* shadow = nullptr;    // "rsrc/meter/shadow.png", alpha 64
    img_mgr* frame = nullptr;     // "rsrc/meter/lifebar_grey.png"
    // "rsrc/<name>/<name>_symbol_small.png" of each fighter, in fighter table order; after
    // the four, those the roster file names (or none).
    img_mgr* portraits[FIGHTERS_MAX] = {};
    int shown[2] = {0, 0};        // whose portrait fighter A (0) and B (1) show
    img_mgr* names[2] = {nullptr, nullptr}; // name images of fighter A (0) and B (1)
    img_mgr* marks[2] = {nullptr, nullptr}; // "P2" beside A's name, "P1" beside B's
    uint32_t gold = 0;            // present hp bar and win dots, screen format
    uint32_t red = 0;             // lagging bar
    font* heading = nullptr;      // "rsrc/oldengl.ttf" 30 pt solid gold: fighter names
    font* counter = nullptr;      // "rsrc/oldengl.ttf" 30 pt solid red: combo counter
    font* stats = nullptr;        // "tahoma.ttf" 12 pt shaded yellow: debug statistics
    font* plain = nullptr;        // "rsrc/Veranda.ttf" 24 pt solid white: marks, round clock
};

// The exclamations shown under a combo counter, and the one currently chosen (-1: none).
extern const char osd_exclamations[16][32];
extern int osd_exclamation;

// Loads the images and fonts and maps the two bar colours; needs the video mode set.
void osd_load(osd_resources& r);
// Frees everything osd_load and osd_set_names made; safe to call twice.
void osd_release(osd_resources& r);
// Renders the display names of fighters A and B into the name images (heading font), and
// the players' marks.
void osd_set_names(osd_resources& r, const char* name_a, const char* name_b);

// Fighter A shows the portrait of fighter table entry pick_a, B that of pick_b (an entry
// without a portrait shows the first's).
void osd_set_portraits(osd_resources& r, int pick_a, int pick_b);

// One fighter's display; index 0 is fighter A, 1 fighter B. Moves the lagging shown hp
// half a point towards hp (osd_lag_life), then shows it (show_fighter_display).
void draw_fighter_display(osd_resources& r, combatant* f, int index);
// The red bar lags behind the present hp by half a point per frame until it meets it.
void osd_lag_life(combatant* f);
// The display as the fighter is now; changes nothing of it.
void show_fighter_display(osd_resources& r, const combatant* f, int index);
// Timed rounds: the seconds left, centred at the top of the screen.
void draw_round_clock(osd_resources& r, int seconds);
// The combo counter of one object; now is this frame's tick count in milliseconds.
void draw_combo_counter(osd_resources& r, combatant* o, uint32_t now);
