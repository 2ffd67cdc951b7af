// scene_shots MODE OUTDIR: draws fixed scenes of the game in one drawing mode ("software" or
// "opengl") and writes each frame as OUTDIR/<scene>_<MODE>.bmp; run in the game folder. The
// scene comparison test runs it once per mode and compares the pictures pixel by pixel.
// The scenes run in one process in this order, so later ones find pictures the earlier ones
// uploaded (the second mirror match of a session is the one that used to lose its fighter).
#include <SDL.h>
#include <GL/gl.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "animation/anim_group.h"
#include "char_select.h"
#include "colour_swaps.h"
#include "editor.h"
#include "foundation/primitives.h"
#include "foundation/video_mgr.h"
#include "images/font.h"
#include "images/img_mgr.h"
#include "input/control_mgr.h"
#include "list_menu.h"
#include "net_screens.h"
#include "main_menu.h"
#include "match.h"
#include "osd.h"
#include "preload.h"
#include "test_support.h"
#include "world/level.h"
#include "world/mon_mgr.h"

namespace {

std::string out_dir, mode;

// The frame as drawn so far, as a 24-bit picture.
void save_frame(const char* scene) {
    const int w = video.screen->w, h = video.screen->h;
    SDL_Surface* out = SDL_CreateRGBSurface(SDL_SWSURFACE, w, h, 24, 0xFF, 0xFF00, 0xFF0000, 0);
    if (video.is_gl()) {
        std::vector<uint8_t> px((size_t)w * h * 3);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glReadPixels(0, 0, w, h, GL_RGB, GL_UNSIGNED_BYTE, px.data());
        for (int y = 0; y < h; y++)
            memcpy((uint8_t*)out->pixels + y * out->pitch, px.data() + (size_t)(h - 1 - y) * w * 3,
                   (size_t)w * 3);
    } else {
        SDL_BlitSurface(video.screen, nullptr, out, nullptr);
    }
    std::string path = out_dir + "/" + scene + "_" + mode + ".bmp";
    SDL_SaveBMP(out, path.c_str());
    SDL_FreeSurface(out);
    printf("scene %s\n", scene);
}

control_stage_list stages[2];

combatant* fighter(const char* file, int player, bool recolour) {
    combatant* f = new combatant();
    if (recolour) read_colour_swaps("game/fighter/mirelle/mirelle_swap.ini", video.screen->format, f->swaps);
    stages[player] = Control_Manager.build_stage_list(player);
    f->controls = &stages[player];
    f->load(file);
    return f;
}

// Stands a fighter on the floor at x, facing right (1) or left (0), showing its still image.
void stand(combatant* f, int x, int facing) {
    f->x = x;
    f->y = video.screen->h - f->h;
    f->facing = (uint8_t)facing;
    f->move_state = -1;
    f->empty_stack();
    f->freeze = 0;
    f->last_image = f->images.empty() ? nullptr : f->images[0]; // its shadow is drawn too
}

void camera(level& lv, int x, double zoom) {
    lv.x_offset = x;
    lv.y_offset = 0;
    lv.zoom = zoom;
    lv.shake = 0;
    lv.flash = 0;
}

// The first move frame that spins, and its definition.
anim_mgr* spin_move(combatant* f, int* frame_index) {
    for (anim_group* g : f->moves) {
        if (!g || g->entries.empty() || !g->entries[0].def) continue;
        anim_mgr* d = g->entries[0].def.get();
        for (int i = 0; i < d->frame_count(); i++)
            if (d->frames[(size_t)i].spin) {
                *frame_index = i;
                return d;
            }
    }
    return nullptr;
}

void match_scene(const char* name, level& lv, combatant* left, combatant* right, int cam, double zoom) {
    camera(lv, cam, zoom);
    video.clear();
    lv.draw();
    left->display();
    right->display();
    save_frame(name);
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        fprintf(stderr, "usage: scene_shots software|opengl OUTDIR\n");
        return 2;
    }
    mode = argv[1];
    out_dir = argv[2];
    if (!open_test_screen(mode == "opengl")) return 1;
    // The stages composed in memory, as where OpenGL runs on the processor, whatever this
    // machine's renderer; the road is shown uploaded as textures later.
    video.gl_on_processor = true;
    fill_trig_tables();
    for (const char* n : control_names) Control_Manager.register_name(n);
    Control_Manager.set_defaults();

    level* lv = new level();
    lv->load("rsrc/road/stage_road.ini");
    current_level = lv;

    // A match: Tamsin on the left facing right, Mirelle on the right facing left, with
    // their shadows, at the camera's rest and zoomed out.
    combatant* tamsin = fighter("game/fighter/tamsin_char.ini", 1, false);
    combatant* mirelle = fighter("game/fighter/mirelle_char.ini", 0, false);
    stand(tamsin, 150, 1);
    stand(mirelle, 420, 0);
    match_scene("match_zoom_1", *lv, tamsin, mirelle, 0, 1.0);
    match_scene("match_zoom_0.6", *lv, tamsin, mirelle, 0, 0.6);
    // The floor and parallax at three camera positions.
    match_scene("floor_camera_0", *lv, tamsin, mirelle, 0, 0.8);
    match_scene("floor_camera_300", *lv, tamsin, mirelle, 300, 0.8);
    match_scene("floor_camera_700", *lv, tamsin, mirelle, 700, 0.8);
    // The harbour's floor and parallax at the same three positions.
    level* harbour = new level();
    harbour->load("rsrc/harbour/stage_harbour.ini");
    current_level = harbour;
    for (int cam : {0, 300, 700})
        match_scene(("harbour_camera_" + std::to_string(cam)).c_str(), *harbour, tamsin, mirelle, cam, 0.8);
    current_level = lv;
    harbour->clear();
    delete harbour;
    // The road again, uploaded as textures as where OpenGL has a graphics card of its own.
    video.gl_on_processor = false;
    level* uploaded = new level();
    uploaded->load("rsrc/road/stage_road.ini");
    current_level = uploaded;
    match_scene("uploaded_zoom_0.6", *uploaded, tamsin, mirelle, 0, 0.6);
    match_scene("uploaded_camera_700", *uploaded, tamsin, mirelle, 700, 0.8);
    current_level = lv;
    delete uploaded;
    video.gl_on_processor = true;

    // Spins at 30 and 90 degrees, facing either way.
    int spin_frame = 0;
    anim_mgr* spin = spin_move(mirelle, &spin_frame);
    if (spin) {
        for (int angle : {30, 90}) {
            camera(*lv, 0, 1.0);
            video.clear();
            lv->draw();
            spin->owner_scale = 1;
            spin->alpha = 255;
            for (int facing : {0, 1}) {
                spin->mirrored = facing;
                spin->angle = facing ? -angle : angle;
                draw_frame(spin, facing ? 120 : 380, 250, spin_frame);
            }
            spin->angle = 0;
            save_frame(angle == 30 ? "spin_30" : "spin_90");
        }
    }

    // Explosions facing each way, from one shared definition.
    anim_mgr* boom = new anim_mgr();
    boom->load("game/fighter/expl.ini");
    anim_group tpl;
    tpl.add(smart_ptr<anim_mgr>(boom), 0, 0);
    tpl.facing = 0;
    anim_group boom_left(tpl);
    tpl.facing = 1;
    anim_group boom_right(tpl);
    camera(*lv, 0, 1.0);
    video.clear();
    lv->draw();
    boom_left.display(150, 200);
    boom_right.display(400, 200);
    save_frame("explosions");

    // The mirror match, after the first match uploaded Mirelle's pictures: the right one is
    // the recoloured copy.
    delete tamsin;
    combatant* copy = fighter("game/fighter/mirelle_char.ini", 1, true);
    stand(mirelle, 150, 1);
    stand(copy, 420, 0);
    match_scene("mirror_match", *lv, mirelle, copy, 0, 0.8);
    delete copy;
    copy = fighter("game/fighter/mirelle_char.ini", 1, true);
    stand(copy, 420, 0);
    match_scene("mirror_match_again", *lv, mirelle, copy, 0, 1.0);
    delete copy;
    delete mirelle;
    current_level = nullptr;
    delete lv;

    // Text: solid, shaded and blended, over a tiled menu background.
    img_mgr* tile = Image_Manager.get("rsrc/tilablebg128.png");
    video.clear();
    tile->draw_tiled(-40, 20, 600, 460);
    save_frame("tiled_background");
    font text(video.screen);
    text.size = 18;
    text.open("rsrc/Veranda.ttf");
    font yellow(video.screen);
    yellow.size = 18;
    yellow.fg = SDL_Color{255, 255, 0, 0};
    yellow.open("rsrc/Veranda.ttf");
    video.clear();
    tile->draw_tiled(0, 0, video.screen->w, video.screen->h);
    int y = 40;
    for (int m : {1, 0, 2}) {
        for (font* f : {&text, &yellow}) {
            f->mode = m;
            f->forget_glyphs();
            f->pen_x = 30;
            f->pen_y = y;
            f->draw_text("Round 1 - Fight! KO 0123456789");
            y += 40;
        }
    }
    save_frame("text");

    // Text over several presented frames: a steady line (drawn from its joined image after
    // the first frame) beside a counter that changes every frame (glyph by glyph).
    for (int n = 0; n < 4; n++) {
        video.clear();
        tile->draw_tiled(0, 0, video.screen->w, video.screen->h);
        for (font* f : {&text, &yellow}) {
            f->pen_x = 30;
            f->pen_y = f == &text ? 60 : 120;
            f->draw_text("Player 1 - Mirelle Wins");
            char counter[24];
            snprintf(counter, sizeof counter, "frame %d", 1000 + 37 * n);
            f->pen_y += 30;
            f->draw_text(counter);
        }
        if (n < 3) video.flip();
    }
    save_frame("text_over_frames");

    // A frame of the main menu's closing transition: the logo grown past the screen.
    img_mgr* logo = Image_Manager.get("rsrc/ferromldark.png");
    logo->no_zcache = 1;
    for (double s : {1.5, 4.0}) {
        video.clear();
        tile->draw_tiled(0, 0, video.screen->w, video.screen->h);
        double lw = logo->get_width(), lh = logo->get_height();
        logo->draw_scaled((int)((video.screen->w / 2 - s * lw * 0.5) / s), (int)(s * lh / 2 - lh / 2), s, s);
        save_frame(s < 2 ? "menu_closing_1.5" : "menu_closing_4");
    }

    // The front end and the match as the game draws them, from the game's own preload.
    game_resources r;
    preload(r);

    // A match after its set-up: Tamsin hurt (her lagging red bar still longer) with one round
    // won, Mirelle with two and a string of five hits on her, so the display shows bars,
    // portraits, names, round dots and a combo counter.
    match_resources res = match_resources_of(r);
    match_set_up(MODE_VERSUS, 1, 0, res);
    combatant* a = Combatant_Manager.Objects[0];
    combatant* b = Combatant_Manager.Objects[1];
    stand(a, a->x, 1);
    stand(b, b->x, 0);
    a->hp = 55;
    a->shown_hp = 80;
    a->round_wins = 1;
    b->hp = 90;
    b->shown_hp = 90;
    b->round_wins = 2;
    b->hits_in_row = 5;
    b->hit_time = current_match.now = 10000;
    osd_exclamation = 6;
    auto match_frame_drawing = [&](const char* name) {
        video.clear();
        current_level->draw();
        for (int i = 0; i < Combatant_Manager.count(); i++) match_draw_object(i);
        save_frame(name);
    };
    match_frame_drawing("match_display");
    // Shadows on the floor: Tamsin in the air, so hers lies apart from her, Mirelle standing.
    a->y -= 150;
    b->hits_in_row = 0;
    match_frame_drawing("match_shadows");
    match_tear_down();

    // A frame of the main menu's loop, "versus" selected, its "ALPHA" mark tilted.
    r.dark_logo->no_zcache = 0; // as the menu sets it when it opens
    video.clear();
    draw_main_menu(r, ITEM_VERSUS);
    save_frame("main_menu");

    // The options list, its third row selected.
    list_rows rows;
    render_list_rows(rows, r.option_items, OPTION_ITEM_COUNT, r.small_font);
    video.clear();
    draw_list_menu(rows, 2, r.menu_list, r.menu_background, 0);
    save_frame("list_menu");
    free_list_rows(rows);

    // Character select: the group picture and Tamsin's action shot in its ring of ghosts.
    video.clear();
    draw_char_select(r, 1, 48);
    save_frame("char_select");

    // A network match being made: the host's wait, its lines in both fonts.
    net_page page;
    page.add("Waiting for a guest");
    page.add("port 7435");
    page.add("this machine: 192.0.2.2");
    video.clear();
    draw_net_page(r, page, 40);
    save_frame("net_page");
    release_resources(r);

    // framewright on its default animation, held on a middle frame with every frame a ghost.
    editor e;
    editor_start(e, default_animation_path);
    if (animation* shown = editor_instance(e)) shown->frame_index = e.frame_count / 2;
    video.clear();
    editor_draw(e);
    save_frame("framewright");
    editor_stop(e);
    return 0;
}
