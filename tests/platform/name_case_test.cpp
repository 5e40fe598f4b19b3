// The letter-case rule of file names against the system's own: ntdll's upper case of every
// UTF-16 unit, CompareStringOrdinal, and which names the file system takes for one.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "base/name_case.h"
#include "win32/handles.h"
#include "win32/text.h"
#include "win32/win_file_system.h"
#include "win_support/temp_tree.h"

namespace tess::test {
namespace {

using win32::Widen;

// Pairs where a rule of thumb and Windows part ways; each either one name or two.
struct Pair {
  const char* what;
  std::string a;
  std::string b;
};
const Pair kPairs[] = {
    {"A-umlaut", "\xC3\x84.txt", "\xC3\xA4.TXT"},
    {"sigma and final sigma", "\xCF\x83", "\xCF\x82"},
    {"capital sigma and final sigma", "\xCE\xA3", "\xCF\x82"},
    {"micro sign and capital mu", "\xC2\xB5", "\xCE\x9C"},
    {"DZ with caron, title case and capital", "\xC7\x85", "\xC7\x84"},
    {"DZ with caron, small and capital", "\xC7\x86", "\xC7\x84"},
    {"dotless i and I", "\xC4\xB1", "I"},
    {"dotted capital I and i", "\xC4\xB0", "i"},
    {"sharp s and ss", "\xC3\x9F", "ss"},
    {"composed and decomposed e acute", "\xC3\xA9", "e\xCC\x81"},
    {"a capital longer than its letter", "\xC8\xBF", "\xE2\xB1\xBE"},
    {"Georgian Mkhedruli and Mtavruli", "\xE1\x83\x90", "\xE1\xB2\x90"},
    {"Deseret beyond U+FFFF", "\xF0\x90\x90\xA8", "\xF0\x90\x90\x80"},
};

TEST(NameCaseTest, UpperCaseOfEveryUnitIsNtdlls) {
  using Upcase = WCHAR(WINAPI*)(WCHAR);
  const auto upcase = reinterpret_cast<Upcase>(reinterpret_cast<void*>(
      GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "RtlUpcaseUnicodeChar")));
  ASSERT_NE(upcase, nullptr);
  std::vector<std::string> differences;
  for (char32_t unit = 0; unit <= 0xFFFF; ++unit) {
    const char32_t ours = UpperCaseUnit(unit);
    const char32_t system = upcase(static_cast<WCHAR>(unit));
    if (ours == system) continue;
    char line[48];
    std::snprintf(line, sizeof line, "U+%04X: ntdll U+%04X, ours U+%04X",
                  static_cast<unsigned>(unit), static_cast<unsigned>(system),
                  static_cast<unsigned>(ours));
    differences.push_back(line);
  }
  std::string shown;
  for (std::size_t i = 0; i < differences.size() && i < 8; ++i) shown += "\n" + differences[i];
  EXPECT_TRUE(differences.empty()) << differences.size() << " units differ:" << shown;
}

TEST(NameCaseTest, CompareStringOrdinalIgnoringCaseAgrees) {
  for (const Pair& pair : kPairs) {
    const std::wstring a = Widen(pair.a);
    const std::wstring b = Widen(pair.b);
    const bool system_same = CompareStringOrdinal(a.c_str(), static_cast<int>(a.size()), b.c_str(),
                                                  static_cast<int>(b.size()), TRUE) == CSTR_EQUAL;
    EXPECT_EQ(SameName(pair.a, pair.b), system_same) << pair.what;
  }
}

// The file system is the last word: a second name it takes for the first cannot be created
// beside it, and the listing's key of the first is the second's key exactly then.
TEST(NameCaseTest, TheFileSystemTakesTheSameNamesForOne) {
  win32::WinFileSystem files;
  for (const Pair& pair : kPairs) {
    TempTree folder({File(pair.a, "first")});
    win32::FileHandle second(CreateFileW((folder / Widen(pair.b)).c_str(), GENERIC_WRITE, 0,
                                         nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
    const DWORD error = second ? ERROR_SUCCESS : GetLastError();
    const bool file_system_same = error == ERROR_FILE_EXISTS;
    EXPECT_TRUE(second || file_system_same) << pair.what << ": error " << error;
    EXPECT_EQ(SameName(pair.a, pair.b), file_system_same) << pair.what;

    std::vector<tess::TreeEntry> listed;
    ASSERT_FALSE(files.List(folder.Path(), &listed).Failed()) << pair.what;
    ASSERT_FALSE(listed.empty()) << pair.what;
    const auto first = std::find_if(listed.begin(), listed.end(),
                                    [&](const tess::TreeEntry& e) { return e.name == pair.a; });
    ASSERT_NE(first, listed.end()) << pair.what;
    EXPECT_EQ(first->key == NameKey(pair.b), file_system_same) << pair.what;
  }
}

}  // namespace
}  // namespace tess::test
