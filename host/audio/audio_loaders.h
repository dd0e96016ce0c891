// Sound file decoding into whole-file sample memory: PCM WAV and Ogg Vorbis.
//
// Both loaders read from an open file (the caller opens and closes it) and
// return malloc'ed interleaved samples that the caller frees with free(), or
// null when the file is not one they accept. `length` is in sample frames,
// `format` in bytes per sample (1: unsigned 8-bit, 2: signed 16-bit little-endian).
// VxGlfwGame::LoadAudioData (host/platform/game.h) picks the loader by the file ending.
// Left out: compressed WAV formats, 24/32-bit conversion, streaming.
#pragma once

#include <cstdio>

// Why the last load refused its file ("not integer PCM", "no data chunk",
// ...), or null after a load that succeeded.
extern const char* vx_audio_load_err;

// RIFF/WAVE with an integer PCM "fmt " chunk; chunks before "data" are skipped.
unsigned char* LoadWAV(FILE* f, int* length, int* channels, int* format, int* hertz);

// Ogg Vorbis decoded completely to 16-bit samples.
unsigned char* LoadOGG(FILE* f, int* length, int* channels, int* format, int* hertz);
