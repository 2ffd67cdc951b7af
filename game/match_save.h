// match_save: the running match as one value. Everything that changes while a match runs is
// written into a buffer and read back exactly: the match's own state (current_match), both
// fighters whole (position, motion, life and the display's lagging life, posture, action,
// stance, freeze, the playing move with its instances and timers, combo progress, key
// history, weapons, meters and statistics, the path with the computer's state), the
// projectiles in flight, the hit effects, the camera with the shake and flash, the computer
// minds, training's session when training runs, and the replay session's position (its
// frame clock, the match's random generator, the keys). Also the few things shared pictures
// and animation definitions change as they are played (facing, opacity, spin), so a restored
// match collides and draws as the saved one did.
//
// Shared pieces (pictures, animation definitions, combos, sounds) are referred to by their
// place in tables built from the match's two fighters, never by address: the same match set
// up in another process saves the same bytes, so checksums compare across machines.
//
// Ownership: the caller owns the snapshots. A restore deletes the projectiles and effects in
// play and makes the saved ones afresh; everything else is written over in place.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

struct match_snapshot {
    std::vector<uint8_t> bytes;
};

// The running match into `out` (its capacity is reused: a save allocates only the first time).
void match_save(match_snapshot& out);
// The match back as `in` was saved. False (and nothing changed) when `in` does not belong to
// the running match: another set-up, a damaged buffer, a shooter the projectile cannot have.
// Without with_session the replay session's position stays as it is (a takeover's F5: the
// recording goes on).
bool match_restore(const match_snapshot& in, bool with_session = true);
// 64-bit FNV-1a of the state as match_save writes it.
uint64_t match_checksum(const match_snapshot& s);
uint64_t match_checksum();
// For tests and the desync report: the field where two saves of the running match first
// differ ("fighter 1: x"), or "" when they are the same.
std::string match_difference(const match_snapshot& a, const match_snapshot& b);
