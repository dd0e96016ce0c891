// String operations, number formatting and decoding text files.
#include "runtime/vxstring.h"

#include <cstdlib>
#include <cstring>
#include <vector>

#include "runtime/array.h"

String::Rep String::nullRep = {1, 0, {0}};
const char* _str_load_err;

String::Rep* String::Rep::alloc(int length) {
  Rep* r = static_cast<Rep*>(std::malloc(
      sizeof(Char) * length + 8 > sizeof(Rep) ? sizeof(Char) * length + 8 : sizeof(Rep)));
  r->refs = 1;
  r->length = length;
  return r;
}

void String::Rep::release() {
  // Only the empty rep has length 0, and it is static.
  if (--refs == 0 && this != &nullRep) std::free(this);
}

namespace {

String::Rep* copy_rep(const Char* p, int n) {
  if (n <= 0) return &String::nullRep;
  String::Rep* r = String::Rep::alloc(n);
  std::memcpy(r->data, p, sizeof(Char) * n);
  return r;
}

bool units_equal(const Char* a, const Char* b, int n) {
  return std::memcmp(a, b, sizeof(Char) * n) == 0;
}

}  // namespace

String::String(const Char* p, int n) : rep_(copy_rep(p, n)) {}

String::String(const char* p) : String(p, p ? (int)std::strlen(p) : 0) {}

String::String(const char* p, int n) : rep_(&nullRep) {
  if (n <= 0) return;
  rep_ = Rep::alloc(n);
  for (int i = 0; i < n; ++i) rep_->data[i] = (unsigned char)p[i];
}

String::String(Char ch, int n) : rep_(&nullRep) {
  if (n <= 0) return;
  rep_ = Rep::alloc(n);
  for (int i = 0; i < n; ++i) rep_->data[i] = ch;
}

String::String(int n) : rep_(&nullRep) {
  char buf[16];
  int len = std::snprintf(buf, sizeof buf, "%i", n);
  *this = String(buf, len);
}

String::String(double d) : rep_(&nullRep) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.17lg", d);
  // Whole numbers keep a fraction so they still read as floats: 3.0, not 3.
  if (!std::strchr(buf, '.') && !std::strchr(buf, 'e')) std::strcat(buf, ".0");
  *this = String(buf);
}

String::String(float f) : String((double)f) {}

String operator+(const String& a, const String& b) {
  if (a.IsEmpty()) return b;
  if (b.IsEmpty()) return a;
  int n = a.Length() + b.Length();
  String::Rep* r = String::Rep::alloc(n);
  std::memcpy(r->data, a.Data(), sizeof(Char) * a.Length());
  std::memcpy(r->data + a.Length(), b.Data(), sizeof(Char) * b.Length());
  return String(r);
}

bool operator==(const String& a, const String& b) {
  if (a.rep_ == b.rep_) return true;
  return a.Length() == b.Length() && units_equal(a.Data(), b.Data(), a.Length());
}

int String::Compare(const String& b) const {
  int n = Length() < b.Length() ? Length() : b.Length();
  for (int i = 0; i < n; ++i) {
    int d = (int)rep_->data[i] - (int)b.rep_->data[i];
    if (d) return d;
  }
  return Length() - b.Length();
}

String String::Slice(int from, int term) const {
  int len = rep_->length;
  if (from < 0) {
    from += len;
    if (from < 0) from = 0;
  } else if (from > len) {
    from = len;
  }
  if (term >= 0) {
    if (term > len) term = len;
  } else {
    term += len;
  }
  if (from > term) return String();
  if (from == 0 && term == len) return *this;
  return String(rep_->data + from, term - from);
}

int String::Find(const String& sub, int start) const {
  if (start < 0) start = 0;
  int n = sub.Length();
  for (int i = start; i + n <= Length(); ++i) {
    if (units_equal(rep_->data + i, sub.Data(), n)) return i;
  }
  return -1;
}

int String::FindLast(const String& sub) const { return FindLast(sub, Length() - sub.Length()); }

int String::FindLast(const String& sub, int start) const {
  int n = sub.Length();
  if (start > Length() - n) start = Length() - n;
  for (int i = start; i >= 0; --i) {
    if (units_equal(rep_->data + i, sub.Data(), n)) return i;
  }
  return -1;
}

bool String::StartsWith(const String& p) const {
  return p.Length() <= Length() && units_equal(Data(), p.Data(), p.Length());
}

bool String::EndsWith(const String& p) const {
  return p.Length() <= Length() &&
         units_equal(Data() + Length() - p.Length(), p.Data(), p.Length());
}

Array<String> String::Split(const String& sep) const {
  int len = Length();
  if (sep.IsEmpty()) {
    Array<String> out(len);
    for (int i = 0; i < len; ++i) out[i] = String(rep_->data + i, 1);
    return out;
  }
  int count = 1;
  for (int i = Find(sep); i != -1; i = Find(sep, i + sep.Length())) ++count;
  Array<String> out(count);
  if (count == 1) {
    out[0] = *this;
    return out;
  }
  int start = 0, k = 0;
  for (int i = Find(sep); i != -1; i = Find(sep, start)) {
    out[k++] = Slice(start, i);
    start = i + sep.Length();
  }
  out[k] = Slice(start);
  return out;
}

String String::Join(const Array<String>& bits) const {
  int n = bits.Length();
  if (n == 0) return String();
  if (n == 1) return bits[0];
  int total = Length() * (n - 1);
  for (int i = 0; i < n; ++i) total += bits[i].Length();
  if (total == 0) return String();
  Rep* r = Rep::alloc(total);
  Char* p = r->data;
  for (int i = 0; i < n; ++i) {
    if (i) {
      std::memcpy(p, Data(), sizeof(Char) * Length());
      p += Length();
    }
    std::memcpy(p, bits[i].Data(), sizeof(Char) * bits[i].Length());
    p += bits[i].Length();
  }
  return String(r);
}

String String::Replace(const String& find, const String& with) const {
  // An empty find string would never advance the scan: nothing to replace.
  if (find.IsEmpty()) return *this;
  int fl = find.Length(), wl = with.Length();
  int hits = 0;
  for (int i = Find(find); i != -1; i = Find(find, i + fl)) ++hits;
  if (!hits) return *this;
  int total = Length() + hits * (wl - fl);
  if (total <= 0) return String();
  Rep* r = Rep::alloc(total);
  Char* p = r->data;
  int start = 0;
  for (int i = Find(find); i != -1; i = Find(find, start)) {
    std::memcpy(p, Data() + start, sizeof(Char) * (i - start));
    p += i - start;
    std::memcpy(p, with.Data(), sizeof(Char) * wl);
    p += wl;
    start = i + fl;
  }
  std::memcpy(p, Data() + start, sizeof(Char) * (Length() - start));
  return String(r);
}

String String::ToLower() const {
  for (int i = 0; i < Length(); ++i) {
    Char c = rep_->data[i];
    if (c >= 'A' && c <= 'Z') {
      Rep* r = copy_rep(Data(), Length());
      for (int j = i; j < Length(); ++j) {
        Char d = r->data[j];
        if (d >= 'A' && d <= 'Z') r->data[j] = d + 32;
      }
      return String(r);
    }
  }
  return *this;
}

String String::ToUpper() const {
  for (int i = 0; i < Length(); ++i) {
    Char c = rep_->data[i];
    if (c >= 'a' && c <= 'z') {
      Rep* r = copy_rep(Data(), Length());
      for (int j = i; j < Length(); ++j) {
        Char d = r->data[j];
        if (d >= 'a' && d <= 'z') r->data[j] = d - 32;
      }
      return String(r);
    }
  }
  return *this;
}

String String::Trim() const {
  int i = 0, j = Length();
  while (i < j && rep_->data[i] <= ' ') ++i;
  while (j > i && rep_->data[j - 1] <= ' ') --j;
  return Slice(i, j);
}

int String::ToInt() const {
  char buf[64];
  int n = Length() < 63 ? Length() : 63;
  for (int i = 0; i < n; ++i) buf[i] = (char)rep_->data[i];
  buf[n] = 0;
  return std::atoi(buf);
}

float String::ToFloat() const {
  char buf[64];
  int n = Length() < 63 ? Length() : 63;
  for (int i = 0; i < n; ++i) buf[i] = (char)rep_->data[i];
  buf[n] = 0;
  return (float)std::atof(buf);
}

String String::FromChar(int ch) {
  Char c = (Char)ch;
  return String(&c, 1);
}

void vx_utf8_append(const String& s, std::string& out) {
  for (int i = 0; i < s.Length(); ++i) {
    unsigned c = s[i];
    if (c < 0x80) {
      out += (char)c;
    } else if (c < 0x800) {
      out += (char)(0xc0 | (c >> 6));
      out += (char)(0x80 | (c & 0x3f));
    } else {
      out += (char)(0xe0 | (c >> 12));
      out += (char)(0x80 | ((c >> 6) & 0x3f));
      out += (char)(0x80 | (c & 0x3f));
    }
  }
}

std::string String::ToUtf8() const {
  std::string out;
  out.reserve(Length());
  vx_utf8_append(*this, out);
  return out;
}

String String::Load(const unsigned char* p, int n) {
  if (n <= 0) return String();
  _str_load_err = nullptr;
  std::vector<Char> units;
  units.reserve(n);
  if (n >= 2 && p[0] == 0xfe && p[1] == 0xff) {
    for (int i = 2; i + 1 < n; i += 2) units.push_back((Char)(p[i] * 256 + p[i + 1]));
  } else if (n >= 2 && p[0] == 0xff && p[1] == 0xfe) {
    for (int i = 2; i + 1 < n; i += 2) units.push_back((Char)(p[i + 1] * 256 + p[i]));
  } else {
    int start = (n > 2 && p[0] == 239 && p[1] == 187 && p[2] == 191) ? 3 : 0;
    for (int i = start; i < n;) {
      unsigned c = p[i];
      if (c < 0x80) {
        units.push_back((Char)c);
        i += 1;
      } else if ((c & 0xe0) == 0xc0 && i + 1 < n && (p[i + 1] & 0xc0) == 0x80) {
        units.push_back((Char)((c & 0x1f) * 64 + (p[i + 1] & 0x3f)));
        i += 2;
      } else if ((c & 0xf0) == 0xe0 && i + 2 < n && (p[i + 1] & 0xc0) == 0x80 &&
                 (p[i + 2] & 0xc0) == 0x80) {
        units.push_back((Char)((c & 0x0f) * 4096 + (p[i + 1] & 0x3f) * 64 + (p[i + 2] & 0x3f)));
        i += 3;
      } else {
        // Not UTF-8 after all: read every byte as one unit.
        _str_load_err = "Invalid UTF-8";
        units.clear();
        for (int j = start; j < n; ++j) units.push_back((Char)p[j]);
        break;
      }
    }
  }
  return String(units.data(), (int)units.size());
}

String String::Load(FILE* f) {
  std::vector<unsigned char> bytes;
  unsigned char block[4096];
  for (;;) {
    size_t got = std::fread(block, 1, sizeof block, f);
    bytes.insert(bytes.end(), block, block + got);
    if (got < sizeof block) break;
  }
  return Load(bytes.data(), (int)bytes.size());
}

String String::FromUtf8(const char* p, int len) {
  if (!p) return String();
  if (len < 0) len = (int)std::strlen(p);
  return Load(reinterpret_cast<const unsigned char*>(p), len);
}

void t_create(int n, String* p) {
  for (int i = 0; i < n; ++i) new (&p[i]) String();
}

void t_create(int n, String* p, const String* src) {
  for (int i = 0; i < n; ++i) new (&p[i]) String(src[i]);
}

void t_destroy(int n, String* p) {
  for (int i = 0; i < n; ++i) p[i].~String();
}
