#include "base/temporary_name.h"

#include <algorithm>

#include "base/name_case.h"

namespace tess {
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

std::string DrawnTemporaryName(std::uint64_t seed, std::uint64_t count) {
  std::uint64_t value = seed + 0x9E3779B97F4A7C15ull * count;
  value = (value ^ (value >> 30)) * 0xBF58476D1CE4E5B9ull;
  value = (value ^ (value >> 27)) * 0x94D049BB133111EBull;
  return TemporaryName(value ^ (value >> 31));
}

bool IsTemporaryName(std::string_view name) {
  if (name.size() != kTemporaryPrefix.size() + kTemporaryHexDigits + kTemporarySuffix.size()) {
    return false;
  }
  if (!SameName(name.substr(0, kTemporaryPrefix.size()), kTemporaryPrefix)) return false;
  if (!SameName(name.substr(name.size() - kTemporarySuffix.size()), kTemporarySuffix)) {
    return false;
  }
  const std::string_view digits = name.substr(kTemporaryPrefix.size(), kTemporaryHexDigits);
  return std::all_of(digits.begin(), digits.end(), [](char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
  });
}

}  // namespace tess
