// The temporary trees every Windows test builds on: a tree stated as data lands on disk as
// stated, reads back the same, and a comparison names every kind of difference, so a test that
// compares trees can fail.
#include "win_support/temp_tree.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>

namespace tess::test {
namespace {

constexpr std::int64_t kSomeTime = 130000000000000000;

TEST(TempTreeTest, BuildsTheStatedTreeAndReadsItBackTheSame) {
  const Tree stated = {
      File("a.txt", "alpha"),
      File("sub\\deeper\\b.txt", "beta", FILE_ATTRIBUTE_READONLY, kSomeTime),
      Folder("empty", FILE_ATTRIBUTE_HIDDEN),
      File("\xCE\xB1\xCF\x81\xCF\x87\xCE\xB5\xCE\xAF\xCE\xBF.txt", ""),  // αρχείο, empty
  };
  TempTree tree(stated);
  EXPECT_EQ(ReadBytes(tree / "sub\\deeper\\b.txt"), "beta");
  EXPECT_EQ(WriteTimeOf(tree / "sub\\deeper\\b.txt"), static_cast<std::uint64_t>(kSomeTime));
  EXPECT_TRUE(AttributesOf(tree / "sub\\deeper\\b.txt") & FILE_ATTRIBUTE_READONLY);
  EXPECT_TRUE(IsFolderOnDisk(tree / L"empty"));

  const Tree read = ReadTree(tree.Path());
  ASSERT_EQ(read.size(), 6u);  // the two folders above b.txt are read too
  EXPECT_EQ(read[0].path, "a.txt");
  EXPECT_EQ(read[2].path, "sub");
  EXPECT_TRUE(read[2].folder);
  EXPECT_TRUE(SameTree(stated, read));
  EXPECT_TRUE(HoldsTree(tree.WidePath(), stated));
}

TEST(TempTreeTest, AComparisonNamesEveryDifference) {
  const Tree expected = {File("a.txt", "alpha"), File("sub\\b.txt", "beta", 0, kSomeTime),
                         Folder("gone")};
  EXPECT_TRUE(SameTree(expected, {Folder("gone"), File("sub\\b.txt", "beta", 0, kSomeTime),
                                  File("a.txt", "alpha")}));
  // No time stated: any time matches.
  EXPECT_TRUE(SameTree({File("a.txt", "x")}, {File("a.txt", "x", 0, kSomeTime)}));

  const Tree actual = {File("a.txt", "ALPHA", FILE_ATTRIBUTE_READONLY),
                       File("sub\\b.txt", "beta", 0, kSomeTime + 1), File("gone", ""),
                       File("extra.txt", "")};
  const ::testing::AssertionResult result = SameTree(expected, actual);
  ASSERT_FALSE(result);
  const std::string said = result.message();
  for (const char* difference : {"a.txt: holds \"ALPHA\" (5 bytes), expected \"alpha\" (5 bytes)",
                                 "a.txt: attributes 1, expected 0", "sub\\b.txt: written at",
                                 "gone: a file where a folder", "unexpected: extra.txt"}) {
    EXPECT_NE(said.find(difference), std::string::npos) << difference << " not in:\n" << said;
  }
  const std::string missing = SameTree(expected, {}).message();
  EXPECT_NE(missing.find("missing: sub\\b.txt"), std::string::npos) << missing;
  EXPECT_FALSE(HoldsTree("C:\\tessaline no such folder", {}));
}

TEST(TempTreeTest, TreesCombineAndMoveBelowAFolder) {
  const Tree source = {File("a.txt", "alpha"), Folder("empty")};
  const Tree combined = Under("dest\\src", source) + Tree{File("dest\\old.txt", "kept")};
  ASSERT_EQ(combined.size(), 3u);
  EXPECT_EQ(combined[0].path, "dest\\src\\a.txt");
  EXPECT_TRUE(combined[1].folder);
  EXPECT_EQ(combined[1].path, "dest\\src\\empty");
  EXPECT_EQ(combined[2].path, "dest\\old.txt");
  TempTree tree(combined);
  EXPECT_TRUE(HoldsTree(tree / "dest\\src", source));
  EXPECT_FALSE(HoldsTree(tree / "dest", source));
}

TEST(TempTreeTest, TheFolderLivesInTheLongTempFolderAndGoesAwayWithEverythingInIt) {
  std::wstring path;
  {
    TempTree tree({File("ro.txt", "x", FILE_ATTRIBUTE_READONLY)});
    path = tree.WidePath();
    std::string deep = tree / "deep";
    while (deep.size() < 300) deep += "\\a-folder-name-that-makes-the-path-long";
    WriteBytes(deep + "\\f.txt", "far down");
    EXPECT_EQ(path.rfind(TempFolder() + L"\\", 0), 0u);
    EXPECT_EQ(path.find(L'~'), std::wstring::npos) << "an 8.3 part in the temporary folder";
    EXPECT_TRUE(IsFolderOnDisk(path));
  }
  EXPECT_FALSE(Exists(path));
  const std::wstring temp = TempFolder();
  EXPECT_NE(temp.back(), L'\\');
  wchar_t long_form[MAX_PATH + 1] = {};
  ASSERT_GT(GetLongPathNameW(temp.c_str(), long_form, MAX_PATH + 1), 0u);
  EXPECT_EQ(temp, long_form);
}

}  // namespace
}  // namespace tess::test
