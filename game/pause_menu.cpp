#include "pause_menu.h"

#include <SDL_mixer.h>
#include <cstring>
#include <vector>

#include "foundation/pacing.h"
#include "foundation/video_mgr.h"
#include "images/font.h"
#include "images/img_mgr.h"
#include "menu_screen.h"
#include "osd.h"

static const char* const ROWS[2] = {"Resume", "Leave match"};
enum { MENU_W = 240, MENU_H = 150, ROW_STEP = 40 };

bool pause_key(const SDL_Event& e) {
    return e.type == SDL_KEYDOWN && (e.key.keysym.sym == SDLK_RETURN || e.key.keysym.sym == SDLK_p);
}

bool pause_button_down() {
    SDL_Joystick* j = video.joysticks[0];
    return video.joystick_ok && j && SDL_JoystickNumButtons(j) > PAUSE_BUTTON &&
           SDL_JoystickGetButton(j, PAUSE_BUTTON);
}

SDL_Surface* grab_screen() {
    SDL_Surface* screen = video.screen;
    if (!screen) return nullptr;
    if (!video.is_gl()) return SDL_ConvertSurface(screen, screen->format, SDL_SWSURFACE);
    const int w = screen->w, h = screen->h;
    SDL_Surface* s = SDL_CreateRGBSurface(SDL_SWSURFACE, w, h, 24, 0x0000FF, 0x00FF00, 0xFF0000, 0);
    if (!s) return nullptr;
    std::vector<unsigned char> rows((size_t)w * 3 * (size_t)h);
    glReadBuffer(GL_BACK);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, w, h, GL_RGB, GL_UNSIGNED_BYTE, rows.data());
    SDL_LockSurface(s);
    for (int y = 0; y < h; y++) // OpenGL's rows run from the bottom up
        memcpy((unsigned char*)s->pixels + (size_t)y * s->pitch, rows.data() + (size_t)(h - 1 - y) * w * 3,
               (size_t)w * 3);
    SDL_UnlockSurface(s);
    return s;
}

static void draw_menu(osd_resources& osd, img_mgr* frozen, int selection) {
    video.clear();
    if (frozen) frozen->draw_at(0, 0);
    const int W = video.screen ? video.screen->w : 640, H = video.screen ? video.screen->h : 480;
    const int x = (W - MENU_W) / 2, y = (H - MENU_H) / 2;
    SDL_PixelFormat* fmt = video.screen ? video.screen->format : nullptr;
    const uint32_t dark = fmt ? SDL_MapRGBA(fmt, 16, 16, 40, 255) : 0;
    video.draw_box(x - 2, y - 2, x + MENU_W + 2, y + MENU_H + 2, osd.gold);
    video.draw_box(x, y, x + MENU_W, y + MENU_H, dark);
    font* f = osd.plain;
    if (!f) return;
    const char* title = "Paused";
    f->pen_x = (W - f->text_width(title)) / 2;
    f->pen_y = y + 12;
    f->draw_text(title);
    for (int i = 0; i < 2; i++) {
        const int ry = y + 60 + ROW_STEP * i;
        if (i == selection) video.draw_box(x + 20, ry - 2, x + MENU_W - 20, ry + 30, osd.red);
        f->pen_x = (W - f->text_width(ROWS[i])) / 2;
        f->pen_y = ry;
        f->draw_text(ROWS[i]);
    }
}

pause_choice pause_menu(osd_resources& osd, FPSmanager* pacer, SDL_Surface* picture) {
    img_mgr* frozen = new img_mgr();
    if (frozen->set_surface(picture) > 0) frozen->tohw();
    if (video.audio_ok) Mix_PauseMusic();
    key_press keys;
    open_menu_keys(keys); // the pausing key, still down, does not choose a row
    bool button = pause_button_down();
    int selection = PAUSE_RESUME;
    pause_choice choice = PAUSE_CLOSED;
    for (bool done = false; !done;) {
        if (read_menu_keys(keys)) break;
        const bool now = pause_button_down();
        if (now && !button) choice = PAUSE_RESUME, done = true;
        button = now;
        for (int key = keys.next(); key && !done; key = keys.next()) {
            if (key == SDLK_p) choice = PAUSE_RESUME, done = true;
            else if (key == SDLK_ESCAPE) choice = PAUSE_LEAVE, done = true;
            else if (menu_action_of(key) == MENU_CONFIRM) choice = (pause_choice)selection, done = true;
            else if (menu_action_of(key) == MENU_UP) selection = wrap_selection(selection, -1, 2);
            else if (menu_action_of(key) == MENU_DOWN) selection = wrap_selection(selection, 1, 2);
        }
        if (done) break;
        draw_menu(osd, frozen, selection);
        if (pacer) pace_frame(pacer);
        video.flip();
    }
    if (video.audio_ok) Mix_ResumeMusic();
    delete frozen;
    return choice;
}
