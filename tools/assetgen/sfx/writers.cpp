// File writers of the sound generator (see writers.h).
#include "writers.h"

#include <sys/stat.h>

#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>

#include <vorbis/vorbisenc.h>

#include <stb_image_write.h>

namespace sfx {

namespace {

void PutU16(std::vector<unsigned char>& out, uint32_t v) {
  out.push_back((unsigned char)(v & 255));
  out.push_back((unsigned char)((v >> 8) & 255));
}

void PutU32(std::vector<unsigned char>& out, uint32_t v) {
  PutU16(out, v & 0xFFFF);
  PutU16(out, v >> 16);
}

void PutTag(std::vector<unsigned char>& out, const char* tag) {
  out.insert(out.end(), tag, tag + 4);
}

int16_t ToPcm(float v) {
  float s = std::fmax(-1.0f, std::fmin(1.0f, v)) * 32767.0f;
  return (int16_t)std::lrint(s);
}

bool WriteAll(const unsigned char* data, size_t n, FILE* f) {
  return std::fwrite(data, 1, n, f) == n;
}

bool WritePages(FILE* f, ogg_stream_state* os, bool flush) {
  ogg_page page;
  while (flush ? ogg_stream_flush(os, &page) : ogg_stream_pageout(os, &page)) {
    if (std::fwrite(page.header, 1, (size_t)page.header_len, f) != (size_t)page.header_len)
      return false;
    if (std::fwrite(page.body, 1, (size_t)page.body_len, f) != (size_t)page.body_len) return false;
  }
  return true;
}

}  // namespace

bool MakeDirs(const std::string& path) {
  if (path.empty()) return false;
  std::string part;
  for (size_t i = 0; i <= path.size(); ++i) {
    if (i == path.size() || path[i] == '/') {
      if (!part.empty() && part != "/") {
        if (mkdir(part.c_str(), 0755) != 0 && errno != EEXIST) return false;
      }
    }
    if (i < path.size()) part += path[i];
  }
  struct stat st;
  return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool WriteWav16(const std::string& path, const std::vector<float>& interleaved, int channels,
                int rate) {
  if (channels < 1 || rate < 1) return false;
  uint32_t dataBytes = (uint32_t)(interleaved.size() * 2);
  std::vector<unsigned char> out;
  out.reserve(44 + dataBytes);
  PutTag(out, "RIFF");
  PutU32(out, 36 + dataBytes);
  PutTag(out, "WAVE");
  PutTag(out, "fmt ");
  PutU32(out, 16);
  PutU16(out, 1);  // integer PCM
  PutU16(out, (uint32_t)channels);
  PutU32(out, (uint32_t)rate);
  PutU32(out, (uint32_t)(rate * channels * 2));
  PutU16(out, (uint32_t)(channels * 2));
  PutU16(out, 16);
  PutTag(out, "data");
  PutU32(out, dataBytes);
  for (float v : interleaved) PutU16(out, (uint16_t)ToPcm(v));
  FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return false;
  bool ok = WriteAll(out.data(), out.size(), f);
  return std::fclose(f) == 0 && ok;
}

bool WriteOggVorbis(const std::string& path, const std::vector<float>& interleaved, int channels,
                    int rate, float quality) {
  if (channels < 1 || channels > 2) return false;
  FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return false;

  vorbis_info vi;
  vorbis_info_init(&vi);
  if (vorbis_encode_init_vbr(&vi, channels, rate, quality) != 0) {
    vorbis_info_clear(&vi);
    std::fclose(f);
    return false;
  }
  vorbis_comment vc;
  vorbis_comment_init(&vc);
  vorbis_comment_add_tag(&vc, "ENCODER", "quorvex assetgen");
  vorbis_dsp_state vd;
  vorbis_block vb;
  vorbis_analysis_init(&vd, &vi);
  vorbis_block_init(&vd, &vb);
  ogg_stream_state os;
  ogg_stream_init(&os, 0x51564F52);  // fixed serial: repeatable files

  bool ok = true;
  ogg_packet header, headerComm, headerCode;
  vorbis_analysis_headerout(&vd, &vc, &header, &headerComm, &headerCode);
  ogg_stream_packetin(&os, &header);
  ogg_stream_packetin(&os, &headerComm);
  ogg_stream_packetin(&os, &headerCode);
  ok = WritePages(f, &os, true);

  const long frames = (long)(interleaved.size() / (size_t)channels);
  const long chunk = 4096;
  long pos = 0;
  bool eos = false;
  while (ok && !eos) {
    long n = frames - pos < chunk ? frames - pos : chunk;
    if (n > 0) {
      float** buf = vorbis_analysis_buffer(&vd, (int)n);
      for (long i = 0; i < n; ++i)
        for (int c = 0; c < channels; ++c)
          buf[c][i] = interleaved[(size_t)(pos + i) * channels + c];
      vorbis_analysis_wrote(&vd, (int)n);
      pos += n;
    } else {
      vorbis_analysis_wrote(&vd, 0);  // end of stream
    }
    while (ok && vorbis_analysis_blockout(&vd, &vb) == 1) {
      vorbis_analysis(&vb, nullptr);
      vorbis_bitrate_addblock(&vb);
      ogg_packet op;
      while (ok && vorbis_bitrate_flushpacket(&vd, &op)) {
        ogg_stream_packetin(&os, &op);
        ok = WritePages(f, &os, false);
        if (op.e_o_s) eos = true;
      }
    }
    if (n <= 0 && !eos) {
      // Everything has been handed over; the last packet carries the end flag.
      eos = true;
    }
  }
  if (ok) ok = WritePages(f, &os, true);

  ogg_stream_clear(&os);
  vorbis_block_clear(&vb);
  vorbis_dsp_clear(&vd);
  vorbis_comment_clear(&vc);
  vorbis_info_clear(&vi);
  return std::fclose(f) == 0 && ok;
}

bool WritePngRgba(const std::string& path, int width, int height,
                  const std::vector<unsigned char>& rgba) {
  if ((size_t)width * (size_t)height * 4 != rgba.size()) return false;
  return stbi_write_png(path.c_str(), width, height, 4, rgba.data(), width * 4) != 0;
}

}  // namespace sfx
