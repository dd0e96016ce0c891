// String: an immutable string of UTF-16 code units.
//
// A String is one pointer to a shared, reference-counted Rep; copying a handle
// shares the Rep, and no operation changes a Rep in place. Every empty string
// points at the one static nullRep, which is never freed. Operations return a
// shared Rep instead of a copy wherever the result equals an operand.
//
// Left out on purpose: locale-aware case mapping, normalisation, surrogate pair
// handling (units are handled one by one everywhere).
#pragma once

#include <cstdio>
#include <string>

template <class T>
class Array;

typedef char16_t Char;

class String {
 public:
  struct Rep {
    int refs;
    int length;
    Char data[1];  // `length` units follow; no terminator

    static Rep* alloc(int length);
    void retain() { ++refs; }
    // The empty rep's count may drift; it is never freed.
    void release();
  };

  // A reference-counted 8-bit (or wider) copy, for system calls and parsing.
  template <class C>
  class CString {
   public:
    CString() : block_(nullptr) {}
    explicit CString(const String& s);
    CString(const CString& o) : block_(o.block_) {
      if (block_) ++block_->refs;
    }
    CString& operator=(const CString& o) {
      if (o.block_) ++o.block_->refs;
      release();
      block_ = o.block_;
      return *this;
    }
    ~CString() { release(); }
    operator const C*() const { return block_ ? block_->chars : empty(); }
    const C* c_str() const { return *this; }

   private:
    struct Block {
      int refs;
      C chars[1];
    };
    static const C* empty() {
      static const C zero = 0;
      return &zero;
    }
    void release();
    Block* block_;
  };

  static Rep nullRep;

  String() : rep_(&nullRep) {}
  String(const String& s) : rep_(s.rep_) { rep_->retain(); }
  String(String&& s) noexcept : rep_(s.rep_) { s.rep_ = &nullRep; }
  String(const Char* p, int n);
  // One unit per byte: bytes above 127 are read as Latin-1.
  String(const char* p);
  String(const char* p, int n);
  // A run of n copies of one unit.
  String(Char ch, int n);
  explicit String(int n);
  explicit String(float f);
  explicit String(double d);
  explicit String(Rep* rep) : rep_(rep) {}
  ~String() { rep_->release(); }

  String& operator=(const String& s) {
    s.rep_->retain();
    rep_->release();
    rep_ = s.rep_;
    return *this;
  }
  String& operator=(String&& s) noexcept {
    if (this != &s) {
      rep_->release();
      rep_ = s.rep_;
      s.rep_ = &nullRep;
    }
    return *this;
  }
  String& operator+=(const String& s) { return *this = *this + s; }

  int Length() const { return rep_->length; }
  const Char* Data() const { return rep_->data; }
  Char operator[](int i) const { return rep_->data[i]; }
  Rep* GetRep() const { return rep_; }
  bool IsEmpty() const { return rep_->length == 0; }

  friend String operator+(const String& a, const String& b);
  friend bool operator==(const String& a, const String& b);
  friend bool operator!=(const String& a, const String& b) { return !(a == b); }
  friend bool operator<(const String& a, const String& b) { return a.Compare(b) < 0; }
  friend bool operator>(const String& a, const String& b) { return a.Compare(b) > 0; }
  int Compare(const String& b) const;

  String Slice(int from) const { return Slice(from, rep_->length); }
  String Slice(int from, int term) const;
  Array<String> Split(const String& sep) const;
  String Join(const Array<String>& bits) const;
  String Replace(const String& find, const String& with) const;
  int Find(const String& sub, int start = 0) const;
  int FindLast(const String& sub) const;
  int FindLast(const String& sub, int start) const;
  bool Contains(const String& sub) const { return Find(sub) != -1; }
  bool StartsWith(const String& p) const;
  bool EndsWith(const String& p) const;
  String ToLower() const;
  String ToUpper() const;
  String Trim() const;

  int ToInt() const;
  float ToFloat() const;
  template <class C>
  CString<C> ToCString() const {
    return CString<C>(*this);
  }
  // UTF-8, each unit on its own: below 128 one byte, below 2048 two, else three.
  std::string ToUtf8() const;
  static String FromUtf8(const char* p, int len = -1);
  static String FromChar(int ch);

  // Reads the rest of the file: UTF-16 with a byte-order mark, else UTF-8
  // (optional byte-order mark), falling back to one unit per byte when the
  // bytes are not valid UTF-8.
  static String Load(FILE* f);
  static String Load(const unsigned char* bytes, int n);

 private:
  Rep* rep_;
};

// Set by String::Load to "Invalid UTF-8" when the bytes fell back to Latin-1.
extern const char* _str_load_err;

// Appends the UTF-8 form of s to out (the encoding shared by vxPrint and the
// host's file names and saved state).
void vx_utf8_append(const String& s, std::string& out);

// Runs of string elements, for arrays of strings.
void t_create(int n, String* p);
void t_create(int n, String* p, const String* src);
void t_destroy(int n, String* p);

template <class C>
String::CString<C>::CString(const String& s) {
  int n = s.Length();
  block_ = static_cast<Block*>(::operator new(sizeof(Block) + sizeof(C) * n));
  block_->refs = 1;
  for (int i = 0; i < n; ++i) block_->chars[i] = static_cast<C>(s[i]);
  block_->chars[n] = 0;
}

template <class C>
void String::CString<C>::release() {
  Block* b = block_;
  block_ = nullptr;
  if (b && --b->refs == 0) ::operator delete(b);
}
