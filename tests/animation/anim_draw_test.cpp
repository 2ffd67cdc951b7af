// Frame drawing in software mode.
#include "anim_draw_cases.h"

TEST(AnimDraw, PlainFrameLandsAtItsPoint) { anim_draw::plain_frame_lands_at_its_point(false); }
TEST(AnimDraw, ScalesAnchorAtTheBottomEdgeAndZoomMovesX) {
    anim_draw::scales_anchor_at_the_bottom_edge_and_zoom_moves_x(false);
}
TEST(AnimDraw, AlphaBlendsTheFrame) { anim_draw::alpha_blends_the_frame(false); }
TEST(AnimDraw, GroupPlacesEntriesByPointOffsetAndPosition) {
    anim_draw::group_places_entries_by_point_offset_and_position(false);
}
TEST(AnimDraw, CopiesOfAGroupKeepTheirOwnFacing) { anim_draw::copies_of_a_group_keep_their_own_facing(false); }
