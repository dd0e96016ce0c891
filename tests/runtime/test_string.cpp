// Strings and arrays: sharing, slicing, splitting, replacing, numbers, loading.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "runtime/runtime.h"

namespace {

String S(const char* p) { return String(p); }

std::string Utf8(const String& s) { return s.ToUtf8(); }

String LoadBytes(const std::string& bytes) {
  FILE* f = tmpfile();
  fwrite(bytes.data(), 1, bytes.size(), f);
  rewind(f);
  String s = String::Load(f);
  fclose(f);
  return s;
}

TEST(String, EmptyResultsShareTheOneEmptyRep) {
  EXPECT_EQ(String().GetRep(), &String::nullRep);
  EXPECT_EQ(S("").GetRep(), &String::nullRep);
  EXPECT_EQ(String((const Char*)u"x", 0).GetRep(), &String::nullRep);
  EXPECT_EQ(S("abc").Slice(2, 2).GetRep(), &String::nullRep);
  EXPECT_EQ(S("aa").Replace(S("aa"), S("")).GetRep(), &String::nullRep);
  String abc = S("abc");
  int refs = abc.GetRep()->refs;
  String sum = String() + abc;
  EXPECT_EQ(sum.GetRep(), abc.GetRep());
  EXPECT_EQ(abc.GetRep()->refs, refs + 1);
  EXPECT_EQ((abc + String()).GetRep(), abc.GetRep());
  EXPECT_EQ(Utf8(abc + S("de")), "abcde");
}

TEST(String, SliceClampsLikeTheReference) {
  String h = S("hello");
  EXPECT_EQ(Utf8(h.Slice(-3)), "llo");
  EXPECT_EQ(Utf8(h.Slice(1, -1)), "ell");
  EXPECT_EQ(h.Slice(3, 1).Length(), 0);
  EXPECT_EQ(h.Slice(0, 99).GetRep(), h.GetRep());
  EXPECT_EQ(Utf8(h.Slice(-99, 2)), "he");
  EXPECT_EQ(h.Slice(99).Length(), 0);
  EXPECT_EQ(h.Slice(0, -99).Length(), 0);  // a negative end is not clamped: empty
}

TEST(String, SplitGivesEmptyPiecesAndSharesWithoutMatch) {
  Array<String> p = S("a,,b,").Split(S(","));
  ASSERT_EQ(p.Length(), 4);
  EXPECT_EQ(Utf8(p[0]), "a");
  EXPECT_EQ(p[1].Length(), 0);
  EXPECT_EQ(Utf8(p[2]), "b");
  EXPECT_EQ(p[3].Length(), 0);
  Array<String> chars = S("abc").Split(String());
  ASSERT_EQ(chars.Length(), 3);
  EXPECT_EQ(Utf8(chars[2]), "c");
  EXPECT_EQ(String().Split(String()).Length(), 0);
  Array<String> one = String().Split(S(","));
  ASSERT_EQ(one.Length(), 1);
  EXPECT_EQ(one[0].Length(), 0);
  String plain = S("plain");
  EXPECT_EQ(plain.Split(S("|")).Length(), 1);
  EXPECT_EQ(plain.Split(S("|"))[0].GetRep(), plain.GetRep());
  Array<String> multi = S("1||2||").Split(S("||"));
  ASSERT_EQ(multi.Length(), 3);
  EXPECT_EQ(Utf8(multi[1]), "2");
  EXPECT_EQ(Utf8(S(",").Join(p)), "a,,b,");
}

TEST(String, ReplaceIsNonOverlappingAndSharesWithoutMatch) {
  EXPECT_EQ(Utf8(S("aaaa").Replace(S("aa"), S("x"))), "xx");
  EXPECT_EQ(Utf8(S("aaa").Replace(S("aa"), S("x"))), "xa");
  EXPECT_EQ(Utf8(S("abab").Replace(S("b"), S("bb"))), "abbabb");  // never rescanned
  String r = S("receiver");
  EXPECT_EQ(r.Replace(S("zz"), S("y")).GetRep(), r.GetRep());
  // An empty find string would never advance: the receiver comes back unchanged.
  EXPECT_EQ(r.Replace(String(), S("y")).GetRep(), r.GetRep());
}

TEST(String, NumbersFormatAsTheGameExpects) {
  EXPECT_EQ(Utf8(String(1.5f)), "1.5");
  EXPECT_EQ(Utf8(String(2.0f)), "2.0");
  EXPECT_EQ(Utf8(String(3.0f)), "3.0");
  EXPECT_EQ(Utf8(String(0.1f)), "0.10000000149011612");
  EXPECT_EQ(Utf8(String(-7)), "-7");
  EXPECT_EQ(Utf8(String(1e30f)), "1.0000000150474662e+30");
  EXPECT_EQ(S("  -42xyz").ToInt(), -42);
  EXPECT_EQ(S("abc").ToInt(), 0);
  EXPECT_EQ((String(Char(' '), 62) + S("57")).ToInt(), 5) << "only the first 63 units are read";
  EXPECT_FLOAT_EQ(S("2.5").ToFloat(), 2.5f);
}

TEST(String, SearchAndCase) {
  String s = S("Data/Path.PNG");
  EXPECT_EQ(s.Find(S("a")), 1);
  EXPECT_EQ(s.Find(S("a"), -5), 1);
  EXPECT_EQ(s.Find(S("a"), 2), 3);
  EXPECT_EQ(s.Find(S("PNGX")), -1);
  EXPECT_EQ(s.FindLast(S("a")), 6);
  EXPECT_TRUE(s.StartsWith(S("Data")));
  EXPECT_TRUE(s.EndsWith(S(".PNG")));
  EXPECT_FALSE(S("PN").EndsWith(S(".PNG")));
  EXPECT_EQ(Utf8(s.ToLower()), "data/path.png");
  EXPECT_EQ(Utf8(S("\xc4").ToLower()), "\xc3\x84") << "only A to Z change";
  EXPECT_TRUE(S("x") == S("x"));
  EXPECT_FALSE(S("x") == S("X"));
}

TEST(String, CStringIsTheLowByteOfEachUnit) {
  Char units[] = {'A', 0x1e9, 'z'};
  String s(units, 3);
  String::CString<char> c = s.ToCString<char>();
  EXPECT_EQ(std::string(c), std::string("A\xe9z"));
  String::CString<char> copy = c;
  EXPECT_STREQ(copy, c);
  // One byte per unit: bytes above 127 read as Latin-1.
  String latin = S("caf\xe9");
  EXPECT_EQ(latin[3], 0xe9);
  EXPECT_EQ(Utf8(latin), "caf\xc3\xa9");
}

TEST(String, LoadDecodesByteOrderMarksUtf16AndFallsBackOnBadUtf8) {
  EXPECT_EQ(Utf8(LoadBytes("\xef\xbb\xbf" "A")), "A");
  EXPECT_EQ(Utf8(LoadBytes(std::string("\xff\xfe" "A\0", 4))), "A");
  EXPECT_EQ(Utf8(LoadBytes(std::string("\xfe\xff\0A", 4))), "A");
  EXPECT_EQ(Utf8(LoadBytes(std::string("\xfe\xff\0A\0", 5))), "A") << "odd byte ignored";

  _str_load_err = nullptr;
  String bad = LoadBytes("\x80");
  ASSERT_EQ(bad.Length(), 1);
  EXPECT_EQ(bad[0], 128);
  ASSERT_NE(_str_load_err, nullptr);
  EXPECT_STREQ(_str_load_err, "Invalid UTF-8");

  String mixed = LoadBytes("\xef\xbb\xbf" "\xc3\xa9" "\xe2\x82\xac" "\xc3");  // cut off at the end
  ASSERT_EQ(mixed.Length(), 6) << "the whole text after the mark, byte by byte";
  EXPECT_EQ(mixed[0], 0xc3);
  String good = LoadBytes("\xc3\xa9\xe2\x82\xac");
  ASSERT_EQ(good.Length(), 2);
  EXPECT_EQ(good[0], 0xe9);
  EXPECT_EQ(good[1], 0x20ac);
  EXPECT_EQ(_str_load_err, nullptr);
  EXPECT_EQ(LoadBytes("\xf0\x9f\x98\x80").Length(), 4) << "4-byte sequences are not decoded";

  EXPECT_EQ(LoadBytes("").GetRep(), &String::nullRep);
  std::string big(10000, 'q');
  big[4095] = 'x';
  big[4096] = 'y';
  String whole = LoadBytes(big);
  EXPECT_EQ(whole.Length(), 10000);
  EXPECT_EQ(whole[4096], 'y');
}

TEST(Array, ZeroFilledFixedLengthWithSharedEmptyRep) {
  Array<int> ints(5);
  for (int i = 0; i < 5; ++i) EXPECT_EQ(ints[i], 0);
  Array<float> floats(3);
  EXPECT_EQ(floats[2], 0.0f);
  Array<bool> bools(2);
  EXPECT_FALSE(bools[1]);
  Array<String> strings(3);
  EXPECT_EQ(strings[1].GetRep(), &String::nullRep);
  Array<Object*> refs(4);
  EXPECT_EQ(refs[3], nullptr);
  Array<int> none(0);
  EXPECT_EQ(none.GetRep(), &Array<int>::nullRep);
  Array<int> shared = ints;
  shared[1] = 9;
  EXPECT_EQ(ints[1], 9);
  int floats_rep_size = gc_object_size(floats.GetRep());
  EXPECT_GE(floats_rep_size, 3 * 4);
  EXPECT_EQ(floats_rep_size % 8, 0);
  String held = S("held");
  int refs_before = held.GetRep()->refs;
  {
    Array<String> copies(2);
    copies[0] = held;
    EXPECT_EQ(held.GetRep()->refs, refs_before + 1);
    String src[2] = {held, held};
    String run[2];
    t_destroy(2, run);
    t_create(2, run, src);
    EXPECT_EQ(held.GetRep()->refs, refs_before + 5);
    t_destroy(2, run);
    EXPECT_EQ(held.GetRep()->refs, refs_before + 3);
    t_create(2, run);
    EXPECT_EQ(run[1].GetRep(), &String::nullRep);
  }
  // The array's storage is collected: its strings are released when the
  // collector destroys it, not when the handle goes.
  EXPECT_EQ(held.GetRep()->refs, refs_before + 1);
  gc_collect_all(nullptr);
  gc_collect_all(nullptr);
  EXPECT_EQ(held.GetRep()->refs, refs_before);
}

}  // namespace
