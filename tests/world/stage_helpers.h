// Shared pieces of the stage tests: pictures and stage files written into a scratch folder,
// and the drawing checks that must hold in both drawing modes (each test file runs them
// with its own video mode open).
#pragma once
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "../images/picture_maker.h"
#include "test_support.h"
#include "world/level.h"

static const rgb YELLOW = {255, 255, 0};
static const rgb BLACK = {0, 0, 0};

// A w x h picture of one colour with a mark box (mx, my, mw, mh) of another.
inline std::string marked_picture(const scratch_dir& dir, const std::string& name, int w, int h,
                                  rgb fill, int mx = 0, int my = 0, int mw = 0, int mh = 0,
                                  rgb mark = RED) {
    SDL_Surface* s = make_picture(w, h, fill);
    if (mw > 0 && mh > 0) paint(s, mx, my, mw, mh, mark);
    return save_picture(s, dir, name);
}

// Writes a background set naming the pictures, and a stage file using it whose remaining
// lines are body. Returns the stage file's path.
inline std::string write_stage(const scratch_dir& dir, const std::vector<std::string>& pictures,
                               const std::string& body, int width = 640) {
    std::string bg = "width=" + std::to_string(width) + "\nimages=" +
                     std::to_string(pictures.size()) + "\n";
    for (size_t i = 0; i < pictures.size(); i++)
        bg += "image" + std::to_string(i) + "=" + pictures[i] + "\n";
    write_text(dir.file("bgset.ini"), bg);
    write_text(dir.file("stage.ini"), "bgset=" + dir.file("bgset.ini") + "\n" + body);
    return dir.file("stage.ini");
}

inline bool near_colour(rgb a, rgb b, int tolerance) {
    return std::abs(a.r - b.r) <= tolerance && std::abs(a.g - b.g) <= tolerance &&
           std::abs(a.b - b.b) <= tolerance;
}

// The first column, from x0 rightwards on row y, showing colour c; -1 when none.
inline int first_column(int y, rgb c, int x0 = 0, int x1 = 640) {
    for (int x = x0; x < x1; x++)
        if (same(screen_at(x, y), c)) return x;
    return -1;
}

// ---------------------------------------------------------------------------------------
// Checks for both drawing modes

// Parts of heights 100, 200, 300 stack upwards from scroll: the first loaded lowest, each
// drawn over the ones loaded after it.
inline void check_part_tops(const scratch_dir& dir) {
    std::string stage = write_stage(
        dir,
        {marked_picture(dir, "p0.bmp", 640, 100, RED), marked_picture(dir, "p1.bmp", 640, 200, BLUE),
         marked_picture(dir, "p2.bmp", 640, 300, YELLOW)},
        "length=3\npart0=0\npart1=1\npart2=2\n");
    level lv;
    lv.load(stage.c_str());
    EXPECT_EQ(600, lv.total_height);
    EXPECT_EQ(600, lv.onscreen_size);
    EXPECT_EQ(380, lv.scroll); // 480 - height of image 0
    ASSERT_EQ(3u, lv.parts.size());
    EXPECT_EQ(300, lv.parts[0]->height); // the last loaded part comes first
    EXPECT_EQ(100, lv.parts[2]->height);

    fill_screen(WHITE);
    lv.draw();
    EXPECT_COLOUR(320, 479, RED);
    EXPECT_COLOUR(320, 380, RED); // part 0 at scroll
    EXPECT_COLOUR(320, 379, BLUE);
    EXPECT_COLOUR(320, 280, BLUE); // part 1 at scroll - 100
    EXPECT_COLOUR(320, 279, YELLOW);
    EXPECT_COLOUR(320, 80, YELLOW); // part 2 at scroll - 300
    EXPECT_COLOUR(320, 79, WHITE);
}

// A stage part 0 with two layers, images 4 and 5: at horizontal offset 90 its own picture (three
// away) shifts by 30, layer 4 by 45 and layer 5 (the nearest) by 90; the vertical offset
// divides the same way.
inline void check_parallax_shifts(const scratch_dir& dir) {
    std::vector<std::string> pics = {
        marked_picture(dir, "far.bmp", 640, 100, KEY, 100, 30, 10, 10, RED),
        marked_picture(dir, "f1.bmp", 8, 8, KEY, 0, 0, 1, 1, RED),
        marked_picture(dir, "f2.bmp", 8, 8, KEY, 0, 0, 1, 1, RED),
        marked_picture(dir, "f3.bmp", 8, 8, KEY, 0, 0, 1, 1, RED),
        marked_picture(dir, "mid.bmp", 640, 100, KEY, 200, 50, 10, 10, BLUE),
        marked_picture(dir, "near.bmp", 640, 100, KEY, 300, 70, 10, 10, YELLOW)};
    std::string stage = write_stage(
        dir, pics, "length=1\npart0=0\npart0parallax=2\npart0parallax0=4\npart0parallax1=5\n");
    level lv;
    lv.load(stage.c_str());
    ASSERT_EQ(1u, lv.layers.size());
    EXPECT_EQ((std::vector<int>{4, 5}), lv.layers[0]);

    // The part's top is at 380; the marks at rows 30, 50 and 70 of their pictures.
    fill_screen(WHITE);
    lv.x_offset = 90;
    lv.draw();
    EXPECT_EQ(100 - 30, first_column(415, RED));
    EXPECT_EQ(200 - 45, first_column(435, BLUE));
    EXPECT_EQ(300 - 90, first_column(455, YELLOW));
    EXPECT_COLOUR(79, 415, RED);
    EXPECT_COLOUR(80, 415, WHITE);

    // A vertical offset of 60 raises them by 20, 30 and 60.
    fill_screen(WHITE);
    lv.x_offset = 0;
    lv.y_offset = 60;
    lv.draw();
    EXPECT_COLOUR(100, 389, WHITE);
    EXPECT_COLOUR(100, 390, RED);
    EXPECT_COLOUR(100, 399, RED);
    EXPECT_COLOUR(100, 400, WHITE);
    EXPECT_COLOUR(200, 399, WHITE);
    EXPECT_COLOUR(200, 400, BLUE);
    EXPECT_COLOUR(200, 409, BLUE);
    EXPECT_COLOUR(300, 389, WHITE);
    EXPECT_COLOUR(300, 390, YELLOW);
}

// A shake of 5 swings the stage by -4, 3, -2, 1 and then 0 on the following draws.
inline void check_shake(const scratch_dir& dir) {
    std::string stage = write_stage(
        dir, {marked_picture(dir, "plain.bmp", 640, 100, KEY, 100, 10, 10, 10, RED)},
        "length=1\npart0=0\n");
    level lv;
    lv.load(stage.c_str());
    lv.x_offset = 20;
    lv.shake = 5;
    for (int want : {-4, 3, -2, 1, 0, 0}) {
        fill_screen(WHITE);
        lv.draw();
        EXPECT_EQ(want, lv.shake);
        EXPECT_EQ(100 - 20 - want, first_column(395, RED)) << "shake " << want;
    }
}

// Flash 255 with step 50 covers the frame in white at 255, 205, 155, 105, 55, 5, then stops.
inline void check_flash() {
    level lv; // an empty stage still flashes
    lv.flash = 255;
    lv.flash_step = 50;
    for (int want : {255, 205, 155, 105, 55, 5, 0}) {
        fill_screen(BLACK);
        lv.draw();
        rgb got = screen_at(300, 200);
        EXPECT_TRUE(near_colour(got, rgb{(uint8_t)want, (uint8_t)want, (uint8_t)want}, 2))
            << "want " << want << " got " << (int)got.r << "," << (int)got.g << "," << (int)got.b;
        EXPECT_TRUE(same(screen_at(0, 0), got));
        EXPECT_TRUE(same(screen_at(639, 479), got));
    }
    EXPECT_EQ(0, lv.flash);
}

// A part is skipped when it lies wholly below the screen or ends exactly at its top, even
// when zoom or the vertical offset would have brought it into view.
inline void check_parts_off_screen(const scratch_dir& dir) {
    std::string stage = write_stage(
        dir,
        {marked_picture(dir, "red.bmp", 640, 100, RED),
         marked_picture(dir, "dot.bmp", 640, 100, KEY, 600, 0, 1, 1, BLUE)},
        "length=1\npart0=0\npart0parallax=1\npart0parallax0=1\n");
    level lv;
    lv.load(stage.c_str());
    struct { int scroll; double zoom; int y_offset; bool drawn; int probe_y; } cases[] = {
        {480, 3.0, 0, false, 470},   // top at the screen's bottom edge
        {479, 3.0, 0, true, 470},    // one row higher: drawn, zoomed up from its bottom
        {-100, 1.0, -200, false, 50}, // bottom edge exactly at y = 0
        {-99, 1.0, -200, true, 50},
    };
    for (auto& c : cases) {
        fill_screen(WHITE);
        lv.scroll = c.scroll;
        lv.zoom = c.zoom;
        lv.y_offset = c.y_offset;
        lv.draw();
        EXPECT_COLOUR(10, c.probe_y, c.drawn ? RED : WHITE);
    }
}

// "scale" 2.0 doubles the reported sizes and the zoom of every draw, and so the picture.
inline void check_scale(const scratch_dir& dir) {
    std::string stage = write_stage(
        dir,
        {marked_picture(dir, "far.bmp", 640, 100, KEY, 100, 0, 10, 10, RED),
         marked_picture(dir, "dot.bmp", 320, 60, KEY, 300, 0, 1, 1, BLUE)},
        "length=1\npart0=0\npart0parallax=1\npart0parallax0=1\nscale=2.0\n");
    level lv;
    lv.load(stage.c_str());
    EXPECT_DOUBLE_EQ(2.0, lv.scale);
    EXPECT_EQ(1280, lv.max_width);
    EXPECT_EQ(200, lv.max_height);

    fill_screen(WHITE);
    lv.zoom = 1.0;
    lv.draw();
    EXPECT_DOUBLE_EQ(2.0, lv.zoom);
    // Scaled about its bottom-left corner (480): top-left at (0, 280), the mark at 200..219.
    // (Edge pixels may be filtered in OpenGL: look one pixel inside and outside.)
    EXPECT_COLOUR(201, 281, RED);
    EXPECT_COLOUR(218, 298, RED);
    EXPECT_COLOUR(198, 285, WHITE);
    EXPECT_COLOUR(221, 285, WHITE);
    EXPECT_COLOUR(205, 301, WHITE);
    EXPECT_COLOUR(205, 278, WHITE);

    lv.zoom = 0.75;
    lv.draw();
    EXPECT_DOUBLE_EQ(1.5, lv.zoom);
}

// The floor lies under the last layer, scrolls with the camera, and is drawn zoomed.
inline void check_floor(const scratch_dir& dir) {
    std::string stage = write_stage(
        dir,
        {marked_picture(dir, "back.bmp", 640, 100, KEY, 0, 0, 1, 1, YELLOW),
         marked_picture(dir, "layer.bmp", 640, 100, KEY, 0, 0, 1, 1, YELLOW),
         marked_picture(dir, "floor.bmp", 640, 40, BLUE, 300, 0, 10, 40, RED)},
        "length=1\nfloor=2\npart0=0\npart0parallax=1\npart0parallax0=1\n");
    level lv;
    lv.load(stage.c_str());
    EXPECT_EQ(2, lv.floor);

    // Unzoomed: at 100 + 380 - 40 = 440, shown from column 50 of the picture.
    fill_screen(WHITE);
    lv.x_offset = 50;
    lv.draw();
    EXPECT_COLOUR(100, 439, WHITE);
    EXPECT_COLOUR(100, 440, BLUE);
    EXPECT_COLOUR(100, 479, BLUE);
    EXPECT_EQ(250, first_column(460, RED));

    // Zoomed: it grows upwards from its bottom and still covers the screen's bottom rows.
    fill_screen(WHITE);
    lv.x_offset = 0;
    lv.zoom = 1.25;
    lv.draw();
    EXPECT_COLOUR(100, 420, WHITE);
    EXPECT_COLOUR(100, 440, BLUE);
    EXPECT_COLOUR(100, 470, BLUE);
    EXPECT_COLOUR(635, 470, BLUE); // the lower rows slide left yet still reach the right edge
    int mark = first_column(470, RED);
    EXPECT_GT(mark, 300);   // the mark is zoomed away from the left edge
    EXPECT_LT(mark, 400);
}
