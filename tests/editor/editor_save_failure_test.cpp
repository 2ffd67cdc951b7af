// Saving from the editor when the write cannot finish: the file on disk stays whole. A
// write past the file-size limit (which binds root too) fails with a message and the editor
// goes on, still showing "modified"; a process killed in the middle of saving leaves the old file or the new one.
#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include "../animation/anim_files.h"
#include "editor.h"
#include "foundation/video_mgr.h"
#include "save_cases.h"

namespace {

// An animation file of a few hundred kilobytes: its own keys plus padding entries that the
// editor keeps and writes back.
std::string big_animation(const scratch_dir& d, int pad) {
    std::string extra;
    for (int i = 0; i < pad; i++) extra += "note" + std::to_string(i) + "=kept_as_it_was_read\n";
    return write_animation(d, "anim.ini", width_pictures(d, 3), {4, 3, 2}, extra);
}

// A tap, taken by the next pass.
void press(editor& e, SDLKey key) {
    SDL_Event ev;
    memset(&ev, 0, sizeof ev);
    ev.type = SDL_KEYDOWN;
    ev.key.keysym.sym = key;
    SDL_PushEvent(&ev);
    ev.type = SDL_KEYUP;
    SDL_PushEvent(&ev);
    editor_pass(e);
}

// Entries of a definition file, or -1 when its last line is cut off.
int whole_entries(const std::string& text) {
    if (text.empty() || text.back() != '\n') return -1;
    int n = 0;
    for (char c : text) n += c == '\n';
    return n;
}

int files_in(const std::string& dir) {
    int n = 0;
    for (const auto& e : std::filesystem::directory_iterator(dir)) n += e.is_regular_file();
    return n;
}

} // namespace

TEST(EditorSaveFailure, AWritePastTheFileSizeLimitFailsAndTheEditorGoesOn) {
    scratch_dir d;
    std::string path = big_animation(d, 3000);
    const std::string before = read_text(path);
    const int files = files_in(d.path);
    pid_t pid = fork();
    if (pid == 0) {
        signal(SIGXFSZ, SIG_DFL); // as in a program: this signal would end it
        struct rlimit lim = {16384, 16384};
        setrlimit(RLIMIT_FSIZE, &lim);
        if (!open_test_screen(false)) _exit(3);
        editor e;
        editor_start(e, path.c_str());
        e.delay_ms = 0;
        log_capture log;
        press(e, SDLK_UP);
        press(e, SDLK_s);
        bool reported = log.has("Can't save animation from [" + path + "]");
        bool still_modified = editor_status(e).find(" modified") != std::string::npos;
        for (int i = 0; i < 10; i++) editor_pass(e); // still running
        editor_stop(e);
        _exit(!reported ? 2 : !still_modified ? 4 : 0);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    ASSERT_TRUE(WIFEXITED(status)) << "ended by signal " << WTERMSIG(status);
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_EQ(read_text(path), before);
    EXPECT_EQ(files_in(d.path), files); // no temporary file left behind
}

TEST(EditorSaveFailure, KillingTheEditorWhileItSavesLeavesAWholeFile) {
    scratch_dir d;
    std::string path = big_animation(d, 20000);
    const int entries = whole_entries(read_text(path));
    ASSERT_GT(entries, 20000);
    for (int trial = 0; trial < 12; trial++) {
        pid_t pid = fork();
        if (pid == 0) {
            if (!open_test_screen(false)) _exit(3);
            log_set_sink([](log_stream, const char*, void*) {}, nullptr);
            editor e;
            editor_start(e, path.c_str());
            e.delay_ms = 0;
            for (;;) { // change a rate, save, again
                press(e, SDLK_UP);
                press(e, SDLK_s);
            }
        }
        usleep(150000 + trial * 37000);
        kill(pid, SIGKILL);
        waitpid(pid, nullptr, 0);
        std::string text = read_text(path);
        // The first save adds "loop" to the file; from then on every save has that many.
        int n = whole_entries(text);
        EXPECT_TRUE(n == entries || n == entries + 1) << "trial " << trial << ": " << n;
        config_file c;
        ASSERT_TRUE(c.load(path.c_str()));
        EXPECT_EQ(c.get_int("images"), 3);
        EXPECT_TRUE(c.has("note19999"));
    }
}

// The editor saves with s: a link, permission bits and owner stay, and a save its folder
// refuses leaves the status line on "modified".
TEST(EditorSaveFailure, SavingKeepsWhatTheUserHadAndARefusedSaveStaysModified) {
    ASSERT_TRUE(open_test_screen(false));
    scratch_dir d;
    chmod(d.path.c_str(), 0755); // the pictures stay readable for an unprivileged child
    save_cases::subject s;
    s.before = read_text(write_animation(d, "anim.ini", width_pictures(d, 3), {4, 3, 2}));
    s.edits_only = true;
    s.save = [](const std::string& path) {
        editor e;
        editor_start(e, path.c_str());
        e.delay_ms = 0;
        press(e, SDLK_UP);
        press(e, SDLK_s);
        bool saved = e.saved == 1 && editor_status(e).find("modified") == std::string::npos;
        editor_stop(e);
        return saved;
    };
    save_cases::all(s);
}
