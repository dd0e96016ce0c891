// The source stack and the event pump: growth and shrinking, the copy
// constructor, re-entry, and sources that remove themselves while updated.
#include <gtest/gtest.h>

#include <string>

#include "framework/asyncevent.h"

namespace {

class RecordingSource : public Object, public virtual c_IAsyncEventSource {
 public:
  std::string* log = nullptr;
  char name = '?';
  int calls = 0;
  bool removeSelf = false;  // removes itself from the stack on its first update
  bool reenter = false;     // calls the pump from inside its own update

  bool* alive = nullptr;  // cleared when the collector destroys the source

  RecordingSource(std::string* l, char n) : log(l), name(n) {}
  ~RecordingSource() override {
    if (alive) *alive = false;
  }

  int p_UpdateAsyncEvents() override {
    ++calls;
    *log += name;
    if (reenter) vx_asyncevent_UpdateAsyncEvents();
    if (removeSelf) {
      removeSelf = false;
      c_Stack* s = vx_asyncevent__sources;
      int at = 0;
      while (s->p_Get(at) != this) ++at;
      for (int i = at; i + 1 < s->p_Length2(); ++i) gc_assign(s->m_data[i], s->m_data[i + 1]);
      s->p_Length(s->p_Length2() - 1);
      vx_asyncevent__current = nullptr;
    }
    return 0;
  }
};

void Push(c_Stack* s, c_IAsyncEventSource* src) {
  const int n = s->p_Length2();
  s->p_Length(n + 1);
  gc_assign(s->m_data[n], src);
}

class AsyncTest : public ::testing::Test {
 protected:
  void SetUp() override {
    gc_assign(vx_asyncevent__sources, (new c_Stack())->m_new());
    vx_asyncevent__current = nullptr;
  }
  void TearDown() override {
    vx_asyncevent__sources = nullptr;
    vx_asyncevent__current = nullptr;
  }
  std::string log;
};

TEST(AsyncStack, NewStackIsEmpty) {
  c_Stack* s = (new c_Stack())->m_new();
  EXPECT_EQ(s->p_Length2(), 0);
  EXPECT_EQ(s->m_data.Length(), 0);
}

TEST(AsyncStack, GrowsToTwiceOldLengthPlusTenOrTheNewLength) {
  c_Stack* s = (new c_Stack())->m_new();
  s->p_Length(1);
  EXPECT_EQ(s->m_data.Length(), 10);  // max(0 * 2 + 10, 1)
  s->p_Length(10);
  EXPECT_EQ(s->m_data.Length(), 10);  // still fits
  s->p_Length(11);
  EXPECT_EQ(s->m_data.Length(), 30);  // 10 * 2 + 10
  s->p_Length(100);
  EXPECT_EQ(s->m_data.Length(), 100);  // the new length beats 11 * 2 + 10
  EXPECT_EQ(s->p_Length2(), 100);
}

TEST(AsyncStack, GrowingKeepsEntriesAndZeroFillsTheRest) {
  std::string log;
  c_Stack* s = (new c_Stack())->m_new();
  RecordingSource* a = new RecordingSource(&log, 'a');
  RecordingSource* b = new RecordingSource(&log, 'b');
  Push(s, a);
  Push(s, b);
  s->p_Length(50);
  EXPECT_EQ(s->p_Get(0), a);
  EXPECT_EQ(s->p_Get(1), b);
  for (int i = 2; i < s->m_data.Length(); ++i) EXPECT_EQ(s->p_Get(i), nullptr) << i;
}

TEST(AsyncStack, ShrinkingClearsFreedSlots) {
  std::string log;
  c_Stack* s = (new c_Stack())->m_new();
  for (int i = 0; i < 4; ++i) Push(s, new RecordingSource(&log, 'x'));
  s->p_Length(1);
  EXPECT_EQ(s->p_Length2(), 1);
  EXPECT_NE(s->p_Get(0), nullptr);
  for (int i = 1; i < 4; ++i) EXPECT_EQ(s->m_data[i], c_Stack::m_NIL) << i;
  // Growing back within the capacity must not resurrect the old entries.
  s->p_Length(4);
  for (int i = 1; i < 4; ++i) EXPECT_EQ(s->p_Get(i), nullptr) << i;
}

TEST(AsyncStack, NegativeLengthEmptiesTheStack) {
  std::string log;
  c_Stack* s = (new c_Stack())->m_new();
  Push(s, new RecordingSource(&log, 'x'));
  s->p_Length(-3);
  EXPECT_EQ(s->p_Length2(), 0);
  EXPECT_EQ(s->m_data[0], nullptr);
}

TEST(AsyncStack, CopyConstructorTakesAPrivateCopy) {
  std::string log;
  RecordingSource* a = new RecordingSource(&log, 'a');
  RecordingSource* b = new RecordingSource(&log, 'b');
  Array<c_IAsyncEventSource*> given(2);
  gc_assign(given[0], static_cast<c_IAsyncEventSource*>(a));
  gc_assign(given[1], static_cast<c_IAsyncEventSource*>(b));
  c_Stack* s = (new c_Stack())->m_new2(given);
  EXPECT_EQ(s->p_Length2(), 2);
  gc_assign(given[0], static_cast<c_IAsyncEventSource*>(b));
  EXPECT_EQ(s->p_Get(0), a);
  EXPECT_EQ(s->p_Get(1), b);
}

c_Stack* g_keptStack = nullptr;
void MarkKeptStack() { gc_mark_q(g_keptStack); }

TEST(AsyncStack, MarkKeepsItsSourcesAlive) {
  std::string log;
  bool keptAlive = true, droppedAlive = true;
  gc_add_root(MarkKeptStack);
  gc_assign(g_keptStack, (new c_Stack())->m_new());
  RecordingSource* kept = new RecordingSource(&log, 'k');
  kept->alive = &keptAlive;
  Push(g_keptStack, kept);
  // Only on the stack's spare capacity once the length drops: not reachable.
  RecordingSource* dropped = new RecordingSource(&log, 'd');
  dropped->alive = &droppedAlive;
  Push(g_keptStack, dropped);
  g_keptStack->p_Length(1);
  gc_collect_all(nullptr);
  gc_collect_all(nullptr);
  EXPECT_TRUE(keptAlive);
  EXPECT_FALSE(droppedAlive);
  EXPECT_EQ(g_keptStack->p_Get(0), kept);
  g_keptStack = nullptr;
  gc_collect_all(nullptr);
  gc_collect_all(nullptr);
  EXPECT_FALSE(keptAlive);
}

TEST_F(AsyncTest, PumpWithNoSourcesDoesNothing) {
  EXPECT_EQ(vx_asyncevent_UpdateAsyncEvents(), 0);
  EXPECT_EQ(vx_asyncevent__current, nullptr);
}

TEST_F(AsyncTest, PumpUpdatesEachSourceOnceInOrder) {
  Push(vx_asyncevent__sources, new RecordingSource(&log, 'a'));
  Push(vx_asyncevent__sources, new RecordingSource(&log, 'b'));
  Push(vx_asyncevent__sources, new RecordingSource(&log, 'c'));
  vx_asyncevent_UpdateAsyncEvents();
  EXPECT_EQ(log, "abc");
  vx_asyncevent_UpdateAsyncEvents();
  EXPECT_EQ(log, "abcabc");
  EXPECT_EQ(vx_asyncevent__current, nullptr);
}

TEST_F(AsyncTest, PumpReturnsAtOnceWhileASourceIsCurrent) {
  RecordingSource* busy = new RecordingSource(&log, 'z');
  Push(vx_asyncevent__sources, new RecordingSource(&log, 'a'));
  gc_assign(vx_asyncevent__current, static_cast<c_IAsyncEventSource*>(busy));
  EXPECT_EQ(vx_asyncevent_UpdateAsyncEvents(), 0);
  EXPECT_EQ(log, "");
  EXPECT_EQ(vx_asyncevent__current, busy);
}

TEST_F(AsyncTest, ReenteringThePumpFromASourceIsIgnored) {
  RecordingSource* a = new RecordingSource(&log, 'a');
  a->reenter = true;
  Push(vx_asyncevent__sources, a);
  Push(vx_asyncevent__sources, new RecordingSource(&log, 'b'));
  vx_asyncevent_UpdateAsyncEvents();
  EXPECT_EQ(log, "ab");
  EXPECT_EQ(a->calls, 1);
}

TEST_F(AsyncTest, SourceRemovingItselfDoesNotSkipTheNext) {
  RecordingSource* b = new RecordingSource(&log, 'b');
  b->removeSelf = true;
  Push(vx_asyncevent__sources, new RecordingSource(&log, 'a'));
  Push(vx_asyncevent__sources, b);
  Push(vx_asyncevent__sources, new RecordingSource(&log, 'c'));
  Push(vx_asyncevent__sources, new RecordingSource(&log, 'd'));
  vx_asyncevent_UpdateAsyncEvents();
  EXPECT_EQ(log, "abcd");
  EXPECT_EQ(vx_asyncevent__sources->p_Length2(), 3);
  vx_asyncevent_UpdateAsyncEvents();
  EXPECT_EQ(log, "abcdacd");
}

TEST_F(AsyncTest, LastSourceRemovingItselfEndsThePump) {
  RecordingSource* a = new RecordingSource(&log, 'a');
  a->removeSelf = true;
  Push(vx_asyncevent__sources, a);
  vx_asyncevent_UpdateAsyncEvents();
  EXPECT_EQ(log, "a");
  EXPECT_EQ(vx_asyncevent__sources->p_Length2(), 0);
  EXPECT_EQ(vx_asyncevent__current, nullptr);
}

}  // namespace
