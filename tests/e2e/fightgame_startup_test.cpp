// fightgame started as a user would, in a scratch copy of the game folder, with the dummy
// video and audio drivers. Closing the window (SIGTERM arrives as SDL's quit event) quits
// from the main menu.
#include <gtest/gtest.h>

#include <SDL.h>

#include <csignal>
#include <cstring>

#include "test_support.h"

// Starts the program, waits for the main menu, closes the window and returns the run.
static run_result run_to_main_menu_and_close(const std::string& program, const std::string& dir) {
    running_program p;
    start_program(p, program, {}, dir, dummy_drivers);
    bool reached = p.wait_for("MAIN MENU:\n", 60000);
    EXPECT_TRUE(reached) << p.out();
    p.signal(SIGTERM);
    return p.finish(20000);
}

TEST(FightgameStartup, WithoutASettingsFileItOpensTheDefaultModeAndQuitsCleanly) {
    scratch_dir d;
    copy_game_folder(d.path);
    unlink(d.file("game/game.ini").c_str());
    run_result r = run_to_main_menu_and_close("fightgame", d.path);
    EXPECT_EQ(r.exit_code, 0);
    EXPECT_NE(r.out.find("load config [game/game.ini]\nCan't open [game/game.ini]\n"), std::string::npos);
    EXPECT_NE(r.out.find("Resolution: asked for [640,480@32] got [640,480@32]\n"), std::string::npos);
    for (const char* line : {"Setting size", "Setting bpp", "Setting fps", "Setting debug"})
        EXPECT_EQ(r.out.find(line), std::string::npos) << line;
    size_t clean = r.out.find("Cleaning Image_Manager Cache\n");
    ASSERT_NE(clean, std::string::npos);
    EXPECT_NE(r.out.find("Done\n", clean), std::string::npos);
    EXPECT_EQ(r.out.find("Initialize SDL.\nSDL Initialized.\n"), 0u);
    // Then the SDL 1.2 it runs on, the one this test runs on too, in a line of its own.
    const SDL_version* v = SDL_Linked_Version();
    char linked[96];
    snprintf(linked, sizeof linked, "SDL Initialized.\nLinked SDL [%d.%d.%d] (%s", v->major, v->minor, v->patch,
             v->patch >= 50 ? "sdl12-compat on SDL 2." : "classic SDL 1.2)\n");
    EXPECT_NE(r.out.find(linked), std::string::npos) << r.out.substr(0, 200);
}

TEST(FightgameStartup, SettingsFromTheFileArePrintedAndUsed) {
    scratch_dir d;
    copy_game_folder(d.path);
    write_text(d.file("game/game.ini"), "width=800 height=600\nbpp=16\nfps=30\ndebug=1\n");
    run_result r = run_to_main_menu_and_close("fightgame", d.path);
    EXPECT_EQ(r.exit_code, 0);
    for (const char* line : {"Setting size to [800,600]\n", "Setting bpp to [16]\n", "Setting fps to [30]\n",
                             "Setting debug to [1]\n",
                             "Resolution: asked for [800,600@16] got [800,600@16]\n"})
        EXPECT_NE(r.out.find(line), std::string::npos) << line;
}

TEST(FightgameStartup, ASettingsFileThatIsAFolderLeavesTheDefaults) {
    scratch_dir d;
    copy_game_folder(d.path);
    unlink(d.file("game/game.ini").c_str());
    make_dirs(d.file("game/game.ini"));
    run_result r = run_to_main_menu_and_close("fightgame", d.path);
    EXPECT_EQ(r.exit_code, 0);
    EXPECT_NE(r.out.find("Can't open [game/game.ini]\n"), std::string::npos);
    EXPECT_NE(r.out.find("Resolution: asked for [640,480@32] got [640,480@32]\n"), std::string::npos);
}
