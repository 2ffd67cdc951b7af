// mon_mgr: the things that move and are drawn in the fighting area.
//  - lifeform: position, size, velocity and acceleration, facing, hit points, still images,
//    moves (animation groups) and the move playing now (its stack). Once per tick the match
//    runs its think (the path step), its motion step inside the area's walls and its
//    display (shadow, then the move or the still image).
//  - combatant: a lifeform with the combat bookkeeping of a match: posture, action, hit
//    reactions, priorities, statistics and meters. Every fighter and projectile is one.
//  - Combatant_Manager: the match's object list. The match registers its two fighters;
//    projectiles launched by fire frames are appended after them.
//
// Ownership: a lifeform owns its move groups, its stack, its combo list, its private
// re-coloured image copies and its weapons. Shared images belong to Image_Manager, the
// control stage list to whoever built it (the match), a fighter's path to the match; a
// projectile owns the path its launch created. The registry owns every combatant in it.
#pragma once
#include <cstdint>
#include <vector>

#include "animation/anim_group.h"
#include "foundation/manager.h"
#include "images/img_mgr.h"
#include "input/combo.h"
#include "input/control_stage.h"
#include "input/keyhistory.h"
#include "input/path.h"
#include "foundation/sfx.h"

struct weapon;
struct frame;

// Values of `move_state`.
enum { MOVE_NONE = -1, MOVE_FLIGHT = 0, MOVE_PLAYING = 1, MOVE_HELD = -2 };
enum { KIND_PROJECTILE = 3 };
enum { WEAPON_ROWS = 3, WEAPON_STREAMS = 11 };

// What a fighter is doing, as the match's rules see it.
enum { STANCE_NEUTRAL = 0, STANCE_BLOCK = 1, STANCE_HIT = 2, STANCE_KO = 3, STANCE_ATTACK = 4 };

struct lifeform {
    int32_t refs;                  // handle count (registries own lifeforms)
    std::vector<img_mgr*> images;  // still images; image 0 is shown when no move plays
    int32_t hp;                    // alive while >= 0; -1 marks a projectile off the area
    int32_t max_hp;
    double shown_hp;               // value for the life meter
    int32_t x, y;                  // top-left corner, world pixels
    uint16_t h, w;
    uint8_t freeze;                // ticks the move is held and the still image shown
    double vx, vy;                 // velocity, pixels per time unit
    double ax, ay;                 // added to the velocity on every motion step
    double speed;                  // time divisor of the motion step; 0 disables motion
    int32_t min_x, min_y, max_x, max_y; // content box of still image 0
    uint8_t path_flag;             // the match keeps the opponent's index here
    uint8_t side;
    uint8_t facing;                // 1: faces right, images drawn mirrored
    uint8_t stance;                // match-logic state: one of the STANCE_ values above
    std::vector<weapon*> weapons;
    std::vector<colour_swap> swaps;// applied to images and move frames at load
    int32_t cur_image;             // which still image is shown
    uint8_t edge_kill;             // 1: touching the area's edge sets hp to -1
    uint8_t kind;                  // 3 projectile; non-zero kinds move four times as far
    struct path* path;             // movement controller, or null
    uint16_t ticks;                // displays so far; the path's age
    int16_t path_value;            // the path's step index
    std::vector<anim_group*> moves;// index = move number; a slot may be null
    ag_stack* stack;               // the playing move
    int32_t move_state;            // MOVE_NONE, MOVE_PLAYING, MOVE_FLIGHT, MOVE_HELD
    uint8_t weapon_snapshot[WEAPON_ROWS][WEAPON_STREAMS]; // low bytes of stream cooldowns
    double scale;                  // positions divided by it, draw zooms multiplied by it
    combo_list* combos;
    int32_t ai_weights[AI_WEIGHTS];
    control_stage_list* controls;  // not owned
    uint8_t alpha;                 // opacity given to move frames
    img_mgr* last_image;           // drawn on the latest display; its box collides
    int16_t drawn_dx, drawn_dy;    // the offsets of the move frame drawn last (facing
                                   // applied; 0 for a still image): its box moves with them
    keyhistory keys;
    // Fire frames that ran out on the latest display, in order, with the lifeform's width at
    // that moment; the owner of the object list launches them (projectile.h) and clears them.
    struct fired_frame {
        const frame* f;
        uint16_t w;
    };
    enum { MAX_FIRED = 4 };
    fired_frame fired[MAX_FIRED];
    uint8_t fired_count;

    // Fighter-file values of the match rules; the defaults are the plain rules' numbers.
    double jump_rise;              // "jump": upward acceleration at take-off (12)
    double jump_fall;              // "jumpfall": taken off it on each tick in the air (0.25)
    double high_jump;              // "highjump": extra of the high-jump special (1.1)
    double walk_speed;             // "walk": pixels per tick a walking step covers (1)
    // The sound and shake of a hit that lands, per move number (a move without one is
    // silent), and the sound of a blocked hit; the sounds belong to Sfx_Manager.
    struct contact_fx {
        sfx* sound = nullptr;
        int32_t shake = 0;
    };
    std::vector<contact_fx> contact;
    sfx* block_sound;

    // Bookkeeping that is not part of the game state.
    std::vector<img_mgr*> own_images; // private re-coloured copies, freed with the lifeform
    std::vector<anim_mgr*> own_defs;  // move definitions its load made; freed with it when
                                      // nothing else holds them
    uint8_t owns_path;                // the path was made for this lifeform (projectiles)

    lifeform();
    lifeform(const lifeform&) = delete;
    lifeform& operator=(const lifeform&) = delete;
    ~lifeform();

    bool alive() const { return hp >= 0; }
    // One motion step of t time units, then the area's walls.
    void motion(int32_t t);
    // One tick: shadow, then the playing move or the still image, then the weapons.
    void display();
    // Still image i where the lifeform stands, its bottom on the lifeform's bottom, without a
    // tick: nothing of the lifeform changes (a picture held while no rule runs).
    void draw_still(int i);
    // The image whose box counts for collisions now, or null; with dx and dy given, the
    // offsets that image is drawn with.
    img_mgr* collision_image(int16_t* dx = nullptr, int16_t* dy = nullptr);
    // The box the hit test compares now: the last drawn picture's, where it was drawn on the
    // screen. False when nothing was drawn or the picture shows nothing.
    bool hit_box(pixel_box& b) const;
    // Whether the last drawn images of the two lifeforms overlap.
    bool collides(lifeform* other);
    // Reads a fighter file (fighter_file.cpp).
    void load(const char* filename);
    // The path step: key history, path, weapons.
    void think();
    // One tick of the playing move at the lifeform's position, facing, scale and alpha.
    void play_stack(ag_stack* s);

    // Shared pieces of the rules above.
    bool move_playing() const; // a move plays: state not -1/-2 and a non-empty stack
    bool offscreen() const;    // outside the camera's view horizontally
    img_mgr* still_image();    // images[cur_image], image 0 for an empty slot, or null
    int image_width(int i) const;  // width of still image i, 0 when there is none
    int image_height(int i) const;
    // Empties the stack in place (the stack object itself stays).
    void empty_stack();
};

struct combatant : lifeform {
    int32_t posture;       // 0 crouching, 1 standing, 2 jumping
    int32_t action;        // match-logic code; 2 after a hit; 3 not ready
    int32_t hit_posture;   // posture saved by the latest hit
    int32_t cur_priority;  // priority of the playing move
    int32_t hits_in_row;   // hits taken since this one last hit its opponent
    uint8_t round_wins;
    uint8_t knockdown_streak;
    int32_t recovery_timer;
    int32_t dash_angle;    // degrees
    uint32_t hit_time;     // ms of the latest hit taken
    uint8_t hits_landed, hits_taken;
    uint8_t damage_taken;  // wraps at 256
    uint8_t knockdowns;
    uint8_t damage_dealt;  // wraps at 256
    uint8_t early;         // the playing move is in its first quarter (set by ready)
    uint8_t meters[3];     // 0 to 100

    combatant();

    // Starts move `move` when `priority` is at least the running one. Always 1.
    int start_move(int move, int priority);
    // Whether a new move may be given without priority.
    bool ready();
    // Applies one hit from attacker.
    void take_hit(combatant* attacker);
    // The three meters grow, each capped at 100.
    void add_to_meters(int a, int b, int c);
};

// The match's object list: its fighters first, then projectiles in launch order.
extern nmanager<combatant> Combatant_Manager;
