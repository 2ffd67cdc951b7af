// hard_ai: the computer of the "hard" and "normal" difficulties (normal: the same mind with
// slower eyes, a looser guard and fewer punishments). It runs after the fighter's own path step
// and replaces what that step chose for the frame (walking, ducking, the command): in reach
// it keeps its guard up by the opponent's posture (low against a crouching one, standing
// against the rest), punishes an attack that has just ended, strikes first at an opponent
// who keeps walking in the same way, throws or sweeps one who only blocks, waits out a jump,
// and picks among its specials at a distance. Some attacks surprise it (it blocks them only
// after a human's reaction time) and its guard cannot stop a throw, so a player who blocks,
// counters and throws can beat it.
//
// One mind per fighter slot (0, 1), reset by hard_ai_reset at every match set-up.
#pragma once

struct combatant;

// What one mind remembers between frames (part of the match's state).
struct hard_ai_mind {
    int seen_attack = 0;    // frames the opponent's attack has been seen
    int misses_block = 0;   // this attack comes as a surprise: blocked only after REACTION
    int since_attack = 1000;// frames since the opponent's last attack ended
    int was_attacking = 0;
    int walk_ins = 0;       // attacks the opponent began right after walking in
    int walking_in = 0;     // frames the opponent has been walking in
    int blocking = 0;       // frames the opponent has been blocking in reach
    int special_rest = 0;
    int strike_rest = 0;
};
extern hard_ai_mind hard_ai_minds[2];

void hard_ai_reset();
// The guard's height against opp: low against a crouching attacker (a standing guard
// falls to it), standing against the rest (a crouching guard falls to a jump).
bool guard_low(const combatant* opp);
// Fighter o (slot 0 or 1) against opp on this frame; vx, vy and command are what the path
// step chose and are replaced. hard: the sharper of the two.
void hard_ai_step(combatant* o, int slot, const combatant* opp, int& command, bool hard);
