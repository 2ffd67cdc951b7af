// One printf-style logging function for every diagnostic of the engine and the programs.
// Lines go to standard output (log_out) or standard error (log_err). A test can install a
// sink to capture the exact text; without one the real streams are used.
#pragma once
#include <cstdarg>

enum log_stream { LOG_OUT = 1, LOG_ERR = 2 };

// Receives one formatted piece of text (not necessarily a whole line).
typedef void (*log_sink_fn)(log_stream stream, const char* text, void* ctx);

void log_out(const char* fmt, ...) __attribute__((format(printf, 1, 2)));
void log_err(const char* fmt, ...) __attribute__((format(printf, 1, 2)));
void log_write(log_stream stream, const char* fmt, va_list args);

// Replace the destination of all diagnostics; null restores the real streams.
void log_set_sink(log_sink_fn sink, void* ctx);
// While muted, nothing is written anywhere: a match stepped again over frames it has already
// shown (a rollback, a seek) says nothing twice. Nested mutes count.
void log_mute(bool on);
