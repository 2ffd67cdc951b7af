#include "char_select.h"

#include <SDL.h>
#include <SDL_framerate.h>
#include <algorithm>
#include <cmath>
#include <cstring>

#include "foundation/pacing.h"
#include "foundation/video_mgr.h"
#include "fighter_table.h"
#include "game_options.h"
#include "input/control_mgr.h"
#include "images/font.h"
#include "images/img_mgr.h"
#include "menu_screen.h"
#include "preload.h"

static void draw_group(img_mgr* pic, float zoom) {
    pic->draw(0, screen_h() - pic->get_height(), video.screen, zoom, zoom, 0);
}

// The action shot in place, its top-left corner.
static void shot_place(img_mgr* shot, int* x, int* y) {
    *x = screen_w() - shot->get_width() - 40;
    *y = (screen_h() - shot->get_height()) / 2;
}

// The shot's ring of four ghosts around its place.
static void draw_ghosts(img_mgr* shot, int angle) {
    int x, y;
    shot_place(shot, &x, &y);
    for (int k = 0; k < 4; k++) {
        double rad = (angle + 90 * k) * M_PI / 180.0;
        shot->set_alpha((uint8_t)(64 * k));
        shot->draw_at(x + (int)(cos(rad) * 40), y + (int)(sin(rad) * 40));
    }
    shot->set_alpha(255);
}

static void draw_shot(img_mgr* shot) {
    int x, y;
    shot_place(shot, &x, &y);
    shot->set_alpha(255);
    shot->draw_at(x, y);
}

// The group picture's zoom that fits it to the screen width.
static float group_zoom(img_mgr* pic) {
    return pic->get_width() > 0 ? (float)screen_w() / (float)pic->get_width() : 1.0f;
}

enum { TURN_X = 8, TURN_Y = 26 };

// The picture is the group, the prompt, the label, the ghosts and the shot, in that order.
// Where the drawing mode can draw behind, the shot goes first and everything else behind
// it: the same picture, without drawing the pixels the shot hides.
void draw_char_select(game_resources& r, int choice, int angle, img_mgr* turn_label) {
    img_mgr* shot = choice >= 0 && choice < FIGHTERS_MAX ? r.action_shots[choice] : nullptr;
    const bool behind = shot && video.begin_cover();
    if (behind) {
        draw_shot(shot);
        video.begin_behind();
    }
    draw_group(r.group_picture, group_zoom(r.group_picture));
    r.select_font->pen_x = 0;
    r.select_font->pen_y = 0;
    r.select_font->draw_text("Please select a character:");
    if (turn_label) turn_label->draw_at(TURN_X, TURN_Y);
    if (shot) draw_ghosts(shot, angle);
    if (behind) video.end_cover();
    else if (shot) draw_shot(shot);
    // The group picture names the built-in fighters; an added one is named under its shot.
    if (choice >= built_in_fighters && choice < fighter_count && shot && r.select_font) {
        int x, y;
        shot_place(shot, &x, &y);
        font* f = r.select_font;
        f->pen_x = x + (shot->get_width() - f->text_width(fighter_table[choice].name)) / 2;
        f->pen_y = std::min(y + shot->get_height() + 4, screen_h() - 24);
        f->draw_text(fighter_table[choice].name);
    }
}

// What a key means to the chooser: one of its own controls first, then the menus' meaning.
static menu_action chooser_action(int key, int player) {
    for (int c = 0; c < CONTROL_COUNT; c++) {
        if (Control_Manager.key_for(player, control_names[c]) != key) continue;
        const char* name = control_names[c];
        if (strcmp(name, "left") == 0) return MENU_LEFT;
        if (strcmp(name, "right") == 0) return MENU_RIGHT;
        if (strcmp(name, "punch") == 0) return MENU_CONFIRM;
        return MENU_NONE;
    }
    return menu_action_of(key);
}

// A label in a player's colour, rendered once a showing.
static img_mgr* render_label(game_resources& r, const char* text, int colour) {
    font* f = r.osd.plain;
    if (!f) return nullptr;
    const SDL_Color kept = f->fg;
    f->fg = player_colours[colour];
    img_mgr* label = render_text_image(f, text, true);
    f->fg = kept;
    return label;
}

// "Player 1", "Player 2" or "Training dummy" in the player's colour.
static img_mgr* render_turn_label(game_resources& r, select_turn turn) {
    static const char* const labels[3] = {"Player 1", "Player 2", "Training dummy"};
    return render_label(r, labels[turn], turn == TURN_PLAYER1 ? 0 : 1);
}

// The other side of a choice made together: its label, then its offer's portrait, low on the
// left.
static void draw_partner(game_resources& r, img_mgr* label, int other) {
    const int y = screen_h() - 150;
    if (label) label->draw_at(TURN_X, y);
    if (other >= 0 && other < FIGHTERS_MAX && r.portraits[other]) r.portraits[other]->draw_at(TURN_X, y + 24);
}

bool char_select_input(int& choice, bool quit_event, key_press& keys, int offered, int player) {
    for (int key = quit_event ? SDLK_ESCAPE : keys.next(); key; key = keys.next()) {
        switch (key == SDLK_ESCAPE ? MENU_CANCEL : chooser_action(key, player)) {
        case MENU_RIGHT: choice = wrap_selection(choice, 1, offered); break;
        case MENU_LEFT: choice = wrap_selection(choice, -1, offered); break;
        case MENU_CONFIRM: return true;
        case MENU_CANCEL: choice = -1; return true;
        default: break;
        }
    }
    return false;
}

int char_select(game_resources& r, int rate, select_turn turn, const select_partner* partner) {
    FPSmanager pacer;
    SDL_initFramerate(&pacer);
    SDL_setFramerate(&pacer, rate % 256);
    play_select_music(r);
    key_press keys;
    keys.open(); // left and right switch once per press, without repeat
    img_mgr* pic = r.group_picture;
    float zoom = group_zoom(pic);

    pic->set_alpha(24);
    for (int i = 0; i < 32; i++) {
        draw_group(pic, zoom);
        video.flip();
        pace_frame(&pacer);
    }

    pic->set_alpha(255);
    int choice = 0, angle = 0;
    const int offered = std::min(roster_size(game_opts), fighter_count);
    img_mgr* label = partner ? render_label(r, "You", 1 - partner->other_colour) : render_turn_label(r, turn);
    const int player = turn == TURN_PLAYER2 ? 1 : 0;
    const bool covered = zoom == 1 && pic->covers_screen(0, screen_h() - pic->get_height());
    // Together with a partner: its labels, while it chooses and once it has.
    img_mgr* waiting = partner ? render_label(r, "Waiting for the other side", 1 - partner->other_colour) : nullptr;
    img_mgr* theirs[2] = {partner ? render_label(r, "Other side", partner->other_colour) : nullptr,
                          partner ? render_label(r, "Other side: chosen", partner->other_colour) : nullptr};
    int other = -1;
    bool other_chosen = false, chosen = false;
    for (bool done = false; !done;) {
        video.clear_unless(covered);
        draw_char_select(r, choice, angle, chosen ? waiting : label);
        if (partner) draw_partner(r, theirs[other_chosen ? 1 : 0], other);
        bool closed = read_menu_keys(keys);
        if (!chosen) {
            chosen = char_select_input(choice, closed, keys, offered, player);
            done = choice < 0;
        } else {
            // Chosen, waiting: only a cancel still counts.
            for (int key = closed ? SDLK_ESCAPE : keys.next(); key; key = keys.next())
                if (key == SDLK_ESCAPE) choice = -1, done = true;
        }
        if (partner && !done) {
            if (!partner->frame(choice, chosen, &other, &other_chosen)) choice = -1, done = true;
            else if (chosen && other_chosen) done = true;
        } else if (!partner && chosen) {
            done = true;
        }
        pace_frame(&pacer);
        video.flip();
        angle += 8;
        if (angle >= 360) angle = 0;
    }

    for (int a = 255; a > 0; a -= 8) {
        video.clear();
        pic->set_alpha((uint8_t)a);
        draw_group(pic, zoom);
        video.flip();
        pace_frame(&pacer);
    }
    pic->set_alpha(255);
    delete label;
    delete waiting;
    delete theirs[0];
    delete theirs[1];
    return choice;
}
