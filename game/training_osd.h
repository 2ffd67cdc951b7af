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
#pragma once

struct osd_resources;

// Screen places of the panels, for the tests that read them back.
enum {
    TRAINING_PANEL_TOP = 96, TRAINING_ROW_H = 16, TRAINING_PANEL_W = 160, TRAINING_MARGIN = 6
};
// Left edge of side i's panels on a screen w pixels wide (0 the dummy on the left).
int training_panel_x(int side, int w);

// Colours of the hit overlay (RGB).
extern const unsigned char training_outline_rgb[3];
extern const unsigned char training_overlap_rgb[3];
extern const unsigned char training_arrow_rgb[3];

void training_draw(osd_resources& r);
