// Small text rules the program shares: trimming blanks, dropping a trailing word, making a name
// safe for a file name, the length of a text as Windows counts it, and reading digits.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace tess {

// The text without leading and trailing blanks (spaces only; tabs stay).
std::string TrimSpaces(const std::string& text);
// Drops the last blank-separated word when it equals word (or whatever it is, when word is
// empty) and trims the rest; a text without a blank comes back unchanged.
std::string StripTrailingWord(const std::string& text, const std::string& word);
// The text without the characters a file name must not hold, nor blanks and punctuation.
std::string RemoveFileNameChars(const std::string& text);
// The length of UTF-8 text in characters as Windows counts them (UTF-16 units), the unit of its
// path limits: a character beyond U+FFFF counts twice, every other one once, whatever its
// number of bytes here.
std::size_t WindowsLength(const std::string& utf8);
// The text on one line, for a log read line by line: a system message may end with CR LF or
// carry one inside. Each line break becomes a blank, and trailing blanks go.
std::string OneLine(const std::string& text);
// The decimal digits (0 to 9 only) that open text, at most max_digits of them: how many there
// are, 0 when text opens with none, and their value in *value.
std::size_t ReadDigits(std::string_view text, std::size_t max_digits, std::uint64_t* value);
// Bytes as lowercase hex digits, two a byte, the first byte first (how hashes are written).
std::string LowerHex(const std::uint8_t* bytes, std::size_t count);
// Hex digits of either case back to count bytes: false unless text is exactly 2 * count digits.
bool ReadHex(std::string_view text, std::uint8_t* bytes, std::size_t count);

}  // namespace tess
