// Image loading, shaving, colour swaps, mirroring, hit tests and registry use, software mode.
#include <gtest/gtest.h>

#include <string>

#include "images/img_mgr.h"
#include "picture_maker.h"

namespace {

struct ImgSw : ::testing::Test {
    scratch_dir dir;
    void SetUp() override { ASSERT_TRUE(open_test_screen(false)); }
    std::string one_pixel_picture(const std::string& name) {
        SDL_Surface* s = make_picture(10, 10, KEY);
        paint(s, 3, 7, 1, 1, RED);
        return save_picture(s, dir, name);
    }
};

TEST_F(ImgSw, ShavingKeepsOnlyTheVisibleBoxAndTheFullSize) {
    std::string path = one_pixel_picture("dot.bmp");
    log_capture log;
    img_mgr img;
    img.load(path.c_str());
    EXPECT_EQ(3u, img.left);
    EXPECT_EQ(4u, img.right);
    EXPECT_EQ(7u, img.top);
    EXPECT_EQ(8u, img.bottom);
    EXPECT_EQ(1, img.has_bounds);
    ASSERT_TRUE(img.surface && img.surface->surface);
    EXPECT_EQ(1, img.surface->surface->w);
    EXPECT_EQ(1, img.surface->surface->h);
    EXPECT_EQ(10, img.get_width());
    EXPECT_EQ(10, img.get_height());
    EXPECT_TRUE(log.has("Bounds for [" + path + "] are [3,7,4,8] bsz[1,1] isz[10,10] gl[-1]\n"));
    EXPECT_TRUE(log.has("Loading img_mgr [" + path + "] into ["));

    std::string full = save_picture(make_picture(12, 5, BLUE), dir, "full.bmp");
    img_mgr whole;
    whole.load(full.c_str());
    EXPECT_EQ(0u, whole.left);
    EXPECT_EQ(0u, whole.top);
    EXPECT_EQ(12u, whole.right);
    EXPECT_EQ(5u, whole.bottom);
    EXPECT_EQ(12, whole.surface->surface->w);
}

// A picture without an empty pixel hides the screen under it when it reaches every edge.
TEST_F(ImgSw, OnlyAPictureWithoutEmptyPixelsCoveringEveryEdgeCoversTheScreen) {
    const int w = video.screen->w, h = video.screen->h;
    SDL_Surface* holed = make_picture(w, h, BLUE);
    paint(holed, 5, 5, 1, 1, KEY);
    img_mgr solid, with_hole;
    solid.load(save_picture(make_picture(w + 8, h, BLUE), dir, "solid.bmp").c_str());
    with_hole.load(save_picture(holed, dir, "holed.bmp").c_str());
    EXPECT_TRUE(solid.solid);
    EXPECT_FALSE(with_hole.solid);
    const struct {
        int x, y;
        bool covers;
    } cases[] = {{0, 0, true}, {-8, 0, true}, {1, 0, false}, {0, -1, false}, {-9, 0, false}};
    for (const auto& c : cases) EXPECT_EQ(c.covers, solid.covers_screen(c.x, c.y)) << c.x << "," << c.y;
    EXPECT_FALSE(with_hole.covers_screen(0, 0));
    solid.set_alpha(128);
    EXPECT_FALSE(solid.covers_screen(0, 0)); // a translucent picture shows what lies under it
}

TEST_F(ImgSw, TheFourthByteOfAPixelDoesNotMakeTheKeyVisible) {
    SDL_Surface* s = SDL_CreateRGBSurface(SDL_SWSURFACE, 6, 4, 32, 0xFF, 0xFF00, 0xFF0000, 0);
    SDL_LockSurface(s);
    for (int y = 0; y < 4; y++)
        for (int x = 0; x < 6; x++) {
            uint8_t* p = (uint8_t*)s->pixels + y * s->pitch + x * 4;
            p[0] = 0; p[1] = 255; p[2] = 0; p[3] = (uint8_t)(17 * (x + y) + 1);
        }
    uint8_t* v = (uint8_t*)s->pixels + 2 * s->pitch + 4 * 4;
    v[0] = 9; v[1] = 9; v[2] = 9; v[3] = 0;
    SDL_UnlockSurface(s);
    img_mgr img;
    img.set_surface(s);
    img.shave();
    EXPECT_EQ(4u, img.left);
    EXPECT_EQ(5u, img.right);
    EXPECT_EQ(2u, img.top);
    EXPECT_EQ(3u, img.bottom);
}

TEST_F(ImgSw, APalettedPictureIsOnlyTrimmedByTheExactKeyColour) {
    SDL_Color nearly_green[3] = {{0, 250, 0, 0}, {255, 0, 0, 0}, {0, 255, 0, 0}};
    for (int with_key = 0; with_key < 2; with_key++) {
        SDL_Surface* s = SDL_CreateRGBSurface(SDL_SWSURFACE, 4, 2, 8, 0, 0, 0, 0);
        SDL_SetColors(s, nearly_green, 0, with_key ? 3 : 2);
        SDL_FillRect(s, nullptr, with_key ? 2 : 0);
        SDL_Rect dot = {1, 1, 1, 1};
        SDL_FillRect(s, &dot, 1);
        img_mgr img;
        img.load(save_picture(s, dir, "indexed.bmp").c_str());
        EXPECT_EQ(with_key ? 1u : 0u, img.left);
        EXPECT_EQ(with_key ? 2u : 4u, img.right);
        EXPECT_EQ(with_key ? 1u : 0u, img.top);
        EXPECT_EQ(2u, img.bottom);
    }
}

TEST_F(ImgSw, APictureWithNothingVisibleLoadsDrawsNothingAndNeverHits) {
    std::string path = save_picture(make_picture(8, 8, KEY), dir, "empty.bmp");
    img_mgr img, other;
    img.load(path.c_str());
    other.load(one_pixel_picture("dot.bmp").c_str());
    EXPECT_EQ(1, img.has_bounds);
    EXPECT_TRUE(img.is_blank());
    EXPECT_EQ(8, img.width);
    fill_screen(WHITE);
    img.draw_at(0, 0);
    img.draw(0, 0, video.screen, 2.0f, 2.0f, 45);
    img.flip();
    img.draw_at(0, 0);
    img.draw_floor(0, 0, video.screen, 0.5, 0.17);
    img.draw_tiled(0, 0, 100, 100);
    EXPECT_EQ(0, img.tohw());
    for (int y = 0; y < 20; y++)
        for (int x = 0; x < 20; x++) EXPECT_COLOUR(x, y, WHITE);
    EXPECT_FALSE(img.overlaps(0, 0, &other, 0, 0, 1.0f, false));
    EXPECT_FALSE(other.overlaps(0, 0, &img, 0, 0, 1.0f, false));
    EXPECT_TRUE(img.zcache.empty());
}

TEST_F(ImgSw, ALongPathIsStoredTruncatedAndStillFoundByItsFullText) {
    std::string sub = dir.path + "/" + std::string(70, 'd');
    make_dirs(sub);
    std::string path = sub + "/picture_with_a_long_name.bmp";
    SDL_Surface* s = make_picture(10, 10, KEY);
    paint(s, 3, 7, 1, 1, RED);
    SDL_SaveBMP(s, path.c_str());
    SDL_FreeSurface(s);
    ASSERT_GT(path.size(), 66u);

    log_capture log;
    img_mgr* a = Image_Manager.get(path.c_str());
    img_mgr* b = Image_Manager.get(path.c_str());
    EXPECT_EQ(a, b);
    EXPECT_EQ(1, log.count("Loading img_mgr ["));
    EXPECT_EQ(1, log.count("Found in nmanager cache [" + path + "]"));
    EXPECT_EQ(path.substr(0, 66), std::string(a->filename));
    EXPECT_EQ(3u, a->left);
    EXPECT_EQ(1, a->surface->surface->w);
}

TEST_F(ImgSw, AMissingFileStaysRegisteredAndIsNeverRetried) {
    std::string path = dir.file("absent.png");
    log_capture log;
    img_mgr* a = Image_Manager.get(path.c_str());
    img_mgr* b = Image_Manager.get(path.c_str());
    EXPECT_EQ(a, b);
    EXPECT_EQ(1, count_occurrences(log.out, "Couldn't load " + path + ": "));
    EXPECT_EQ(1, count_occurrences(log.err, "Couldn't load " + path + ": "));
    ASSERT_NE(nullptr, a->surface);
    EXPECT_EQ(nullptr, a->surface->surface);
    fill_screen(WHITE);
    a->draw_at(0, 0);
    a->draw(0, 0, video.screen, 2, 2, 30);
    EXPECT_COLOUR(0, 0, WHITE);
    EXPECT_NE(0, a->tohw());
}

TEST_F(ImgSw, SwappingAColourChangesOnlyMatchingPixels) {
    SDL_Surface* s = make_picture(4, 1, RED);
    paint(s, 2, 0, 1, 1, BLUE);
    img_mgr img;
    img.load(save_picture(s, dir, "two.bmp").c_str());
    SDL_Surface* surf = img.surface->surface;
    uint32_t red = SDL_MapRGB(surf->format, 255, 0, 0) & 0xFFFFFF;
    uint32_t white = SDL_MapRGB(surf->format, 255, 255, 255) & 0xFFFFFF;
    img.swap_color(SDL_MapRGB(surf->format, 1, 2, 3), white); // nobody has it
    fill_screen(KEY);
    img.draw_at(0, 0);
    EXPECT_COLOUR(0, 0, RED);
    EXPECT_COLOUR(2, 0, BLUE);
    img.swap_color(red, white);
    img.draw_at(0, 10);
    EXPECT_COLOUR(0, 10, WHITE);
    EXPECT_COLOUR(3, 10, WHITE);
    EXPECT_COLOUR(2, 10, BLUE);

    log_capture log;
    img_mgr empty;
    empty.swap_color(red, white);
    EXPECT_TRUE(log.has("Can't swap color [] doesn't have a image\n"));
}

TEST_F(ImgSw, TwoFlipsRestoreTheFirstFacingAndBuildTheMirrorOnce) {
    img_mgr img;
    img.load(one_pixel_picture("dot.bmp").c_str());
    img.tohw();
    SDL_Surface* first = img.surface->surface;
    img.flip();
    EXPECT_EQ(1, img.mirrored);
    ASSERT_NE(nullptr, img.mirror_surface);
    EXPECT_EQ(first, img.mirror_surface->surface);
    SDL_Surface* mirror = img.surface->surface;
    EXPECT_NE(first, mirror);
    img.flip();
    EXPECT_EQ(0, img.mirrored);
    EXPECT_EQ(first, img.surface->surface);
    img.flip();
    EXPECT_EQ(mirror, img.surface->surface); // no second mirror was made
}

TEST_F(ImgSw, OverlapsCountsTouchingEdgesAndMirrorsEachBox) {
    SDL_Surface* s = make_picture(20, 10, KEY);
    paint(s, 0, 0, 10, 10, RED); // visible box x 0..10 of a 20-wide picture
    img_mgr a, b;
    std::string path = save_picture(s, dir, "half.bmp");
    a.load(path.c_str());
    b.load(path.c_str());
    EXPECT_TRUE(a.overlaps(0, 0, &b, 10, 0, 1.0f, false));  // share column 10
    EXPECT_FALSE(a.overlaps(0, 0, &b, 11, 0, 1.0f, false));
    EXPECT_TRUE(a.overlaps(0, 0, &b, 0, 10, 1.0f, false));  // share row 10
    EXPECT_FALSE(a.overlaps(0, 0, &b, 0, 11, 1.0f, false));
    EXPECT_FALSE(a.overlaps(0, 0, &b, 21, 0, 0.5f, false)); // 0..5 against 10..15
    EXPECT_TRUE(a.overlaps(0, 0, &b, 10, 0, 0.5f, false));  // 0..5 against 5..10
    b.flip(); // its box now spans 10..20 of its picture
    EXPECT_FALSE(a.overlaps(0, 0, &b, 1, 0, 1.0f, false));
    EXPECT_TRUE(a.overlaps(0, 0, &b, 0, 0, 1.0f, false));

    fill_screen(WHITE);
    a.overlaps(0, 0, &b, 40, 0, 1.0f, true);
    EXPECT_COLOUR(5, 5, RED);
    EXPECT_COLOUR(55, 5, BLUE);
}

TEST_F(ImgSw, CopiesKeepTheirOwnSurfaceAndShareTheMirror) {
    img_mgr src;
    src.load(one_pixel_picture("dot.bmp").c_str());
    src.flip();
    log_capture log;
    img_mgr copy(src);
    EXPECT_TRUE(log.has("Copy cstr img_mgr ["));
    EXPECT_TRUE(log.has("Image assignment ["));
    EXPECT_NE(src.surface, copy.surface);
    EXPECT_EQ(src.mirror_surface, copy.mirror_surface);
    EXPECT_EQ(2, src.mirror_surface->refs);
    EXPECT_EQ(3u, copy.left);
    EXPECT_EQ(1, copy.mirrored);
    EXPECT_STREQ(src.filename, copy.filename);

    img_mgr unloaded;
    img_mgr other;
    log.reset();
    other = unloaded;
    EXPECT_TRUE(log.has("ERROR: no image to copy from\n"));
}

TEST_F(ImgSw, DestroyingReportsTheCountAndTheName) {
    int before = img_mgr_count;
    log_capture log;
    {
        img_mgr img;
        EXPECT_EQ(before + 1, img_mgr_count);
        EXPECT_TRUE(log.has("images[" + std::to_string(before + 1) + "] estsz[" +
                            std::to_string((before + 1) * 200) + "]\n"));
        img.load(one_pixel_picture("dot.bmp").c_str());
    }
    EXPECT_EQ(before, img_mgr_count);
    EXPECT_TRUE(log.has("images[" + std::to_string(before) + "] mysize[200]\n"));
    EXPECT_TRUE(log.has("___filename [" + dir.file("dot.bmp") + "]\n"));
}

} // namespace
