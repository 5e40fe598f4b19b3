#include "base/temporary_name.h"

#include <algorithm>

namespace tess {
namespace {

// Only ASCII letters occur in the shape, so their case is all there is to fold.
bool SameAsciiLetters(std::string_view a, std::string_view b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
    const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; };
    return lower(x) == lower(y);
  });
}

}  // namespace

std::string TemporaryName(std::uint64_t tag) {
  static constexpr char kHex[] = "0123456789abcdef";
  std::string name(kTemporaryPrefix);
  name.resize(name.size() + kTemporaryHexDigits);
  for (int i = 0; i < kTemporaryHexDigits; ++i) {
    name[name.size() - 1 - i] = kHex[tag & 0xF];
    tag >>= 4;
  }
  name += kTemporarySuffix;
  return name;
}

bool IsTemporaryName(std::string_view name) {
  if (name.size() != kTemporaryPrefix.size() + kTemporaryHexDigits + kTemporarySuffix.size()) {
    return false;
  }
  if (!SameAsciiLetters(name.substr(0, kTemporaryPrefix.size()), kTemporaryPrefix)) return false;
  if (!SameAsciiLetters(name.substr(name.size() - kTemporarySuffix.size()), kTemporarySuffix)) {
    return false;
  }
  const std::string_view digits = name.substr(kTemporaryPrefix.size(), kTemporaryHexDigits);
  return std::all_of(digits.begin(), digits.end(), [](char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
  });
}

}  // namespace tess
