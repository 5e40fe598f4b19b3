// Small text rules the program shares: trimming blanks, dropping a trailing word, and making a
// name safe for a file name.
#pragma once

#include <string>

namespace tess {

// The text without leading and trailing blanks (spaces only; tabs stay).
std::string TrimSpaces(const std::string& text);
// Drops the last blank-separated word when it equals word (or whatever it is, when word is
// empty) and trims the rest; a text without a blank comes back unchanged.
std::string StripTrailingWord(const std::string& text, const std::string& word);
// The text without the characters a file name must not hold, nor blanks and punctuation.
std::string RemoveFileNameChars(const std::string& text);

}  // namespace tess
