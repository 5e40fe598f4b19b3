// The letter-case rule of file names: which names Windows takes for one, letter by letter.
#include "base/name_case.h"

#include <gtest/gtest.h>

#include <string>

namespace tess::test {
namespace {

struct Pair {
  const char* what;
  std::string a;
  std::string b;
  bool same;
};

TEST(NameCaseTest, NamesWindowsTakesForOneAndNamesItKeepsApart) {
  const Pair pairs[] = {
      {"ASCII", "Report 2024.TXT", "report 2024.txt", true},
      {"ASCII marks beside the letters are not letters", "[a]@", "{A}`", false},
      {"Latin-1", "\xC3\x84rger", "\xC3\xA4RGER", true},  // Ärger
      {"Latin-1 y with diaeresis, whose capital is outside Latin-1", "\xC3\xBF", "\xC5\xB8", true},
      {"Latin-1 times and division signs", "\xC3\x97", "\xC3\xB7", false},
      {"Latin Extended, capitals on odd units", "\xC4\xBF", "\xC5\x80", true},  // Ŀ ŀ
      {"Greek sigma", "\xCE\xA3", "\xCF\x83", true},                            // Σ σ
      // Windows' table has no capital for final sigma, nor for the micro sign.
      {"Greek final sigma and capital", "\xCF\x82", "\xCE\xA3", false},
      {"Greek final sigma and sigma", "\xCF\x82", "\xCF\x83", false},
      {"micro sign and Greek mu", "\xC2\xB5", "\xCE\x9C", false},
      {"Cyrillic", "\xD0\x81\xD0\x96", "\xD1\x91\xD0\xB6", true},                 // ЁЖ ёж
      {"Armenian", "\xD4\xB1", "\xD5\xA1", true},                                 // Ա ա
      {"Georgian Mkhedruli and Mtavruli", "\xE1\x83\x90", "\xE1\xB2\x90", true},  // ა Ა
      {"DZ with caron, capital and small", "\xC7\x84", "\xC7\x86", true},         // Ǆ ǆ
      {"DZ with caron, title case and capital", "\xC7\x85", "\xC7\x84", false},
      {"DZ with caron, title case and small", "\xC7\x85", "\xC7\x86", false},
      {"dotless i and I", "\xC4\xB1", "I", false},
      {"dotless i and i", "\xC4\xB1", "i", false},
      {"dotted capital I and i", "\xC4\xB0", "i", false},
      {"dotted capital I and I", "\xC4\xB0", "I", false},
      {"sharp s is not two letters", "Ma\xC3\x9F", "MASS", false},
      {"sharp s and capital sharp s", "\xC3\x9F", "\xE1\xBA\x9E", false},
      {"fi ligature is not two letters", "\xEF\xAC\x81le", "FILE", false},
      {"composed and decomposed e acute", "caf\xC3\xA9", "cafe\xCC\x81", false},
      {"a capital longer than its letter", "\xC8\xBF", "\xE2\xB1\xBE", true},  // ȿ Ȿ
      {"a turned a and its capital",
       "\xC9\x90"
       "bc",
       "\xE2\xB1\xAF"
       "bc",
       true},  // ɐbc Ɐbc
      {"Deseret beyond U+FFFF", "\xF0\x90\x90\xA8", "\xF0\x90\x90\x80", false},
  };
  for (const Pair& pair : pairs) {
    EXPECT_EQ(SameName(pair.a, pair.b), pair.same) << pair.what;
    EXPECT_EQ(SameName(pair.b, pair.a), pair.same) << pair.what;
    // As the start of a longer name, too: measured in the name's own bytes.
    const auto length = NamePrefixLength(pair.a + "Date", pair.b);
    EXPECT_EQ(length.has_value(), pair.same) << pair.what;
    if (length) EXPECT_EQ(*length, pair.a.size()) << pair.what;
  }
}

TEST(NameCaseTest, KeysKeepWhatIsNotUtf8AndWhatHasNoCapital) {
  const struct {
    const char* what;
    std::string name;
    std::string key;
  } cases[] = {
      {"empty", "", ""},
      {"a Latin-1 byte", "caf\xE9.txt", "CAF\xE9.TXT"},
      {"a character cut short, then ASCII", "\xE2\x82x", "\xE2\x82X"},
      {"a lone continuation byte", "\x80\xBFz", "\x80\xBFZ"},
      {"an overlong slash", "\xC0\xAFq", "\xC0\xAFQ"},
      {"an encoded surrogate", "\xED\xA0\x80q", "\xED\xA0\x80Q"},
      {"past U+10FFFF", "\xF4\x90\x80\x80", "\xF4\x90\x80\x80"},
      {"beyond U+FFFF", "\xF0\x90\x90\xA8q", "\xF0\x90\x90\xA8Q"},
      {"after the fast path ends", "ab\xC3\xA4xy", "AB\xC3\x84XY"},
  };
  for (const auto& c : cases) EXPECT_EQ(NameKey(c.name), c.key) << c.what;
}

}  // namespace
}  // namespace tess::test
