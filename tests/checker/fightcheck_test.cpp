// fightcheck on the shipped game folder and on a copy with one planted fault of each kind;
// the roster file adding a copy of a shipped fighter to the game.
#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <sstream>
#include <unistd.h>

#include "char_select.h"
#include "fighter_table.h"
#include "game_options.h"
#include "input/key_press.h"
#include "roster.h"
#include "test_support.h"

namespace {

// A line of a file replaced (or, when old is empty, the file written with now), and what
// fightcheck must then say: one line naming that file and the line the last line of now
// stands on, with this fragment.
struct fault {
    const char* file;
    const char* old;
    const char* now;
    const char* fragment;
};

const fault faults[] = {
    {"game/fighter/tamsin/tamsin_punch.ini", "rate2=6", "rat2=6", "unknown key \"rat2\" (did you mean \"rate2\"?)"},
    {"game/fighter/tamsin_char.ini", "hp=80", "hp=eighty", "not a whole number"},
    {"game/game.ini", "fps=60", "fps=5000", "\"fps\" is 5000: outside 1 to 200"},
    {"game/fighter/ondine_char.ini", "image9=rsrc/ondine/ondine_ko.png", "image9=rsrc/ondine/none.png", "is missing"},
    {"game/fighter/mirelle_char.ini", "image9=rsrc/mirelle/mirelle_ko.png", "image9=rsrc/mirelle/cut.png", "is damaged"},
    {"game/fighter/mirelle_char.ini", "move0hit=rsrc/sfx/hit_light.wav", "move0hit=rsrc/sfx/none.wav", "sound \"rsrc/sfx/none.wav\" is missing"},
    {"game/fighter/tamsin_char.ini", "combo4move2=special2", "combo4move2=special2\nmove30hitshake=2", "move 30 is outside the fighter's moves"},
    {"game/fighter/tamsin_char.ini", "combo4move=5", "combo4move=40", "does 40, which is no combo result (1 to 5)"},
    {"game/fighter/tamsin_char.ini", "combo1move2=kick", "combo1move2=kikc", "no control (did you mean \"kick\"?)"},
    {"game/fighter/ondine/ondine_punch.ini", "image2=rsrc/ondine/moves/ondine_punch_1.png",
     "image2=rsrc/tamsin/tamsin_symbol.png", "frames differ in size: \"image2\" is 96x96, the first frame 360x340"},
    {"rsrc/road/stage_road.ini", "part0parallax2=3", "part0parallax2=9", "is picture 9, which the background set lacks"},
    {"game/replays/old.ini", "", "replay=2", "made by a newer version of the game"},
    {"game/replays/demo.ini", "fighter1=game/fighter/tamsin_char.ini", "fighter1=game/fighter/lost_char.ini",
     "names fighter \"game/fighter/lost_char.ini\", which this game does not have"},
    {"game/fighter/mirelle/mirelle_swap.ini", "color0source=129,22,44", "color0source=129,22", "not r,g,b"},
    {"game/controls.ini", "", "players=2\nplayer0controlpnch=105", "(did you mean \"player0controlpunch\"?)"},
    {"game/roster.ini", "", "fighters=1\nfighter0name=Tam\nfighter0file=game/fighter/tamsin_char.ini\nfighter0shot=rsrc/none.png",
     "picture \"rsrc/none.png\" is missing"},
};

// The line (from 1) where text begins in the file's text.
int line_of(const std::string& text, const std::string& what) {
    size_t at = text.find(what);
    return at == std::string::npos ? -1 : 1 + (int)std::count(text.begin(), text.begin() + (long)at, '\n');
}

std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> out;
    std::istringstream in(text);
    for (std::string l; std::getline(in, l);) out.push_back(l);
    return out;
}

run_result fightcheck(const std::string& folder) {
    return run_program(program_path("fightcheck"), {folder}, ".", dummy_drivers, 60000);
}

} // namespace

TEST(Fightcheck, TheShippedFolderIsCleanAndABadCommandLineIsRefused) {
    run_result r = fightcheck(FIGHT_DATA_DIR);
    EXPECT_EQ(r.exit_code, 0) << r.out;
    EXPECT_EQ(lines(r.out).size(), 1u) << "only the summary: " << r.out;
    EXPECT_EQ(run_program(program_path("fightcheck"), {"a", "b"}, ".", dummy_drivers, 10000).exit_code, 2);
    EXPECT_EQ(fightcheck("/no/such/folder").exit_code, 2);
}

TEST(Fightcheck, EachPlantedFaultIsOneLineWithItsFileAndLine) {
    scratch_dir d;
    copy_game_folder(d.path);
    std::filesystem::create_directories(d.file("game/replays"));
    std::filesystem::copy_file(FIGHT_SOURCE_DIR "/tests/replays/demo.ini", d.file("game/replays/demo.ini"));
    const std::string ko = read_text(d.file("rsrc/mirelle/mirelle_ko.png"));
    write_text(d.file("rsrc/mirelle/cut.png"), ko.substr(0, ko.size() / 2));
    std::multiset<std::string> expected;
    for (const fault& f : faults) {
        std::string text = std::string(f.now) + "\n";
        if (f.old[0]) {
            text = read_text(d.file(f.file));
            const size_t at = text.find(std::string(f.old) + "\n");
            ASSERT_NE(at, std::string::npos) << f.old;
            text.replace(at, strlen(f.old), f.now);
        }
        write_text(d.file(f.file), text);
        const std::string now = f.now, last = now.substr(now.rfind('\n') + 1);
        expected.insert(std::string(f.file) + ":" + std::to_string(line_of(text, last + "\n")));
    }
    run_result r = fightcheck(d.path);
    EXPECT_EQ(r.exit_code, 1);
    std::vector<std::string> out = lines(r.out);
    ASSERT_FALSE(out.empty());
    out.pop_back(); // the summary
    std::multiset<std::string> said;
    for (const std::string& l : out) said.insert(l.substr(0, l.find(": ")));
    EXPECT_EQ(said, expected) << r.out;
    for (const fault& f : faults) EXPECT_NE(r.out.find(f.fragment), std::string::npos) << f.fragment << "\n" << r.out;
}

TEST(Roster, ACopiedFighterInTheRosterFileIsOfferedAfterTheFourAndTheFolderStaysClean) {
    scratch_dir d;
    copy_game_folder(d.path);
    std::filesystem::copy_file(d.file("game/fighter/tamsin_char.ini"), d.file("game/fighter/wren_char.ini"));
    write_text(d.file(ROSTER_FILE), "fighters=1\nfighter0name=Wren_Two\nfighter0file=game/fighter/wren_char.ini\n"
                                    "fighter0shot=rsrc/060419_tamsin01c.png\nfighter0portrait=rsrc/tamsin/tamsin_symbol.png\n");
    run_result r = fightcheck(d.path);
    EXPECT_EQ(r.exit_code, 0) << r.out;

    char* kept = getcwd(nullptr, 0);
    ASSERT_EQ(chdir(d.path.c_str()), 0);
    EXPECT_EQ(load_roster(ROSTER_FILE), 1);
    game_options o;
    EXPECT_EQ(roster_size(o), 5);
    EXPECT_STREQ(fighter_table[4].name, "Wren Two");
    EXPECT_STREQ(fighter_table[4].file, "game/fighter/wren_char.ini");
    key_press keys;
    keys.open();
    keys.key_down(SDLK_LEFT);
    int choice = 0;
    char_select_input(choice, false, keys, roster_size(o));
    EXPECT_EQ(choice, 4) << "left from the first reaches the added fighter";
    o.roster = ROSTER_TWO;
    EXPECT_EQ(roster_size(o), 2);
    std::filesystem::remove(d.file(ROSTER_FILE));
    EXPECT_EQ(load_roster(ROSTER_FILE), 0);
    EXPECT_EQ(fighter_count, 4) << "without the file: the four";
    EXPECT_EQ(chdir(kept), 0);
    free(kept);
}
