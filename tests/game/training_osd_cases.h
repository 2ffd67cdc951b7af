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
    const int x = training_inputs_x(1, 640), x2 = training_panel_x(1, 640) - 1;
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
    const int H = TRAINING_ROW_H, help = TRAINING_HELP_Y;
    for (int r = 0; r < 3; r++)
        EXPECT_GT(text_pixels(x + 16, TRAINING_PANEL_TOP + r * H, x2, TRAINING_PANEL_TOP + r * H + H - 1), 10)
            << "row " << r;
    EXPECT_EQ(text_pixels(x + 16, TRAINING_PANEL_TOP + 3 * H, x2, TRAINING_PANEL_TOP + 4 * H - 1), 0);
    EXPECT_GT(text_pixels(0, help, 639, help + H - 1), 50) << "the help line";

    training.overlap_frames = 0;
    training.overlays = false;
    video.clear();
    training_draw(env.r);
    EXPECT_EQ(count_colour(90, 190, 260, 310, OUTLINE) + count_colour(90, 190, 260, 310, OVERLAP), 0);
    EXPECT_EQ(count_colour(x - 10, TRAINING_PANEL_TOP, 639, help - 1, ARROW) +
                  text_pixels(x - 10, TRAINING_PANEL_TOP, 639, help - 1), 0);
    EXPECT_GT(text_pixels(0, help, 639, help + H - 1), 50) << "the help stays";

    training.help = false;
    video.clear();
    training_draw(env.r);
    EXPECT_EQ(text_pixels(0, help, 639, help + H - 1), 0);
}

// Every fighter standing at 640 x 480 has its picture box below all that training draws, and
// a line too long for its place is moved in rather than cut at the edge.
inline void check_training_layout(display_env& env) {
    for (const char* name : {"mirelle", "tamsin", "ondine", "verity"}) {
        img_mgr stand;
        stand.load((std::string(FIGHT_DATA_DIR) + "/rsrc/" + name + "/" + name + "_stand.png").c_str());
        combatant f;
        f.last_image = &stand;
        f.y = 480 - stand.get_height(); // as the match places it
        screen_box b;
        ASSERT_TRUE(picture_box(&f, b)) << name;
        EXPECT_GE(b.y1, TRAINING_BOTTOM) << name << "'s head is under the panels";
        f.last_image = nullptr;
    }
    overlay_scene scene;
    // Every control held: the player's row is wider than the room left of the screen's edge.
    training.inputs[1].feed(0x3f0);
    training.inputs[0].feed(16);
    training.inputs[0].mark_special(3, 1);
    snprintf(training.move_names[0][15], sizeof training.move_names[0][15], "mirelle_averyverylongmovename");
    training.recorder = RECORDER_RECORDING;
    video.clear();
    training_draw(env.r);
    EXPECT_GT(text_pixels(0, TRAINING_PANEL_TOP, 639, TRAINING_BOTTOM - 1), 500);
    EXPECT_EQ(text_pixels(0, TRAINING_BOTTOM, 639, 479), 0) << "nothing over the fighters";
    EXPECT_EQ(text_pixels(640 - TRAINING_MARGIN, 0, 639, 479) + text_pixels(0, 0, TRAINING_MARGIN - 1, 479), 0)
        << "no line runs to the screen's edge";
    training.recorder = RECORDER_OFF;
}
