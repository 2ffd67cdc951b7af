#include "foundation/log.h"

#include <cstdio>
#include <cstdlib>

static log_sink_fn g_sink = nullptr;
static void* g_sink_ctx = nullptr;
static int g_muted = 0;

void log_mute(bool on) { g_muted += on ? 1 : g_muted > 0 ? -1 : 0; }

void log_set_sink(log_sink_fn sink, void* ctx) {
    g_sink = sink;
    g_sink_ctx = ctx;
}

void log_write(log_stream stream, const char* fmt, va_list args) {
    if (g_muted) return;
    char buf[1024];
    va_list copy;
    va_copy(copy, args);
    int n = vsnprintf(buf, sizeof buf, fmt, args);
    char* text = buf;
    char* big = nullptr;
    if (n >= (int)sizeof buf) {
        big = (char*)malloc((size_t)n + 1);
        if (big) {
            vsnprintf(big, (size_t)n + 1, fmt, copy);
            text = big;
        }
    }
    va_end(copy);
    if (n < 0) text = (char*)"";
    if (g_sink) {
        g_sink(stream, text, g_sink_ctx);
    } else {
        FILE* f = stream == LOG_ERR ? stderr : stdout;
        fputs(text, f);
        fflush(f);
    }
    free(big);
}

void log_out(const char* fmt, ...) {
    va_list args;
    va_start(args, fmt);
    log_write(LOG_OUT, fmt, args);
    va_end(args);
}

void log_err(const char* fmt, ...) {
    va_list args;
    va_start(args, fmt);
    log_write(LOG_ERR, fmt, args);
    va_end(args);
}
