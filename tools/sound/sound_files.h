// Writing finished buffers to disk: 16-bit signed PCM WAV (the only depth the game's mixer
// accepts besides 8-bit) and Ogg Vorbis for music. Each file is written under a temporary
// name and renamed into place, so an interrupted build never leaves a half-written file.
// Samples beyond full scale are clamped. Both return false (after a message) on failure.
#pragma once
#include "audio_buffer.h"

bool write_wav16(const char* path, const audio_buffer& b, bool mono);
// quality: libvorbis VBR quality, -0.1 .. 1.0. serial: the Ogg stream number (fixed, so the
// output is the same on every build).
bool write_ogg(const char* path, const audio_buffer& b, float quality, int serial);
