// path: the movement controller of one fighter (or projectile). Once per frame it turns the
// mode of its current program step into speeds, an action (which attack or weapon to use)
// and a fire direction. Modes: 0 wander, 1 circle, 2 swing, 3 first key set and joystick,
// 4 drift, 5 second key set, 6 computer opponent, 7 stop vertical motion; others do nothing.
//
// The owner copies its state in before `run` (key history, step index, position, speeds,
// age, facing, opponent index, AI weights) and takes the speeds, step index and opponent
// index back afterwards (lifeform::think), handing in where the opponent stands and how
// wide the stage is. The path owns nothing: the key history is the fighter's.
#pragma once
#include <cstdint>

struct keyhistory;

enum { PATH_MAX_STEPS = 100 };

// Indices of the six AI weights, in the order fighters and paths keep them.
enum {
    AI_BLOCK = 0,
    AI_RESERVED = 1,
    AI_ATTACK_RANGE = 2, // per cent of the stage's maximum width
    AI_JUMP = 3,
    AI_DUCK = 4,
    AI_APPROACH = 5,
    AI_WEIGHTS = 6
};

struct path {
    // The program: one mode per step, with four further values per step that nothing reads.
    int mode[PATH_MAX_STEPS];
    int arg1[PATH_MAX_STEPS];
    int arg2[PATH_MAX_STEPS];
    int arg3[PATH_MAX_STEPS];
    int arg4[PATH_MAX_STEPS];
    int step;       // step to run next
    int steps;      // steps in the program
    int action;     // -1 none; 0 punch, 3 kick, 4 special2, 5 special1, 6 block, 7 throw
    int action2;    // -1 none, else a second weapon to use
    double vx, vy;  // horizontal, vertical speed: -1 left/up, +1 right/down
    double fire_x, fire_y; // direction a weapon fired this frame takes
    int x, y;       // the owner's position
    int age;        // the owner's tick count
    int mirrored;   // the owner's facing: 1 faces right
    int ai_state;   // computer opponent state, kept between frames; -1 decides afresh
    int opponent;   // index of the opponent in the owner's object list
    int opponent_x; // the opponent's position, when there is one (has_opponent)
    int has_opponent;
    int stage_width; // the stage's widest picture: the attack range is a share of it
    keyhistory* keys;
    int weights[AI_WEIGHTS];

    path();
    // Empties the program and returns every field to its construction value.
    void reset();
    // Appends a step; a full program (100 steps) refuses it with a log line.
    void add_step(int m, int a1, int a2, int a3, int a4);
    // One frame of control; then the next step.
    void run();

    // The computer opponent's frame (mode 6), open for tests.
    void think_ai();
};
