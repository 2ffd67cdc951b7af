// Frame drawing in OpenGL mode.
#include "anim_draw_cases.h"

TEST(AnimDrawGL, PlainFrameLandsAtItsPoint) { anim_draw::plain_frame_lands_at_its_point(true); }
TEST(AnimDrawGL, ScalesAnchorAtTheBottomEdgeAndZoomMovesX) {
    anim_draw::scales_anchor_at_the_bottom_edge_and_zoom_moves_x(true);
}
TEST(AnimDrawGL, AlphaBlendsTheFrame) { anim_draw::alpha_blends_the_frame(true); }
TEST(AnimDrawGL, GroupPlacesEntriesByPointOffsetAndPosition) {
    anim_draw::group_places_entries_by_point_offset_and_position(true);
}
