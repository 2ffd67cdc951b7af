// Rewriting "game/controls.ini" when the write cannot finish leaves the previous file whole:
// past the file-size limit (which binds root too) the save fails and the program goes on;
// a process killed while saving leaves the old file or the new one, never a mix.
#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include "foundation/config_file.h"
#include "input/control_mgr.h"
#include "save_cases.h"
#include "test_support.h"

namespace {

// A manager with the ten names and bindings for every player it may hold.
void fill(control_mgr& m, int players) {
    for (const char* n : control_names) m.register_name(n);
    for (int p = 0; p < players; p++)
        for (int i = 0; i < CONTROL_COUNT; i++) m.set_binding(p, control_names[i], 97 + i);
}

int files_in(const std::string& dir) {
    int n = 0;
    for (const auto& e : std::filesystem::directory_iterator(dir)) n += e.is_regular_file();
    return n;
}

} // namespace

TEST(ControlsSaveFailure, AWritePastTheFileSizeLimitFailsAndKeepsThePreviousFile) {
    scratch_dir d;
    std::string path = d.file("controls.ini");
    write_text(path, "players=1\nplayer0controlkick=120\n");
    pid_t pid = fork();
    if (pid == 0) {
        signal(SIGXFSZ, SIG_DFL); // as in the game: this signal would end it
        struct rlimit lim = {1024, 1024};
        setrlimit(RLIMIT_FSIZE, &lim);
        control_mgr m;
        fill(m, MAX_CONTROL_PLAYERS);
        _exit(m.save(path.c_str()) == 0 ? 0 : 2);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    ASSERT_TRUE(WIFEXITED(status)) << "ended by signal " << WTERMSIG(status);
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_EQ(read_text(path), "players=1\nplayer0controlkick=120\n");
    EXPECT_EQ(files_in(d.path), 1);
}

TEST(ControlsSaveFailure, KillingTheGameWhileItSavesLeavesAWholeFile) {
    scratch_dir d;
    std::string path = d.file("controls.ini");
    const int lines = 1 + MAX_CONTROL_PLAYERS * CONTROL_COUNT;
    {
        control_mgr m;
        fill(m, MAX_CONTROL_PLAYERS);
        ASSERT_EQ(m.save(path.c_str()), 1);
    }
    for (int trial = 0; trial < 12; trial++) {
        pid_t pid = fork();
        if (pid == 0) {
            log_set_sink([](log_stream, const char*, void*) {}, nullptr);
            control_mgr m;
            fill(m, MAX_CONTROL_PLAYERS);
            for (int k = 0;; k++) { // remap one key, save, again
                m.set_binding(k % MAX_CONTROL_PLAYERS, "punch", 97 + k % 26);
                m.save(path.c_str());
            }
        }
        usleep(20000 + trial * 7000);
        kill(pid, SIGKILL);
        waitpid(pid, nullptr, 0);
        std::string text = read_text(path);
        ASSERT_FALSE(text.empty());
        EXPECT_EQ(text.back(), '\n');
        EXPECT_EQ(count_occurrences(text, "="), lines) << "trial " << trial;
        control_mgr back;
        for (const char* n : control_names) back.register_name(n);
        log_capture quiet;
        back.load(path.c_str());
        EXPECT_EQ((int)back.lists.size(), MAX_CONTROL_PLAYERS);
    }
}

TEST(ControlsSaveFailure, TheControlsFileKeepsWhatTheUserHad) {
    control_mgr m;
    fill(m, 2);
    save_cases::all({[&](const std::string& path) { return m.save(path.c_str()) == 1; }});
}
