// quorvex-bench: speed and memory figures of the game and the renderer.
//
//   quorvex-bench [--json FILE] [--updates N]      all scenarios, a table and a JSON file
//   quorvex-bench --scenario NAME ...              one scenario (run by the above, one
//                                                  process each, so every game starts fresh)
//
// Game scenarios run the real game through the host loop with the fast clock
// and a script: "menu" (the carousel idle), "play" (a game of the first type,
// turning and firing), "worst" (the same game with every disc cell taken, the
// particle pool and the shot records full before each update). Renderer
// scenarios bypass the game: "sprites" draws 2,000 rotated, scaled 32 x 32
// sprites of one picture in one blend mode, "alternating" the same with two
// pictures and the blend mode changing on every record.
//
// Times are processor time of the main thread. An update's time leaves out the
// collector step that follows it, reported on its own. Allocations are those
// of the updates and renders measured, per update; heap figures count
// operator new (the collector allocates with malloc and is counted apart).
// Needs a display (Xvfb on a machine without one).
#include <execinfo.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <new>
#include <string>
#include <vector>

#include "framework/app.h"
#include "framework/graphics.h"
#include "game/myapp.h"
#include "host/platform/game.h"
#include "host/platform/glfw2.h"
#include "host/platform/options.h"

// ---------------------------------------------------------------------------
// Heap counting: every operator new of the process.

namespace {
long long g_heapCalls = 0;
long long g_heapBytes = 0;
// BENCH_TRACE=N prints the call stacks of the first N counted allocations.
int g_traceLeft = 0;
bool g_counting = false;
}  // namespace

void* operator new(size_t n) {
  ++g_heapCalls;
  g_heapBytes += (long long)n;
  if (g_counting && g_traceLeft > 0) {
    --g_traceLeft;
    void* pcs[16];
    std::fprintf(stderr, "-- %zu bytes\n", n);
    backtrace_symbols_fd(pcs, backtrace(pcs, 16), 2);
  }
  if (void* p = std::malloc(n ? n : 1)) return p;
  throw std::bad_alloc();
}
void* operator new[](size_t n) { return operator new(n); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, size_t) noexcept { operator delete(p); }
void operator delete[](void* p, size_t) noexcept { operator delete(p); }

namespace {

double CpuMs() {
  timespec t;
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

double WallMs() {
  timespec t;
  clock_gettime(CLOCK_MONOTONIC, &t);
  return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

double Percentile(std::vector<double> v, double p) {
  if (v.empty()) return 0;
  std::sort(v.begin(), v.end());
  size_t i = (size_t)std::ceil(p * (double)v.size()) - 1;
  return v[std::min(i, v.size() - 1)];
}

long PeakRssKb() {
  rusage u;
  getrusage(RUSAGE_SELF, &u);
  return u.ru_maxrss;
}

// What one scenario reports, as one line of "name value" pairs on stdout.
struct Figures {
  std::vector<double> update, render, collect;
  double drawCalls = 0, vertices = 0, records = 0;
  long long frames = 0, updates = 0;
  long long gcBytes = 0, heapBytes = 0, heapCalls = 0;
  double firstFrameMs = -1, menuMs = -1;

  void Print(const char* name) const {
    const double n = updates > 0 ? (double)updates : 1.0;
    const double f = frames > 0 ? (double)frames : 1.0;
    std::printf(
        "RESULT scenario %s update_med %.4f update_p99 %.4f render_med %.4f render_p99 %.4f "
        "collect_med %.4f collect_p99 %.4f draw_calls %.1f vertices %.0f records %.0f "
        "gc_bytes_per_update %.1f heap_bytes_per_update %.1f heap_calls_per_update %.2f "
        "peak_rss_kb %ld first_frame_ms %.1f menu_ms %.1f updates %lld frames %lld\n",
        name, Percentile(update, 0.5), Percentile(update, 0.99), Percentile(render, 0.5),
        Percentile(render, 0.99), Percentile(collect, 0.5), Percentile(collect, 0.99),
        drawCalls / f, vertices / f, records / f, (double)gcBytes / n, (double)heapBytes / n,
        (double)heapCalls / n, PeakRssKb(), firstFrameMs, menuMs, updates, frames);
    std::fflush(stdout);
  }
};

// ---------------------------------------------------------------------------
// Game scenarios: a probe in the host loop.

const char* g_scenario = "";
double g_start = 0;
long long g_warmup = 0;  // updates before measuring starts
Figures g_figures;

c_MyApp* App() { return static_cast<c_MyApp*>(vx_app__app); }

// Everything on screen at once: every disc cell taken (landed), the particle
// pool and the shot records full, the stars at their most.
void Crowd(c_MyApp* app) {
  for (int y = 0; y < kBoard; ++y) {
    for (int x = 0; x < kBoard; ++x) {
      if (!InDisc(x, y)) continue;
      static const int kinds[4] = {17, 19, 20, 21};
      app->p_PutBlob(x, y, kinds[(x + y) % 4]);
      app->m_grid[CellIndex(x, y) + kCellDrop] = 0.0f;  // landed
    }
  }
  for (int i = 0; i < 260; ++i)
    app->p_ThrowParticle(320, 240, 1 + i % 4, i % 8, kNotGiven, kNotGiven);
  for (int i = 0; i < kShotRecords; ++i) app->p_Shoot(320, 240, (float)(i * 7), 4, 4, 1);
  // A full board ends the game at once; keep it going.
  app->m_gameOver = 0;
  app->m_gameOverTime = 0;
}

class BenchProbe : public VxHostProbe {
 public:
  void BeforeUpdate(long long update) override {
    measuring = update > g_warmup;
    c_MyApp* app = App();
    if (g_figures.menuMs < 0 && app && app->m_gameMode == kModeMenu && app->m_loadPhase == 0) {
      g_figures.menuMs = WallMs() - g_start;
    }
    if (measuring && app && app->m_gameMode == kModePlay && std::strcmp(g_scenario, "worst") == 0) {
      if (!crowded) app->p_ResetStars(100);
      crowded = true;
      Crowd(app);
    }
    if (measuring) {
      gc0 = gc_total_alloc_bytes;
      heap0 = g_heapBytes;
      calls0 = g_heapCalls;
    }
    collectInUpdate = 0;
    g_counting = measuring;
    t0 = CpuMs();
  }
  void AfterUpdate() override {
    const double t = CpuMs() - t0 - collectInUpdate;
    g_counting = false;
    if (!measuring) return;
    g_figures.update.push_back(t);
    g_figures.gcBytes += gc_total_alloc_bytes - gc0;
    g_figures.heapBytes += g_heapBytes - heap0;
    g_figures.heapCalls += g_heapCalls - calls0;
    ++g_figures.updates;
  }
  void BeforeRender() override {
    rgc0 = gc_total_alloc_bytes;
    rheap0 = g_heapBytes;
    rcalls0 = g_heapCalls;
    g_counting = measuring;
    r0 = CpuMs();
  }
  void AfterRender() override {
    const double t = CpuMs() - r0;
    g_counting = false;
    if (g_figures.firstFrameMs < 0) g_figures.firstFrameMs = WallMs() - g_start;
    if (!measuring) return;
    // A frame's allocations count against the updates it follows.
    g_figures.gcBytes += gc_total_alloc_bytes - rgc0;
    g_figures.heapBytes += g_heapBytes - rheap0;
    g_figures.heapCalls += g_heapCalls - rcalls0;
    g_figures.render.push_back(t);
    g_figures.drawCalls += gxtkGraphics::lastFrame.drawCalls;
    g_figures.vertices += gxtkGraphics::lastFrame.vertices;
    if (App()) g_figures.records += App()->m_drawCount / kDrawRecordFloats;
    ++g_figures.frames;
  }
  void BeforeCollect() override { c0 = CpuMs(); }
  void AfterCollect() override {
    const double t = CpuMs() - c0;
    collectInUpdate += t;
    if (measuring) g_figures.collect.push_back(t);
  }

 private:
  bool measuring = false, crowded = false;
  double t0 = 0, r0 = 0, c0 = 0, collectInUpdate = 0;
  long long gc0 = 0, heap0 = 0, calls0 = 0, rgc0 = 0, rheap0 = 0, rcalls0 = 0;
};

BenchProbe g_probe;

void PrintAtExit() { g_figures.Print(g_scenario); }

int RunGame(const char* self, const std::string& name, long long updates) {
  // Enter starts a game of the first type; fire held, then the ship turning.
  std::string script = "# quorvex-bench\n";
  if (name != "menu") script += "60 key down 13\n63 key up 13\n70 key down 32\n200 key down 285\n";
  char path[] = "/tmp/quorvex-bench-XXXXXX";
  int fd = mkstemp(path);
  if (fd < 0) return 1;
  if (write(fd, script.data(), script.size()) != (ssize_t)script.size()) return 1;
  close(fd);

  g_warmup = 240;
  // The figures' own storage must not show up as the game's allocations.
  g_figures.update.reserve(updates + 8);
  g_figures.render.reserve(updates + 8);
  g_figures.collect.reserve(8 * updates + 64);
  const std::string exitAfter = std::to_string(g_warmup + updates);
  const char* argv[] = {self,           "--fast",          "--script", path,
                        "--exit-after", exitAfter.c_str(), nullptr};
  vx_host_probe = &g_probe;
  std::atexit(PrintAtExit);
  VxZorbelGame::Main(6, argv);  // ends the process after the last update
  unlink(path);
  return 0;
}

// ---------------------------------------------------------------------------
// Renderer scenarios: the graphics module on a real window, no game.

c_Image* SpriteSheet(gxtkGraphics* dev, unsigned tint) {
  gxtkSurface* surf = dev->CreateSurface(64, 64);
  Array<int> px(64 * 64);
  for (int y = 0; y < 64; ++y) {
    for (int x = 0; x < 64; ++x) {
      const int dx = x % 32 - 16, dy = y % 32 - 16;
      px[y * 64 + x] = dx * dx + dy * dy < 225 ? (int)(0xff000000u | tint) : 0;
    }
  }
  dev->WritePixels2(surf, px, 0, 0, 64, 64, 0, 64);
  return (new c_Image())->m_new()->p_Init2(surf, 0, 0, 32, 32, 4, 1, nullptr, 0, 0, 64, 64);
}

Array<c_Image*> g_sheets;
void MarkSheets() {
  gc_mark_q(g_sheets);
  gc_mark_q(vx_graphics_context);
}

int RunRenderer(const std::string& name, long long frames) {
  if (!glfwInit()) return 1;
  VxZorbelGame* host = new VxZorbelGame();
  host->SetGlfwWindow(640, 480, 8, 8, 8, 0, 0, 0, false);
  gxtkGraphics* dev = new gxtkGraphics();
  vx_graphics_SetGraphicsDevice(dev);
  gc_assign(vx_graphics_context, (new c_GraphicsContext())->m_new());
  gc_assign(g_sheets, Array<c_Image*>(2));
  gc_assign(g_sheets[0], SpriteSheet(dev, 0xffd040));
  gc_assign(g_sheets[1], SpriteSheet(dev, 0x40a0ff));
  gc_add_root(MarkSheets);
  gc_mark();
  const bool alternate = name == "alternating";

  unsigned seed = 1234;
  auto rnd = [&seed](float lo, float hi) {
    seed = seed * 1664525u + 1013904223u;
    return lo + (hi - lo) * (float)(seed >> 8) / 16777216.0f;
  };
  struct Sprite {
    float x, y, rot, scale;
    int frame;
  };
  std::vector<Sprite> sprites(2000);
  g_figures.render.reserve(frames + 8);
  for (Sprite& s : sprites)
    s = {rnd(0, 640), rnd(0, 480), rnd(0, 360), rnd(0.5f, 1.5f), (int)rnd(0, 4)};

  for (long long f = -10; f < frames; ++f) {
    const long long gc0 = gc_total_alloc_bytes, heap0 = g_heapBytes, calls0 = g_heapCalls;
    const double t0 = CpuMs();
    dev->BeginRender();
    vx_graphics_BeginRender();
    vx_graphics_Cls(0, 0, 40);
    for (size_t i = 0; i < sprites.size(); ++i) {
      Sprite& s = sprites[i];
      s.rot += 1.0f;
      const int pick = alternate ? (int)(i & 1) : 0;
      vx_graphics_SetBlend(pick);
      vx_graphics_DrawImage2(g_sheets[pick], s.x, s.y, s.rot, s.scale, s.scale, s.frame);
    }
    vx_graphics_EndRender();
    dev->EndRender();
    const double t = CpuMs() - t0;
    glfwSwapBuffers();
    if (f < 0) continue;  // warm-up: textures made
    g_figures.render.push_back(t);
    g_figures.drawCalls += gxtkGraphics::lastFrame.drawCalls;
    g_figures.vertices += gxtkGraphics::lastFrame.vertices;
    g_figures.records += (double)sprites.size();
    g_figures.gcBytes += gc_total_alloc_bytes - gc0;
    g_figures.heapBytes += g_heapBytes - heap0;
    g_figures.heapCalls += g_heapCalls - calls0;
    ++g_figures.frames;
    ++g_figures.updates;
  }
  g_figures.Print(name.c_str());
  return 0;
}

// ---------------------------------------------------------------------------
// The driver: one child process per scenario, then the table and the JSON.

struct Row {
  std::string scenario;
  std::vector<std::pair<std::string, std::string>> values;
  std::string Get(const std::string& k) const {
    for (const auto& kv : values)
      if (kv.first == k) return kv.second == "null" ? "-" : kv.second;
    return "-";
  }
};

bool RunChild(const char* self, const std::string& scenario, long long count, Row& row) {
  const std::string cmd = std::string("'") + self + "' --scenario " + scenario + " --updates " +
                          std::to_string(count) + " 2>/dev/null";
  FILE* p = popen(cmd.c_str(), "r");
  if (!p) return false;
  char line[4096];
  bool found = false;
  while (std::fgets(line, sizeof line, p)) {
    if (std::strncmp(line, "RESULT ", 7) != 0) continue;
    char* save = nullptr;
    std::vector<std::string> words;
    for (char* w = strtok_r(line + 7, " \n", &save); w; w = strtok_r(nullptr, " \n", &save)) {
      words.push_back(w);
    }
    row.scenario = scenario;
    row.values.clear();
    for (size_t i = 0; i + 1 < words.size(); i += 2) row.values.push_back({words[i], words[i + 1]});
    found = true;
  }
  const int status = pclose(p);
  return found && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

int RunAll(const char* self, const std::string& jsonPath, long long updates) {
  const char* scenarios[] = {"menu", "play", "worst", "sprites", "alternating"};
  std::vector<Row> rows;
  for (const char* s : scenarios) {
    Row row;
    const bool renderer = std::strcmp(s, "sprites") == 0 || std::strcmp(s, "alternating") == 0;
    if (!RunChild(self, s, renderer ? updates / 4 : updates, row)) {
      std::fprintf(stderr, "quorvex-bench: scenario %s failed (is a display available?)\n", s);
      return 1;
    }
    rows.push_back(row);
  }

  std::printf("%-12s %9s %9s %9s %9s %9s %7s %8s %7s %9s %9s %8s %9s %9s\n", "scenario", "upd med",
              "upd p99", "rnd med", "rnd p99", "gc p99", "calls", "vertices", "records", "gc B/upd",
              "heap B/u", "rss MB", "1st frame", "menu");
  std::printf("%-12s %9s %9s %9s %9s %9s %7s %8s %7s %9s %9s %8s %9s %9s\n", "", "ms", "ms", "ms",
              "ms", "ms", "", "", "", "", "", "", "ms", "ms");
  for (Row& r : rows) {
    // Renderer scenarios have no updates, collector steps or start-up.
    if (r.Get("first_frame_ms") == "-1.0") {
      for (auto& kv : r.values) {
        if (kv.first.rfind("update_", 0) == 0 || kv.first.rfind("collect_", 0) == 0 ||
            kv.first == "first_frame_ms" || kv.first == "menu_ms") {
          kv.second = "null";
        }
      }
    }
    const double rss = std::atof(r.Get("peak_rss_kb").c_str()) / 1024.0;
    std::printf("%-12s %9s %9s %9s %9s %9s %7s %8s %7s %9s %9s %8.1f %9s %9s\n", r.scenario.c_str(),
                r.Get("update_med").c_str(), r.Get("update_p99").c_str(),
                r.Get("render_med").c_str(), r.Get("render_p99").c_str(),
                r.Get("collect_p99").c_str(), r.Get("draw_calls").c_str(),
                r.Get("vertices").c_str(), r.Get("records").c_str(),
                r.Get("gc_bytes_per_update").c_str(), r.Get("heap_bytes_per_update").c_str(), rss,
                r.Get("first_frame_ms").c_str(), r.Get("menu_ms").c_str());
  }

  std::ofstream json(jsonPath);
  json << "{\n  \"scenarios\": [\n";
  for (size_t i = 0; i < rows.size(); ++i) {
    json << "    {\"scenario\": \"" << rows[i].scenario << "\"";
    for (const auto& kv : rows[i].values) {
      if (kv.first != "scenario") json << ", \"" << kv.first << "\": " << kv.second;
    }
    json << "}" << (i + 1 < rows.size() ? "," : "") << "\n";
  }
  json << "  ]\n}\n";
  std::printf("\nJSON written to %s\n", jsonPath.c_str());
  return json ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  g_start = WallMs();
  if (const char* trace = std::getenv("BENCH_TRACE")) g_traceLeft = std::atoi(trace);
  std::string scenario, json = "bench.json";
  long long updates = 1200;
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    if (a == "--scenario" && i + 1 < argc) {
      scenario = argv[++i];
    } else if (a == "--json" && i + 1 < argc) {
      json = argv[++i];
    } else if (a == "--updates" && i + 1 < argc) {
      updates = std::max(10LL, std::atoll(argv[++i]));
    } else {
      std::fprintf(stderr, "usage: quorvex-bench [--json FILE] [--updates N] [--scenario NAME]\n");
      return 2;
    }
  }
  if (scenario.empty()) return RunAll(argv[0], json, updates);
  static std::string name = scenario;
  g_scenario = name.c_str();
  if (scenario == "menu" || scenario == "play" || scenario == "worst") {
    return RunGame(argv[0], scenario, updates);
  }
  if (scenario == "sprites" || scenario == "alternating") return RunRenderer(scenario, updates);
  std::fprintf(stderr, "quorvex-bench: unknown scenario %s\n", scenario.c_str());
  return 2;
}
