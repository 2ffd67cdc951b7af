// Pictures and fonts named by a definition file but that are devices or pipes are reported
// like missing files instead of hanging the program on the read.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include "foundation/video_mgr.h"
#include "images/font.h"
#include "images/img_mgr.h"
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
