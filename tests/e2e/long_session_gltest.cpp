// One fightgame process per drawing mode plays match after match through the menus with real
// key presses, as a player at an evening's session would: arcade and versus, mirror matches
// among them (the computer picking the player's fighter too). Every match's screenshot must
// show both fighters (their own colours, the recoloured ones for the second of a mirror
// match), resident memory after the last match must be within 5 MB of after the second, and
// the log must hold no "ERROR" line. FIGHT_LONG_SESSION_MATCHES sets the number of matches:
// 6 by default (about a minute per mode), 12 for the full session the README names.
#include "game_driver.h"

#include <algorithm>
#include <cstring>
#include <fstream>
#include <map>
#include <sstream>
#include <vector>

#include "foundation/config_file.h"

using namespace game_driver;

namespace {

struct colour {
    int r, g, b;
};

// The most frequent colours of a fighter's standing picture (the key colour left out).
std::vector<colour> main_colours(const std::string& picture, int n) {
    std::vector<colour> out;
    SDL_Surface* raw = IMG_Load((std::string(FIGHT_DATA_DIR) + "/" + picture).c_str());
    if (!raw) return out;
    SDL_Surface* s = SDL_CreateRGBSurface(SDL_SWSURFACE, raw->w, raw->h, 32, 0xFF0000, 0xFF00, 0xFF, 0);
    SDL_BlitSurface(raw, nullptr, s, nullptr);
    SDL_FreeSurface(raw);
    std::map<uint32_t, int> counts;
    for (int y = 0; y < s->h; y++)
        for (int x = 0; x < s->w; x++) {
            uint32_t v = ((uint32_t*)((uint8_t*)s->pixels + y * s->pitch))[x] & 0xFFFFFF;
            if (v != 0x00FF00) counts[v]++;
        }
    SDL_FreeSurface(s);
    std::vector<std::pair<int, uint32_t>> byCount;
    for (auto& c : counts) byCount.push_back({c.second, c.first});
    std::sort(byCount.rbegin(), byCount.rend());
    for (int i = 0; i < n && i < (int)byCount.size(); i++) {
        uint32_t v = byCount[(size_t)i].second;
        out.push_back({(int)(v >> 16), (int)((v >> 8) & 0xFF), (int)(v & 0xFF)});
    }
    return out;
}

// Colours the road stage's pictures use, to 8 levels a channel, so a fighter is told by
// colours of its own.
struct stage_colours {
    bool used[32][32][32] = {};
    stage_colours() {
        for (const char* name : {"far", "floor", "middle", "near", "sky"}) {
            std::string path = std::string(FIGHT_DATA_DIR) + "/rsrc/road/road_" + name + ".png";
            SDL_Surface* raw = IMG_Load(path.c_str());
            if (!raw) continue;
            SDL_Surface* s = SDL_CreateRGBSurface(SDL_SWSURFACE, raw->w, raw->h, 32, 0xFF0000, 0xFF00, 0xFF, 0);
            SDL_BlitSurface(raw, nullptr, s, nullptr);
            SDL_FreeSurface(raw);
            for (int y = 0; y < s->h; y++)
                for (int x = 0; x < s->w; x++) {
                    uint32_t v = ((uint32_t*)((uint8_t*)s->pixels + y * s->pitch))[x];
                    used[(v >> 19) & 31][(v >> 11) & 31][(v >> 3) & 31] = true;
                }
            SDL_FreeSurface(s);
        }
    }
    // Whether the stage has a colour within about 16 per channel of c.
    bool near(const colour& c) const {
        for (int r = c.r / 8 - 2; r <= c.r / 8 + 2; r++)
            for (int g = c.g / 8 - 2; g <= c.g / 8 + 2; g++)
                for (int b = c.b / 8 - 2; b <= c.b / 8 + 2; b++)
                    if (r >= 0 && g >= 0 && b >= 0 && r < 32 && g < 32 && b < 32 && used[r][g][b])
                        return true;
        return false;
    }
};

std::vector<colour> not_on_stage(const std::vector<colour>& cs, const stage_colours& stage) {
    std::vector<colour> out;
    for (const colour& c : cs)
        if (!stage.near(c)) out.push_back(c);
    return out;
}

// The colours as the second fighter of a mirror match shows them: through the swap file.
std::vector<colour> recoloured(std::vector<colour> cs) {
    config_file swaps;
    swaps.load((std::string(FIGHT_DATA_DIR) + "/game/fighter/mirelle/mirelle_swap.ini").c_str());
    int n = swaps.get_int("colors");
    for (colour& c : cs) {
        for (int i = 0; i < n; i++) {
            int r, g, b, tr, tg, tb;
            std::string src = swaps.get_string(("color" + std::to_string(i) + "source").c_str());
            std::string dst = swaps.get_string(("color" + std::to_string(i) + "target").c_str());
            if (sscanf(src.c_str(), "%d,%d,%d", &r, &g, &b) != 3) continue;
            if (sscanf(dst.c_str(), "%d,%d,%d", &tr, &tg, &tb) != 3) continue;
            if (c.r == r && c.g == g && c.b == b) {
                c = {tr, tg, tb};
                break;
            }
        }
    }
    return cs;
}

// Pixels of the screenshot's columns x0 .. x1 near one of the colours (OpenGL keeps colours
// to 5 bits and filters a scaled picture, so within 12 per channel).
int pixels_like(const screen_shot& shot, int x0, int x1, const std::vector<colour>& cs) {
    int n = 0;
    for (int y = 120; y < 480; y++) // below the display, whose portraits have the colours
        for (int x = x0; x < x1; x++) {
            uint8_t r, g, b;
            shot.rgb(x, y, &r, &g, &b);
            for (const colour& c : cs)
                if (abs(r - c.r) <= 12 && abs(g - c.g) <= 12 && abs(b - c.b) <= 12) {
                    n++;
                    break;
                }
        }
    return n;
}

long resident_kb(int pid) {
    std::ifstream f("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    while (std::getline(f, line))
        if (line.compare(0, 6, "VmRSS:") == 0) return atol(line.c_str() + 6);
    return -1;
}

const char* const kFighters[2] = {"mirelle", "tamsin"};
const char* const kStand[2] = {"rsrc/mirelle/mirelle_stand.png", "rsrc/tamsin/tamsin_stand.png"};

// The fighters the latest match loaded, left then right, from the log's file lines.
std::vector<int> loaded_fighters(const std::string& out) {
    std::vector<int> picks;
    size_t from = out.rfind("MAIN MENU:\n");
    if (from == std::string::npos) from = 0;
    for (size_t at = out.find("load config [game/fighter/", from); at != std::string::npos;
         at = out.find("load config [game/fighter/", at + 1)) {
        for (int f = 0; f < 2; f++)
            if (out.compare(at + 26, strlen(kFighters[f]), kFighters[f]) == 0 &&
                out.compare(at + 26 + strlen(kFighters[f]), 10, "_char.ini]") == 0)
                picks.push_back(f);
    }
    return picks;
}

class LongSession : public ::testing::TestWithParam<int> {};

TEST_P(LongSession, EveryMatchShowsBothFightersAndMemoryStaysFlat) {
    const int hw = GetParam();
    const char* env = getenv("FIGHT_LONG_SESSION_MATCHES");
    const int matches = env && atoi(env) > 0 ? atoi(env) : 6;
    // The session alternates the first two fighters, whose colours it knows to look for.
    game_run g(hw, "fps=5\nroster=two\n");
    std::vector<colour> own[2], second[2];
    static stage_colours stage;
    for (int f = 0; f < 2; f++) {
        std::vector<colour> main = main_colours(kStand[f], 24);
        own[f] = not_on_stage(main, stage);
        second[f] = not_on_stage(recoloured(main), stage);
        ASSERT_GE(own[f].size(), 3u) << kStand[f];
        ASSERT_GE(second[f].size(), 3u) << kStand[f];
    }
    long rss_second = 0, rss_last = 0;
    int mirrors = 0, computer_mirrors = 0, played = 0;
    // Both fighters first, so their pictures are registered by match 2 (memory is compared
    // from there); a versus mirror match second and fourth (the second mirror match of a
    // session is the one whose recoloured fighter used to vanish); arcade in between.
    struct pick {
        bool versus;
        int mine, theirs;
    };
    const pick plan[6] = {{true, 1, 0},  {true, 0, 0}, {false, 0, 0},
                          {true, 0, 0},  {false, 1, 0}, {true, 1, 1}};
    // The computer's pick is random: until it has picked the player's fighter once, extra
    // arcade matches follow (each has an even chance; 20 all missing is one in a million).
    for (int m = 0; played < matches || (computer_mirrors == 0 && played < matches + 20); m++) {
        SCOPED_TRACE("match " + std::to_string(played + 1));
        const bool extra = played >= matches;
        const bool versus = !extra && plan[m % 6].versus;
        const int mine = extra ? m % 2 : plan[m % 6].mine, theirs = plan[m % 6].theirs;
        ASSERT_TRUE(g.select_item(versus ? 1 : 0));
        press("Return", 200);
        ASSERT_EQ(g.wait_offered(), 0) << "character select offers Mirelle first";
        if (mine == 1) {
            ASSERT_EQ(g.next_fighter("Right"), 1);
        }
        ASSERT_TRUE(g.end_selection("Return"));
        if (versus) {
            ASSERT_EQ(g.wait_offered(), 0) << "player 2's selection";
            if (theirs == 1) {
                ASSERT_EQ(g.next_fighter("Right"), 1);
            }
            ASSERT_TRUE(g.end_selection("Return"));
        }
        const int started = g.count("sizeof player 2");
        ASSERT_TRUE(g.wait_count("sizeof player 2", started + 1, 60000)) << g.p.out();
        std::vector<int> picks = loaded_fighters(g.p.out());
        ASSERT_EQ(2u, picks.size());
        const bool mirror = picks[0] == picks[1];
        mirrors += mirror;
        computer_mirrors += mirror && !versus;
        // The match's first frames at 5 a second: looked at until both fighters show, for
        // at most 10 s (a fighter that never shows fails below).
        const std::vector<colour>& right = mirror ? second[picks[1]] : own[picks[1]];
        int left_pixels = 0, right_pixels = 0;
        for (int tries = 0; tries < 50 && (left_pixels <= 300 || right_pixels <= 300); tries++) {
            sleep_ms(200);
            g.look(played < 4 ? std::string("long_session_") + (hw ? "opengl" : "software") + "_" +
                                    std::to_string(played + 1) + ".png"
                              : "");
            left_pixels = pixels_like(g.shot, 0, 320, own[picks[0]]);
            right_pixels = pixels_like(g.shot, 320, 640, right);
        }
        printf("match %d: %s %s, fighter pixels %d and %d\n", played + 1, versus ? "versus" : "arcade",
               mirror ? "mirror" : "", left_pixels, right_pixels);
        EXPECT_GT(left_pixels, 300) << "the left fighter (" << kFighters[picks[0]] << ")";
        EXPECT_GT(right_pixels, 300) << "the right fighter (" << kFighters[picks[1]]
                                     << (mirror ? ", recoloured" : "") << ")";
        // Escape leaves the match; pressed again only while the match has not yet seen it
        // (a frame of a busy machine can outlast a press), never into the main menu.
        const int menus = g.count("MAIN MENU:\n"), ends = g.count("Loop finished");
        for (int tries = 0; tries < 5 && g.count("Loop finished") == ends; tries++) {
            press("Escape", 300);
            g.wait_count("Loop finished", ends + 1, 3000);
        }
        ASSERT_TRUE(g.wait_count("MAIN MENU:\n", menus + 1, 30000)) << g.p.out();
        sleep_ms(800);
        played++;
        if (played == 2) rss_second = resident_kb(g.p.pid);
        rss_last = resident_kb(g.p.pid);
    }
    EXPECT_GT(mirrors, 1);
    EXPECT_GT(computer_mirrors, 0) << "the computer never picked the player's fighter";
    std::string out = g.p.out();
    write_text(std::string(FIGHT_BIN_DIR) + "/long_session_" + (hw ? "opengl" : "software") + ".log", out);
    EXPECT_EQ(0, count_occurrences(out, "ERROR")) << out.substr(out.find("ERROR") == std::string::npos ? 0 : out.find("ERROR"), 400);
    RecordProperty("rss_after_second_kb", (int)rss_second);
    RecordProperty("rss_after_last_kb", (int)rss_last);
    printf("resident memory: after match 2 %ld kB, after match %d %ld kB\n", rss_second, played, rss_last);
#ifndef __SANITIZE_ADDRESS__
    EXPECT_LE(rss_last - rss_second, 5 * 1024) << "after match 2: " << rss_second << " kB";
#else
    // AddressSanitizer holds freed blocks in its quarantine (up to 256 MB), so resident
    // memory there grows with every match whatever the program frees; the plain builds
    // check it.
#endif
    EXPECT_EQ(g.quit().exit_code, 0);
}

INSTANTIATE_TEST_SUITE_P(DrawingModes, LongSession, ::testing::Values(1, 0),
                         [](const ::testing::TestParamInfo<int>& i) {
                             return std::string(i.param ? "opengl" : "software");
                         });

} // namespace
