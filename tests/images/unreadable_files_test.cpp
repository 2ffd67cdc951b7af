// Pictures and fonts named by a definition file but that are devices or pipes are reported
// like missing files instead of hanging the program on the read; damaged pictures are
// refused at once, whatever their headers claim.
#include <gtest/gtest.h>

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <chrono>

#include "foundation/video_mgr.h"
#include "images/font.h"
#include "images/img_mgr.h"
#include "picture_maker.h"
#include "test_support.h"

TEST(UnreadableFiles, APictureThatIsADeviceOrAPipeFailsLikeAMissingOne) {
    ASSERT_TRUE(open_test_screen(false));
    scratch_dir d;
    ASSERT_EQ(mkfifo(d.file("pipe.png").c_str(), 0644), 0);
    for (const std::string& p : {std::string("/dev/zero"), d.file("pipe.png")}) {
        img_mgr im;
        log_capture log;
        im.load(p.c_str());
        EXPECT_TRUE(log.has("Couldn't load " + p + ": Couldn't open " + p + "\n")) << log.out;
        EXPECT_EQ(im.get_width(), 0);
    }
}

TEST(UnreadableFiles, AFontThatIsAPipeIsNotOpened) {
    ASSERT_TRUE(open_test_screen(false));
    scratch_dir d;
    ASSERT_EQ(mkfifo(d.file("pipe.ttf").c_str(), 0644), 0);
    font f(video.screen);
    log_capture log;
    f.open(d.file("pipe.ttf").c_str());
    EXPECT_EQ(f.loaded, 0);
    EXPECT_TRUE(log.has("ERROR: TTF_OpenFont: Couldn't open ")) << log.out;
}

// A folder of damaged pictures (an IDAT length running 788 MB past the end of the file, a
// 60000 x 60000 header, a cut-off file, an empty IDAT, a cut palette, headers that crash the
// GIF and XPM readers, a BMP of 65496 bits a pixel that overran its surface): each is reported, none draws, and the whole folder takes well under
// a second (the first alone used to take half a minute).
TEST(UnreadableFiles, DamagedPicturesAreRefusedAtOnceAndDrawNothing) {
    ASSERT_TRUE(open_test_screen(false));
    const std::string dir = FIGHT_SOURCE_DIR "/tests/data/damaged_pictures";
    std::vector<std::string> paths;
    DIR* d = opendir(dir.c_str());
    ASSERT_NE(d, nullptr) << dir;
    while (dirent* e = readdir(d))
        if (e->d_name[0] != '.') paths.push_back(dir + "/" + e->d_name);
    closedir(d);
    std::sort(paths.begin(), paths.end());
    ASSERT_EQ(paths.size(), 8u);

    fill_screen(WHITE);
    log_capture log;
    auto start = std::chrono::steady_clock::now();
    for (const std::string& p : paths) {
        img_mgr im;
        im.load(p.c_str());
        im.draw_at(0, 0);
        EXPECT_EQ(im.get_width(), 0) << p;
        EXPECT_EQ(log.count("Couldn't load " + p + ": "), 1) << log.out;
    }
    double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    EXPECT_LT(ms, 1000.0);
    for (int y = 0; y < 480; y += 7)
        for (int x = 0; x < 640; x += 7) ASSERT_TRUE(same(screen_at(x, y), WHITE)) << x << "," << y;
}
