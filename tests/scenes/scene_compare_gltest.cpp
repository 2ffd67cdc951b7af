// Both drawing modes show the same scene: scene_shots draws fixed scenes of the game (a
// match with both fighters facing each way, zoomed, the floor and parallax of both stages
// at three camera positions (composed in memory, as where OpenGL runs on the processor), the
// road uploaded as textures as with a graphics card, spins at 30 and 90 degrees, explosions each way, a mirror match after the first
// match, tiles, solid, shaded and blended text, the main menu's closing transition, then
// from the game's preload: the match display over a match, fighters' shadows, the main menu,
// a list menu, character select and a framewright frame with ghosts) once in software mode
// and once in OpenGL mode, and each pair is compared pixel by pixel.
//
// Tolerance: a pixel agrees when the other picture has a pixel within 40 per channel at the
// same place or one pixel beside it. OpenGL keeps textures at 5 bits a channel (up to 8
// off), filters scaled and turned pictures linearly where software picks the nearest pixel,
// and rounds positions of scaled pictures differently: outlines one or two pixels thin come
// out lighter, darker or a pixel further on. So only solid disagreement counts: a 4 x 4
// block of which at least 12 pixels disagree (no outline of two pixels fills that). A scene
// passes when such blocks cover at most 0.15 % of the frame (461 of 640 x 480 pixels): a
// missing fighter, a spin turned the other way, a missing lane marking or a text box filled
// in each cover far more. A failing scene's pictures and their difference (solid
// disagreement red, other disagreeing pixels yellow, on a grey copy of the software picture)
// stay in <build>/scenes/ and are named in the failure.
#include <gtest/gtest.h>

#include <SDL.h>
#include <string>
#include <vector>

#include "test_support.h"

namespace {

const char* const kScenes[] = {"match_zoom_1",     "match_zoom_0.6",  "floor_camera_0",
                               "floor_camera_300", "floor_camera_700", "harbour_camera_0",
                               "harbour_camera_300", "harbour_camera_700", "uploaded_zoom_0.6",
                               "uploaded_camera_700", "spin_30",
                               "spin_90",          "explosions",      "mirror_match",
                               "mirror_match_again", "tiled_background", "text", "text_over_frames",
                               "menu_closing_1.5", "menu_closing_4", "match_display",
                               "match_shadows",    "main_menu",       "list_menu",
                               "char_select",      "net_page",        "framewright"};
const double kMostDisagreeing = 0.0015;
const int kChannel = 40;

struct pixels {
    int w = 0, h = 0;
    std::vector<uint8_t> rgb;
    bool load(const std::string& path) {
        SDL_Surface* raw = SDL_LoadBMP(path.c_str());
        if (!raw) return false;
        SDL_Surface* s = SDL_CreateRGBSurface(SDL_SWSURFACE, raw->w, raw->h, 24, 0xFF, 0xFF00, 0xFF0000, 0);
        SDL_BlitSurface(raw, nullptr, s, nullptr);
        SDL_FreeSurface(raw);
        w = s->w;
        h = s->h;
        rgb.resize((size_t)w * h * 3);
        for (int y = 0; y < h; y++)
            memcpy(&rgb[(size_t)y * w * 3], (uint8_t*)s->pixels + y * s->pitch, (size_t)w * 3);
        SDL_FreeSurface(s);
        return true;
    }
    const uint8_t* at(int x, int y) const { return &rgb[((size_t)y * w + x) * 3]; }
};

bool close(const uint8_t* a, const uint8_t* b) {
    return abs(a[0] - b[0]) <= kChannel && abs(a[1] - b[1]) <= kChannel && abs(a[2] - b[2]) <= kChannel;
}

// Whether a's pixel (x, y) has a match in b at the same place or beside it.
bool matched(const pixels& a, const pixels& b, int x, int y) {
    for (int dy = -1; dy <= 1; dy++)
        for (int dx = -1; dx <= 1; dx++) {
            int bx = x + dx, by = y + dy;
            if (bx >= 0 && by >= 0 && bx < b.w && by < b.h && close(a.at(x, y), b.at(bx, by))) return true;
        }
    return false;
}

struct SceneComparison : ::testing::Test {
    static std::string dir;
    static bool drawn;
    static void SetUpTestSuite() {
        dir = std::string(FIGHT_BIN_DIR) + "/scenes";
        make_dirs(dir);
        run_result sw = run_program(program_path("scene_shots"), {"software", dir}, FIGHT_DATA_DIR,
                                    {"SDL_VIDEODRIVER=dummy", "SDL_AUDIODRIVER=dummy"}, 120000);
        run_result gl = run_program(program_path("scene_shots"), {"opengl", dir}, FIGHT_DATA_DIR,
                                    {"SDL_AUDIODRIVER=dummy"}, 120000);
        drawn = sw.exit_code == 0 && gl.exit_code == 0;
        if (!drawn) printf("software:\n%s\nopengl:\n%s\n", sw.err.c_str(), gl.err.c_str());
    }
};
std::string SceneComparison::dir;
bool SceneComparison::drawn = false;

TEST_F(SceneComparison, EverySceneLooksTheSameInBothModes) {
    ASSERT_TRUE(drawn) << "scene_shots failed";
    for (const char* scene : kScenes) {
        SCOPED_TRACE(scene);
        std::string base = dir + "/" + scene;
        pixels sw, gl;
        ASSERT_TRUE(sw.load(base + "_software.bmp")) << base;
        ASSERT_TRUE(gl.load(base + "_opengl.bmp")) << base;
        ASSERT_EQ(sw.w, gl.w);
        ASSERT_EQ(sw.h, gl.h);
        // Disagreeing pixels, seen from either side: something only one mode drew counts.
        std::vector<uint8_t> off((size_t)sw.w * sw.h);
        for (int y = 0; y < sw.h; y++)
            for (int x = 0; x < sw.w; x++)
                off[(size_t)y * sw.w + x] = !(matched(sw, gl, x, y) && matched(gl, sw, x, y));
        SDL_Surface* diff = SDL_CreateRGBSurface(SDL_SWSURFACE, sw.w, sw.h, 24, 0xFF, 0xFF00, 0xFF0000, 0);
        for (int y = 0; y < sw.h; y++)
            for (int x = 0; x < sw.w; x++) {
                const uint8_t* p = sw.at(x, y);
                uint8_t grey = (uint8_t)((p[0] + p[1] + p[2]) / 6);
                uint8_t* d = (uint8_t*)diff->pixels + y * diff->pitch + x * 3;
                bool o = off[(size_t)y * sw.w + x];
                d[0] = o ? 255 : grey;
                d[1] = o ? 255 : grey;
                d[2] = o ? 0 : grey;
            }
        int bad = 0;
        for (int by = 0; by + 4 <= sw.h; by += 4)
            for (int bx = 0; bx + 4 <= sw.w; bx += 4) {
                int n = 0;
                for (int y = by; y < by + 4; y++)
                    for (int x = bx; x < bx + 4; x++) n += off[(size_t)y * sw.w + x];
                if (n < 12) continue;
                bad += 16;
                for (int y = by; y < by + 4; y++)
                    for (int x = bx; x < bx + 4; x++) {
                        uint8_t* d = (uint8_t*)diff->pixels + y * diff->pitch + x * 3;
                        d[1] = 0; // red
                    }
            }
        const int allowed = (int)(kMostDisagreeing * sw.w * sw.h);
        printf("%s: %d pixels disagree solidly (at most %d)\n", scene, bad, allowed);
        if (bad > allowed) {
            SDL_SaveBMP(diff, (base + "_difference.bmp").c_str());
            ADD_FAILURE() << bad << " pixels disagree solidly, at most " << allowed << ": see " << base
                          << "_software.bmp, " << base << "_opengl.bmp and " << base << "_difference.bmp";
        }
        SDL_FreeSurface(diff);
    }
}

} // namespace
