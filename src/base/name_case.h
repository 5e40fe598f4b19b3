// When two file names are the same name: the one rule of letter case the program uses, as
// Windows compares names, one UTF-16 unit at a time through its upper-case table.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace tess {

// The capital Windows compares a UTF-16 unit of the Basic Multilingual Plane as: one letter for
// one letter, never an expansion. Anything else (a unit without a capital, a surrogate, a
// value beyond U+FFFF) comes back as it is.
char32_t UpperCaseUnit(char32_t unit);

// The UTF-8 name with every character of the Basic Multilingual Plane replaced by its capital;
// characters beyond it and bytes that are not UTF-8 stay as they are. Two names are one name on
// Windows exactly when their keys are equal, so keys can be sorted and searched.
std::string NameKey(std::string_view utf8_name);

bool SameName(std::string_view a, std::string_view b);

// How many bytes at the start of the UTF-8 name are, letter for letter, the same name as
// prefix, or nothing when the name does not start with it. The two may differ in length: `ɐ`
// takes two bytes and its capital `Ɐ` three.
std::optional<std::size_t> NamePrefixLength(std::string_view utf8_name, std::string_view prefix);

}  // namespace tess
