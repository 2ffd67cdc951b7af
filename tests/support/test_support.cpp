#include "test_support.h"

#include <GL/gl.h>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <sstream>
#include <sys/stat.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include "foundation/video_mgr.h"

static void capture_sink(log_stream stream, const char* text, void* ctx) {
    log_capture* c = (log_capture*)ctx;
    (stream == LOG_ERR ? c->err : c->out) += text;
}

log_capture::log_capture() { log_set_sink(capture_sink, this); }
log_capture::~log_capture() { log_set_sink(nullptr, nullptr); }
int log_capture::count(const std::string& text) const { return count_occurrences(out, text); }

int count_occurrences(const std::string& text, const std::string& needle) {
    if (needle.empty()) return 0;
    int n = 0;
    for (size_t pos = text.find(needle); pos != std::string::npos; pos = text.find(needle, pos + needle.size()))
        n++;
    return n;
}

scratch_dir::scratch_dir() {
    char tmpl[] = "/tmp/fighttest.XXXXXX";
    char* p = mkdtemp(tmpl);
    path = p ? p : "/tmp";
}

scratch_dir::~scratch_dir() {
    if (path.rfind("/tmp/fighttest.", 0) == 0) {
        std::string cmd = "rm -rf '" + path + "'";
        if (system(cmd.c_str()) != 0) fprintf(stderr, "could not remove %s\n", path.c_str());
    }
}

void write_text(const std::string& path, const std::string& text) {
    std::ofstream f(path, std::ios::binary);
    f << text;
}

std::string read_text(const std::string& path) {
    std::ifstream f(path, std::ios::binary);
    std::stringstream ss;
    ss << f.rdbuf();
    return ss.str();
}

bool file_exists(const std::string& path) {
    struct stat st;
    return stat(path.c_str(), &st) == 0;
}

void make_dirs(const std::string& path) {
    std::string cmd = "mkdir -p '" + path + "'";
    if (system(cmd.c_str()) != 0) fprintf(stderr, "could not create %s\n", path.c_str());
}

void copy_game_folder(const std::string& dest) {
    make_dirs(dest);
    // Without what playing from this game folder leaves there (recordings, remapped keys):
    // the tests count the recordings their own runs make and press the default keys.
    std::string cmd = "cp -a '" FIGHT_DATA_DIR "/.' '" + dest + "/' && rm -rf '" + dest + "/game/replays' '" +
                      dest + "/game/controls.ini'";
    if (system(cmd.c_str()) != 0) fprintf(stderr, "could not copy the game folder\n");
}

std::string program_path(const std::string& name) { return std::string(FIGHT_BIN_DIR) + "/" + name; }

static std::string slurp_fd(int fd) {
    // pread leaves the shared offset alone; the program appends (O_APPEND) meanwhile.
    std::string s;
    char buf[4096];
    ssize_t n;
    off_t at = 0;
    while ((n = pread(fd, buf, sizeof buf, at)) > 0) {
        s.append(buf, (size_t)n);
        at += n;
    }
    return s;
}

void start_program(running_program& p, const std::string& program,
                   const std::vector<std::string>& args, const std::string& cwd,
                   const std::vector<std::string>& env) {
    std::string path = program.find('/') == std::string::npos ? program_path(program) : program;
    char out_name[] = "/tmp/fightout.XXXXXX";
    char err_name[] = "/tmp/fighterr.XXXXXX";
    p.out_fd = mkstemp(out_name);
    p.err_fd = mkstemp(err_name);
    unlink(out_name);
    unlink(err_name);
    fcntl(p.out_fd, F_SETFL, O_APPEND);
    fcntl(p.err_fd, F_SETFL, O_APPEND);
    pid_t pid = fork();
    if (pid == 0) {
        setpgid(0, 0);
        dup2(p.out_fd, 1);
        dup2(p.err_fd, 2);
        int null_fd = open("/dev/null", O_RDONLY);
        if (null_fd >= 0) dup2(null_fd, 0);
        if (!cwd.empty() && chdir(cwd.c_str()) != 0) _exit(126);
        for (const std::string& e : env) putenv(strdup(e.c_str()));
        std::vector<char*> argv;
        argv.push_back(strdup(path.c_str()));
        for (const std::string& a : args) argv.push_back(strdup(a.c_str()));
        argv.push_back(nullptr);
        execv(path.c_str(), argv.data());
        _exit(127);
    }
    p.pid = pid;
}

running_program::~running_program() {
    if (pid > 0) finish(0);
    if (out_fd >= 0) close(out_fd);
    if (err_fd >= 0) close(err_fd);
}

static void nap_ms(int ms) {
    struct timespec ts = {ms / 1000, (ms % 1000) * 1000L * 1000L};
    nanosleep(&ts, nullptr);
}

std::string running_program::out() const { return out_fd >= 0 ? slurp_fd(out_fd) : result.out; }
std::string running_program::err() const { return err_fd >= 0 ? slurp_fd(err_fd) : result.err; }

bool running_program::wait_for(const std::string& text, int timeout_ms) {
    for (int waited = 0;; waited += 20) {
        if (out().find(text) != std::string::npos) return true;
        if (waited >= timeout_ms) return false;
        siginfo_t info;
        info.si_pid = 0;
        if (pid > 0 && waitid(P_PID, (id_t)pid, &info, WEXITED | WNOHANG | WNOWAIT) == 0 && info.si_pid == pid) {
            // Ended: one last look at what it printed.
            return out().find(text) != std::string::npos;
        }
        nap_ms(20);
    }
}

void running_program::signal(int sig) {
    if (pid > 0) kill(pid, sig);
}

const run_result& running_program::finish(int timeout_ms) {
    if (pid <= 0) return result;
    int status = 0;
    for (int waited = 0;; waited += 10) {
        pid_t w = waitpid(pid, &status, WNOHANG);
        if (w == pid) break;
        if (waited >= timeout_ms) {
            result.timed_out = true;
            kill(-pid, SIGKILL);
            kill(pid, SIGKILL);
            waitpid(pid, &status, 0);
            break;
        }
        nap_ms(10);
    }
    pid = -1;
    result.exit_code = (!result.timed_out && WIFEXITED(status)) ? WEXITSTATUS(status) : -1;
    result.out = slurp_fd(out_fd);
    result.err = slurp_fd(err_fd);
    return result;
}

run_result run_program(const std::string& program, const std::vector<std::string>& args,
                       const std::string& cwd, const std::vector<std::string>& env,
                       int timeout_ms) {
    running_program p;
    start_program(p, program, args, cwd, env);
    return p.finish(timeout_ms);
}

bool open_test_screen(bool gl, int w, int h) {
    video.flags = SDL_HWSURFACE | SDL_DOUBLEBUF | (gl ? SDL_OPENGL : 0);
    return video.set_video_mode(w, h, 32) == 0;
}

void read_screen_pixel(int x, int y, uint8_t* r, uint8_t* g, uint8_t* b) {
    *r = *g = *b = 0;
    if (video.is_gl()) {
        uint8_t px[4] = {0, 0, 0, 0};
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glReadBuffer(GL_BACK);
        glReadPixels(x, video.screen->h - 1 - y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, px);
        *r = px[0]; *g = px[1]; *b = px[2];
        return;
    }
    SDL_Surface* s = video.screen;
    if (!s || x < 0 || y < 0 || x >= s->w || y >= s->h) return;
    SDL_LockSurface(s);
    uint8_t* p = (uint8_t*)s->pixels + y * s->pitch + x * s->format->BytesPerPixel;
    uint32_t v = 0;
    memcpy(&v, p, s->format->BytesPerPixel);
    SDL_UnlockSurface(s);
    SDL_GetRGB(v, s->format, r, g, b);
}

uint32_t map_rgb(uint8_t r, uint8_t g, uint8_t b) {
    return SDL_MapRGB(video.screen->format, r, g, b);
}
