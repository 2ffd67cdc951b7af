// Animation definitions: loading every frame key with its default, colour swaps and shared
// images, reloading, saving back, and files that are broken or lie about their size.
#include <gtest/gtest.h>

#include <sys/resource.h>

#include <csignal>

#include "anim_files.h"
#include "animation/anim_mgr.h"
#include "foundation/video_mgr.h"

namespace {

struct AnimMgr : ::testing::Test {
    scratch_dir d;
    void SetUp() override { ASSERT_TRUE(open_test_screen(false)); }
};

// Colour of a surface pixel, compared in the surface's own format.
uint32_t surface_pixel(SDL_Surface* s, int x, int y) {
    uint32_t v = 0;
    SDL_LockSurface(s);
    memcpy(&v, (uint8_t*)s->pixels + y * s->pitch + x * s->format->BytesPerPixel,
           s->format->BytesPerPixel);
    SDL_UnlockSurface(s);
    uint8_t r, g, b;
    SDL_GetRGB(v, s->format, &r, &g, &b);
    return (uint32_t)r << 16 | (uint32_t)g << 8 | b;
}

TEST_F(AnimMgr, BothConstructorsStartFromTheDefaults) {
    log_capture log;
    anim_mgr a;
    EXPECT_EQ(1, log.count("Creating Anim_Mgr\n"));
    EXPECT_EQ(0, a.frame_count());
    EXPECT_EQ(0, a.total_ticks);
    EXPECT_EQ(255, a.alpha);
    EXPECT_DOUBLE_EQ(1.0, a.scale);
    EXPECT_DOUBLE_EQ(1.0, a.owner_scale);
    EXPECT_EQ(0, a.loop + a.mirrored + a.angle + a.cur_width + a.cur_height + a.refs);

    img_mgr* img = Image_Manager.get(write_picture(d, "p.bmp", 24, 16, 255, 0, 0).c_str());
    anim_mgr b(img);
    EXPECT_EQ(2, log.count("Creating Anim_Mgr\n"));
    ASSERT_EQ(1, b.frame_count());
    EXPECT_EQ(img, b.get_frame(0)->image);
    EXPECT_EQ(1, b.get_frame(0)->rate);
    EXPECT_EQ(10, b.get_frame(0)->flashrate); // constructed, never loaded
    EXPECT_EQ(1, b.total_ticks);
    EXPECT_EQ(24, b.get_width());
    EXPECT_EQ(16, b.get_height());
    EXPECT_EQ(nullptr, b.get_frame(1));
    EXPECT_EQ(nullptr, b.get_frame(-1));
}

TEST_F(AnimMgr, ReadsExactlyTheFramesNamedByImagesAndEveryKeyWithItsDefault) {
    auto pics = width_pictures(d, 4);
    std::string snd = write_sound(d, "s.wav");
    std::string path = write_animation(d, "a.ini", pics, {3, 1, 2, 9},
                                       "fire1=7\nfirespeed1=1.5\nflashrate1=40\nflash1=200\n"
                                       "shake2=6\nspin2=-15\ntrail2=3\nxoffset2=65537\n"
                                       "yoffset2=-2\nfirex2=70000\nfirey2=5\nsound2=" + snd + "\n");
    // "images" says 3: the fourth frame's keys are ignored.
    std::string text = read_text(path);
    text.replace(0, text.find('\n'), "images=3");
    write_text(path, text);

    log_capture log;
    anim_mgr a;
    a.load(path.c_str());
    ASSERT_EQ(3, a.frame_count());
    EXPECT_TRUE(log.has("Done loading animation from [" + path + "]\n"));
    EXPECT_EQ(6, a.total_ticks);
    EXPECT_EQ(30, a.get_width()); // largest of the three frames
    EXPECT_EQ(10, a.get_height());
    EXPECT_EQ(0, a.loop);

    const frame& f0 = a.frames[0];
    EXPECT_EQ(3, f0.rate);
    EXPECT_EQ(25, f0.flashrate); // absent in the file
    EXPECT_FLOAT_EQ(0.25f, f0.firespeed);
    EXPECT_FALSE(f0.fire);
    EXPECT_EQ(0, f0.flash + f0.shake + f0.spin + f0.trail + f0.xoffset + f0.yoffset);
    EXPECT_EQ(0, f0.play_sound);
    EXPECT_EQ(nullptr, f0.sound);

    const frame& f1 = a.frames[1];
    EXPECT_TRUE(f1.fire); // 7 counts as true
    EXPECT_EQ(1, f1.fire);
    EXPECT_FLOAT_EQ(1.5f, f1.firespeed);
    EXPECT_EQ(40, f1.flashrate);
    EXPECT_EQ(200, f1.flash);

    const frame& f2 = a.frames[2];
    EXPECT_EQ(6, f2.shake);
    EXPECT_EQ(-15, f2.spin);
    EXPECT_EQ(3, f2.trail);
    EXPECT_EQ(1, f2.xoffset); // the low 16 bits
    EXPECT_EQ(-2, f2.yoffset);
    EXPECT_EQ((int16_t)70000, f2.firex);
    EXPECT_EQ(5, f2.firey);
    EXPECT_EQ(1, f2.play_sound);
    ASSERT_NE(nullptr, f2.sound);
    sfx* cached = Sfx_Manager.get(snd.c_str());
    EXPECT_NE(cached, f2.sound); // the frame's own record of the cached sound
    EXPECT_EQ(cached->chunk, f2.sound->chunk);
}

TEST_F(AnimMgr, FramesShareCachedImagesUnlessColourSwapsMakePrivateCopies) {
    std::string red = write_picture(d, "red.bmp", 8, 8, 255, 0, 0);
    std::string path = write_animation(d, "a.ini", {red, red}, {1, 1});
    img_mgr* cached = Image_Manager.get(red.c_str());

    anim_mgr shared;
    shared.load(path.c_str());
    ASSERT_EQ(2, shared.frame_count());
    EXPECT_EQ(cached, shared.frames[0].image);
    EXPECT_EQ(cached, shared.frames[1].image);

    anim_mgr swapped;
    swapped.swaps.push_back({map_rgb(255, 0, 0), map_rgb(0, 0, 255)});
    swapped.swaps.push_back({map_rgb(0, 0, 255), map_rgb(0, 255, 255)}); // applied in order
    swapped.load(path.c_str());
    ASSERT_EQ(2, swapped.frame_count());
    img_mgr* c0 = swapped.frames[0].image;
    img_mgr* c1 = swapped.frames[1].image;
    EXPECT_NE(cached, c0);
    EXPECT_NE(cached, c1);
    EXPECT_NE(c0, c1);
    EXPECT_EQ(8, c0->width);
    EXPECT_EQ(8, c0->height);
    EXPECT_EQ(0x00FFFFu, surface_pixel(c0->surface->surface, 3, 3));
    EXPECT_EQ(0xFF0000u, surface_pixel(cached->surface->surface, 3, 3)); // untouched
}

TEST_F(AnimMgr, MirroredBeforeLoadingMirrorsTheFrameImages) {
    std::string path = write_animation(d, "a.ini", width_pictures(d, 1), {2});
    anim_mgr a;
    a.mirrored = 1;
    a.load(path.c_str());
    ASSERT_EQ(1, a.frame_count());
    EXPECT_EQ(1, a.frames[0].image->mirrored);
}

TEST_F(AnimMgr, LoadingTwiceReplacesFramesButKeepsSizesAndLoop) {
    auto pics = width_pictures(d, 3);
    std::string first = write_animation(d, "a.ini", {pics[2]}, {5}, "loop=1\n");
    std::string second = write_animation(d, "b.ini", {pics[0], pics[0]}, {1, 2}, "loop=0\n");
    anim_mgr a;
    a.load(first.c_str());
    EXPECT_EQ(1, a.loop);
    a.load(second.c_str());
    ASSERT_EQ(2, a.frame_count());
    EXPECT_EQ(3, a.total_ticks);
    EXPECT_EQ(30, a.get_width()); // maxima from the first file stay
    EXPECT_EQ(1, a.loop);
}

TEST_F(AnimMgr, SavingWritesLoopAndRatesBackAndLeavesEveryOtherLineInPlace) {
    auto pics = width_pictures(d, 2);
    std::string path = write_animation(d, "a.ini", pics, {3, 4}, "spin1=5\nloop=0\n");
    std::string before = read_text(path);
    anim_mgr a;
    a.load(path.c_str());
    a.frames[1].rate = 11;
    a.loop = 1;
    log_capture log;
    a.save(path.c_str());
    EXPECT_TRUE(log.has("Saved anim_mgr as [" + path + "]\n"));
    std::string expected = before;
    expected.replace(expected.find("rate1=4"), 7, "rate1=11");
    expected.replace(expected.find("loop=0"), 6, "loop=1");
    EXPECT_EQ(expected, read_text(path));
}

TEST_F(AnimMgr, SavingADefinitionMadeFromAnImageWritesOnlyLoopAndRateZero) {
    img_mgr* img = Image_Manager.get(write_picture(d, "p.bmp", 4, 4, 255, 0, 0).c_str());
    anim_mgr a(img);
    std::string out = d.file("out.ini");
    a.save(out.c_str());
    EXPECT_EQ("loop=0\nrate0=1\n", read_text(out));
}

TEST_F(AnimMgr, AFailedSaveKeepsTheFileOnDiskWhole) {
    std::string path = write_animation(d, "a.ini", width_pictures(d, 1), {3});
    std::string before = read_text(path);
    anim_mgr a;
    a.load(path.c_str());
    a.frames[0].rate = 9;
    // Writes fail part way once a file would grow past 16 bytes (like a full disk).
    signal(SIGXFSZ, SIG_IGN);
    rlimit old;
    getrlimit(RLIMIT_FSIZE, &old);
    rlimit small = old;
    small.rlim_cur = 16;
    setrlimit(RLIMIT_FSIZE, &small);
    log_capture log;
    a.save(path.c_str());
    setrlimit(RLIMIT_FSIZE, &old);
    EXPECT_TRUE(log.has("Can't save animation from [" + path + "]"));
    EXPECT_FALSE(log.has("Saved anim_mgr as"));
    EXPECT_EQ(before, read_text(path));

    log.reset();
    std::string missing = d.file("no/such/folder/a.ini");
    a.save(missing.c_str());
    EXPECT_TRUE(log.has("Can't save animation from [" + missing + "]"));
}

TEST_F(AnimMgr, UnreadableAndLyingFilesLoadWithoutCrashOrRunawayAllocation) {
    log_capture log;
    anim_mgr a;
    std::string none = d.file("none.ini");
    a.load(none.c_str());
    EXPECT_TRUE(log.has("Can't load animation from [" + none + "]"));
    EXPECT_FALSE(log.has("Can't load animation from [" + none + "]\n"));
    EXPECT_EQ(0, a.frame_count());

    std::string no_count = d.file("nocount.ini");
    write_text(no_count, "image0=x.bmp\nrate0=3\n");
    a.load(no_count.c_str());
    EXPECT_EQ(0, a.frame_count());
    EXPECT_TRUE(log.has("Done loading animation from [" + no_count + "]\n"));

    std::string negative = d.file("neg.ini");
    write_text(negative, "images=-5\nrate0=3\n");
    a.load(negative.c_str());
    EXPECT_EQ(0, a.frame_count());
    EXPECT_EQ(0, a.total_ticks);

    std::string huge = d.file("huge.ini");
    write_text(huge, "images=1000000\nimage0=" + d.file("missing.bmp") + "\nrate0=-4\n");
    a.load(huge.c_str());
    EXPECT_LE(a.frame_count(), 3); // no more frames than the file has lines
    ASSERT_GE(a.frame_count(), 1);
    EXPECT_EQ(-4, a.frames[0].rate); // accepted as written
    EXPECT_NE(nullptr, a.frames[0].image); // an image that failed to load, drawing nothing
    EXPECT_TRUE(log.has("Done loading animation from [" + huge + "]\n"));
}

} // namespace
