// The editor's frame edits through its keys: undo and redo walk every kind of edit back and
// forth, and a save rewrites only the entries that changed, byte for byte around them.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "../animation/anim_files.h"
#include "editor.h"
#include "foundation/video_mgr.h"

namespace {

struct FrameEdit : ::testing::Test {
    scratch_dir d;
    editor e;
    std::string pics[3];

    void SetUp() override {
        ASSERT_TRUE(open_test_screen(false));
        std::vector<std::string> w = width_pictures(d, 3);
        for (int i = 0; i < 3; i++) pics[i] = w[(size_t)i];
        write_sound(d, "hit.wav");
    }
    void TearDown() override { editor_stop(e); }

    void start(const std::string& file) {
        editor_start(e, file.c_str());
        e.delay_ms = 0;
    }
    void send(Uint8 type, SDLKey key) {
        SDL_GetKeyState(nullptr)[key] = type == SDL_KEYDOWN;
        SDL_Event ev;
        memset(&ev, 0, sizeof ev);
        ev.type = type;
        ev.key.keysym.sym = key;
        SDL_PushEvent(&ev);
    }
    // A tap, with a modifier held around it when one is given.
    void press(SDLKey key, SDLKey mod = SDLK_UNKNOWN) {
        if (mod) send(SDL_KEYDOWN, mod);
        send(SDL_KEYDOWN, key);
        send(SDL_KEYUP, key);
        if (mod) send(SDL_KEYUP, mod);
        editor_pass(e);
    }
    // The frames as one line: picture number, wait, then what else a frame has.
    std::string frames() {
        std::string s;
        for (const frame& f : e.def->frames) {
            s += s.empty() ? "" : " ";
            s += std::to_string(f.image->get_width() / 10) + ":" + std::to_string(f.rate);
            if (f.xoffset || f.yoffset) s += "@" + std::to_string(f.xoffset) + "," + std::to_string(f.yoffset);
            if (f.shake) s += "~" + std::to_string(f.shake);
            if (f.fire) s += "!";
            if (f.play_sound) s += "s";
        }
        return s + (e.def->loop ? " loop" : "");
    }
    std::string file(const std::string& text) {
        std::string p = d.file("anim.ini");
        write_text(p, text);
        return p;
    }
};

TEST_F(FrameEdit, UndoAndRedoWalkEveryKindOfEditBackAndForth) {
    start(write_animation(d, "anim.ini", {pics[0], pics[1], pics[2]}, {4, 3, 2}, "sound0=" + d.file("hit.wav") + "\n"));
    const struct {
        SDLKey key, mod;
        const char* frames; // after the key
        int shown;
    } steps[] = {
        {SDLK_RIGHT, SDLK_UNKNOWN, "1:4s 2:3 3:2", 1}, // no edit: not undone
        {SDLK_RIGHT, SDLK_LSHIFT, "1:4s 2:3@1,0 3:2", 1},
        {SDLK_DOWN, SDLK_LCTRL, "1:4s 2:3@1,10 3:2", 1},
        {SDLK_UP, SDLK_UNKNOWN, "1:4s 2:4@1,10 3:2", 1},
        {SDLK_k, SDLK_UNKNOWN, "1:4s 2:4@1,10~1 3:2", 1},
        {SDLK_x, SDLK_UNKNOWN, "1:4s 2:4@1,10~1! 3:2", 1},
        {SDLK_n, SDLK_UNKNOWN, "1:4s 2:4@1,10~1!s 3:2", 1},
        {SDLK_d, SDLK_UNKNOWN, "1:4s 2:4@1,10~1!s 2:4@1,10~1!s 3:2", 2},
        {SDLK_RIGHTBRACKET, SDLK_UNKNOWN, "1:4s 2:4@1,10~1!s 3:2 2:4@1,10~1!s", 3},
        {SDLK_LEFT, SDLK_UNKNOWN, "1:4s 2:4@1,10~1!s 3:2 2:4@1,10~1!s", 2},
        {SDLK_LEFTBRACKET, SDLK_UNKNOWN, "1:4s 3:2 2:4@1,10~1!s 2:4@1,10~1!s", 1},
        {SDLK_DELETE, SDLK_UNKNOWN, "1:4s 2:4@1,10~1!s 2:4@1,10~1!s", 1},
        {SDLK_l, SDLK_UNKNOWN, "1:4s 2:4@1,10~1!s 2:4@1,10~1!s loop", 1},
    };
    std::vector<std::string> seen = {frames()};
    std::vector<int> made_on = {0}; // the frame shown when the edit to seen[i] was made
    for (const auto& s : steps) {
        const int before = editor_instance(e)->frame_index;
        press(s.key, s.mod);
        EXPECT_EQ(s.frames, frames()) << "key " << s.key;
        EXPECT_EQ(s.shown, editor_instance(e)->frame_index) << "key " << s.key;
        if (seen.back() != s.frames) seen.push_back(s.frames), made_on.push_back(before);
    }
    EXPECT_EQ(0, e.saved);
    // Back to the file as read, each undo showing the frame its edit was made on...
    for (size_t i = seen.size() - 1; i-- > 0;) {
        press(SDLK_z);
        EXPECT_EQ(seen[i], frames()) << "undo to step " << i;
        EXPECT_EQ(made_on[i + 1], editor_instance(e)->frame_index) << "undo to step " << i;
    }
    EXPECT_EQ(1, e.saved) << "undone to what is on disk: not modified";
    press(SDLK_z);
    EXPECT_EQ(seen[0], frames()) << "nothing more to undo";
    // ...and forward again.
    for (size_t i = 1; i < seen.size(); i++) {
        press(i % 2 ? SDLK_y : SDLK_z, i % 2 ? SDLK_UNKNOWN : SDLK_LSHIFT);
        EXPECT_EQ(seen[i], frames()) << "redo to step " << i;
    }
    EXPECT_EQ(0, e.saved);
    press(SDLK_z);
    press(SDLK_UP); // a new edit forgets what could be redone
    press(SDLK_y);
    EXPECT_EQ("1:4s 2:5@1,10~1!s 2:4@1,10~1!s", frames()) << "the loop undone, then a wait";
}

// Each case: a file, the keys, what the file holds after S. Lines the edits do not touch stay
// byte for byte: blanks, line ends, unknown keys, two entries on a line, a repeated key.
TEST_F(FrameEdit, ASaveRewritesOnlyTheEntriesThatChanged) {
    const std::string a = "image0=" + pics[0] + "\n", b = "image1=" + pics[1] + "\n", c = "image2=" + pics[2] + "\n";
    const struct {
        const char* name;
        std::string before;
        std::vector<std::pair<SDLKey, SDLKey>> keys;
        std::string after;
    } cases[] = {
        {"an offset is a new line after its frame's last",
         "images=2\nloop=0\n" + a + "rate0=3   \n\nnote=kept\n" + b + "rate1=4\n",
         {{SDLK_RIGHT, SDLK_LSHIFT}},
         "images=2\nloop=0\n" + a + "rate0=3   \nxoffset0=1\n\nnote=kept\n" + b + "rate1=4\n"},
        {"an offset moved back to 0 leaves the file as it was, loop added as ever",
         "images=2\n" + a + "rate0=3\n" + b + "rate1=4\n",
         {{SDLK_RIGHT, SDLK_LSHIFT}, {SDLK_LEFT, SDLK_LSHIFT}},
         "images=2\n" + a + "rate0=3\n" + b + "rate1=4\nloop=0\n"},
        {"a wait changes in place on a line of two entries, line ends kept",
         "images=2\r\nloop=1\r\n" + a.substr(0, a.size() - 1) + "\r\nrate0=3 shake0=2\r\n" + b.substr(0, b.size() - 1) + "\r\nrate1=4",
         {{SDLK_UP, SDLK_UNKNOWN}},
         "images=2\r\nloop=1\r\n" + a.substr(0, a.size() - 1) + "\r\nrate0=4 shake0=2\r\n" + b.substr(0, b.size() - 1) + "\r\nrate1=4"},
        {"a deleted frame's entries go, the later frame's take their number",
         "images=3\nloop=0\n" + a + "rate0=3\nfire0=1\n" + b + "rate1=4\nx=y\n" + c + "rate2=5\n",
         {{SDLK_DELETE, SDLK_UNKNOWN}},
         "images=2\nloop=0\nimage0=" + pics[1] + "\nrate0=4\nimage1=" + pics[2] + "\nrate1=5\nx=y\n"},
        {"a duplicate's new entries come after the last frame, with the file's line ends",
         "images=2\r\nloop=0\r\nimage0=" + pics[0] + "\r\nrate0=3\r\nimage1=" + pics[1] + "\r\nrate1=4\r\n",
         {{SDLK_RIGHT, SDLK_UNKNOWN}, {SDLK_d, SDLK_UNKNOWN}},
         "images=3\r\nloop=0\r\nimage0=" + pics[0] + "\r\nrate0=3\r\nimage1=" + pics[1] + "\r\nrate1=4\r\nimage2=" +
             pics[1] + "\r\nrate2=4\r\n"},
        {"fire off takes out the entry and its repeat, which would come to light",
         "images=1\nloop=0\n" + a + "rate0=3\nfire0=1\nfire0=1 kept=1\n",
         {{SDLK_x, SDLK_UNKNOWN}},
         "images=1\nloop=0\n" + a + "rate0=3\nkept=1\n"},
        {"frames swapped: only the entries whose values differ change",
         "images=2\nloop=0\n" + a + "rate0=3\n" + b + "rate1=3\n",
         {{SDLK_RIGHTBRACKET, SDLK_UNKNOWN}},
         "images=2\nloop=0\nimage0=" + pics[1] + "\nrate0=3\nimage1=" + pics[0] + "\nrate1=3\n"},
    };
    for (const auto& t : cases) {
        start(file(t.before));
        for (const auto& k : t.keys) press(k.first, k.second);
        press(SDLK_s);
        EXPECT_EQ(t.after, read_text(d.file("anim.ini"))) << t.name;
        EXPECT_EQ(1, e.saved) << t.name;
        editor_stop(e);
    }
}

// A fighter's moves in order, wrapping at both ends; two moves naming one file share it, and
// a save writes only the files that changed.
TEST_F(FrameEdit, AFightersMovesAreVisitedInOrderAndASaveWritesOnlyChangedFiles) {
    std::string one = write_animation(d, "one.ini", {pics[0], pics[1]}, {4, 3}, "loop=0\n");
    std::string two = write_animation(d, "two.ini", {pics[2]}, {5}, "loop=0\n");
    std::string fighter = d.file("f_char.ini");
    write_text(fighter, "hp=80\nmoves=3\nmove0=" + one + "\nmove1=" + two + "\nmove2=" + one + "\n");
    start(fighter);
    const struct {
        SDLKey key;
        int move;
        const char* frames;
    } steps[] = {
        {SDLK_PAGEUP, 2, "1:4 2:3"}, {SDLK_UP, 2, "1:5 2:3"}, {SDLK_PAGEDOWN, 0, "1:5 2:3"},
        {SDLK_PAGEDOWN, 1, "3:5"},   {SDLK_PAGEDOWN, 2, "1:5 2:3"},
    };
    for (const auto& t : steps) {
        press(t.key);
        EXPECT_EQ(t.move, e.move);
        EXPECT_EQ(t.frames, frames()) << "move " << t.move;
    }
    char line[96];
    editor_move_line(e, line, sizeof line);
    EXPECT_EQ(std::string("move[2/3] one   PgUp/PgDn: move   H: keys"), line);
    const std::string two_before = read_text(two);
    press(SDLK_s);
    EXPECT_NE(std::string::npos, read_text(one).find("rate0=5\n"));
    EXPECT_EQ(two_before, read_text(two));
}

} // namespace
