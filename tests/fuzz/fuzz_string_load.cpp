// String::Load on any bytes: UTF-8 with or without a byte-order mark, UTF-16
// with one, or the Latin-1 fallback. Never more units than bytes, and the
// text always converts back out.
#include <cstdlib>
#include <string>

#include "runtime/runtime.h"

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, size_t size) {
  if (size > (1u << 20)) return 0;
  String s = String::Load(data, (int)size);
  if (s.Length() > (int)size) std::abort();
  const std::string utf8 = s.ToUtf8();
  if (utf8.size() > 3 * (size_t)s.Length()) std::abort();
  return 0;
}
