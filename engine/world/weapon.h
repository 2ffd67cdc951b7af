// weapon: a lifeform's gun - streams with a cooldown each, a side and a disabled flag. The
// lifeform owns its weapons; its think fires them on the path's requests and its display
// counts their cooldowns down. The game itself gives no lifeform a weapon.
#pragma once
#include <cstdint>
#include <vector>

struct weapon_stream {
    int32_t cooldown; // ticks until the stream may fire again
    int32_t blocking; // non-zero: the stream does not fire
};

struct weapon {
    std::vector<weapon_stream> streams;
    uint8_t side = 0;     // the owner's, set before it fires
    uint8_t disabled = 0;

    bool ready() const { return !disabled; }
    // One tick: every running cooldown loses 1.
    void update();
    // Fires every stream that is cooled down and not blocking.
    void fire(double dir_x, double dir_y, int x, int y, int w, int h, int vy);
};
