// Strings: the shared empty rep, slicing, splitting, replacing, searching,
// case, numbers, the 8-bit copy and decoding loaded text.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "runtime/runtime.h"

namespace {

String S(const char* p) { return String(p); }
std::string U8(const String& s) { return s.ToUtf8(); }

std::vector<int> Units(const String& s) {
  std::vector<int> v;
  for (int i = 0; i < s.Length(); ++i) v.push_back(s[i]);
  return v;
}

String LoadBytes(const std::string& bytes) {
  FILE* f = tmpfile();
  fwrite(bytes.data(), 1, bytes.size(), f);
  rewind(f);
  String s = String::Load(f);
  fclose(f);
  return s;
}

TEST(String, EmptyResultsShareTheEmptyRepAndUnchangedResultsTheReceiver) {
  for (const String& e : {String(), S(""), String((const Char*)u"x", 0), S("abc").Slice(2, 2),
                          S("aa").Replace(S("aa"), S(""))})
    EXPECT_EQ(e.GetRep(), &String::nullRep);
  String abc = S("abc");
  // An empty find string would never advance: nothing is replaced.
  for (const String& same :
       {String() + abc, abc + String(), abc.Slice(0, 99), abc.Replace(S("zz"), S("y")),
        abc.Replace(String(), S("y")), abc.Split(S("|"))[0], abc.ToLower()})
    EXPECT_EQ(same.GetRep(), abc.GetRep());
  EXPECT_EQ(U8(abc + S("de")), "abcde");
}

TEST(String, SliceClampsTheStartButANegativeEndCountsFromTheEnd) {
  const struct {
    int from, term;
    const char* out;
  } cases[] = {{-3, 5, "llo"}, {1, -1, "ell"}, {3, 1, ""},
               {-99, 2, "he"}, {99, 5, ""},    {0, -99, ""}};
  for (const auto& c : cases)
    EXPECT_EQ(U8(S("hello").Slice(c.from, c.term)), c.out) << c.from << "," << c.term;
}

TEST(String, SplitJoinAndReplace) {
  const struct {
    const char* text;
    const char* sep;
    std::vector<std::string> parts;
  } cases[] = {{"a,,b,", ",", {"a", "", "b", ""}},
               {"abc", "", {"a", "b", "c"}},
               {"", "", {}},
               {"", ",", {""}},
               {"1||2||", "||", {"1", "2", ""}},
               {"plain", "|", {"plain"}}};
  for (const auto& c : cases) {
    Array<String> p = S(c.text).Split(S(c.sep));
    std::vector<std::string> got;
    for (int i = 0; i < p.Length(); ++i) got.push_back(U8(p[i]));
    EXPECT_EQ(got, c.parts) << c.text;
    if (*c.sep) {
      EXPECT_EQ(U8(S(c.sep).Join(p)), c.text);
    }
  }
  EXPECT_EQ(U8(S("aaaa").Replace(S("aa"), S("x"))), "xx");
  EXPECT_EQ(U8(S("aaa").Replace(S("aa"), S("x"))), "xa");
  EXPECT_EQ(U8(S("abab").Replace(S("b"), S("bb"))), "abbabb") << "replacements are never rescanned";
}

TEST(String, SearchAndCase) {
  const String s = S("Data/Path.PNG");
  const int found[][2] = {
      {s.Find(S("a")), 1},        {s.Find(S("a"), -5), 1},         {s.Find(S("a"), 2), 3},
      {s.Find(S("PNGX")), -1},    {s.FindLast(S("a")), 6},         {s.FindLast(S("D")), 0},
      {s.FindLast(S("a"), 5), 3}, {s.FindLast(S("q")), -1},        {s.StartsWith(S("Data")), 1},
      {s.EndsWith(S(".PNG")), 1}, {S("PN").EndsWith(S(".PNG")), 0}};
  for (const auto& f : found) EXPECT_EQ(f[0], f[1]) << "search " << &f - found;
  EXPECT_EQ(U8(S("az{`@[AZ").ToUpper()), "AZ{`@[AZ");
  EXPECT_EQ(U8(S("AZ@[az{`").ToLower()), "az@[az{`");
  EXPECT_EQ(U8(S("\xc4\xe4").ToLower()), "\xc3\x84\xc3\xa4") << "only A to Z change";
}

TEST(String, NumbersAndBytesConvertAsTheGameExpects) {
  for (auto [f, text] :
       std::vector<std::pair<float, std::string>>{{1.5f, "1.5"},
                                                  {3.0f, "3.0"},
                                                  {0.1f, "0.10000000149011612"},
                                                  {1e30f, "1.0000000150474662e+30"}})
    EXPECT_EQ(U8(String(f)), text);
  EXPECT_EQ(U8(String(-7)), "-7");
  EXPECT_EQ(S("  -42xyz").ToInt(), -42);
  EXPECT_EQ(S("abc").ToInt(), 0);
  EXPECT_EQ((String(Char(' '), 62) + S("57")).ToInt(), 5) << "only the first 63 units are read";
  EXPECT_FLOAT_EQ(S("2.5").ToFloat(), 2.5f);
  // The 8-bit copy keeps the low byte of each unit; bytes read back as Latin-1.
  const Char units[] = {'A', 0x1e9, 'z'};
  EXPECT_EQ(std::string(String(units, 3).ToCString<char>()), "A\xe9z");
  EXPECT_EQ(Units(S("caf\xe9")), (std::vector<int>{'c', 'a', 'f', 0xe9}));
}

TEST(String, LoadDecodesByteOrderMarksAndFallsBackToBytesOnBadUtf8) {
  const struct {
    std::string bytes;
    std::vector<int> units;
    const char* err;
  } cases[] = {
      {"\xef\xbb\xbf"
       "A",
       {'A'},
       nullptr},
      {std::string("\xff\xfe"
                   "A\0\xac\x20\xe9\0",
                   8),
       {'A', 0x20ac, 0xe9},
       nullptr},
      {std::string("\xfe\xff\0A\x20\xac\0\xe9\x01", 9),
       {'A', 0x20ac, 0xe9},
       nullptr},  // odd byte dropped
      {"\xc3\xa9\xe2\x82\xac", {0xe9, 0x20ac}, nullptr},
      // Cut off at the end: the whole text after the mark, byte by byte.
      {"\xef\xbb\xbf\xc3\xa9\xe2\x82\xac\xc3",
       {0xc3, 0xa9, 0xe2, 0x82, 0xac, 0xc3},
       "Invalid UTF-8"},
      {"\xf0\x9f\x98\x80", {0xf0, 0x9f, 0x98, 0x80}, "Invalid UTF-8"},  // no 4-byte sequences
  };
  for (const auto& c : cases) {
    _str_load_err = "stale";
    EXPECT_EQ(Units(LoadBytes(c.bytes)), c.units) << c.bytes;
    EXPECT_STREQ(_str_load_err, c.err) << c.bytes;
  }
  EXPECT_EQ(LoadBytes("").GetRep(), &String::nullRep);
  std::string big(10000, 'q');  // read in blocks of 4096
  big[4095] = 'x', big[4096] = 'y';
  EXPECT_EQ(U8(LoadBytes(big)), big);
}

}  // namespace
