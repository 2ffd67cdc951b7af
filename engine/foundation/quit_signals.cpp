#include "foundation/quit_signals.h"

#include <SDL.h>
#include <SDL_syswm.h>
#include <X11/Xlib.h>
#include <poll.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>

#include "foundation/log.h"

static volatile sig_atomic_t requested = 0;
static int display_fd = -1; // the X connection's socket, when the video driver is X11
static struct sigaction earlier[2]; // SIGTERM's and SIGINT's handlers before ours
static const int watched[2] = {SIGTERM, SIGINT};

static void on_signal(int sig) {
    int i = sig == SIGINT;
    if (requested) { // asked again: the program did not end, so the system ends it
        signal(sig, SIG_DFL);
        raise(sig);
        return;
    }
    requested = 1;
    // SDL's handler, where it had one, posts the first SDL_QUIT.
    if (!(earlier[i].sa_flags & SA_SIGINFO) && earlier[i].sa_handler != SIG_DFL &&
        earlier[i].sa_handler != SIG_IGN)
        earlier[i].sa_handler(sig);
}

static void display_lost() {
    log_err("Lost the connection to the display; ending.\n");
    fflush(nullptr);
    _exit(1);
}

static int on_display_lost(Display*) {
    display_lost();
    return 0;
}

void quit_signals_install() {
    static bool installed = false;
    if (!installed) {
        installed = true;
        for (int i = 0; i < 2; i++) {
            struct sigaction mine = {};
            mine.sa_handler = on_signal;
            sigemptyset(&mine.sa_mask);
            sigaction(watched[i], &mine, &earlier[i]);
        }
        XSetIOErrorHandler(on_display_lost);
    }
    // The connection is the present video mode's: one left from an earlier SDL session is
    // closed, and its number may since name another file.
    display_fd = -1;
    // Xlib notices a closed connection only when it next reads from it, and SDL does not
    // always read each frame; the socket itself tells at once.
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (SDL_GetWMInfo(&info) > 0 && info.subsystem == SDL_SYSWM_X11 && info.info.x11.display)
        display_fd = ConnectionNumber(info.info.x11.display);
}

bool terminate_requested() { return requested != 0; }

void quit_signals_frame() {
    if (display_fd >= 0) {
        struct pollfd p = {display_fd, POLLRDHUP, 0};
        if (poll(&p, 1, 0) > 0 && (p.revents & (POLLRDHUP | POLLHUP | POLLERR))) display_lost();
    }
    if (!requested) return;
    SDL_Event e;
    SDL_PumpEvents();
    if (SDL_PeepEvents(&e, 1, SDL_PEEKEVENT, SDL_QUITMASK) > 0) return;
    e.type = SDL_QUIT;
    SDL_PushEvent(&e);
}
