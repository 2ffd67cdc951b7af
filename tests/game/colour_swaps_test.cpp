// The colour-swap file: well-formed pairs are mapped in file order, anything else is skipped.
#include <gtest/gtest.h>

#include "colour_swaps.h"
#include "foundation/video_mgr.h"
#include "test_support.h"

TEST(ColourSwaps, ColourTextsAreThreeNumbersUpTo255) {
    uint8_t c[3];
    ASSERT_TRUE(parse_colour("255,0,128", c));
    EXPECT_EQ(c[0], 255);
    EXPECT_EQ(c[1], 0);
    EXPECT_EQ(c[2], 128);
    EXPECT_TRUE(parse_colour(" 1 , 2 , 3 ", c));
    for (const char* bad : {"", "1,2", "1,2,3,4", "256,0,0", "-1,0,0", "1,,3", "a,b,c", "1,2,3x",
                            "99999999999999999999999,0,0", ",1,2"})
        EXPECT_FALSE(parse_colour(bad, c)) << bad;
    EXPECT_FALSE(parse_colour(nullptr, c));
}

TEST(ColourSwaps, MalformedOrMissingPairsAreSkippedAndHugeCountsCapped) {
    ASSERT_TRUE(open_test_screen(false));
    scratch_dir d;
    std::string path = d.file("swap.ini");
    write_text(path, "colors=100000\ncolor0source=255,0,0\ncolor0target=0,0,255\n"
                     "color1source=1,2\ncolor1target=0,0,0\ncolor2target=9,9,9\n"
                     "color3source=0,255,0\ncolor3target=0,0,0\n");
    std::vector<colour_swap> swaps;
    EXPECT_EQ(read_colour_swaps(path.c_str(), video.screen->format, swaps), 2);
    ASSERT_EQ(swaps.size(), 2u);
    EXPECT_EQ(swaps[0].first, map_rgb(255, 0, 0));
    EXPECT_EQ(swaps[0].second, map_rgb(0, 0, 255));
    EXPECT_EQ(swaps[1].first, map_rgb(0, 255, 0));

    write_text(path, "colors=-5\ncolor0source=1,1,1\ncolor0target=2,2,2\n");
    EXPECT_EQ(read_colour_swaps(path.c_str(), video.screen->format, swaps), 0);
    EXPECT_EQ(read_colour_swaps(d.file("none.ini").c_str(), video.screen->format, swaps), 0);
    EXPECT_EQ(read_colour_swaps(path.c_str(), nullptr, swaps), 0);
    EXPECT_EQ(swaps.size(), 2u);
}
