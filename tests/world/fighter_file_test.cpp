// Reading fighter files: hit points, scale and speed, moves with their scales, still images
// with the measured size and box, the fixed size, combos bound to control stages, private
// re-coloured images, broken files, and the game's own four fighters.
#include <gtest/gtest.h>
#include <unistd.h>

#include "fighter_helpers.h"
#include "foundation/clock.h"
#include "input/control_mgr.h"
#include "world/fighter_file.h"
#include "world/projectile.h"

namespace {

struct FighterFile : ::testing::Test {
    scratch_dir dir;
    test_stage stage;
    std::string small, large, walk;

    void SetUp() override {
        ASSERT_TRUE(open_test_screen(false));
        small = box_picture(dir, "small.bmp", 40, 60, 5, 10, 30, 55);
        large = box_picture(dir, "large.bmp", 100, 100, 0, 0, 100, 100);
        walk = anim_file(dir, "walk.ini", {{small, 2, {}}, {large, 2, {}}});
    }
    std::string fighter(const std::string& text) {
        std::string path = dir.file("fighter_char.ini");
        write_text(path, text);
        return path;
    }
    std::string two_images() { return "images=2\nimage0=" + small + "\nimage1=" + large + "\n"; }
};

TEST_F(FighterFile, HitPointsScaleSpeedAndTheStartingAiWeights) {
    combatant f;
    f.load(fighter("hp=120\nscale=1.5\nspeed=2\n").c_str());
    EXPECT_EQ(f.hp, 120);
    EXPECT_EQ(f.max_hp, 120);
    EXPECT_DOUBLE_EQ(f.shown_hp, 120.0);
    EXPECT_DOUBLE_EQ(f.scale, 1.5);
    EXPECT_DOUBLE_EQ(f.speed, 2.0);
    const int expected[6] = {100, 100, 30, 0, 0, 50};
    for (int i = 0; i < 6; i++) EXPECT_EQ(f.ai_weights[i], expected[i]) << i;

    combatant g; // scale and speed absent: unchanged
    g.scale = 0.75;
    g.speed = 3;
    g.load(fighter("hp=5\n").c_str());
    EXPECT_DOUBLE_EQ(g.scale, 0.75);
    EXPECT_DOUBLE_EQ(g.speed, 3.0);
}

TEST_F(FighterFile, AZeroOrNegativeScaleIsRefused) {
    combatant f;
    log_capture log;
    f.load(fighter("scale=0\n").c_str());
    EXPECT_DOUBLE_EQ(f.scale, 1.0);
    f.load(fighter("scale=-2\n").c_str());
    EXPECT_DOUBLE_EQ(f.scale, 1.0);
    EXPECT_EQ(log.count("WARNING: scale"), 2);
}

TEST_F(FighterFile, WidthZeroKeepsTheMeasuredSizeAndAFixedWidthOverridesIt) {
    combatant a;
    log_capture log;
    a.load(fighter("width=0\nheight=0\n" + two_images()).c_str());
    EXPECT_EQ(a.w, 100);
    EXPECT_EQ(a.h, 100);
    EXPECT_TRUE(log.has("Final size [100,100]\n"));

    combatant b;
    b.load(fighter("width=120\n" + two_images()).c_str());
    EXPECT_EQ(b.w, 120);
    EXPECT_EQ(b.h, 100);
}

TEST_F(FighterFile, WithoutImagesTheSizeAndBoxStayAndNoBoxLineIsLogged) {
    combatant f;
    f.w = 7;
    f.h = 8;
    f.min_x = 1, f.min_y = 2, f.max_x = 3, f.max_y = 4;
    log_capture log;
    f.load(fighter("hp=10\n").c_str());
    EXPECT_EQ(f.w, 7);
    EXPECT_EQ(f.h, 8);
    EXPECT_EQ(f.min_x, 1);
    EXPECT_EQ(f.max_y, 4);
    EXPECT_FALSE(log.has("Char Min/Max Bound Box"));
    EXPECT_TRUE(log.has("Final size [7,8]\n"));
    EXPECT_TRUE(log.has("Loaded Char [0]images [0]animations [0]combos\n"));
}

TEST_F(FighterFile, TheBoundingBoxComesFromStillImageZeroOnly) {
    combatant f;
    log_capture log;
    f.load(fighter(two_images()).c_str());
    ASSERT_EQ(f.images.size(), 2u);
    EXPECT_EQ(f.min_x, 5);
    EXPECT_EQ(f.min_y, 10);
    EXPECT_EQ(f.max_x, 30);
    EXPECT_EQ(f.max_y, 55);
    EXPECT_TRUE(log.has("Char Min/Max Bound Box [5,10-30,55]\n"));
    EXPECT_TRUE(log.has("Loaded Char [2]images [0]animations [0]combos\n"));
}

TEST_F(FighterFile, AMoveScaleAppliesToItsMoveOnly) {
    std::string text = "moves=4\n";
    for (int i = 0; i < 4; i++) text += "move" + std::to_string(i) + "=" + walk + "\n";
    text += "move2scale=0.5\n";
    combatant f;
    f.load(fighter(text).c_str());
    ASSERT_EQ(f.moves.size(), 4u);
    for (int i = 0; i < 4; i++) {
        ASSERT_EQ(f.moves[(size_t)i]->entries.size(), 1u);
        anim_mgr* def = f.moves[(size_t)i]->entries[0].def.get();
        EXPECT_EQ(def->frame_count(), 2);
        EXPECT_DOUBLE_EQ(def->scale, i == 2 ? 0.5 : 1.0) << i;
    }
    // The move number is the list index: move 1 plays the walk from frame 0.
    f.start_move(1, 1);
    ASSERT_FALSE(stack_empty(f.stack));
    EXPECT_EQ((*f.stack)[0]->def, f.moves[1]->entries[0].def.get());
}

TEST_F(FighterFile, AnUnreadableMoveFileGivesAMoveThatPlaysNothing) {
    combatant f;
    f.load(fighter("moves=1\nmove0=" + dir.file("missing.ini") + "\n").c_str());
    ASSERT_EQ(f.moves.size(), 1u);
    EXPECT_EQ(f.moves[0]->entries[0].def->frame_count(), 0);
    log_capture log;
    f.start_move(0, 1);
    EXPECT_TRUE(stack_empty(f.stack));
    EXPECT_TRUE(log.has("WARNING frames for animation [0]"));
}

TEST_F(FighterFile, CombosBindTheirStagesByNameAndUnknownNamesAreSkipped) {
    control_stage_list stages;
    for (const char* n : {"down", "up", "punch", "nopunch"}) {
        control_stage* st = new control_stage();
        st->name = n;
        stages.add(n, st);
    }
    combatant f;
    f.controls = &stages;
    log_capture log;
    f.load(fighter("combos=3\n"
                   "combo0moves=3\ncombo0move=4\ncombo0move0=down\ncombo0move1=up\ncombo0move2=nopunch\n"
                   "combo1moves=2\ncombo1move=2\ncombo1move0=sideways\ncombo1move1=backwards\n"
                   "combo2moves=2\ncombo2move=5\ncombo2move0=punch\ncombo2move1=kick\n")
               .c_str());
    ASSERT_EQ(f.combos->size(), 3u);
    const combo& c0 = (*f.combos)[0];
    EXPECT_EQ(c0.move, 4);
    ASSERT_EQ(c0.stages.size(), 3u);
    EXPECT_EQ(c0.stages[0], stages.find("down"));
    EXPECT_EQ(c0.stages[2], stages.find("nopunch"));
    // A combo none of whose names is known is still added, needing no stage at all.
    EXPECT_EQ((*f.combos)[1].move, 2);
    EXPECT_TRUE((*f.combos)[1].stages.empty());
    EXPECT_EQ((*f.combos)[2].stages.size(), 1u);

    EXPECT_TRUE(log.has("Combo[0]Move[1] == 'up'\n"));
    char warn[128];
    snprintf(warn, sizeof warn, "WARNING: Control [sideways] not found in controls [%x]\n",
             ptr_id(&stages));
    EXPECT_TRUE(log.has(warn));
    EXPECT_TRUE(log.has("Adding combo[1] combotype[4] reqkeys[3]\n"));
    EXPECT_TRUE(log.has("Adding combo[2] combotype[2] reqkeys[0]\n"));
    EXPECT_TRUE(log.has("Adding combo[3] combotype[5] reqkeys[1]\n"));
    EXPECT_TRUE(log.has("Loaded Char [0]images [0]animations [3]combos\n"));
}

TEST_F(FighterFile, WithoutAControlListCombosAreAddedWithoutStages) {
    combatant f;
    log_capture log;
    f.load(fighter("combos=1\ncombo0moves=1\ncombo0move=3\ncombo0move0=down\n").c_str());
    ASSERT_EQ(f.combos->size(), 1u);
    EXPECT_EQ((*f.combos)[0].move, 3);
    EXPECT_TRUE((*f.combos)[0].stages.empty());
    EXPECT_TRUE(log.has("WARNING: can't bind controls because controls aren't set\n"));
    EXPECT_FALSE(log.has("Combo[0]Move[0]"));
}

TEST_F(FighterFile, FightersShareTheRegistrysImagesWithoutColourSwaps) {
    std::string text = two_images() + "moves=1\nmove0=" + walk + "\n";
    combatant a, b;
    a.load(fighter(text).c_str());
    b.load(fighter(text).c_str());
    img_mgr* cached = Image_Manager.get(small.c_str());
    EXPECT_EQ(a.images[0], cached);
    EXPECT_EQ(b.images[0], cached);
    EXPECT_EQ(a.moves[0]->entries[0].def->frames[0].image, cached);
    EXPECT_TRUE(a.own_images.empty());
}

TEST_F(FighterFile, ColourSwapsGiveEveryImageAndMoveFrameAPrivateRecolouredCopy) {
    std::string text = two_images() + "moves=1\nmove0=" + walk + "\n";
    combatant plain, swapped;
    plain.load(fighter(text).c_str());
    swapped.swaps.push_back(colour_swap(map_rgb(255, 0, 0), map_rgb(0, 0, 255)));
    swapped.load(fighter(text).c_str());

    img_mgr* cached = Image_Manager.get(small.c_str());
    ASSERT_EQ(swapped.images.size(), 2u);
    EXPECT_NE(swapped.images[0], cached);
    EXPECT_NE(swapped.images[1], Image_Manager.get(large.c_str()));
    EXPECT_NE(swapped.moves[0]->entries[0].def->frames[0].image, cached);
    EXPECT_EQ(swapped.images[0]->get_width(), 40);
    EXPECT_EQ(swapped.images[0]->get_height(), 60);
    EXPECT_EQ(swapped.min_x, 5);

    // The copy is blue where the picture is red; the shared one keeps its red.
    fill_screen(WHITE);
    swapped.images[0]->draw_at(0, 0);
    cached->draw_at(100, 0);
    EXPECT_COLOUR(10, 20, BLUE);
    EXPECT_COLOUR(110, 20, RED);
    fill_screen(WHITE);
    swapped.moves[0]->entries[0].def->frames[0].image->draw_at(0, 0);
    EXPECT_COLOUR(10, 20, BLUE);
}

// A projectile still flying when the match's objects are cleared holds a copy of its
// shooter's move; clearing them all leaves none of the move's (private) frames behind.
TEST_F(FighterFile, AProjectileInFlightAtTheEndLeavesNoMoveFramesBehind) {
    std::string text = two_images() + "moves=14\n";
    for (int q = 0; q < 14; q++) text += "move" + std::to_string(q) + "=" + walk + "\n";
    Image_Manager.get(small.c_str());
    Image_Manager.get(large.c_str());
    Image_Manager.get(PROJECTILE_IMAGE);
    const int before = img_mgr_count;
    combatant* f = new combatant();
    f->swaps.push_back(colour_swap(map_rgb(255, 0, 0), map_rgb(0, 0, 255)));
    f->load(fighter(text).c_str());
    Combatant_Manager.Objects.push_back(f);
    EXPECT_GT(img_mgr_count, before);
    frame fire;
    fire.fire = 1;
    fire.firespeed = 1;
    ASSERT_NE(nullptr, launch(f, &fire));
    Combatant_Manager.clean();
    EXPECT_EQ(before, img_mgr_count);
}

TEST_F(FighterFile, AnUnreadableFileLeavesAnEmptyFighter) {
    combatant f;
    log_capture log;
    f.load(dir.file("nobody_char.ini").c_str());
    EXPECT_EQ(f.hp, 0);
    EXPECT_TRUE(f.moves.empty());
    EXPECT_TRUE(f.images.empty());
    EXPECT_TRUE(f.combos->empty());
    EXPECT_TRUE(log.has("Loaded Char [0]images [0]animations [0]combos\n"));
    EXPECT_TRUE(log.has("Final size [0,0]\n"));
}

TEST_F(FighterFile, AbsurdCountsAreCappedAndNegativeOnesReadNothing) {
    combatant f;
    f.load(fighter("moves=1000000\nimages=1000000\nimage0=" + small +
                   "\ncombos=1000000\ncombo0moves=1000000\n")
               .c_str());
    EXPECT_EQ(f.moves.size(), (size_t)FIGHTER_MAX_MOVES);
    EXPECT_EQ(f.images.size(), (size_t)FIGHTER_MAX_IMAGES);
    EXPECT_EQ(f.combos->size(), (size_t)FIGHTER_MAX_COMBOS);

    combatant g;
    g.load(fighter("moves=-5\nimages=-1\ncombos=-3\n").c_str());
    EXPECT_TRUE(g.moves.empty());
    EXPECT_TRUE(g.images.empty());
    EXPECT_TRUE(g.combos->empty());
    EXPECT_EQ(g.w, 0);
}

TEST_F(FighterFile, TheLoadingAnimationAdvancesOncePerMoveImageAndCombo) {
    std::vector<anim_frame> many;
    for (int i = 0; i < 20; i++) many.push_back({small, 1, {}});
    anim_mgr* spinner = new anim_mgr();
    spinner->load(anim_file(dir, "loading.ini", many).c_str());
    loading_group.add(smart_ptr<anim_mgr>(spinner), 0, 0);

    // A clock 20 ms further on at every look: every loading step is a refresh apart, so
    // each is presented.
    static uint32_t now = 0;
    clock_set_source([] { return now += 20; });
    combatant f;
    f.load(fighter("moves=2\nmove0=" + walk + "\nmove1=" + walk + "\n" + two_images() +
                   "combos=1\ncombo0moves=0\n")
               .c_str());
    clock_set_source(nullptr);
    ASSERT_FALSE(stack_empty(loading_group.stack));
    EXPECT_EQ((*loading_group.stack)[0]->frame_index, 5);
}

// The game's four fighters, as the match loads them: every move plays and every still
// image and combo stage is there.
TEST(GameFighters, AllFourLoadWithEveryImageMoveAndComboStage) {
    std::string data = FIGHT_DATA_DIR;
    if (!file_exists(data + "/game/fighter/mirelle_char.ini")) GTEST_SKIP() << "no game data";
    ASSERT_EQ(chdir(data.c_str()), 0);
    ASSERT_TRUE(open_test_screen(false));
    test_stage stage;
    control_mgr controls;
    for (const char* n : control_names) controls.register_name(n);
    controls.set_defaults();
    control_stage_list stages = controls.build_stage_list(0);

    for (const char* name : {"mirelle", "tamsin", "ondine", "verity"}) {
        SCOPED_TRACE(name);
        std::string file = std::string("game/fighter/") + name + "_char.ini";
        config_file cfg;
        ASSERT_EQ(cfg.load(file.c_str()), 1);
        combatant f;
        f.controls = &stages;
        log_capture log;
        f.load(file.c_str());
        EXPECT_FALSE(log.has("Couldn't load")) << log.out;
        EXPECT_FALSE(log.has("Can't load animation")) << log.out;
        EXPECT_FALSE(log.has("not found in controls")) << log.out;
        EXPECT_GT(f.hp, 0);
        ASSERT_EQ((int)f.moves.size(), cfg.get_int("moves"));
        EXPECT_GE(f.moves.size(), 19u); // every move the match starts, 0 to 18
        for (size_t m = 0; m < f.moves.size(); m++) {
            anim_mgr* def = f.moves[m]->entries[0].def.get();
            EXPECT_GT(def->frame_count(), 0) << "move " << m;
            for (frame& fr : def->frames) {
                ASSERT_NE(fr.image, nullptr);
                EXPECT_FALSE(fr.image->is_blank()) << "move " << m;
            }
        }
        EXPECT_GE(f.moves[13]->entries[0].def->frame_count(), 1);
        ASSERT_EQ((int)f.images.size(), cfg.get_int("images"));
        EXPECT_GE(f.images.size(), 10u); // still images 0 to 9 are shown by the match
        for (img_mgr* im : f.images) EXPECT_FALSE(im->is_blank()) << im->filename;
        EXPECT_GT(f.w, 0);
        EXPECT_LT(f.min_x, f.max_x);
        ASSERT_EQ((int)f.combos->size(), cfg.get_int("combos"));
        for (size_t k = 0; k < f.combos->size(); k++) {
            char key[32];
            snprintf(key, sizeof key, "combo%dmoves", (int)k);
            EXPECT_EQ((int)(*f.combos)[k].stages.size(), cfg.get_int(key)) << "combo " << k;
        }
    }
    // The projectile picture every shooter launches.
    EXPECT_FALSE(Image_Manager.get(PROJECTILE_IMAGE)->is_blank());
}

} // namespace
