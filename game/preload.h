// The preload: everything the screens will need, loaded once behind the fading splash logo,
// and held by the main function until shutdown (game_resources). Also the music by state:
// the intro during the preload, the menu loop in the main menu, the selection loop in
// character select (the match plays its own track).
//
// Ownership: pictures loaded from files belong to the image registry Image_Manager (the
// fields here only point at them); pictures rendered from text, the fonts, the animation
// definitions and groups belong to game_resources and are freed by release_resources.
// The music tracks live until the process ends.
#pragma once
#include "list_menu.h"
#include "menu_screen.h"
#include <SDL_framerate.h>
#include <SDL_mixer.h>

#include "fighter_table.h"
#include "osd.h"

struct font;
struct img_mgr;
struct anim_mgr;
struct anim_group;

enum {
    MAIN_ITEM_COUNT = 9,   // "arcade" to "quit"
    OPTION_ITEM_COUNT = 7, // "Game" to "Back to Main Menu"
    GAME_OPTION_COUNT = 7, // "Difficulty" to "Round Time"
    ART_FIGHTERS = 4,      // portraits and action shots, one per fighter of the full game
    DECORATION_COUNT = 5,  // dark logo, title, version, credits, "ALPHA"
};

struct game_resources {
    // Fonts: nine opened ones (three of them in osd) and the unopened select font.
    font* main_font = nullptr;   // "rsrc/Veranda.ttf" 18 pt shaded; knock-out texts
    font* huge_font = nullptr;   // "rsrc/oldengl.ttf" 1024 pt solid gold
    font* title_font = nullptr;  // "rsrc/Medici_Text.ttf" at W / 10: the title
    font* item_font = nullptr;   // "rsrc/Medici_Text.ttf" at W / 14: menu items
    font* small_font = nullptr;  // "rsrc/Veranda.ttf" at W / 45: version, credits
    font* list_font = nullptr;   // "rsrc/Veranda.ttf" at W / 28: the options' sub-screens
    font* select_font = nullptr; // never opened, so it draws with the fallback face
    osd_resources osd;           // heads-up images, fonts and bar colours

    FPSmanager pacer;            // paces the logo, the main menu and the match
    int front_rate = 200;        // sixteen times fps, at most 200

    // From the image registry.
    img_mgr* splash = nullptr;           // "rsrc/pml_logo2_640x480.png"
    img_mgr* group_picture = nullptr;    // character-select background
    img_mgr* menu_background = nullptr;  // "rsrc/tilablebg128.png"
    img_mgr* dark_logo = nullptr;        // "rsrc/ferromldark.png"
    img_mgr* portraits[FIGHTERS_MAX] = {};   // by fighter table row; the roster's after the four
    img_mgr* action_shots[FIGHTERS_MAX] = {};

    // Rendered from text, owned here.
    img_mgr* title = nullptr;
    img_mgr* version = nullptr;
    img_mgr* credits = nullptr;
    img_mgr* alpha_mark = nullptr;
    img_mgr* items[MAIN_ITEM_COUNT] = {};     // "%s"
    img_mgr* items_lit[MAIN_ITEM_COUNT] = {}; // "*%s*", the selected row

    // Animations. The loading definition is attached to the global loading group.
    anim_mgr* loading_anim = nullptr;
    anim_mgr* explosion_anim = nullptr;
    anim_group* explosion = nullptr;   // template the match copies for hit effects
    anim_group* decorations = nullptr; // the main menu's logo, title, version, credits, mark
    anim_mgr* decoration_defs[DECORATION_COUNT] = {};

    Mix_Music* intro_music = nullptr;  // "rsrc/menu_intro.ogg"
    Mix_Music* menu_music = nullptr;   // "rsrc/jazz_loop.ogg"
    Mix_Music* match_music = nullptr;  // "rsrc/tech_loop.ogg"
    Mix_Music* select_music = nullptr; // "rsrc/ramp.ogg"

    unsigned menu_list = 0; // display-list name reserved for the list menus (OpenGL)

    char main_items[MAIN_ITEM_COUNT + 1][9];
    char option_items[OPTION_ITEM_COUNT + 1][LIST_ROW_TEXT];
    char game_option_labels[GAME_OPTION_COUNT + 6][LIST_ROW_TEXT];

    int logo_frames = 0; // frames shown by the splash fades
    bool loaded = false; // set by preload, cleared by the full release
};

// The splash picture and the action shots per fighter index.
extern const char* const action_shot_files[ART_FIGHTERS];
extern const char* const portrait_files[ART_FIGHTERS];

// Loads everything in its fixed order behind the logo fades. Needs the video mode set.
void preload(game_resources& r);
// Shutdown: frees what preload made when it ran (full), then empties the image registry.
void release_resources(game_resources& r);


// Music by state, only when audio is on. The menu loop starts unless it or the intro already
// plays, so it follows the intro and comes back after a match or a selection.
void play_menu_music(const game_resources& r);
// The selection loop, restarted each time a selection begins.
void play_select_music(const game_resources& r);

