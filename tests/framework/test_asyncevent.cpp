// The source stack and the event pump: growth and shrinking, re-entry and
// sources that remove themselves. (The game registers no source;
// the pump still runs every update.)
#include <gtest/gtest.h>

#include <string>

#include "framework/asyncevent.h"

namespace {

std::string g_log;

class Source : public Object, public virtual c_IAsyncEventSource {
 public:
  char name;
  bool removeSelf = false;  // on its next update
  bool reenter = false;     // runs the pump from inside its own update
  explicit Source(char n) : name(n) {}
  int p_UpdateAsyncEvents() override {
    g_log += name;
    if (reenter) vx_asyncevent_UpdateAsyncEvents();
    if (!removeSelf) return 0;
    removeSelf = false;
    c_Stack* s = vx_asyncevent__sources;
    for (int i = 0, at = 0; i < s->p_Length2(); ++i)  // the ones after it move up
      if (s->p_Get(i) != this) gc_assign(s->m_data[at++], s->p_Get(i));
    s->p_Length(s->p_Length2() - 1);
    vx_asyncevent__current = nullptr;
    return 0;
  }
};

Source* Push(c_Stack* s, char name) {
  Source* source = new Source(name);
  s->p_Length(s->p_Length2() + 1);
  gc_assign(s->m_data[s->p_Length2() - 1], static_cast<c_IAsyncEventSource*>(source));
  return source;
}

TEST(AsyncStack, GrowsToTwiceTheOldLengthPlusTenAndShrinksClearingTheSlots) {
  c_Stack* s = (new c_Stack())->m_new();
  Push(s, 'a');
  const int steps[][3] = {{1, 10, 1},      {10, 10, 10}, {11, 30, 11},
                          {100, 100, 100}, {4, 100, 4},  {-3, 100, 0}};
  for (const auto& st : steps) {  // asked, capacity, length
    s->p_Length(st[0]);
    EXPECT_EQ(s->m_data.Length(), st[1]) << "length " << st[0];
    EXPECT_EQ(s->p_Length2(), st[2]) << "length " << st[0];
  }
  s->p_Length(3);  // growing back within the capacity finds no old entry
  EXPECT_EQ(s->p_Get(0), nullptr);
}

// Each source once per pump, in order: one that runs the pump from its own
// update changes nothing, one that removes itself skips no other, and the last
// one removing itself ends the pump.
TEST(AsyncPump, UpdatesEachSourceOnceInOrder) {
  gc_assign(vx_asyncevent__sources, (new c_Stack())->m_new());
  EXPECT_EQ(vx_asyncevent_UpdateAsyncEvents(), 0);
  Source* a = Push(vx_asyncevent__sources, 'a');
  a->reenter = true;
  Push(vx_asyncevent__sources, 'b')->removeSelf = true;
  Push(vx_asyncevent__sources, 'c');
  vx_asyncevent_UpdateAsyncEvents();
  vx_asyncevent_UpdateAsyncEvents();
  EXPECT_EQ(g_log, "abcac");
  vx_asyncevent__sources->p_Length(1);
  a->removeSelf = true;
  vx_asyncevent_UpdateAsyncEvents();
  EXPECT_EQ(g_log, "abcaca");
  EXPECT_EQ(vx_asyncevent__sources->p_Length2(), 0);
  EXPECT_EQ(vx_asyncevent__current, nullptr);
  vx_asyncevent__sources = nullptr;
}

}  // namespace
