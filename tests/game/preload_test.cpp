// The preload in a scratch copy of the game folder, software mode, dummy audio: its lines
// in order, the logo fades' frames and pace, the control bindings, the menu music, and the
// release at shutdown.
#include <gtest/gtest.h>

#include <SDL.h>
#include <SDL_mixer.h>
#include <unistd.h>

#include "animation/anim_group.h"
#include "foundation/manager.h"
#include "foundation/primitives.h"
#include "foundation/settings.h"
#include "foundation/video_mgr.h"
#include "images/img_mgr.h"
#include "input/control_mgr.h"
#include "preload.h"
#include "test_support.h"

// A game folder to preload from, the screen and the mixer open.
struct preload_env {
    scratch_dir dir;
    explicit preload_env(bool with_menu_music = true) {
        copy_game_folder(dir.path);
        if (!with_menu_music) unlink(dir.file("rsrc/jazz_loop.ogg").c_str());
        EXPECT_EQ(chdir(dir.path.c_str()), 0);
        EXPECT_TRUE(open_test_screen(false));
        video.init_audio();
        EXPECT_EQ(Mix_OpenAudio(44100, AUDIO_S16LSB, 2, 8192), 0);
    }
    ~preload_env() { EXPECT_EQ(chdir("/"), 0); }
};

static size_t at(const std::string& text, const std::string& line, size_t from = 0) {
    size_t p = text.find(line, from);
    EXPECT_NE(p, std::string::npos) << "missing: " << line;
    return p;
}

TEST(Preload, LoadsInItsOrderBehindLogoFadesPacedAtTheFrontEndRate) {
    preload_env env;
    fps = 10; // the front end then runs at 160 frames per second
    game_resources r;
    log_capture log;
    uint32_t start = SDL_GetTicks();
    preload(r);
    uint32_t took = SDL_GetTicks() - start;

    const std::string& out = log.out;
    size_t p = at(out, "Trying to load [rsrc/menu_intro.ogg]\n");
    p = at(out, "Loading img_mgr [rsrc/060415_mirelle_02_b.png]", p);
    p = at(out, "Loading img_mgr [rsrc/ML_group_redo_rough_640x480.png]", p);
    p = at(out, "load config [game/fighter/loading.ini]", p);
    p = at(out, "load config [game/fighter/expl.ini]", p);
    p = at(out, "Loading img_mgr [rsrc/tilablebg128.png]", p);
    p = at(out, "Loading img_mgr [rsrc/ferromldark.png]", p);
    p = at(out, "Mllogo loaded\n", p);
    p = at(out, "load config [game/controls.ini]", p);
    p = at(out, "Preloading done fade out logo, fade in main menu\n", p);
    at(out, "Fade Out done\n", p);
    EXPECT_EQ(log.count("Mix_LoadMUS"), 0);

    EXPECT_EQ(r.logo_frames, 64 + 32);
    EXPECT_GE(took, 95u * 1000 / 160 - 20) << "the fades are paced at 160 frames per second";
    EXPECT_EQ(r.front_rate, 160);

    EXPECT_EQ(sin_table[90], 100);
    EXPECT_EQ(cos_table[180], -100);
    EXPECT_STREQ(r.main_items[3], "training");
    EXPECT_STREQ(r.main_items[4], "network");
    EXPECT_STREQ(r.main_items[5], "replays");
    EXPECT_STREQ(r.main_items[8], "quit");
    EXPECT_STREQ(r.main_items[9], "");
    EXPECT_STREQ(r.option_items[5], "Network");
    EXPECT_STREQ(r.option_items[6], "Back to Main Menu");
    EXPECT_STREQ(r.game_option_labels[3], "Round Mode");
    EXPECT_EQ(Control_Manager.key_for(0, "punch"), 'i');
    EXPECT_EQ(Control_Manager.key_for(1, "up"), 'w');
    ASSERT_NE(r.decorations, nullptr);
    EXPECT_EQ(r.decorations->entries.size(), (size_t)DECORATION_COUNT);
    EXPECT_GT(r.items_lit[0]->get_width(), r.items[0]->get_width());
    EXPECT_EQ(loading_group.max_height, r.loading_anim->get_height());
    EXPECT_TRUE(Mix_PlayingMusic()) << "the intro plays";

    log.reset();
    release_resources(r);
    EXPECT_EQ(Image_Manager.count(), 0);
    size_t clean = at(log.out, "Cleaning Image_Manager Cache\n");
    EXPECT_EQ(log.out.substr(log.out.size() - 5), "Done\n");
    EXPECT_LT(clean, log.out.size());
    EXPECT_TRUE(loading_group.entries.empty());
}

TEST(Preload, TheControlsFileOverridesTheDefaultBindings) {
    preload_env env;
    write_text("game/controls.ini", "players=1\nplayer0controlpunch=120\n");
    game_resources r;
    preload(r);
    EXPECT_EQ(Control_Manager.key_for(0, "punch"), 120);
    EXPECT_EQ(Control_Manager.key_for(0, "kick"), 'k');
    EXPECT_EQ(Control_Manager.key_for(1, "punch"), SDLK_TAB);
    release_resources(r);
}

TEST(Preload, WithoutTheMenuLoopTheMainMenuStaysSilentAfterTheIntro) {
    preload_env env(false);
    game_resources r;
    log_capture log;
    preload(r);
    EXPECT_TRUE(log.has("Mix_LoadMUS(\"music.mp3\"): "));
    EXPECT_EQ(r.menu_music, nullptr);
    Mix_HaltMusic(); // the intro has ended
    play_menu_music(r);
    EXPECT_FALSE(Mix_PlayingMusic());
    play_select_music(r); // the other screens keep their music
    EXPECT_TRUE(Mix_PlayingMusic());
    release_resources(r);
}

TEST(Preload, TheMenuLoopFollowsTheIntroAndNeverInterruptsOtherMusic) {
    preload_env env;
    game_resources r;
    preload(r);
    play_select_music(r);
    play_menu_music(r); // something plays: left alone
    Mix_HaltMusic();
    EXPECT_FALSE(Mix_PlayingMusic());
    play_menu_music(r);
    EXPECT_TRUE(Mix_PlayingMusic());
    release_resources(r);
}

TEST(Preload, ReleaseWithoutAPreloadOnlyEmptiesTheImageRegistry) {
    game_resources r;
    log_capture log;
    release_resources(r);
    EXPECT_EQ(log.out, "Cleaning Image_Manager Cache\nDone\n");
}
