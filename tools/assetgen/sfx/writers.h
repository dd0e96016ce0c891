// File writers of the sound generator: 16-bit PCM WAV written by hand, Ogg Vorbis
// through libvorbisenc, PNG through stb_image_write, and folder creation.
// All return false on failure and never throw. The Ogg stream serial number is
// fixed so that two runs write identical bytes.
#pragma once

#include <string>
#include <vector>

namespace sfx {

// Creates every missing folder of `path` (like mkdir -p).
bool MakeDirs(const std::string& path);

// Interleaved float samples (-1..1, clipped) as 16-bit little-endian PCM.
bool WriteWav16(const std::string& path, const std::vector<float>& interleaved, int channels,
                int rate);

// Interleaved float stereo or mono samples encoded at the given VBR quality (-0.1..1).
bool WriteOggVorbis(const std::string& path, const std::vector<float>& interleaved, int channels,
                    int rate, float quality);

// 8-bit RGBA pixels, rows top to bottom.
bool WritePngRgba(const std::string& path, int width, int height,
                  const std::vector<unsigned char>& rgba);

}  // namespace sfx
