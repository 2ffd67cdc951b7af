// A network match made from the menus, at a person's pace: the host picks "network" and
// "host", waits, then chooses its fighter in character select while the guest's (a second
// process playing its part of the versus recording) shows as chosen; the match starts on
// both with the host's pick on the right. Escape on the host ends it on both within a
// second, and the host is back in its main menu.
#include "game_driver.h"
#include "demo_folder.h"
#include "replay_cases.h"

using namespace game_driver;

namespace {

TEST(NetplayMenu, TheHostChoosesBesideTheGuestAndEscapeEndsTheMatchOnBoth) {
    game_run host(0);
    ASSERT_TRUE(host.select_item(4)); // network
    press("Return", 60);
    sleep_ms(700); // the list opens on "host"
    press("Return", 60);
    ASSERT_TRUE(host.p.wait_for("Waiting for a guest on port 7435\n", 10000)) << host.p.out();

    scratch_dir guest_dir;
    copy_game_folder(guest_dir.path);
    running_program guest;
    start_program(guest, "fightgame", {"--join", "127.0.0.1", "--netkeys", committed_replay("versus.ini")},
                  guest_dir.path, {"SDL_VIDEODRIVER=dummy", "SDL_AUDIODRIVER=dummy"});
    sleep_ms(1500); // character select fades in
    const int offered = host.next_fighter("Right");
    ASSERT_GE(offered, 0);
    press("Return", 60);
    static const char* const names[4] = {"Mirelle", "Tamsin", "Ondine", "Verity"};
    const std::string line = std::string("on the left, ") + names[offered] + " on the right";
    ASSERT_TRUE(guest.wait_for(line, 15000)) << guest.out();
    ASSERT_TRUE(host.p.wait_for(line, 5000)) << host.p.out();

    ASSERT_TRUE(host.p.wait_for("Scrolling Max for level", 30000));
    ASSERT_TRUE(guest.wait_for("Scrolling Max for level", 30000));
    sleep_ms(1000);
    press("Escape", 60);
    EXPECT_TRUE(guest.wait_for("The other side left\n", 1000)) << guest.out();
    EXPECT_EQ(guest.finish(10000).exit_code, 7);
    EXPECT_TRUE(host.wait_count("MAIN MENU:\n", 2, 5000)) << host.p.out();
    EXPECT_EQ(host.quit().exit_code, 0);
}

} // namespace
