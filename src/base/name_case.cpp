#include "base/name_case.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <iterator>

#include "base/upcase_table.h"

namespace tess {
namespace {

char AsciiUpper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - ('a' - 'A')) : c; }

// The length of the well-formed UTF-8 character that text starts with, and its value; 0 when
// the bytes there are not one (a stray continuation byte, an overlong form, an encoded
// surrogate, a value past U+10FFFF, a character cut short).
std::size_t Decode(std::string_view text, char32_t* value) {
  const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
  const unsigned char lead = byte(0);
  std::size_t length = 0;
  unsigned char second_low = 0x80;
  unsigned char second_high = 0xBF;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    if (lead == 0xE0) second_low = 0xA0;   // shorter forms of U+0000 to U+07FF
    if (lead == 0xED) second_high = 0x9F;  // U+D800 to U+DFFF, surrogates
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    if (lead == 0xF0) second_low = 0x90;   // shorter forms of U+0000 to U+FFFF
    if (lead == 0xF4) second_high = 0x8F;  // past U+10FFFF
  } else {
    return 0;
  }
  if (text.size() < length || byte(1) < second_low || byte(1) > second_high) return 0;
  char32_t c = lead & (0x7Fu >> length);
  for (std::size_t i = 1; i < length; ++i) {
    if ((byte(i) & 0xC0) != 0x80) return 0;
    c = (c << 6) | (byte(i) & 0x3Fu);
  }
  *value = c;
  return length;
}

// A unit of the Basic Multilingual Plane, as one to three bytes.
void AppendUnit(char32_t unit, std::string* out) {
  if (unit < 0x80) {
    *out += static_cast<char>(unit);
    return;
  }
  if (unit < 0x800) {
    *out += static_cast<char>(0xC0 | (unit >> 6));
  } else {
    *out += static_cast<char>(0xE0 | (unit >> 12));
    *out += static_cast<char>(0x80 | ((unit >> 6) & 0x3F));
  }
  *out += static_cast<char>(0x80 | (unit & 0x3F));
}

}  // namespace

char32_t UpperCaseUnit(char32_t unit) {
  if (unit < 0x80) return static_cast<unsigned char>(AsciiUpper(static_cast<char>(unit)));
  if (unit > 0xFFFF) return unit;
  const auto* const begin = std::begin(upcase::kRuns);
  const auto* run = std::upper_bound(begin, std::end(upcase::kRuns), unit,
                                     [](char32_t u, const upcase::Run& r) { return u < r.first; });
  if (run == begin) return unit;
  --run;
  if (unit > run->last || (unit - run->first) % run->step != 0) return unit;
  return static_cast<char32_t>(static_cast<std::int32_t>(unit) + run->delta);
}

namespace {

// Appends the key of the one character (or stray byte) that text starts at `at` with, and
// returns how many bytes of text it took.
std::size_t AppendKeyOfCharacter(std::string_view text, std::size_t at, std::string* key) {
  const char byte = text[at];
  char32_t c = 0;
  const std::size_t length =
      static_cast<unsigned char>(byte) < 0x80 ? 1 : Decode(text.substr(at), &c);
  if (length == 1) {
    *key += AsciiUpper(byte);
  } else if (length == 0) {
    *key += byte;  // not UTF-8: kept as it is
  } else if (length == 4) {
    key->append(text.substr(at, 4));  // beyond U+FFFF: its two surrogates have no capitals
  } else {
    AppendUnit(UpperCaseUnit(c), key);
  }
  return std::max<std::size_t>(length, 1);
}

}  // namespace

std::string NameKey(std::string_view utf8_name) {
  // Nearly every name of a listing is ASCII: it changes in place, byte for byte.
  std::string key(utf8_name);
  std::size_t at = 0;
  for (; at < key.size() && static_cast<unsigned char>(key[at]) < 0x80; ++at) {
    key[at] = AsciiUpper(key[at]);
  }
  if (at == key.size()) return key;
  // A capital may take more or fewer bytes than its letter (U+023F has two, U+2C7E three).
  key.resize(at);
  while (at < utf8_name.size()) at += AppendKeyOfCharacter(utf8_name, at, &key);
  return key;
}

std::optional<std::size_t> NamePrefixLength(std::string_view utf8_name, std::string_view prefix) {
  // Letter by letter: a name's first letters may take more or fewer bytes than the prefix's.
  const std::string wanted = NameKey(prefix);
  std::string key;
  std::size_t at = 0;
  while (key.size() < wanted.size() && at < utf8_name.size()) {
    at += AppendKeyOfCharacter(utf8_name, at, &key);
  }
  if (key != wanted) return std::nullopt;
  return at;
}

bool SameName(std::string_view a, std::string_view b) { return NameKey(a) == NameKey(b); }

}  // namespace tess
