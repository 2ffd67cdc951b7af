// fightgame with hwaccel=1 under an X display: an OpenGL window that Escape closes.
#include <gtest/gtest.h>

#include "game_driver.h"

TEST(FightgameStartupGL, HwaccelOpensAnOpenGLModeThatEscapeCloses) {
    scratch_dir d;
    copy_game_folder(d.path);
    write_text(d.file("game/game.ini"), "hwaccel=1\n");
    running_program p;
    start_program(p, "fightgame", {}, d.path, {"SDL_AUDIODRIVER=dummy"});
    ASSERT_TRUE(p.wait_for("MAIN MENU:\n", 60000)) << p.out() << p.err();
    // Without a window manager the keyboard follows the pointer.
    game_driver::point_at_window();
    for (int attempt = 0; attempt < 20 && p.out().find("Done\n") == std::string::npos; attempt++)
        EXPECT_EQ(system("xdotool keydown Escape sleep 0.2 keyup Escape sleep 0.3"), 0);
    const run_result& r = p.finish(20000);
    EXPECT_EQ(r.exit_code, 0);
    EXPECT_NE(r.out.find("Setting GL Atts [2]\n"), std::string::npos);
    EXPECT_NE(r.out.find("Setting up OpenGL 2D\n"), std::string::npos);
    EXPECT_NE(r.out.find("Resolution: asked for [640,480@32] got [640,480@32]\n"), std::string::npos);
    size_t clean = r.out.find("Cleaning Image_Manager Cache\n");
    ASSERT_NE(clean, std::string::npos);
    EXPECT_NE(r.out.find("Done\n", clean), std::string::npos);
}
