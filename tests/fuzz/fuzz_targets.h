// The fuzz targets' bodies, one per loader, shared by the libFuzzer entries and the corpus
// regression test (test_corpus.cpp). A body returns a short outcome ("rejected",
// "loaded ...") and aborts when a result breaks a rule of its loader.
#pragma once

#include <cstddef>
#include <string>

using FuzzBody = std::string (*)(const unsigned char* data, size_t size);

// string_load, state_load, wav_load, ogg_load or image_load; null for others.
FuzzBody FuzzTarget(const std::string& name);
