// Settings from "game/game.ini" and the pacing rates derived from them.
#include <gtest/gtest.h>

#include <SDL.h>
#include <SDL_framerate.h>

#include "startup.h"
#include "test_support.h"

static game_settings settings_from(const std::string& text, log_capture& log) {
    scratch_dir d;
    write_text(d.file("game.ini"), text);
    config_file cfg;
    cfg.load(d.file("game.ini").c_str());
    log.reset();
    game_settings s;
    apply_settings(cfg, s);
    apply_hwaccel(cfg, s);
    return s;
}

TEST(Settings, MissingKeysLeaveTheDefaults) {
    log_capture log;
    game_settings s = settings_from("", log);
    EXPECT_EQ(s.width, 640);
    EXPECT_EQ(s.height, 480);
    EXPECT_EQ(s.bpp, 32);
    EXPECT_EQ(s.fps, 60);
    EXPECT_EQ(s.debug, 0);
    EXPECT_EQ(log.out, "");
    EXPECT_EQ(video_flags(s), (uint32_t)(SDL_HWSURFACE | SDL_DOUBLEBUF));
}

TEST(Settings, EveryAppliedKeyPrintsItsLine) {
    log_capture log;
    game_settings s = settings_from("width=800 height=600 bpp=16 fps=10 debug=2 fullscreen=1 hwaccel=1\n", log);
    EXPECT_EQ(log.out, "Setting size to [800,600]\nSetting bpp to [16]\nSetting fps to [10]\nSetting debug to [2]\n");
    EXPECT_EQ(s.fps, 10);
    EXPECT_EQ(video_flags(s), (uint32_t)(SDL_HWSURFACE | SDL_DOUBLEBUF | SDL_FULLSCREEN | SDL_OPENGL));
    EXPECT_EQ(video_flags(s), 0x80000000u | 0x40000001u | 2u);
}

// Zero or text leaves a setting at its default; only the frame rate, which no match can
// run at, says so.
TEST(Settings, ZeroOrTextValuesAreIgnored) {
    log_capture log;
    game_settings s = settings_from("fps=0 debug=abc bpp=0 fullscreen=0 hwaccel=0\n", log);
    EXPECT_EQ(s.fps, 60);
    EXPECT_EQ(s.debug, 0);
    EXPECT_EQ(s.bpp, 32);
    EXPECT_EQ(log.out, "WARNING: fps [0] is no usable frame rate, using [60]\n");
    EXPECT_EQ(video_flags(s), (uint32_t)(SDL_HWSURFACE | SDL_DOUBLEBUF));
}

// A rate no screen can keep is refused (the default used) or held at the frame limiter's
// 200, with a WARNING naming the value: the rate printed is the rate the limiter accepts.
TEST(Settings, HostileFrameRatesAreRefusedOrHeldAtTheLimitersMost) {
    const std::string refused = "] is no usable frame rate, using [60]\n";
    const std::string held = "] is more than the frame limiter keeps, using [200]\nSetting fps to [200]\n";
    const struct {
        const char* value;
        int fps;
        std::string lines;
    } cases[] = {
        {"-1", 60, "WARNING: fps [-1" + refused},
        {"-2147483648", 60, "WARNING: fps [-2147483648" + refused},
        {"0", 60, "WARNING: fps [0" + refused},
        {"fast", 60, "WARNING: fps [fast" + refused},
        {"1", 1, "Setting fps to [1]\n"},
        {"200", 200, "Setting fps to [200]\n"},
        {"201", 200, "WARNING: fps [201" + held},
        {"1000", 200, "WARNING: fps [1000" + held},
        {"1001", 60, "WARNING: fps [1001" + refused},
        {"2147483647", 60, "WARNING: fps [2147483647" + refused},
        {"99999999999", 60, "WARNING: fps [99999999999" + refused},
    };
    for (const auto& c : cases) {
        log_capture log;
        game_settings s = settings_from(std::string("fps=") + c.value + "\n", log);
        EXPECT_EQ(s.fps, c.fps) << c.value;
        EXPECT_EQ(log.out, c.lines) << c.value;
        FPSmanager pacer;
        SDL_initFramerate(&pacer);
        EXPECT_EQ(SDL_setFramerate(&pacer, s.fps), 0) << c.value;
        EXPECT_EQ(SDL_setFramerate(&pacer, front_end_rate(s.fps)), 0) << c.value;
        EXPECT_EQ(SDL_getFramerate(&pacer), front_end_rate(s.fps)) << c.value;
    }
}

TEST(Settings, TheSizeLineNeedsAHeightAndShowsTheWidthInForce) {
    log_capture log;
    game_settings s = settings_from("width=800\n", log);
    EXPECT_EQ(s.width, 800);
    EXPECT_EQ(s.height, 480);
    EXPECT_EQ(log.out, "");
    s = settings_from("height=600\n", log);
    EXPECT_EQ(log.out, "Setting size to [640,600]\n");
}

TEST(Settings, FrontEndScreensRunAtSixteenTimesFpsUpTo200) {
    EXPECT_EQ(front_end_rate(10), 160);
    EXPECT_EQ(front_end_rate(12), 192);
    EXPECT_EQ(front_end_rate(13), 200);
    EXPECT_EQ(front_end_rate(60), 200);
    EXPECT_EQ(front_end_rate(1000000000), 200);
}

// The mixer's chunk bounds how late a sound starts: 1024 sample frames (23 ms) unless the
// settings ask for another power of two from 256 to 8192.
TEST(Settings, TheAudioChunkIsSmallByDefaultAndOnlyPowersOfTwoInRangeChangeIt) {
    const struct {
        const char* text;
        int chunk;
    } cases[] = {{"", 1024}, {"audiochunk=256\n", 256}, {"audiochunk=8192\n", 8192},
                 {"audiochunk=128\n", 1024}, {"audiochunk=16384\n", 1024}, {"audiochunk=1000\n", 1024},
                 {"audiochunk=loud\n", 1024}};
    for (const auto& c : cases) {
        log_capture log;
        EXPECT_EQ(settings_from(c.text, log).audio_chunk, c.chunk) << c.text;
    }
}
