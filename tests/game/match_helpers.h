// A small game folder for the match tests: a 1000-pixel road stage of one picture, two
// fighters of 100 x 100 red boxes with nineteen one-frame moves, an explosion animation and
// the fonts. The folder is the working directory while the object lives; the match set-up
// runs in it with Tamsin (fighter 1) on the left and Mirelle (fighter 0) on the right.
#pragma once
#include <gtest/gtest.h>

#include <SDL.h>
#include <string>
#include <unistd.h>

#include "../images/picture_maker.h"
#include "animation/anim_group.h"
#include "foundation/primitives.h"
#include "foundation/settings.h"
#include "images/font.h"
#include "input/control_mgr.h"
#include "match.h"
#include "test_support.h"
#include "world/level.h"
#include "world/mon_mgr.h"

enum { TEST_FIGHTER_HP = 100, TEST_MOVES = 19 };

inline std::string numbered(const char* key, int i, const char* rest = "") {
    return std::string(key) + std::to_string(i) + rest;
}

// A fighter file with `moves` one-frame moves of `move_image` and ten still images of body.bmp.
inline std::string fighter_text(int hp, int moves, const std::string& extra = "") {
    std::string t = "hp=" + std::to_string(hp) + "\nscale=1.0\nspeed=1\n";
    t += "moves=" + std::to_string(moves) + "\n";
    for (int i = 0; i < moves; i++) t += numbered("move", i) + "=game/fighter/move.ini\n";
    t += "images=10\n";
    for (int i = 0; i < 10; i++) t += numbered("image", i) + "=rsrc/body.bmp\n";
    return t + extra;
}

struct match_folder {
    scratch_dir dir;
    std::string old_cwd;
    anim_group* explosion = nullptr;
    font* main_font = nullptr;
    match_resources res;

    explicit match_folder(int a_moves = TEST_MOVES, int b_moves = TEST_MOVES) {
        char buf[4096];
        old_cwd = getcwd(buf, sizeof buf) ? buf : "/";
        EXPECT_TRUE(open_test_screen(false));
        make_dirs(dir.file("rsrc/road"));
        make_dirs(dir.file("game/fighter/mirelle"));
        SDL_Surface* body = make_picture(100, 100, RED);
        save_picture(body, dir, "rsrc/body.bmp");
        save_picture(make_picture(40, 40, BLUE), dir, "rsrc/boom.bmp");
        save_picture(make_picture(1000, 480, rgb{20, 20, 60}), dir, "rsrc/road/sky.bmp");
        write_text(dir.file("rsrc/road/stage_road.ini"), "bgset=rsrc/road/bgset.ini\nlength=1\npart0=0\n");
        write_text(dir.file("rsrc/road/bgset.ini"), "width=1000\nimages=1\nimage0=rsrc/road/sky.bmp\n");
        write_text(dir.file("game/fighter/move.ini"), "images=1\nimage0=rsrc/body.bmp\nrate0=30\n");
        write_text(dir.file("game/fighter/expl.ini"), "images=2\nimage0=rsrc/boom.bmp\nrate0=2\nimage1=rsrc/boom.bmp\nrate1=2\n");
        write_text(dir.file("game/fighter/tamsin_char.ini"), fighter_text(TEST_FIGHTER_HP, a_moves));
        write_text(dir.file("game/fighter/mirelle_char.ini"), fighter_text(TEST_FIGHTER_HP, b_moves));
        std::string cp = "cp '" FIGHT_DATA_DIR "/tahoma.ttf' '" + dir.path + "/'";
        EXPECT_EQ(system(cp.c_str()), 0);
        EXPECT_EQ(chdir(dir.path.c_str()), 0);

        fps = 60;
        debug = 0;
        fill_trig_tables(); // the preload fills them in the game
        for (const char* n : control_names) Control_Manager.register_name(n);
        Control_Manager.set_defaults();

        anim_mgr* def = new anim_mgr();
        def->load("game/fighter/expl.ini");
        explosion = new anim_group();
        explosion->add(smart_ptr<anim_mgr>(def), 0, 0);
        main_font = new font(video.screen);
        main_font->open("tahoma.ttf");
        res.explosion = explosion;
        res.main_font = main_font;
    }
    ~match_folder() {
        for (anim_group* g : match_effects) delete g;
        match_effects.clear();
        Combatant_Manager.clean();
        delete current_level;
        current_level = nullptr;
        EXPECT_EQ(chdir(old_cwd.c_str()), 0);
    }
    void write(const std::string& name, const std::string& text) { write_text(dir.file(name), text); }
};

// Fighters drawn as the game's art is, facing left on a wider transparent picture: the body
// at 30..110 of 200, a walking step whose back leg reaches out to 150, a punch whose fist
// reaches 30 in front of the body. Each fighter has its own picture files.
inline void write_lopsided_fighters(match_folder& m) {
    const char* names[2] = {"tamsin", "mirelle"};
    for (const char* n : names) {
        std::string d = std::string("rsrc/") + n + "_";
        SDL_Surface* still = make_picture(200, 100, KEY);
        paint(still, 30, 0, 80, 100, RED);
        save_picture(still, m.dir, d + "still.bmp");
        SDL_Surface* walk = make_picture(200, 100, KEY);
        paint(walk, 30, 0, 120, 100, RED);
        save_picture(walk, m.dir, d + "walk.bmp");
        SDL_Surface* punch = make_picture(200, 100, KEY);
        paint(punch, 0, 0, 110, 100, RED);
        save_picture(punch, m.dir, d + "punch.bmp");
        std::string g = std::string("game/fighter/") + n + "_";
        m.write(g + "walk.ini", "images=1\nloop=1\nimage0=" + d + "walk.bmp\nrate0=4\n");
        m.write(g + "punch.ini", "images=1\nimage0=" + d + "punch.bmp\nrate0=12\n");
        std::string t = "hp=100\nscale=1.0\nspeed=1\nmoves=19\n";
        for (int i = 0; i < 19; i++)
            t += numbered("move", i) + "=" +
                 (i == 0 ? g + "punch.ini" : i == 16 || i == 17 ? g + "walk.ini" : "game/fighter/move.ini") + "\n";
        t += "images=10\n";
        for (int i = 0; i < 10; i++) t += numbered("image", i) + "=" + d + "still.bmp\n";
        m.write(std::string("game/fighter/") + n + "_char.ini", t);
    }
}

inline combatant* fighter_a() { return Combatant_Manager.Objects[0]; }
inline combatant* fighter_b() { return Combatant_Manager.Objects[1]; }

// Stands the fighter at x on the floor, shown by its still image, at rest.
inline void stand(combatant* f, int x) {
    f->x = x;
    f->y = video.screen->h - f->h;
    f->last_image = f->images.empty() ? nullptr : f->images[0];
    f->move_state = -1;
    f->empty_stack();
    f->vx = f->vy = f->ax = f->ay = 0;
}

// A projectile of side `side` at x, shown by the body picture.
inline combatant* add_projectile(int side, int x, int y) {
    combatant* p = new combatant();
    p->kind = KIND_PROJECTILE;
    p->side = (uint8_t)side;
    p->hp = 1;
    p->stance = 4;
    p->action = 4;
    p->posture = 1;
    p->move_state = 0;
    p->images.push_back(fighter_a()->images[0]);
    p->last_image = p->images[0];
    p->w = 100;
    p->h = 100;
    p->x = x;
    p->y = y;
    Combatant_Manager.Objects.push_back(p);
    return p;
}

// Holds or releases keys in the dummy driver's key state.
inline void hold(std::initializer_list<SDLKey> keys, bool down = true) {
    Uint8* state = SDL_GetKeyState(nullptr);
    for (SDLKey k : keys) state[k] = down ? 1 : 0;
}
