// Data paths, the file services of VxGame and the saved-state file.
//
// The state is written to a temporary file beside the real one, flushed to
// disk and renamed over it, so a crash or a full disk mid-write never loses
// the previous state. Left out: any locking between two running copies.
#include "host/services/data.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "host/platform/game.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

const int kBlock = 4096;

bool IsGameData(const std::string& dir) {
  if (dir.empty()) return false;
  struct stat st;
  return stat((dir + "/" + kVxDataStamp).c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

// The running executable's folder, ending in '/'; empty when unknown.
std::string ExecutableDir(const char* argv0) {
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
  return slash == std::string::npos ? std::string() : exe.substr(0, slash + 1);
}

// The per-user data folder, ending in '/'. A relative $XDG_DATA_HOME is
// ignored, as the base-directory rules ask.
std::string UserDataDir(const char* xdgDataHome, const char* home) {
  if (xdgDataHome && xdgDataHome[0] == '/') return std::string(xdgDataHome) + "/";
#ifdef _WIN32
  const char* appData = std::getenv("APPDATA");
  if (appData && *appData) return std::string(appData) + "/";
#endif
  std::string base = home && *home ? home : "";
#ifndef _WIN32
  if (base.empty()) {
    const passwd* pw = getpwuid(getuid());
    if (pw && pw->pw_dir) base = pw->pw_dir;
  }
#endif
  return base + "/.local/share/";
}

// Creates the folders leading to `file` that are missing, private to the user.
void MakeParentDirs(const std::string& file) {
  for (size_t i = file.find('/', 1); i != std::string::npos; i = file.find('/', i + 1)) {
#ifdef _WIN32
    CreateDirectoryA(file.substr(0, i).c_str(), nullptr);
#else
    mkdir(file.substr(0, i).c_str(), 0700);
#endif
  }
}

#ifdef _WIN32
std::wstring Wide(const String& s) {
  return std::wstring(reinterpret_cast<const wchar_t*>(s.Data()), s.Length());
}
#endif

#ifndef _WIN32
// Makes a rename inside the folder of `file` durable.
void SyncFolderOf(const std::string& file) {
  size_t slash = file.find_last_of('/');
  int dir = open(slash == std::string::npos ? "." : file.substr(0, slash + 1).c_str(), O_RDONLY);
  if (dir < 0) return;
  fsync(dir);
  close(dir);
}
#endif

// A UTF-8 file name opened as the system expects.
FILE* OpenNamed(const std::string& name, const char* mode) {
#ifdef _WIN32
  return _wfopen(Wide(String::FromUtf8(name.c_str())).c_str(), Wide(String(mode)).c_str());
#else
  return std::fopen(name.c_str(), mode);
#endif
}

// The state written to a temporary file beside `path`, flushed and renamed
// over it: 0, or -1 when the file cannot be opened, -2 when the write fails.
int WriteWhole(const std::string& path, String state) {
  std::string bytes;
  vx_utf8_append(state, bytes);
  MakeParentDirs(path);
  const std::string tmp = path + ".tmp";
  FILE* f = OpenNamed(tmp, "wb");
  if (!f) return -1;
  bool ok = bytes.empty() || std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
  ok = std::fflush(f) == 0 && ok;
#ifndef _WIN32
  ok = fsync(fileno(f)) == 0 && ok;
#endif
  ok = std::fclose(f) == 0 && ok;
#ifdef _WIN32
  ok = ok && MoveFileExA(tmp.c_str(), path.c_str(),
                         MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
#else
  ok = ok && std::rename(tmp.c_str(), path.c_str()) == 0;
  if (ok) SyncFolderOf(path);
#endif
  if (ok) return 0;
  int err = errno;
  std::remove(tmp.c_str());
  errno = err;
  return -2;
}

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

VxDataPlaces vx_data_places;

VxDataPlaces vx_data_FindPlaces(const std::string& exeDir, const std::string& builtInDataDir,
                                const char* xdgDataHome, const char* home) {
  VxDataPlaces p;
  const std::string portable = exeDir.empty() ? std::string() : exeDir + "data";
  const std::string relocated = exeDir.empty() ? std::string() : exeDir + "../share/quorvex/data";
  if (IsGameData(portable)) {
    p.dataDir = portable;
    p.stateFile = exeDir + ".zorbelstate";
  } else if (IsGameData(relocated) || IsGameData(builtInDataDir)) {
    p.dataDir = IsGameData(relocated) ? relocated : builtInDataDir;
    p.installed = true;
    p.stateFile = UserDataDir(xdgDataHome, home) + "quorvex/.zorbelstate";
  }
  return p;
}

void vx_data_Locate(const char* argv0) {
  std::string dir = ExecutableDir(argv0);
#ifdef QUORVEX_INSTALLED_DATA_DIR
  const std::string builtIn = QUORVEX_INSTALLED_DATA_DIR;
#else
  const std::string builtIn;
#endif
  vx_data_places =
      vx_data_FindPlaces(dir, builtIn, std::getenv("XDG_DATA_HOME"), std::getenv("HOME"));
}

std::string vx_data_Resolve(const std::string& name) {
  if (name.compare(0, 7, "./data/") != 0) return name;
  return vx_data_places.dataDir + name.substr(6);
}

String VxGame::PathToFilePath(String path) { return path; }

String VxGlfwGame::PathToFilePath(String path) { return vx_data_MapPath(path); }

FILE* VxGame::OpenFile(String path, String mode) {
  String file = PathToFilePath(path);
  std::string name;
  if (file.IsEmpty() || !vx_data_FileName(file, name)) return nullptr;
  return OpenNamed(vx_data_Resolve(name), mode.ToCString<char>());
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
  const std::string& path = vx_data_places.stateFile;
  int result = WriteWhole(path, state);
  if (result != 0) {
    // The game goes on; the player should still learn that nothing was kept.
    std::printf("State Not Saved : %s : %s\n", path.c_str(), std::strerror(errno));
    std::fflush(stdout);
  }
  return result;
}

String VxGame::LoadState() {
  FILE* f = OpenNamed(vx_data_places.stateFile, "rb");
  if (!f) return String();
  String s = String::Load(f);
  std::fclose(f);
  return s;
}
