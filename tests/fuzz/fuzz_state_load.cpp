// The saved-state payload as the game reads it: any text through p_LoadPayload
// must leave the options that have limits inside them.
#include <cstdlib>

#include "game/myapp.h"

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, size_t size) {
  if (size > (1u << 16)) return 0;
  static c_MyApp* app = nullptr;
  if (!app) {
    gc_init_lists();
    app = new c_MyApp();
  }
  app->p_LoadPayload(String::Load(data, (int)size));
  if (app->m_opt[10] < 64 || app->m_opt[11] < 64 || app->m_opt[12] < 8 || app->m_opt[14] != 1) {
    std::abort();
  }
  return 0;
}
