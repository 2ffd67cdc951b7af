// key_press: the rule that turns keys into actions on the menus and in the editor. Every
// press acts exactly once, however short or long it is; a key marked as repeating acts
// again while held, first after KEY_REPEAT_DELAY_MS, then every KEY_REPEAT_INTERVAL_MS,
// counted on the clock (clock_ticks), never from frames; a key already held when the screen
// opens does nothing there until it has been released. Presses come from SDL's key events
// (pump takes every pending event each frame, so none is lost among mouse motion or other
// events) and, for the joystick, from its state given once per frame (level).
//
// A screen owns one key_press by value, calls open when it starts, pump once per frame, then
// takes the frame's actions in order with next. Nothing is allocated.
#pragma once
#include <SDL.h>
#include <cstdint>

enum { KEY_REPEAT_DELAY_MS = 400, KEY_REPEAT_INTERVAL_MS = 125 };

// The first joystick as keys, after SDL's own key codes.
enum {
    KEY_PAD_UP = SDLK_LAST,
    KEY_PAD_DOWN,
    KEY_PAD_LEFT,
    KEY_PAD_RIGHT,
    KEY_PAD_CONFIRM, // any of buttons 0 to 3
    KEY_CODES
};

// Modifier keys held when a press was made (either of the pair).
enum { KEY_MOD_SHIFT = 1, KEY_MOD_CTRL = 2 };

struct key_press {
    enum { QUEUE = 32, REPEATING = 8 };
    struct key_state {
        bool down = false;
        bool blocked = false;  // held since before open: ignored until released
        bool fresh = false;    // a joystick key not seen since open
        uint32_t next_repeat = 0;
    };
    key_state keys[KEY_CODES];
    int queue[QUEUE]; // presses not yet taken, in arrival order
    uint8_t queue_mods[QUEUE]; // the modifiers held at each of them
    int mods = 0;      // the modifiers of the action next() gave last
    int queued = 0, taken = 0;
    int repeating[REPEATING];
    int repeating_count = 0;

    // Forgets everything and marks every key held now (after pumping SDL) as blocked, unless
    // its press is still queued (made while the screen was set up); keeps the repeating keys.
    void open();
    // Lets key act again while held.
    void repeat(int key);
    // Takes every pending SDL event, then any change of SDL's key state that came without
    // an event; true when a quit event (window closed) was among them.
    bool pump();
    // One event (key presses and releases; others are ignored).
    void handle(const SDL_Event& e);
    void key_down(int key);
    void key_up(int key);
    // A key given by state once per frame (the joystick): a change is a press or a release.
    void level(int key, bool held);
    // Whether a key held at open is still down.
    bool any_blocked() const;
    // The frame's next action: a key pressed, in order, then the repeats due by now; 0 when
    // there are none left. `mods` tells the modifiers held with it.
    int next();
    // The modifiers held now.
    int held_mods() const;
};
