#include "input/key_press.h"

#include "foundation/clock.h"

static bool valid(int key) { return key > 0 && key < KEY_CODES; }

// SDL reports the lock keys as held while the lock is on.
static bool lock_key(int k) { return k == SDLK_NUMLOCK || k == SDLK_CAPSLOCK || k == SDLK_SCROLLOCK; }

void key_press::open() {
    SDL_PumpEvents();
    int n = 0;
    Uint8* held = SDL_GetKeyState(&n);
    for (int k = 0; k < KEY_CODES; k++) {
        keys[k] = key_state();
        keys[k].fresh = k >= SDLK_LAST;
        if (held && k < n && k < SDLK_LAST && held[k] && !lock_key(k)) keys[k].down = keys[k].blocked = true;
    }
    // A key whose press is still queued went down after the last screen stopped reading
    // (while this one was being set up): that press is this screen's.
    SDL_Event pending[128];
    int count = SDL_PeepEvents(pending, 128, SDL_PEEKEVENT, SDL_KEYDOWNMASK);
    for (int i = 0; i < count; i++) {
        int k = (int)pending[i].key.keysym.sym;
        if (valid(k)) keys[k].down = keys[k].blocked = false;
    }
    queued = taken = 0;
}

void key_press::repeat(int key) {
    if (!valid(key) || repeating_count >= REPEATING) return;
    for (int i = 0; i < repeating_count; i++)
        if (repeating[i] == key) return;
    repeating[repeating_count++] = key;
}

bool key_press::pump() {
    bool quit = false;
    SDL_Event e;
    while (SDL_PollEvent(&e)) {
        if (e.type == SDL_QUIT) quit = true;
        handle(e);
    }
    // The key state can change without an event: a key already down when the window gains
    // the focus, or an event lost to a full queue. Take such a change as a press or release.
    int n = 0;
    const Uint8* held = SDL_GetKeyState(&n);
    for (int k = 1; held && k < n && k < SDLK_LAST; k++) {
        if (lock_key(k)) continue;
        if (held[k] && !keys[k].down && !keys[k].blocked) key_down(k);
        else if (!held[k] && keys[k].down) key_up(k);
    }
    return quit;
}

void key_press::handle(const SDL_Event& e) {
    if (e.type == SDL_KEYDOWN) key_down((int)e.key.keysym.sym);
    else if (e.type == SDL_KEYUP) key_up((int)e.key.keysym.sym);
}

void key_press::key_down(int key) {
    if (!valid(key)) return;
    key_state& k = keys[key];
    k.fresh = false;
    if (k.blocked) return;
    k.down = true;
    k.next_repeat = clock_ticks() + KEY_REPEAT_DELAY_MS;
    if (taken == queued) taken = queued = 0;
    if (queued < QUEUE) {
        queue_mods[queued] = (uint8_t)held_mods();
        queue[queued++] = key;
    }
}

void key_press::key_up(int key) {
    if (!valid(key)) return;
    keys[key].down = keys[key].blocked = keys[key].fresh = false;
}

void key_press::level(int key, bool held) {
    if (!valid(key)) return;
    key_state& k = keys[key];
    if (k.fresh) { // the state at open: a key held then waits for its release
        k.fresh = false;
        k.down = k.blocked = held;
        return;
    }
    if (held && !k.down) key_down(key);
    else if (!held && k.down) key_up(key);
}

bool key_press::any_blocked() const {
    for (const key_state& k : keys)
        if (k.blocked) return true;
    return false;
}

int key_press::held_mods() const {
    int m = 0;
    if (keys[SDLK_LSHIFT].down || keys[SDLK_RSHIFT].down) m |= KEY_MOD_SHIFT;
    if (keys[SDLK_LCTRL].down || keys[SDLK_RCTRL].down) m |= KEY_MOD_CTRL;
    return m;
}

int key_press::next() {
    if (taken < queued) {
        mods = queue_mods[taken];
        return queue[taken++];
    }
    mods = held_mods();
    uint32_t now = clock_ticks();
    for (int i = 0; i < repeating_count; i++) {
        key_state& k = keys[repeating[i]];
        if (!k.down || k.blocked || (int32_t)(now - k.next_repeat) < 0) continue;
        k.next_repeat += KEY_REPEAT_INTERVAL_MS;
        return repeating[i];
    }
    return 0;
}
