// Data paths, the file services of VxGame and the saved-state file.
//
// The state is written to a temporary file beside the real one, flushed to
// disk and renamed over it, so a crash or a full disk mid-write never loses
// the previous state. Left out: any locking between two running copies.
#include "host/data.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "host/game.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

const int kBlock = 4096;

bool IsDirectory(const std::string& path) {
#ifdef _WIN32
  DWORD a = GetFileAttributesA(path.c_str());
  return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
#else
  struct stat st;
  return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
#endif
}

#ifdef _WIN32
std::wstring Wide(const String& s) {
  return std::wstring(reinterpret_cast<const wchar_t*>(s.Data()), s.Length());
}
#endif

}  // namespace

String vx_data_FixDataPath(String path) {
  int i = path.Find(String(":/"));
  if (i != -1 && path.Find(String("/")) == i + 1) return path;
  if (path.StartsWith(String("./")) || path.StartsWith(String("/"))) return path;
  return String("zorbel://data/") + path;
}

String vx_data_MapPath(String path) {
  if (!path.StartsWith(String("zorbel:"))) return path;
  if (path.StartsWith(String("zorbel://data/"))) return String("./data/") + path.Slice(14);
  if (path.StartsWith(String("zorbel://internal/"))) return String("./internal/") + path.Slice(18);
  if (path.StartsWith(String("zorbel://external/"))) return String("./external/") + path.Slice(18);
  return String();
}

bool vx_data_FileName(String path, std::string& out) {
  out.clear();
  int n = path.Length();
  for (int i = 0; i < n; ++i) {
    unsigned c = path[i];
    if (c == 0) return false;
    if (c >= 0xD800 && c < 0xDC00 && i + 1 < n && path[i + 1] >= 0xDC00 && path[i + 1] < 0xE000) {
      c = 0x10000 + ((c - 0xD800) << 10) + (path[i + 1] - 0xDC00);
      ++i;
    }
    if (c < 0x80) {
      out += (char)c;
    } else if (c < 0x800) {
      out += (char)(0xC0 | (c >> 6));
      out += (char)(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
      out += (char)(0xE0 | (c >> 12));
      out += (char)(0x80 | ((c >> 6) & 0x3F));
      out += (char)(0x80 | (c & 0x3F));
    } else {
      out += (char)(0xF0 | (c >> 18));
      out += (char)(0x80 | ((c >> 12) & 0x3F));
      out += (char)(0x80 | ((c >> 6) & 0x3F));
      out += (char)(0x80 | (c & 0x3F));
    }
  }
  return true;
}

bool vx_data_FindDataFolder(const char* argv0) {
  if (IsDirectory("./data")) return false;
  std::string exe;
#ifdef _WIN32
  char buf[MAX_PATH];
  DWORD n = GetModuleFileNameA(nullptr, buf, MAX_PATH);
  if (n > 0 && n < MAX_PATH) exe.assign(buf, n);
#else
  char buf[4096];
  ssize_t n = readlink("/proc/self/exe", buf, sizeof buf - 1);
  if (n > 0) exe.assign(buf, (size_t)n);
#endif
  if (exe.empty() && argv0) exe = argv0;
  size_t slash = exe.find_last_of("/\\");
  if (slash == std::string::npos) return false;
  std::string dir = exe.substr(0, slash + 1);
  if (!IsDirectory(dir + "data")) return false;
#ifdef _WIN32
  return SetCurrentDirectoryA(dir.c_str()) != 0;
#else
  return chdir(dir.c_str()) == 0;
#endif
}

String VxGame::PathToFilePath(String path) { return path; }

String VxGlfwGame::PathToFilePath(String path) { return vx_data_MapPath(path); }

FILE* VxGame::OpenFile(String path, String mode) {
  String file = PathToFilePath(path);
  if (file.IsEmpty()) return nullptr;
#ifdef _WIN32
  if (file.Find(String::FromChar(0)) != -1) return nullptr;
  return _wfopen(Wide(file).c_str(), Wide(mode).c_str());
#else
  std::string name;
  if (!vx_data_FileName(file, name)) return nullptr;
  return std::fopen(name.c_str(), mode.ToCString<char>());
#endif
}

String VxGame::LoadString(String path) {
  FILE* f = OpenFile(path, String("rb"));
  if (!f) return String();
  String s = String::Load(f);
  std::fclose(f);
  return s;
}

unsigned char* VxGame::LoadData(String path, int* length) {
  FILE* f = OpenFile(path, String("rb"));
  if (!f) return nullptr;
  // One growing buffer rather than a list of blocks: the same reads, one copy less.
  unsigned char* data = nullptr;
  size_t total = 0;
  for (;;) {
    unsigned char* grown = static_cast<unsigned char*>(std::realloc(data, total + kBlock));
    if (!grown) {
      std::free(data);
      std::fclose(f);
      return nullptr;
    }
    data = grown;
    size_t n = std::fread(data + total, 1, kBlock, f);
    total += n;
    if (n < (size_t)kBlock) break;
    if (total > 0x7fffffff - (size_t)kBlock) break;  // the length is an int
  }
  std::fclose(f);
  // Exactly the file's size (at least one byte so an empty file is not null).
  unsigned char* exact = static_cast<unsigned char*>(std::realloc(data, total ? total : 1));
  if (exact) data = exact;
  if (length) *length = (int)total;
  return data;
}

int VxGame::SaveState(String state) {
  std::string bytes;
  vx_utf8_append(state, bytes);
  std::string tmp = std::string(kVxStateFile) + ".tmp";
  FILE* f = OpenFile(String(tmp.c_str()), String("wb"));
  if (!f) return -1;
  bool ok = bytes.empty() || std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
  ok = std::fflush(f) == 0 && ok;
#ifndef _WIN32
  ok = fsync(fileno(f)) == 0 && ok;
#endif
  ok = std::fclose(f) == 0 && ok;
  if (ok) {
#ifdef _WIN32
    ok = MoveFileExA(tmp.c_str(), kVxStateFile, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
#else
    ok = std::rename(tmp.c_str(), kVxStateFile) == 0;
    if (ok) {
      // Make the rename itself durable.
      int dir = open(".", O_RDONLY);
      if (dir >= 0) {
        fsync(dir);
        close(dir);
      }
    }
#endif
  }
  if (!ok) {
    std::remove(tmp.c_str());
    return -2;
  }
  return 0;
}

String VxGame::LoadState() {
  FILE* f = OpenFile(String(kVxStateFile), String("rb"));
  if (!f) return String();
  String s = String::Load(f);
  std::fclose(f);
  return s;
}
