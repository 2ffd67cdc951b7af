// training_osd: what a training match draws over the match, in either drawing mode:
//  - for each side the input display (latest inputs newest on top: a direction arrow, the
//    controls held and the frames they lasted; a special that came out named beside the
//    rows that made it), the string panel (hits and damage of the current string, the best
//    of the session) and the frame data of the move being performed (number and file,
//    ticks so far of its total, first tick that can hit, advantage after the last contact);
//  - the hit overlay: the outline of each fighter's picture box and, for ten frames after a
//    hit, the place where the two boxes overlapped;
//  - the one-line help at the bottom (F1).
// F6 hides everything but the help. Draws with the display's statistics font; reads no file
// and renders no text picture (the font draws cached glyphs).
//
// Everything sits in the band between the heads-up displays and the standing fighters'
// heads: for each side the panel column at its screen edge (text right-aligned on the right)
// and the input column beside it towards the middle, then the help line under both. Names
// are shown without their fighter's name ("crouch_kick" for "mirelle_crouch_kick"): each
// side belongs to one fighter. No line runs past the screen's edge.
#pragma once

struct osd_resources;

// Screen places of the panels, for the tests that read them back.
enum {
    TRAINING_PANEL_TOP = 92, TRAINING_ROW_H = 13, TRAINING_INPUT_ROWS = 6, TRAINING_PANEL_W = 150,
    TRAINING_INPUT_W = 120, TRAINING_MARGIN = 6,
    TRAINING_HELP_Y = TRAINING_PANEL_TOP + TRAINING_INPUT_ROWS * TRAINING_ROW_H, // 170
    // Nothing is drawn below (but the hit overlay): the help line's glyphs reach 16 pixels down.
    TRAINING_BOTTOM = TRAINING_HELP_Y + 16
};
// Left edge of side i's panel column and of its input column on a screen w pixels wide (0 the
// dummy on the left).
int training_panel_x(int side, int w);
int training_inputs_x(int side, int w);

// Colours of the hit overlay (RGB).
extern const unsigned char training_outline_rgb[3];
extern const unsigned char training_overlap_rgb[3];
extern const unsigned char training_arrow_rgb[3];

void training_draw(osd_resources& r);
