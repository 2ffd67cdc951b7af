// frame_data: the timings of a fighter's moves as training shows them, and the advantage
// measured after a hit or a block.
//  - move_timing_of: from a move's animation file, its total ticks and the first tick at
//    which it can hit: the first tick showing a picture whose box reaches beyond the
//    fighter's box at rest (the hit test compares the boxes of the pictures shown).
//  - move_tick: ticks of the playing move shown so far, from its instance's place.
//  - advantage_meter: after a contact, the frames at which attacker and victim can act
//    again (ready, and no longer reeling); the advantage is how much sooner the attacker can.
// Nothing here owns anything: the groups and images are the fighters'.
#pragma once

struct anim_group;
struct img_mgr;
struct combatant;

struct move_timing {
    int total = 0;     // ticks of the whole move
    int first_hit = 0; // first tick that can hit, 0 when no picture reaches beyond the body
};
move_timing move_timing_of(const anim_group* move, const img_mgr* at_rest);

// Ticks of o's playing move shown so far (0 when no move plays).
int move_tick(const combatant* o);

// Whether fighter f can act at its next step: ready for a new move and not reeling.
bool can_act(combatant* f);

struct advantage_meter {
    int attacker = -1;           // side (0, 1) of the contact being measured, -1 none
    int free_at[2] = {-1, -1};   // frame at which each side could act again, -1 not yet
    int result[2] = {0, 0};      // last measured advantage of each side as the attacker
    int measured[2] = {0, 0};    // whether result holds a measurement

    // A hit or block by side `attacker_side`: a new measurement starts.
    void contact(int attacker_side);
    // One frame's look at both fighters (index = side).
    void step(combatant* const fighters[2], int frame);
};
