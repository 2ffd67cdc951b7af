// Drum and cymbal voices. Each call adds one hit at `start` seconds; noise comes from a
// seed made of the hit time, so a piece sounds the same on every build.
#pragma once
#include "audio_buffer.h"

struct hit {
    double start;   // seconds
    float velocity; // 0..1
    float pan;      // -1 .. 1
};

void kick(audio_buffer& b, const hit& h, double punch = 1.0); // electronic bass drum
void soft_kick(audio_buffer& b, const hit& h);                 // jazz kit bass drum, feathered
void snare(audio_buffer& b, const hit& h);
void brush(audio_buffer& b, const hit& h, double length);      // brush tap or sweep
void clap(audio_buffer& b, const hit& h);
void closed_hat(audio_buffer& b, const hit& h);
void open_hat(audio_buffer& b, const hit& h);
void pedal_hat(audio_buffer& b, const hit& h);                 // foot "chick" on 2 and 4
void ride(audio_buffer& b, const hit& h);
void crash(audio_buffer& b, const hit& h);
void shaker(audio_buffer& b, const hit& h);
void tom(audio_buffer& b, const hit& h, double midi);
void timpani(audio_buffer& b, const hit& h, double midi, double roll_seconds);
// Rising filtered noise over `length` seconds, for build-ups into a downbeat.
void riser(audio_buffer& b, const hit& h, double length);
