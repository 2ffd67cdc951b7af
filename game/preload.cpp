#include "preload.h"

#include <GL/gl.h>
#include <SDL.h>
#include <cstdio>

#include "animation/anim_group.h"
#include "animation/anim_mgr.h"
#include "foundation/log.h"
#include "foundation/manager.h"
#include "foundation/pacing.h"
#include "foundation/primitives.h"
#include "foundation/safe_file.h"
#include "foundation/sound_check.h"
#include "foundation/settings.h"
#include "foundation/text.h"
#include "foundation/video_mgr.h"
#include "images/font.h"
#include "images/img_mgr.h"
#include "input/control_mgr.h"
#include "music.h"
#include "startup.h"

const char* const action_shot_files[ART_FIGHTERS] = {
    "rsrc/060415_mirelle_02_b.png", "rsrc/060419_tamsin01c.png",
    "rsrc/ondine/ondine_action_shot_ha.png", "rsrc/verity/verity_action_shot.png"};
const char* const portrait_files[ART_FIGHTERS] = {
    "rsrc/mirelle/mirelle_symbol.png", "rsrc/tamsin/tamsin_symbol.png",
    "rsrc/ondine/ondine_symbol.png", "rsrc/verity/verity_symbol.png"};

static const char* const kMainItems[MAIN_ITEM_COUNT] = {"arcade",  "versus", "survival",
                                                        "training", "network", "replays",
                                                        "demo",    "options", "quit"};
static const char* const kOptionItems[OPTION_ITEM_COUNT] = {
    "Game", "Player 1 controls", "Player 2 controls", "Video", "Cheats", "Network", "Back to Main Menu"};
static const char* const kGameOptionLabels[GAME_OPTION_COUNT] = {
    "Difficulty", "Rounds", "Life Style", "Round Mode", "Roster", "Stage", "Round Time"};
static const char kVersionLine[] = "Marrowlark ALPHA v0.17";
static const char kCreditsLine[] =
    "(c) the Marrowlark team";


// ---- small helpers -------------------------------------------------------------------

static void upload(img_mgr* img) {
    if (img && img->get_width() > 0) img->tohw();
}

static img_mgr* load_picture(const char* path, bool upload_now) {
    img_mgr* img = Image_Manager.get(path);
    if (upload_now) upload(img);
    return img;
}




static font* make_font(const char* path, int size, int mode, SDL_Color fg) {
    font* f = new font(video.screen);
    f->size = size;
    f->mode = mode;
    f->fg = fg;
    f->open(path);
    return f;
}

static void pace(game_resources& r) {
    video.flip();
    pace_frame(&r.pacer);
}

// The splash logo scaled to the screen width, its unscaled bottom on the screen's bottom.
static void draw_splash(game_resources& r, uint8_t alpha) {
    video.clear();
    img_mgr* logo = r.splash;
    if (logo && logo->get_width() > 0) {
        float s = (float)screen_w() / (float)logo->get_width();
        logo->set_alpha(alpha);
        logo->draw(0, screen_h() - logo->get_height(), video.screen, s, s, 0);
    }
    r.logo_frames++;
    pace(r);
}

// A single-picture animation placed in the decoration group.
static anim_mgr* add_decoration(anim_group* g, img_mgr* img, int x, int y) {
    anim_mgr* def = new anim_mgr(img);
    def->loop = 1;
    g->add(smart_ptr<anim_mgr>(def), x, y);
    return def;
}

static void build_decorations(game_resources& r) {
    int W = screen_w(), H = screen_h();
    int lw = r.dark_logo->get_width(), lh = r.dark_logo->get_height();
    r.decorations = new anim_group();
    anim_mgr* logo = add_decoration(r.decorations, r.dark_logo, W / 2 - lw / 4, -lh / 2);
    logo->scale = 0.5;
    add_decoration(r.decorations, r.title, W / 2 - 183, 75);
    add_decoration(r.decorations, r.version, 0, H - 44);
    add_decoration(r.decorations, r.credits, 0, H - 22);
    anim_mgr* mark =
        add_decoration(r.decorations, r.alpha_mark, W / 2 + lw / 4 + 40, lh / 2 - 20);
    mark->frames[0].spin = -15;
    anim_mgr** defs = r.decoration_defs;
    for (int i = 0; i < DECORATION_COUNT; i++) defs[i] = r.decorations->entries[(size_t)i].def.get();
}

// Music only from regular files: a pipe or device in its place could hang the read.
static Mix_Music* open_music(const char* path) {
    if (regular_file(path)) return sound_may_be_played(path) ? Mix_LoadMUS(path) : nullptr;
    Mix_SetError("Couldn't open %s", path);
    return nullptr;
}

static void start_intro_music(game_resources& r) {
    log_out("Trying to load [%s]\n", "rsrc/menu_intro.ogg");
    r.intro_music = open_music("rsrc/menu_intro.ogg");
    if (!video.audio_ok) return;
    if (play_track(r.intro_music, 1, 1000) == -1) log_out("Mix_FadeInMusic: %s\n", Mix_GetError());
}

static void load_music(game_resources& r) {
    r.menu_music = open_music("rsrc/jazz_loop.ogg");
    if (!r.menu_music) log_out("Mix_LoadMUS(\"music.mp3\"): %s\n", Mix_GetError());
    r.match_music = open_music("rsrc/tech_loop.ogg");
    r.select_music = open_music("rsrc/ramp.ogg");
}

static void load_shared_animations(game_resources& r) {
    r.loading_anim = new anim_mgr();
    r.loading_anim->load("game/fighter/loading.ini");
    r.loading_anim->loop = 1;
    loading_group.add(smart_ptr<anim_mgr>(r.loading_anim), 0, 0);
    loading_group.max_height = r.loading_anim->get_height();
    loading_group.max_width = r.loading_anim->get_width();

    r.explosion_anim = new anim_mgr();
    r.explosion_anim->load("game/fighter/expl.ini");
    r.explosion = new anim_group();
    r.explosion->add(smart_ptr<anim_mgr>(r.explosion_anim), 0, 0);
}

static void fill_tables(game_resources& r) {
    for (int i = 0; i < MAIN_ITEM_COUNT; i++) copy_text(r.main_items[i], kMainItems[i]);
    r.main_items[MAIN_ITEM_COUNT][0] = 0;
    for (int i = 0; i < OPTION_ITEM_COUNT; i++) copy_text(r.option_items[i], kOptionItems[i]);
    r.option_items[OPTION_ITEM_COUNT][0] = 0;
    for (auto& row : r.game_option_labels) row[0] = 0;
    for (int i = 0; i < GAME_OPTION_COUNT; i++) copy_text(r.game_option_labels[i], kGameOptionLabels[i]);
    if (Control_Manager.names.empty())
        for (int i = 0; i < CONTROL_COUNT; i++) Control_Manager.register_name(control_names[i]);
}

static void render_menu_items(game_resources& r) {
    r.title = render_text_image(r.title_font, "MarrowlarK", false);
    for (int i = 0; i < MAIN_ITEM_COUNT; i++) {
        char lit[16];
        snprintf(lit, sizeof lit, "*%s*", r.main_items[i]);
        r.items[i] = render_text_image(r.item_font, r.main_items[i], false);
        r.items_lit[i] = render_text_image(r.item_font, lit, false);
    }
}

// ---- preload ---------------------------------------------------------------------------

void preload(game_resources& r) {
    const SDL_Color white = {255, 255, 255, 0}, gold = {246, 206, 127, 0};
    int W = screen_w();

    r.main_font = new font(video.screen);
    SDL_initFramerate(&r.pacer);
    r.splash = load_picture("rsrc/pml_logo2_640x480.png", false);
    r.front_rate = front_end_rate(fps);
    SDL_setFramerate(&r.pacer, r.front_rate);
    start_intro_music(r);
    for (int a = 0; a < 256; a += 4) draw_splash(r, (uint8_t)a);

    load_music(r);
    r.main_font->open("rsrc/Veranda.ttf");
    for (int i = 0; i < ART_FIGHTERS; i++) {
        r.portraits[i] = load_picture(portrait_files[i], true);
        r.action_shots[i] = load_picture(action_shot_files[i], true);
    }
    for (int i = ART_FIGHTERS; i < fighter_count; i++) { // the roster file's fighters
        if (fighter_table[i].portrait) r.portraits[i] = load_picture(fighter_table[i].portrait, true);
        if (fighter_table[i].action_shot) r.action_shots[i] = load_picture(fighter_table[i].action_shot, true);
    }
    r.group_picture = load_picture("rsrc/ML_group_redo_rough_640x480.png", false);
    fill_trig_tables();
    load_shared_animations(r);

    osd_load(r.osd);
    r.huge_font = make_font("rsrc/oldengl.ttf", 1024, 1, gold);
    r.menu_background = load_picture("rsrc/tilablebg128.png", false);
    SDL_setFramerate(&r.pacer, r.front_rate);

    r.title_font = make_font("rsrc/Medici_Text.ttf", W / 10, 1, white);
    r.item_font = make_font("rsrc/Medici_Text.ttf", W / 14, 1, white);
    r.small_font = make_font("rsrc/Veranda.ttf", W / 45, 1, white);
    r.list_font = make_font("rsrc/Veranda.ttf", W / 28, 1, white); // readable at 640 x 480
    r.version = render_text_image(r.small_font, kVersionLine, false);
    r.credits = render_text_image(r.small_font, kCreditsLine, false);
    r.alpha_mark = render_text_image(r.small_font, "ALPHA", false);
    r.dark_logo = load_picture("rsrc/ferromldark.png", false);
    log_out("Mllogo loaded\n");

    fill_tables(r);
    Control_Manager.set_defaults();
    Control_Manager.load("game/controls.ini");
    render_menu_items(r);
    r.select_font = new font(video.screen);

    log_out("Preloading done fade out logo, fade in main menu\n");
    for (int a = 255; a > 0; a -= 8) draw_splash(r, (uint8_t)a);
    log_out("Fade Out done\n");

    upload(r.version);
    upload(r.credits);
    upload(r.title);
    upload(r.dark_logo);
    build_decorations(r);
    if (video.is_gl()) r.menu_list = glGenLists(1);
    r.loaded = true;
}

// ---- release ---------------------------------------------------------------------------

static void free_image(img_mgr*& img) {
    delete img;
    img = nullptr;
}

static void free_font(font*& f) {
    delete f;
    f = nullptr;
}

void release_resources(game_resources& r) {
    if (r.loaded) {
        // Menus, display and shared animations.
        delete r.decorations;
        r.decorations = nullptr;
        for (anim_mgr*& d : r.decoration_defs) {
            delete d;
            d = nullptr;
        }
        free_image(r.title);
        free_image(r.version);
        free_image(r.credits);
        free_image(r.alpha_mark);
        for (int i = 0; i < MAIN_ITEM_COUNT; i++) {
            free_image(r.items[i]);
            free_image(r.items_lit[i]);
        }
        r.dark_logo = nullptr;
        free_font(r.huge_font);
        free_font(r.title_font);
        free_font(r.item_font);
        free_font(r.small_font);
        free_font(r.list_font);
        free_font(r.select_font);
        r.menu_background = nullptr;
        osd_release(r.osd); // name images, heads-up images and its three fonts
        delete r.explosion;
        r.explosion = nullptr;
        loading_group.entries.clear();
        if (loading_group.stack) loading_group.stack->clear();
        delete r.loading_anim;
        delete r.explosion_anim;
        r.loading_anim = r.explosion_anim = nullptr;
        // Character-select pictures and the splash.
        for (int i = 0; i < FIGHTERS_MAX; i++) r.portraits[i] = r.action_shots[i] = nullptr;
        r.group_picture = nullptr;
        r.splash = nullptr;
        // The main font last.
        free_font(r.main_font);
        r.loaded = false;
    }
    log_out("Cleaning Image_Manager Cache\n");
    Image_Manager.clean();
    log_out("Done\n");
}

// ---- music -----------------------------------------------------------------------------

void play_menu_music(const game_resources& r) {
    Mix_Music* now = current_track();
    if (now && (now == r.menu_music || now == r.intro_music)) return;
    if (r.menu_music) play_track(r.menu_music, -1);
}

void play_select_music(const game_resources& r) {
    if (r.select_music) play_track(r.select_music, -1);
}

