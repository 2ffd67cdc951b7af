// The game folder as the programs will find it: every fighter, move, stage and background
// set file reads back, and every picture, sound and file they name is there and not empty.
#include <gtest/gtest.h>

#include <SDL.h>
#include <SDL_image.h>
#include <algorithm>
#include <set>
#include <string>
#include <sys/stat.h>
#include <vector>

#include "foundation/config_file.h"
#include "test_support.h"

namespace {

const std::string ROOT = FIGHT_DATA_DIR;
const char* const FIGHTERS[4] = {"mirelle", "tamsin", "ondine", "verity"};
const char* const CONTROLS[10] = {"up",       "down",     "left",  "right", "punch",
                                  "kick",     "special1", "special2", "block", "throw"};

std::string at(const std::string& rel) { return ROOT + "/" + rel; }

long file_size(const std::string& rel) {
    struct stat st;
    return stat(at(rel).c_str(), &st) == 0 ? (long)st.st_size : -1;
}

bool is_dir(const std::string& rel) {
    struct stat st;
    return stat(at(rel).c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

config_file read(const std::string& rel) {
    config_file c;
    c.clear();
    EXPECT_EQ(c.load(at(rel).c_str()), 1) << rel;
    return c;
}

std::string key(const char* fmt, int a, int b = 0) {
    char buf[64];
    snprintf(buf, sizeof buf, fmt, a, b);
    return buf;
}

struct picture {
    int w = 0, h = 0;
    bool visible = false; // holds a pixel other than the transparent green
};

picture inspect(const std::string& rel) {
    picture p;
    SDL_Surface* s = IMG_Load(at(rel).c_str());
    if (!s) return p;
    SDL_Surface* c = SDL_CreateRGBSurface(SDL_SWSURFACE, s->w, s->h, 32, 0xFF0000, 0xFF00, 0xFF, 0);
    SDL_BlitSurface(s, nullptr, c, nullptr);
    p.w = c->w, p.h = c->h;
    for (int y = 0; y < c->h && !p.visible; y++) {
        const uint32_t* row = (const uint32_t*)((const uint8_t*)c->pixels + y * c->pitch);
        for (int x = 0; x < c->w; x++)
            if ((row[x] & 0xFFFFFF) != 0x00FF00) {
                p.visible = true;
                break;
            }
    }
    SDL_FreeSurface(c);
    SDL_FreeSurface(s);
    return p;
}

// A picture's pixels as 0xRRGGBB values, row by row; empty when it does not load.
struct pixel_grid {
    int w = 0, h = 0;
    std::vector<uint32_t> p;
    uint32_t at(int x, int y) const { return p[(size_t)y * w + x]; }
    bool key(int x, int y) const { return at(x, y) == 0x00FF00; }
};

pixel_grid grid(const std::string& rel) {
    pixel_grid g;
    SDL_Surface* s = IMG_Load(at(rel).c_str());
    if (!s) return g;
    SDL_Surface* c = SDL_CreateRGBSurface(SDL_SWSURFACE, s->w, s->h, 32, 0xFF0000, 0xFF00, 0xFF, 0);
    SDL_BlitSurface(s, nullptr, c, nullptr);
    g.w = c->w, g.h = c->h;
    for (int y = 0; y < c->h; y++) {
        const uint32_t* row = (const uint32_t*)((const uint8_t*)c->pixels + y * c->pitch);
        for (int x = 0; x < c->w; x++) g.p.push_back(row[x] & 0xFFFFFF);
    }
    SDL_FreeSurface(c);
    SDL_FreeSurface(s);
    return g;
}

// The visible box: left, top, right, bottom (inclusive); left > right when nothing shows.
struct box4 {
    int l, t, r, b;
};

box4 visible_box(const pixel_grid& g) {
    box4 v = {g.w, g.h, -1, -1};
    for (int y = 0; y < g.h; y++)
        for (int x = 0; x < g.w; x++)
            if (!g.key(x, y)) {
                v.l = std::min(v.l, x), v.r = std::max(v.r, x);
                v.t = std::min(v.t, y), v.b = std::max(v.b, y);
            }
    return v;
}

std::vector<std::string> fighter_pictures(const char* f, bool stills, bool moves) {
    std::vector<std::string> v;
    config_file c;
    c.clear();
    c.load(at(std::string("game/fighter/") + f + "_char.ini").c_str());
    if (stills)
        for (int i = 0; i < c.get_int("images"); i++) v.push_back(c.get_string(key("image%d", i).c_str()));
    if (moves)
        for (int q = 0; q < c.get_int("moves"); q++) {
            config_file m;
            m.clear();
            m.load(at(c.get_string(key("move%d", q).c_str())).c_str());
            for (int i = 0; i < m.get_int("images"); i++) v.push_back(m.get_string(key("image%d", i).c_str()));
        }
    return v;
}

void expect_picture(const std::string& rel) {
    EXPECT_GT(file_size(rel), 0) << rel;
    picture p = inspect(rel);
    EXPECT_GT(p.w, 0) << rel << " does not load as a picture";
    EXPECT_TRUE(p.visible) << rel << " is all transparent";
}

// Sounds come from another generator; until its folder exists they cannot be checked.
void expect_sound(const std::string& rel) {
    if (!is_dir("rsrc/sfx")) return;
    EXPECT_GT(file_size(rel), 0) << rel;
}

struct animation_file {
    int frames = 0;
    bool loop = false;
    std::set<std::pair<int, int>> sizes;
    int fire_frames = 0, sounds = 0, shakes = 0, spins = 0;
};

animation_file check_animation(const std::string& rel) {
    animation_file a;
    config_file c = read(rel);
    a.frames = c.get_int("images");
    a.loop = c.get_int("loop") != 0;
    EXPECT_GT(a.frames, 0) << rel;
    for (int i = 0; i < a.frames; i++) {
        std::string image = c.get_string(key("image%d", i).c_str());
        EXPECT_FALSE(image.empty()) << rel << " frame " << i;
        expect_picture(image);
        picture p = inspect(image);
        a.sizes.insert({p.w, p.h});
        EXPECT_TRUE(c.has(key("rate%d", i).c_str())) << rel << " frame " << i;
        EXPECT_GT(c.get_int(key("rate%d", i).c_str()), 0) << rel << " frame " << i;
        if (c.has(key("sound%d", i).c_str())) {
            a.sounds++;
            expect_sound(c.get_string(key("sound%d", i).c_str()));
        }
        if (c.get_int(key("fire%d", i).c_str())) {
            a.fire_frames++;
            EXPECT_GT(c.get_float(key("firespeed%d", i).c_str()), 0.0f) << rel;
        }
        if (c.get_int(key("shake%d", i).c_str())) a.shakes++;
        if (c.get_int(key("spin%d", i).c_str())) a.spins++;
    }
    return a;
}

} // namespace

TEST(GameFolder, EveryFileTheProgramsOpenIsPresent) {
    for (const char* rel : {"game/game.ini", "game/fighter/loading.ini", "game/fighter/expl.ini",
                            "game/fighter/mirelle/mirelle_swap.ini", "game/fighter/tamsin/tamsin_jump_punch.ini",
                            "rsrc/road/stage_road.ini", "PICTURES.txt"})
        EXPECT_GT(file_size(rel), 0) << rel;
    for (const char* rel :
         {"rsrc/pml_logo2_640x480.png", "rsrc/ferromldark.png", "rsrc/tilablebg128.png",
          "rsrc/ML_group_redo_rough_640x480.png", "rsrc/060415_mirelle_02_b.png", "rsrc/060419_tamsin01c.png",
          "rsrc/ondine/ondine_action_shot_ha.png", "rsrc/verity/verity_action_shot.png", "rsrc/meter/shadow.png",
          "rsrc/meter/lifebar_grey.png", "rsrc/mirelle/mirelle_symbol_small.png",
          "rsrc/mirelle/special/mirelle_bullet1.png"})
        expect_picture(rel);
    for (const char* f : FIGHTERS) {
        expect_picture(std::string("rsrc/") + f + "/" + f + "_symbol.png");
        EXPECT_GT(file_size(std::string("game/fighter/") + f + "_char.ini"), 0) << f;
    }
    // The menu background repeats in steps of a power of two.
    picture tile = inspect("rsrc/tilablebg128.png");
    EXPECT_EQ(tile.w, 128);
    EXPECT_EQ(tile.h, 128);
}

TEST(GameFolder, FighterFilesGiveEveryRoleTheGameUses) {
    for (const char* f : FIGHTERS) {
        SCOPED_TRACE(f);
        config_file c = read(std::string("game/fighter/") + f + "_char.ini");
        EXPECT_GT(c.get_int("hp"), 0);
        EXPECT_GT(c.get_float("scale"), 0.0f);
        EXPECT_GT(c.get_float("speed"), 0.0f);
        // The motion step moves trunc(vx / speed) a tick and a walk is one pixel a tick, so a
        // speed above 1 would leave the fighter rooted to the spot.
        EXPECT_LE(c.get_float("speed"), 1.0f);
        EXPECT_EQ(c.get_int("images"), 10); // still images 0 to 9
        std::set<std::pair<int, int>> still_sizes;
        for (int i = 0; i < 10; i++) {
            std::string image = c.get_string(key("image%d", i).c_str());
            expect_picture(image);
            picture p = inspect(image);
            still_sizes.insert({p.w, p.h});
        }
        // One canvas for all stills, so the figure stands on the same spot in every state.
        EXPECT_EQ(still_sizes.size(), 1u);
        EXPECT_GE(c.get_int("moves"), 19); // moves 0 to 18
        // Combo results 1 to 5, each built from known control names.
        std::set<int> results;
        int combos = c.get_int("combos");
        for (int k = 0; k < combos; k++) {
            int n = c.get_int(key("combo%dmoves", k).c_str());
            EXPECT_GT(n, 0);
            results.insert(c.get_int(key("combo%dmove", k).c_str()));
            for (int j = 0; j < n; j++) {
                std::string name = c.get_string(key("combo%dmove%d", k, j).c_str());
                bool known = false;
                for (const char* ctl : CONTROLS)
                    known = known || name == ctl || name == std::string("no") + ctl;
                EXPECT_TRUE(known) << "combo " << k << " stage " << j << " [" << name << "]";
            }
        }
        EXPECT_EQ(results, (std::set<int>{1, 2, 3, 4, 5}));
    }
}

TEST(GameFolder, MovesReadAsTheirActions) {
    const int attacks[] = {0, 3, 4, 8, 9, 10, 11};
    for (const char* f : FIGHTERS) {
        SCOPED_TRACE(f);
        config_file c = read(std::string("game/fighter/") + f + "_char.ini");
        std::vector<animation_file> moves;
        for (int q = 0; q < c.get_int("moves"); q++) {
            std::string rel = c.get_string(key("move%d", q).c_str());
            SCOPED_TRACE(rel);
            moves.push_back(check_animation(rel));
            // Frames of one move share one canvas, so the figure does not jump.
            EXPECT_EQ(moves.back().sizes.size(), 1u);
        }
        ASSERT_GE(moves.size(), 19u);
        for (int q : attacks) {
            EXPECT_GE(moves[q].frames, 3) << "move " << q; // wind-up, impact, recovery
            // The frames carry only the swing: a miss is heard as a miss. The impact is
            // the fighter file's, played when a hit lands.
            EXPECT_EQ(moves[q].sounds, 1) << "move " << q;
            EXPECT_EQ(moves[q].shakes, 0) << "move " << q;
            std::string hit = c.get_string(key("move%dhit", q).c_str());
            EXPECT_FALSE(hit.empty()) << "move " << q;
            expect_sound(hit);
        }
        EXPECT_GT(c.get_int("move3hitshake"), 0); // the kick lands heavily
        expect_sound(c.get_string("blocksound"));
        // A jump that clears a crouching opponent, a high jump above it.
        EXPECT_GT(c.get_float("jump"), 20);
        EXPECT_GT(c.get_float("highjump"), 1.1);
        EXPECT_GE(moves[16].frames, 6);
        EXPECT_GE(moves[17].frames, 6);
        EXPECT_TRUE(moves[16].loop && moves[17].loop);
        EXPECT_GT(moves[4].fire_frames + moves[5].fire_frames, 0); // a special casts the projectile
        EXPECT_TRUE(moves[13].loop);                                // the projectile keeps flying
        EXPECT_GT(moves[12].spins + moves[15].spins, 0);
    }
}

TEST(GameFolder, SharedAnimationsLoopOrEndAsTheGameExpects) {
    animation_file loading = check_animation("game/fighter/loading.ini");
    EXPECT_TRUE(loading.loop);
    EXPECT_GT(loading.frames, 1);
    animation_file expl = check_animation("game/fighter/expl.ini");
    EXPECT_FALSE(expl.loop);
    EXPECT_GT(expl.frames, 1);
}

TEST(GameFolder, StageHasSkyParallaxLayersAndAFloorWideEnoughToScroll) {
    config_file st = read("rsrc/road/stage_road.ini");
    config_file set = read(st.get_string("bgset"));
    int n = set.get_int("images");
    ASSERT_GT(n, 0);
    std::vector<picture> pics;
    for (int i = 0; i < n; i++) {
        std::string rel = set.get_string(key("image%d", i).c_str());
        expect_picture(rel);
        pics.push_back(inspect(rel));
    }
    EXPECT_GE(set.get_int("width"), 2 * 640);
    int widest = 0;
    for (const picture& p : pics) widest = std::max(widest, p.w);
    EXPECT_GE(widest, 2 * 640);
    int length = st.get_int("length");
    ASSERT_GE(length, 1);
    int part = st.get_int("part0");
    ASSERT_TRUE(part >= 0 && part < n);
    int layers = st.get_int("part0parallax");
    EXPECT_GE(layers, 3);
    for (int j = 0; j < layers; j++) {
        int k = st.get_int(key("part%dparallax%d", 0, j).c_str());
        ASSERT_TRUE(k >= 0 && k < n) << "layer " << j;
        // Layers scale about their bottom edge together with the part's picture, so they
        // must be as tall as it.
        EXPECT_EQ(pics[k].h, pics[part].h) << "layer " << j;
    }
    ASSERT_TRUE(st.has("floor"));
    int floor = st.get_int("floor");
    ASSERT_TRUE(floor >= 0 && floor < n);
    EXPECT_LT(pics[floor].h, pics[part].h);
}

TEST(GameFolder, MirrorMatchSwapTurnsColoursThatTheFightersWear) {
    config_file c = read("game/fighter/mirelle/mirelle_swap.ini");
    int colors = c.get_int("colors");
    ASSERT_GT(colors, 0);
    std::set<std::string> sources;
    for (int i = 0; i < colors; i++) {
        std::string s = c.get_string(key("color%dsource", i).c_str());
        std::string t = c.get_string(key("color%dtarget", i).c_str());
        int r, g, b;
        EXPECT_EQ(sscanf(s.c_str(), "%d,%d,%d", &r, &g, &b), 3) << s;
        EXPECT_EQ(sscanf(t.c_str(), "%d,%d,%d", &r, &g, &b), 3) << t;
        EXPECT_NE(s, t);
        sources.insert(s);
    }
    // Swaps apply in order: a target that is also a source would be swapped twice.
    for (int i = 0; i < colors; i++)
        EXPECT_EQ(sources.count(c.get_string(key("color%dtarget", i).c_str())), 0u) << i;
    // Each fighter's standing picture holds colours the swap changes.
    for (const char* f : FIGHTERS) {
        SDL_Surface* s = IMG_Load(at(std::string("rsrc/") + f + "/" + f + "_stand.png").c_str());
        ASSERT_NE(s, nullptr) << f;
        SDL_Surface* p = SDL_CreateRGBSurface(SDL_SWSURFACE, s->w, s->h, 32, 0xFF0000, 0xFF00, 0xFF, 0);
        SDL_BlitSurface(s, nullptr, p, nullptr);
        int hits = 0;
        for (int y = 0; y < p->h; y++)
            for (int x = 0; x < p->w; x++) {
                uint32_t v = ((const uint32_t*)((const uint8_t*)p->pixels + y * p->pitch))[x];
                char buf[32];
                snprintf(buf, sizeof buf, "%u,%u,%u", (v >> 16) & 255, (v >> 8) & 255, v & 255);
                hits += (int)sources.count(buf);
            }
        EXPECT_GT(hits, 200) << f;
        SDL_FreeSurface(p);
        SDL_FreeSurface(s);
    }
}

TEST(GameFolder, GeneratorIsRepeatableAndMatchesTheCommittedDefinitionFiles) {
    scratch_dir d;
    std::string picgen = std::string(FIGHT_BIN_DIR) + "/tools/pictures/picgen";
    if (!file_exists(picgen)) GTEST_SKIP() << "picgen is not built (FIGHT_MEDIA off)";
    run_result first = run_program(picgen, {d.path}, d.path, {}, 60000);
    ASSERT_EQ(first.exit_code, 0) << first.err;
    EXPECT_EQ(count_occurrences(first.out, "[0] unchanged"), 1) << first.out;
    // A second run finds every byte the same and rewrites nothing.
    run_result second = run_program(picgen, {d.path}, d.path, {}, 60000);
    ASSERT_EQ(second.exit_code, 0) << second.err;
    EXPECT_EQ(count_occurrences(second.out, "[0] written"), 1) << second.out;
    // The definition files kept in the repository are exactly what the generator writes.
    for (const char* f : FIGHTERS) {
        std::string ch = std::string("game/fighter/") + f + "_char.ini";
        EXPECT_EQ(read_text(d.file(ch)), read_text(at(ch))) << ch;
        config_file c = read(ch);
        for (int q = 0; q < c.get_int("moves"); q++) {
            std::string rel = c.get_string(key("move%d", q).c_str());
            EXPECT_EQ(read_text(d.file(rel)), read_text(at(rel))) << rel;
        }
    }
    for (const char* rel : {"game/fighter/loading.ini", "game/fighter/expl.ini", "game/fighter/mirelle/mirelle_swap.ini",
                            "rsrc/road/stage_road.ini", "rsrc/road/road_bgset.ini"})
        EXPECT_EQ(read_text(d.file(rel)), read_text(at(rel))) << rel;
}

TEST(GameFolder, FightersFaceLeftAndStandOnTheBottomOfTheirPictures) {
    for (const char* f : FIGHTERS) {
        SCOPED_TRACE(f);
        config_file c = read(std::string("game/fighter/") + f + "_char.ini");
        // The game mirrors pictures for a fighter facing right, so the art faces left: the
        // striking fist of still image 4 reaches further left of the body than anything
        // reaches right of it.
        pixel_grid strike = grid(c.get_string("image4"));
        box4 v = visible_box(strike);
        ASSERT_LE(v.l, v.r);
        pixel_grid stand = grid(c.get_string("image0"));
        box4 body = visible_box(stand);
        int centre = (body.l + body.r) / 2;
        EXPECT_GT(centre - v.l, v.r - centre);
        // The game stands a picture's bottom edge on the floor: every grounded picture
        // reaches the bottom rows (the jump and the spin frames of flips and rolls float).
        for (int i : {0, 2, 3, 4, 5, 7, 8, 9}) {
            box4 b = visible_box(grid(c.get_string(key("image%d", i).c_str())));
            EXPECT_GE(b.b, stand.h - 6) << "still image " << i;
        }
        for (int q = 0; q < c.get_int("moves"); q++) {
            if (q == 13) continue; // the projectile
            config_file m = read(c.get_string(key("move%d", q).c_str()));
            for (int i = 0; i < m.get_int("images"); i++) {
                if (m.get_int(key("spin%d", i).c_str())) continue;
                pixel_grid g = grid(m.get_string(key("image%d", i).c_str()));
                EXPECT_GE(visible_box(g).b, g.h - 6) << "move " << q << " frame " << i;
            }
        }
    }
}

TEST(GameFolder, NoPictureHasAGreenFringeAroundTheTransparentColour) {
    // A colour close to pure green but not equal to it would show as a green halo.
    std::vector<std::string> all;
    for (const char* f : FIGHTERS) {
        std::vector<std::string> v = fighter_pictures(f, true, true);
        all.insert(all.end(), v.begin(), v.end());
    }
    config_file st = read("rsrc/road/stage_road.ini");
    config_file set = read(st.get_string("bgset"));
    for (int i = 0; i < set.get_int("images"); i++) all.push_back(set.get_string(key("image%d", i).c_str()));
    for (const char* rel : {"rsrc/ML_group_redo_rough_640x480.png", "rsrc/ferromldark.png", "rsrc/meter/lifebar_grey.png"})
        all.push_back(rel);
    for (const std::string& rel : all) {
        pixel_grid g = grid(rel);
        int fringe = 0;
        for (uint32_t v : g.p) {
            int r = (v >> 16) & 255, gr = (v >> 8) & 255, b = v & 255;
            if (v != 0x00FF00 && gr > 200 && r < 70 && b < 70) fringe++;
        }
        EXPECT_EQ(fringe, 0) << rel;
    }
}

TEST(GameFolder, AnimationFramesMoveAndTheMenuTileJoinsSeamlessly) {
    // Neighbouring frames of a move are different pictures (a cycle that repeats one
    // picture would stand still).
    for (const char* f : FIGHTERS) {
        config_file c = read(std::string("game/fighter/") + f + "_char.ini");
        for (int q : {16, 17}) {
            config_file m = read(c.get_string(key("move%d", q).c_str()));
            int n = m.get_int("images");
            for (int i = 0; i < n; i++) {
                pixel_grid a = grid(m.get_string(key("image%d", i).c_str()));
                pixel_grid b = grid(m.get_string(key("image%d", (i + 1) % n).c_str()));
                EXPECT_NE(a.p, b.p) << f << " move " << q << " frame " << i;
            }
        }
    }
    // The wrap-around seam of the tile differs no more than its neighbouring columns and rows.
    pixel_grid t = grid("rsrc/tilablebg128.png");
    ASSERT_EQ(t.w, 128);
    auto diff = [](uint32_t a, uint32_t b) {
        int d = 0;
        for (int s = 0; s < 24; s += 8) d += std::abs((int)((a >> s) & 255) - (int)((b >> s) & 255));
        return d;
    };
    long inner = 0, seam = 0, seam_rows = 0, inner_rows = 0;
    for (int y = 0; y < 128; y++) {
        seam += diff(t.at(127, y), t.at(0, y));
        inner += diff(t.at(63, y), t.at(64, y));
        seam_rows += diff(t.at(y, 127), t.at(y, 0));
        inner_rows += diff(t.at(y, 63), t.at(y, 64));
    }
    EXPECT_LE(seam, 2 * inner + 128 * 30);
    EXPECT_LE(seam_rows, 2 * inner_rows + 128 * 30);
}

TEST(GameFolder, ContactSheetShowsEveryFighter) {
    scratch_dir d;
    std::string picgen = std::string(FIGHT_BIN_DIR) + "/tools/pictures/picgen";
    if (!file_exists(picgen)) GTEST_SKIP() << "picgen is not built (FIGHT_MEDIA off)";
    run_result r = run_program(picgen, {FIGHT_DATA_DIR, "--contact-sheet", d.path}, d.path, {}, 60000);
    ASSERT_EQ(r.exit_code, 0) << r.err;
    for (const char* f : FIGHTERS) {
        SDL_Surface* s = IMG_Load(d.file(std::string(f) + "_sheet.png").c_str());
        ASSERT_NE(s, nullptr) << f;
        // Room for the stills row and one row per move.
        EXPECT_GT(s->h, 19 * 100) << f;
        SDL_FreeSurface(s);
    }
}
