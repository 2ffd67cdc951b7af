// The training overlays checked by pixels, the same in both drawing modes: two fighters'
// picture boxes outlined and their overlap lit after a hit, the input display's arrow, a
// special's bar and the rows' text, F6 hiding all but the help line, F1 hiding the help.
#pragma once
#include "osd_helpers.h"

#include <cstring>

#include "foundation/video_mgr.h"
#include "training.h"
#include "training_osd.h"

static const rgb OUTLINE = {training_outline_rgb[0], training_outline_rgb[1], training_outline_rgb[2]};
static const rgb OVERLAP = {training_overlap_rgb[0], training_overlap_rgb[1], training_overlap_rgb[2]};
static const rgb ARROW = {training_arrow_rgb[0], training_arrow_rgb[1], training_arrow_rgb[2]};

// Two fighters of 100 x 100 pictures at (100, 200) and (150, 200), no stage: boxes
// 100..200 and 150..250 on the screen.
struct overlay_scene {
    img_mgr picture;
    overlay_scene() {
        picture.set_surface_bounded(make_picture(100, 100, RED), 0, 0, 100, 100);
        for (int i = 0; i < 2; i++) {
            combatant* f = new combatant();
            f->last_image = &picture;
            f->x = 100 + 50 * i;
            f->y = 200;
            Combatant_Manager.Objects.push_back(f);
        }
        training = training_session();
        const uint16_t right = 8, punch = 16;
        training.inputs[1].feed(right);
        training.inputs[1].feed(punch);
        training.inputs[1].feed(right | punch);
        training.inputs[1].mark_special(3, 2);
        snprintf(training.move_names[1][15], sizeof training.move_names[1][15], "mirelle_rush");
        training.overlap = screen_box{150, 200, 200, 300};
        training.overlap_frames = 5;
    }
    ~overlay_scene() {
        for (combatant* f : Combatant_Manager.Objects) f->last_image = nullptr;
        Combatant_Manager.clean();
    }
};

// Pixels of the statistics font's yellow, edges smoothed against the black included.
inline int text_pixels(int x1, int y1, int x2, int y2) {
    int n = 0;
    for (int y = y1; y <= y2; y++)
        for (int x = x1; x <= x2; x++) {
            rgb c = screen_at(x, y);
            if (c.r > 120 && c.g > 120 && c.b < 60) n++;
        }
    return n;
}

inline void check_training_overlays(display_env& env) {
    overlay_scene scene;
    const int x = training_panel_x(1, 640);
    video.clear();
    training_draw(env.r);
    EXPECT_COLOUR(100, 250, OUTLINE);
    EXPECT_COLOUR(225, 200, OUTLINE);
    EXPECT_COLOUR(249, 260, OUTLINE);
    EXPECT_COLOUR(175, 250, OVERLAP);
    EXPECT_EQ(count_colour(110, 210, 140, 290, OUTLINE) + count_colour(110, 210, 140, 290, OVERLAP), 0)
        << "only the overlap is filled";
    // Newest row: right and punch, its arrow's head 5 pixels right of the row's centre.
    EXPECT_COLOUR(x + 11, TRAINING_PANEL_TOP + 7, ARROW);
    EXPECT_COLOUR(x + 11, TRAINING_PANEL_TOP + 5, ARROW);
    EXPECT_FALSE(same(screen_at(x + 2, TRAINING_PANEL_TOP + 5), ARROW)) << "it points right";
    EXPECT_COLOUR(x - 6, TRAINING_PANEL_TOP + 20, ARROW); // the special's bar along its two rows
    EXPECT_FALSE(same(screen_at(x - 6, TRAINING_PANEL_TOP + 40), ARROW)) << "and no further";
    EXPECT_GT(text_pixels(x - 100, TRAINING_PANEL_TOP, x - 8, TRAINING_PANEL_TOP + 14), 10)
        << "its name to the left";
    for (int r = 0; r < 3; r++)
        EXPECT_GT(text_pixels(x + 16, TRAINING_PANEL_TOP + r * 16, 639, TRAINING_PANEL_TOP + r * 16 + 14), 10)
            << "row " << r;
    EXPECT_EQ(text_pixels(x + 16, TRAINING_PANEL_TOP + 48, 639, TRAINING_PANEL_TOP + 62), 0);
    EXPECT_GT(text_pixels(0, 455, 639, 479), 50) << "the help line";

    training.overlap_frames = 0;
    training.overlays = false;
    video.clear();
    training_draw(env.r);
    EXPECT_EQ(count_colour(90, 190, 260, 310, OUTLINE) + count_colour(90, 190, 260, 310, OVERLAP), 0);
    EXPECT_EQ(count_colour(x - 10, TRAINING_PANEL_TOP, 639, 440, ARROW) +
                  text_pixels(x - 10, TRAINING_PANEL_TOP, 639, 440), 0);
    EXPECT_GT(text_pixels(0, 455, 639, 479), 50) << "the help stays";

    training.help = false;
    video.clear();
    training_draw(env.r);
    EXPECT_EQ(text_pixels(0, 455, 639, 479), 0);
}
