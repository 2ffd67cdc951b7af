// The zoom caches' shared byte budget: all images' conversions together stay within it,
// the least recently used conversion of any image goes first, and a picture drawn every
// frame at one scale keeps its conversion while others churn.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "images/img_mgr.h"
#include "picture_maker.h"

namespace {

struct ZoomBudget : ::testing::Test {
    scratch_dir dir;
    long saved_budget = zoom_cache::budget;
    void SetUp() override {
        ASSERT_TRUE(open_test_screen(false));
        fill_screen(WHITE);
    }
    void TearDown() override { zoom_cache::budget = saved_budget; }

    // A fully red picture of its own file, so every image keeps its own cache.
    std::unique_ptr<img_mgr> picture(const std::string& name, int w = 20, int h = 20) {
        std::unique_ptr<img_mgr> img(new img_mgr());
        img->load(save_picture(make_picture(w, h, RED), dir, name + ".bmp").c_str());
        return img;
    }
    // Bytes one conversion of a picture takes at a scale, read from a throwaway draw.
    long entry_bytes(img_mgr& img, float scale) {
        long before = zoom_cache::total_bytes;
        img.draw(0, 0, video.screen, scale, scale, 0);
        long bytes = zoom_cache::total_bytes - before;
        img.zcache.clear();
        return bytes;
    }
};

long bytes_held(const std::vector<std::unique_ptr<img_mgr>>& images) {
    long sum = 0;
    for (const auto& im : images)
        for (const zcache_entry* e : im->zcache.entries) sum += (long)e->surface->pitch * e->surface->h;
    return sum;
}

TEST_F(ZoomBudget, ManyImagesAtChangingZoomsStayWithinTheBudget) {
    std::vector<std::unique_ptr<img_mgr>> images;
    for (int i = 0; i < 12; i++) images.push_back(picture("p" + std::to_string(i)));
    long base = zoom_cache::total_bytes;
    zoom_cache::budget = base + 40 * entry_bytes(*images[0], 2.0f);
    long largest = 0;
    for (int frame = 0; frame < 200; frame++) {
        float zoom = 1.5f + (float)(frame % 37) * 0.02f;
        for (auto& im : images) im->draw(0, 0, video.screen, zoom, zoom, 0);
        for (auto& im : images)
            for (const zcache_entry* e : im->zcache.entries) largest = std::max(largest, e->bytes);
        ASSERT_LE(zoom_cache::total_bytes, zoom_cache::budget + largest) << "frame " << frame;
    }
    // The running total is what the caches really hold.
    EXPECT_EQ(zoom_cache::total_bytes - base, bytes_held(images));
    int evicted = 0;
    for (auto& im : images) evicted += im->zcache.evictions;
    EXPECT_GT(evicted, 0);
}

TEST_F(ZoomBudget, ThePictureDrawnEveryFrameAtOneScaleConvertsOnce) {
    auto steady = picture("steady");
    auto churn = picture("churn");
    zoom_cache::budget = zoom_cache::total_bytes + 6 * entry_bytes(*churn, 3.0f);
    log_capture log;
    for (int frame = 0; frame < 100; frame++) {
        steady->draw(0, 0, video.screen, 2.0f, 2.0f, 0);
        float zoom = 1.0f + (float)frame * 0.03f;
        churn->draw(0, 0, video.screen, zoom, zoom, 0);
    }
    EXPECT_EQ(1, log.count("saving [" + std::string(steady->filename)));
    EXPECT_GT(churn->zcache.evictions, 0);
    EXPECT_EQ(0, steady->zcache.evictions);
}

TEST_F(ZoomBudget, TheLeastRecentlyUsedConversionOfAnyImageGoesFirst) {
    auto a = picture("a"), b = picture("b"), c = picture("c");
    long one = entry_bytes(*a, 2.0f);
    zoom_cache::budget = zoom_cache::total_bytes + 2 * one;
    a->draw(0, 0, video.screen, 2.0f, 2.0f, 0);
    b->draw(0, 0, video.screen, 2.0f, 2.0f, 0);
    a->draw(0, 0, video.screen, 2.0f, 2.0f, 0); // a is now the more recent
    c->draw(0, 0, video.screen, 2.0f, 2.0f, 0);
    EXPECT_EQ(1, a->zcache.size());
    EXPECT_TRUE(b->zcache.empty());
    EXPECT_EQ(1, c->zcache.size());
    // What is drawn from a surviving conversion is still the picture.
    fill_screen(WHITE);
    a->draw(0, 0, video.screen, 2.0f, 2.0f, 0);
    EXPECT_COLOUR(39, 39, RED);
    EXPECT_COLOUR(40, 40, WHITE);
}

TEST_F(ZoomBudget, AConversionLargerThanTheWholeBudgetIsStillKeptForItsPicture) {
    auto big = picture("big", 60, 60), small = picture("small");
    small->draw(0, 0, video.screen, 2.0f, 2.0f, 0);
    zoom_cache::budget = zoom_cache::total_bytes; // full already
    log_capture log;
    big->draw(0, 0, video.screen, 4.0f, 4.0f, 0);
    big->draw(0, 0, video.screen, 4.0f, 4.0f, 0);
    EXPECT_EQ(1, log.count("saving ["));
    EXPECT_EQ(1, big->zcache.size());
    EXPECT_TRUE(small->zcache.empty());
}

TEST_F(ZoomBudget, FreeingAnImageGivesItsConversionsBack) {
    long before = zoom_cache::total_bytes;
    {
        auto img = picture("gone");
        img->draw(0, 0, video.screen, 2.0f, 2.0f, 0);
        img->flip();
        img->draw(0, 0, video.screen, 2.0f, 2.0f, 0);
        EXPECT_GT(zoom_cache::total_bytes, before);
    }
    EXPECT_EQ(before, zoom_cache::total_bytes);
}

} // namespace
