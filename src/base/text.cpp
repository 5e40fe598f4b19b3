#include "base/text.h"

#include <string_view>

namespace tess {

std::string TrimSpaces(const std::string& text) {
  const auto first = text.find_first_not_of(' ');
  if (first == std::string::npos) return "";
  const auto last = text.find_last_not_of(' ');
  return text.substr(first, last - first + 1);
}

std::string StripTrailingWord(const std::string& text, const std::string& word) {
  const auto blank = text.rfind(' ');
  if (blank == std::string::npos) return text;
  if (word.empty() || TrimSpaces(text.substr(blank)) == word) {
    return TrimSpaces(text.substr(0, blank + 1));
  }
  return text;
}

std::string RemoveFileNameChars(const std::string& text) {
  static constexpr char kRemoved[] = "$/\\*:?<>|#' .,\"()-+=%;}{\t";
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
    if (std::string_view(kRemoved).find(c) == std::string_view::npos) out += c;
  }
  return out;
}

std::size_t WindowsLength(const std::string& utf8) {
  std::size_t length = 0;
  for (const char c : utf8) {
    const auto byte = static_cast<unsigned char>(c);
    if ((byte & 0xC0) != 0x80) ++length;  // a character starts here
    if (byte >= 0xF0) ++length;           // four bytes: a surrogate pair in UTF-16
  }
  return length;
}

std::string OneLine(const std::string& text) {
  std::string out;
  for (char c : text) out += (c == '\r' || c == '\n') ? ' ' : c;
  const auto last = out.find_last_not_of(' ');
  return last == std::string::npos ? "" : out.substr(0, last + 1);
}

std::size_t ReadDigits(std::string_view text, std::size_t max_digits, std::uint64_t* value) {
  std::size_t count = 0;
  *value = 0;
  while (count < max_digits && count < text.size() && text[count] >= '0' && text[count] <= '9') {
    *value = *value * 10 + static_cast<std::uint64_t>(text[count] - '0');
    ++count;
  }
  return count;
}

std::string LowerHex(const std::uint8_t* bytes, std::size_t count) {
  constexpr char kDigits[] = "0123456789abcdef";
  std::string hex;
  hex.reserve(count * 2);
  for (std::size_t i = 0; i < count; ++i) {
    hex += kDigits[bytes[i] >> 4];
    hex += kDigits[bytes[i] & 15];
  }
  return hex;
}

bool ReadHex(std::string_view text, std::uint8_t* bytes, std::size_t count) {
  if (text.size() != count * 2) return false;
  const auto value = [](char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
  };
  for (std::size_t i = 0; i < count; ++i) {
    const int high = value(text[2 * i]);
    const int low = value(text[2 * i + 1]);
    if (high < 0 || low < 0) return false;
    bytes[i] = static_cast<std::uint8_t>(high * 16 + low);
  }
  return true;
}

}  // namespace tess
