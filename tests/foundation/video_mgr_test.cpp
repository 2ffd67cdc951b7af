// The platform object in software mode, and the extension probe.
#include <gtest/gtest.h>
#include <malloc.h>

#include "foundation/video_mgr.h"
#include "test_support.h"

TEST(VideoMgr, TheGlobalStartsWithTheDocumentedDefaults) {
    EXPECT_EQ(video.sdl_ok, 1);
    EXPECT_EQ(video.video_ok, 0);
    EXPECT_EQ(video.flags, 0u);
    EXPECT_EQ(video.ortho_2d, 1);
    EXPECT_EQ(video.width, 640);
    EXPECT_EQ(video.height, 480);
    EXPECT_EQ(video.bpp, 32);
    EXPECT_EQ(video.fps, 60);
    EXPECT_EQ(video.vbo_supported, 0);
    EXPECT_EQ(p_glGenBuffersARB, nullptr);
}

// The rasteriser's per-frame blocks, freed after a present, stay with the process for the
// next frame instead of going back to the system (and faulting in again).
TEST(VideoMgr, FreedFrameBlocksStayInTheHeap) {
#ifdef __SANITIZE_ADDRESS__
    GTEST_SKIP() << "the address sanitizer has an allocator of its own";
#endif
    void* blocks[16];
    for (void*& b : blocks) b = malloc(64 * 1024);
    for (int i = 15; i >= 0; i--) free(blocks[i]);
    EXPECT_GE(mallinfo2().keepcost, (size_t)(512 << 10));
}

TEST(VideoMgr, SoftwareModePrintsTheVideoInformationAndNoOpenGLLines) {
    log_capture log;
    video.flags = SDL_HWSURFACE | SDL_DOUBLEBUF;
    ASSERT_EQ(video.set_video_mode(320, 240, 32), 0);
    EXPECT_EQ(video.video_ok, 1);
    EXPECT_EQ(video.is_gl(), 0);
    EXPECT_EQ(log.out.rfind("Is it possible to  create hardware surfaces?\n\thw_available=", 0), 0u);
    for (const char* q : {"Is there a window manager available?\n\twm_available=",
                          "Are hardware to hardware alpha bits accelerated?\n\tblit_hw_A=",
                          "Are color fills accelerated?\n\tblit_fill=",
                          "\n\n\t\tTotal amount of video_mem: "})
        EXPECT_TRUE(log.has(q)) << q;
    EXPECT_FALSE(log.has("GL"));
    EXPECT_FALSE(log.has("Max texture size"));
    EXPECT_EQ(video.screen->w, 320);
}

TEST(VideoMgr, ClearFillsTheScreenWithOpaqueBlack) {
    ASSERT_TRUE(open_test_screen(false));
    SDL_FillRect(video.screen, nullptr, SDL_MapRGB(video.screen->format, 200, 100, 50));
    video.clear();
    uint8_t r, g, b;
    for (int p : {0, 319, 639}) {
        read_screen_pixel(p, p % 480, &r, &g, &b);
        EXPECT_EQ(r + g + b, 0);
    }
    read_screen_pixel(639, 479, &r, &g, &b);
    EXPECT_EQ(r + g + b, 0);
}

// Around a box the first draw covers, the clear leaves the box's pixels as they are.
TEST(VideoMgr, AClearAroundABoxBlackensEverythingElse) {
    ASSERT_TRUE(open_test_screen(false));
    SDL_FillRect(video.screen, nullptr, SDL_MapRGB(video.screen->format, 200, 100, 50));
    const SDL_Rect kept = {10, 20, 600, 440};
    video.clear_around(&kept);
    int wrong = 0;
    uint8_t r, g, b;
    for (int y = 0; y < 480; y += 3)
        for (int x = 0; x < 640; x += 3) {
            read_screen_pixel(x, y, &r, &g, &b);
            const bool inside = x >= 10 && x < 610 && y >= 20 && y < 460;
            wrong += inside ? r != 200 : r + g + b != 0;
        }
    EXPECT_EQ(0, wrong);
    video.clear_around(nullptr);
    read_screen_pixel(300, 300, &r, &g, &b);
    EXPECT_EQ(r + g + b, 0);
}

TEST(VideoMgr, CreateSurfaceUsesRGBAByteOrder) {
    SDL_Surface* s = video.create_surface(4, 4, 32, SDL_SWSURFACE);
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(s->format->Rmask, 0xFFu);
    EXPECT_EQ(s->format->Gmask, 0xFF00u);
    EXPECT_EQ(s->format->Bmask, 0xFF0000u);
    EXPECT_EQ(s->format->Amask, 0xFF000000u);
    SDL_FreeSurface(s);
}

TEST(VideoMgr, StepsRefuseToRunWhenSDLFailedToStart) {
    video.sdl_ok = 0;
    EXPECT_EQ(video.init_audio(), -1);
    EXPECT_EQ(video.init_joysticks(2), -1);
    EXPECT_EQ(video.set_video_mode(640, 480, 32), -1);
    EXPECT_EQ(video.screen, nullptr);
    video.sdl_ok = 1;
}

TEST(VideoMgr, JoysticksAndAudioReportTheirState) {
    log_capture log;
    EXPECT_EQ(video.init_audio(), 0);
    EXPECT_EQ(video.audio_ok, 1); // the dummy audio driver starts
    EXPECT_EQ(video.init_joysticks(2), 0);
    EXPECT_TRUE(log.has("0 joysticks were found.\n\n"));
    EXPECT_EQ(video.joystick_ok, 0);
    EXPECT_FALSE(log.has("The names of the joysticks are:"));
}

TEST(VideoMgr, TheExtensionProbeMatchesWholeWordsOnly) {
    const char* list = "GL_ARB_multitexture GL_ARB_vertex_buffer_object_extra GL_EXT_x GL_ARB_vertex_buffer_object";
    EXPECT_TRUE(extension_in_list("GL_ARB_vertex_buffer_object", list)); // at the very end
    EXPECT_TRUE(extension_in_list("GL_ARB_multitexture", list));        // at the very start
    EXPECT_TRUE(extension_in_list("GL_EXT_x", list));
    EXPECT_FALSE(extension_in_list("GL_ARB_vertex_buffer_object",
                                   "GL_ARB_vertex_buffer_object_extra GL_EXT_x"));
    EXPECT_FALSE(extension_in_list("GL_EXT", list));
    EXPECT_FALSE(extension_in_list("", list));
    EXPECT_FALSE(extension_in_list("GL_EXT_x GL_ARB_multitexture", list));
    EXPECT_FALSE(extension_in_list("GL_EXT_x", nullptr));
}

TEST(VideoMgr, RenderersOnTheProcessorAreKnownByName) {
    const struct {
        const char* renderer;
        bool on_processor;
    } cases[] = {{"llvmpipe (LLVM 15.0.6, 256 bits)", true}, {"softpipe", true},
                 {"Mesa DRI Intel(R) HD Graphics 620", false}, {"AMD Radeon RX 580", false},
                 {"", false}, {nullptr, false}};
    for (const auto& c : cases)
        EXPECT_EQ(c.on_processor, renderer_on_processor(c.renderer)) << (c.renderer ? c.renderer : "null");
}

TEST(VideoMgr, AnOpenGLModeWithoutAVideoDriverFailsInsteadOfCrashing) {
    setenv("SDL_VIDEODRIVER", "no_such_driver", 1);
    log_capture log;
    video.flags = SDL_HWSURFACE | SDL_DOUBLEBUF | SDL_OPENGL;
    EXPECT_EQ(video.set_video_mode(640, 480, 32), -2);
    EXPECT_EQ(video.video_ok, 0);
    EXPECT_TRUE(log.has("Couldn't initialize SDL Video: "));
    EXPECT_EQ(log.err.rfind("Couldn't set 640 x 480 x 32 video mode: ", 0), 0u);
    setenv("SDL_VIDEODRIVER", "dummy", 1);
}
