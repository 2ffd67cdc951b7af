// Drawing cases that must come out the same in both drawing modes, shared by the software
// and OpenGL test programs: turning direction, recoloured copies of uploaded or flipped
// pictures, exact zoom conversions, pictures larger than the screen, far-off positions,
// tiles that stop at their rectangle and the whole floor picture.
#pragma once
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "images/img_mgr.h"
#include "picture_maker.h"

namespace both_modes {

static const rgb YELLOW = {255, 255, 0};

inline uint32_t pixel_of(rgb c) {
    const SDL_PixelFormat* f = video.screen->format;
    return SDL_MapRGB(const_cast<SDL_PixelFormat*>(f), c.r, c.g, c.b);
}

// 10 x 10 key with a red block at columns 2..3, rows 4..5 and a blue pixel at (3, 5).
inline std::string block_picture(const scratch_dir& dir) {
    SDL_Surface* s = make_picture(10, 10, KEY);
    paint(s, 2, 4, 2, 2, RED);
    paint(s, 3, 5, 1, 1, BLUE);
    return save_picture(s, dir, "block.bmp");
}

// A positive angle turns counter-clockwise on the screen: the right (red) half of a bar
// turned by 90 degrees ends up on top, by -90 at the bottom.
inline void spins_turn_counter_clockwise(const scratch_dir& dir) {
    SDL_Surface* s = make_picture(20, 10, RED);
    paint(s, 0, 0, 10, 10, BLUE);
    img_mgr img;
    img.load(save_picture(s, dir, "bar.bmp").c_str());
    fill_screen(WHITE);
    img.draw(100, 100, video.screen, 1, 1, 90);
    EXPECT_COLOUR(110, 98, RED);
    EXPECT_COLOUR(110, 112, BLUE);
    fill_screen(WHITE);
    img.draw(100, 100, video.screen, 1, 1, -90);
    EXPECT_COLOUR(110, 98, BLUE);
    EXPECT_COLOUR(110, 112, RED);
    // Mirrored, the turn is the same on the screen: the mirrored bar has red on the left.
    fill_screen(WHITE);
    img.flip();
    img.draw(100, 100, video.screen, 1, 1, 90);
    EXPECT_COLOUR(110, 98, BLUE);
    EXPECT_COLOUR(110, 112, RED);
}

// A recoloured copy has its own pixels even after the source was uploaded (OpenGL releases
// them), and keeps the facing and placement the source had when it was taken.
inline void recoloured_copies_have_pixels_in_either_facing(const scratch_dir& dir) {
    img_mgr src;
    src.load(block_picture(dir).c_str());
    src.draw_at(20, 30); // uploads in OpenGL mode
    img_mgr copy;
    ASSERT_TRUE(copy.copy_for_recolour(src));
    copy.swap_color(pixel_of(RED), pixel_of(YELLOW));
    fill_screen(WHITE);
    copy.draw_at(20, 30);
    EXPECT_COLOUR(22, 34, YELLOW);
    EXPECT_COLOUR(23, 35, BLUE);
    EXPECT_COLOUR(24, 34, WHITE);
    src.draw_at(40, 30);
    EXPECT_COLOUR(42, 34, RED); // the source keeps its colours

    src.flip();
    src.draw_at(20, 30);
    img_mgr flipped;
    ASSERT_TRUE(flipped.copy_for_recolour(src));
    EXPECT_EQ(1, flipped.mirrored);
    flipped.swap_color(pixel_of(RED), pixel_of(YELLOW));
    fill_screen(WHITE);
    flipped.draw_at(20, 30); // mirrored: red block at columns 6..7, blue at (6, 5)
    EXPECT_COLOUR(26, 35, BLUE);
    EXPECT_COLOUR(27, 34, YELLOW);
    EXPECT_COLOUR(25, 34, WHITE);
    EXPECT_COLOUR(22, 34, WHITE);
    flipped.flip();
    fill_screen(WHITE);
    flipped.draw_at(20, 30);
    EXPECT_COLOUR(22, 34, YELLOW);
    EXPECT_COLOUR(23, 35, BLUE);
}

// Scales whose old integer key was the same (the shadow's 0.606 x 0.1 and the fighter's
// 0.604 x 0.604) get conversions of their own.
inline void every_scale_gets_its_own_conversion(const scratch_dir& dir) {
    img_mgr img;
    img.load(save_picture(make_picture(100, 100, RED), dir, "square.bmp").c_str());
    fill_screen(WHITE);
    img.draw(0, 0, video.screen, 0.606f, 0.1f, 0);
    EXPECT_COLOUR(30, 5, RED);
    EXPECT_COLOUR(30, 12, WHITE);
    fill_screen(WHITE);
    img.draw(0, 0, video.screen, 0.604f, 0.604f, 0);
    EXPECT_COLOUR(30, 5, RED);
    EXPECT_COLOUR(30, 55, RED);
    EXPECT_COLOUR(30, 62, WHITE);
    EXPECT_COLOUR(62, 30, WHITE);
}

// A zoomed picture larger than the screen shows the part that lies on the screen, where it
// lies; positions far beyond 16 bits draw nothing instead of wrapping onto the screen.
inline void large_and_far_pictures_lie_where_they_are(const scratch_dir& dir) {
    // 400 x 300, white with a red centre 320 x 240 whose corner has a blue 4 x 4 mark.
    SDL_Surface* s = make_picture(400, 300, WHITE);
    paint(s, 40, 30, 320, 240, RED);
    paint(s, 40, 30, 4, 4, BLUE);
    img_mgr img;
    img.load(save_picture(s, dir, "big.bmp").c_str());
    fill_screen(KEY);
    img.draw(50, 50, video.screen, 2, 2, 0); // covers 50..849, 50..649
    EXPECT_COLOUR(45, 45, KEY);
    EXPECT_COLOUR(60, 60, WHITE);
    EXPECT_COLOUR(133, 113, BLUE);
    EXPECT_COLOUR(140, 140, RED);
    EXPECT_COLOUR(639, 479, RED);
    fill_screen(KEY);
    img.draw(-300, -200, video.screen, 2, 2, 0); // the mark at -220, -140: off the screen
    EXPECT_COLOUR(0, 0, RED);
    EXPECT_COLOUR(425, 20, WHITE); // the right border, columns 360 .. 399
    EXPECT_COLOUR(20, 390, WHITE); // the bottom border, rows 270 .. 299

    img_mgr block;
    block.load(block_picture(dir).c_str());
    fill_screen(WHITE);
    block.draw_at(65536 + 100, 100);
    block.draw_at(100, 65536 + 100);
    block.draw(65536 + 100, 100, video.screen, 2, 2, 0);
    block.draw_at(-65536 + 100, 100);
    for (int x = 100; x < 125; x += 2)
        for (int y = 100; y < 125; y += 2) EXPECT_COLOUR(x, y, WHITE);
}

// Tiles repeat every 115 x 140 pixels and stop at the rectangle's edges.
inline void tiles_stop_at_their_rectangle(const scratch_dir& dir) {
    SDL_Surface* s = make_picture(128, 128, RED);
    paint(s, 0, 0, 8, 8, BLUE);
    img_mgr tile;
    tile.load(save_picture(s, dir, "tile.bmp").c_str());
    fill_screen(WHITE);
    tile.draw_tiled(0, 0, 230, 280);
    EXPECT_COLOUR(1, 1, BLUE);
    EXPECT_COLOUR(116, 1, BLUE);
    EXPECT_COLOUR(116, 141, BLUE);
    EXPECT_COLOUR(225, 275, RED);
    EXPECT_COLOUR(232, 50, WHITE);
    EXPECT_COLOUR(50, 282, WHITE);
    EXPECT_COLOUR(300, 300, WHITE);
}

// A zoomed floor shows its whole picture, top to bottom, on the same rows in both modes:
// screen row i shows picture row floor_row(i, rows, h).
inline void the_floor_shows_its_whole_picture(const scratch_dir& dir) {
    // 200 x 150: red, with a blue band at rows 60..69 and a yellow one at rows 140..149.
    SDL_Surface* s = make_picture(200, 150, RED);
    paint(s, 0, 60, 200, 10, BLUE);
    paint(s, 0, 140, 200, 10, YELLOW);
    img_mgr floor;
    floor.load(save_picture(s, dir, "floor.bmp").c_str());
    for (double z : {0.6, 1.5}) {
        SCOPED_TRACE(z);
        fill_screen(WHITE);
        floor.draw_floor(200, 300, video.screen, z, 0.17);
        const int rows = (int)(150 * z), zh = (int)(150 * z + 0.5), top = 300 + 150 - zh;
        const int left = (int)(z * 200), x = left + 50;
        EXPECT_COLOUR(x, top - 2, WHITE);
        EXPECT_COLOUR(x, top + rows + 1, WHITE);
        int yellow = 0, blue = 0, wrong = 0;
        std::string wrong_rows;
        auto band = [](int row) {
            return row >= 140 ? YELLOW : (row >= 60 && row < 70) ? BLUE : RED;
        };
        for (int i = 0; i < rows; i++) {
            // A zoomed conversion may round a row to its neighbour; no more.
            int want = floor_row(i, rows, 150);
            rgb got = screen_at(x, top + i);
            if (same(got, YELLOW)) yellow++;
            if (same(got, BLUE)) blue++;
            if (!same(got, band(want)) && !same(got, band(want - 1)) && !same(got, band(want + 1))) {
                wrong++;
                wrong_rows += " " + std::to_string(i) + ":" + std::to_string(want) + "=" +
                              std::to_string(got.r) + "," + std::to_string(got.g) + "," +
                              std::to_string(got.b);
            }
        }
        EXPECT_GT(yellow, 0); // the near lane markings are there
        EXPECT_GT(blue, 0);
        EXPECT_EQ(0, wrong) << "rows (i:picture row=colour)" << wrong_rows;
        // Lower rows slide left by half their distance from the top.
        EXPECT_COLOUR(left - 3, top + 1, WHITE);
        EXPECT_COLOUR(left + 2, top + 1, RED);
        int slid = left - (rows - 1) / 2;
        EXPECT_COLOUR(slid - 3, top + rows - 1, WHITE);
        EXPECT_COLOUR(slid + 2, top + rows - 1, YELLOW);
    }
}

} // namespace both_modes
