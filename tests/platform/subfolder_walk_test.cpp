// The folder listing the walk uses, and the walk itself, on real trees under Wine: order, names
// Wine makes from Linux names, the two attribute values that keep a folder out, links back up
// the tree, long paths, and folders that refuse listing.
#include "folders/subfolder_walk.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "base/error_report.h"
#include "base/platform_error.h"
#include "folders/subfolder_walk.h"
#include "ports/event_pump.h"
#include "win32/text.h"
#include "win32/win_file_system.h"
#include "win_support/files.h"
#include "win_support/linux_side.h"
#include "win_support/temp_tree.h"

namespace tess::test {
namespace {

using Paths = std::vector<std::string>;
using win32::WinFileSystem;

class CountedEvents : public EventPump {
 public:
  void ProcessPendingEvents() override { ++calls; }
  int calls = 0;
};

class Reports : public ErrorReporter {
 public:
  void ShowApplicationError(const std::string& text) override { texts.push_back(text); }
  std::vector<std::string> texts;
};

// The error number an action fails with; 0 when it does not fail.
long ErrorNumberOf(const std::function<void()>& action) {
  try {
    action();
  } catch (const PlatformError& e) {
    return e.Number();
  }
  return 0;
}

// The names of a folder's subfolders as a plain listing gives them, in its order.
std::vector<std::string> ListedFolderNames(const std::string& folder) {
  std::vector<std::string> names;
  WIN32_FIND_DATAW found;
  const HANDLE find = FindFirstFileW(win32::Widen(folder + "\\*").c_str(), &found);
  if (find == INVALID_HANDLE_VALUE) return names;
  do {
    const std::wstring name = found.cFileName;
    if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && name != L"." && name != L"..") {
      names.push_back(win32::Narrow(name));
    }
  } while (FindNextFileW(find, &found));
  FindClose(find);
  return names;
}

// Runs a Linux shell command in a folder of the tree; fails the test when it does not succeed.
::testing::AssertionResult OnLinuxSide(const std::string& folder, const std::string& command) {
  const auto done = RunLinuxShell("cd " + ShellQuoted(LinuxPath(folder)) + " && " + command);
  if (done && done->exit_code == 0) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << command << ": " << (done ? done->output : "no shell");
}

// Removes the Linux links below a folder when it goes out of scope: Wine cannot remove them.
class LinuxLinksRemoved {
 public:
  explicit LinuxLinksRemoved(std::string folder) : folder_(std::move(folder)) {}
  ~LinuxLinksRemoved() { EXPECT_TRUE(OnLinuxSide(folder_, "find . -type l -delete")); }

 private:
  std::string folder_;
};

class SubfolderWalkTest : public ::testing::Test {
 protected:
  Paths Walk(Paths folders) {
    WalkSubfolders(folders, true, WalkServices{files_, pump_, reports_});
    return folders;
  }
  // A folder of the tree with a trailing backslash, as the walk writes folders.
  std::string At(const std::string& relative) const {
    return (relative.empty() ? tree_.Path() : tree_ / relative) + "\\";
  }

  TempTree tree_;
  WinFileSystem files_;
  CountedEvents pump_;
  Reports reports_;
};

// ---------------- the listing ----------------

TEST_F(SubfolderWalkTest, ListingGivesEveryFolderOnceInTheFileSystemsOrderAndNoFiles) {
  for (const char* folder : {"zeta", "Alpha", "beta", "Gamma", "hidden", "system"}) {
    MakeFolders(tree_ / folder);
  }
  WriteBytes(tree_ / "file.txt", "not a folder");
  SetAttributesOf(tree_ / "hidden", FILE_ATTRIBUTE_HIDDEN);
  SetAttributesOf(tree_ / "system", FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
  std::vector<std::string> names;
  std::vector<std::uint32_t> attributes;
  for (const tess::TreeEntry& folder : ListSubfolders(files_, tree_.Path() + "\\")) {
    names.push_back(folder.name);
    attributes.push_back(folder.attributes);
    EXPECT_FALSE(folder.names_another_place) << folder.name;
  }
  EXPECT_EQ(names, ListedFolderNames(tree_.Path()));
  ASSERT_EQ(names.size(), 6u);
  for (size_t i = 0; i < names.size(); ++i) {
    EXPECT_EQ(attributes[i], AttributesOf(tree_ / names[i])) << names[i];
  }
  EXPECT_TRUE(ListSubfolders(files_, tree_ / "zeta").empty());
  EXPECT_EQ(ErrorNumberOf([&] { ListSubfolders(files_, tree_ / "missing"); }), kErrPathNotFound);
  EXPECT_EQ(ErrorNumberOf([&] { ListSubfolders(files_, tree_ / "file.txt"); }), kErrPathNotFound);
}

TEST_F(SubfolderWalkTest, RootsAreKnownHoweverTheyAreWritten) {
  EXPECT_TRUE(files_.IsRootFolder("C:\\"));
  EXPECT_TRUE(files_.IsRootFolder("C:\\windows\\.."));
  EXPECT_FALSE(files_.IsRootFolder("C:\\windows\\"));
  EXPECT_FALSE(files_.IsRootFolder(tree_.Path()));
  EXPECT_TRUE(files_.IsRootFolder("\\\\server\\share\\"));
  EXPECT_FALSE(files_.IsRootFolder("\\\\server\\share\\folder"));
  const MappedDrive drive(tree_.Path());
  if (drive.Letter().empty()) GTEST_SKIP() << drive.Why();
  EXPECT_TRUE(files_.IsRootFolder(drive.Letter() + "\\"));
}

TEST_F(SubfolderWalkTest, AnsiCodesAreTheCodePagesOwn) {
  EXPECT_EQ(files_.AnsiCodes("Az\t"), (std::vector<int>{65, 122, 9}));
  EXPECT_EQ(files_.AnsiCodes(""), std::vector<int>{});
  // One code for a character beyond U+FFFF, two UTF-16 units long: none for it in any code page.
  EXPECT_EQ(files_.AnsiCodes("\xF0\x9F\x98\x80!"), (std::vector<int>{63, 33}));  // 😀!
  if (GetACP() != 1252) GTEST_SKIP() << "code page " << GetACP() << ", not 1252";
  // ï, €, Ω (not in the code page, and no stand-in for it either), Ÿ.
  EXPECT_EQ(files_.AnsiCodes("\xC3\xAF\xE2\x82\xAC\xCE\xA9\xC5\xB8"),
            (std::vector<int>{239, 128, 63, 159}));
  // Best fit would make ā an "a"; it is not in the code page.
  EXPECT_EQ(files_.AnsiCodes("\xC4\x81"), std::vector<int>{63});
}

// ---------------- the walk ----------------

TEST_F(SubfolderWalkTest, NamesWineMakesFromLinuxNamesWithOddCharactersAreLeftOut) {
  if (!UnderWine()) GTEST_SKIP() << "makes its names on Wine's Linux side";
  MakeFolders(tree_ / "plain\\inside");
  // Wine shows "?" and control characters in Linux names as characters of its own, which no
  // code page holds.
  ASSERT_TRUE(
      OnLinuxSide(tree_.Path(), "mkdir -p 'what?/inside' \"$(printf 'ctl\\001x')/inside\""));
  ASSERT_EQ(ListedFolderNames(tree_.Path()).size(), 3u);
  EXPECT_EQ(Walk({At("")}), (Paths{At(""), At("plain"), At("plain\\inside")}));
}

TEST_F(SubfolderWalkTest, TheTwoSystemFolderValuesKeepAFolderOutAndLinksAreNotGoneInto) {
  if (!UnderWine()) GTEST_SKIP() << "makes its links on Wine's Linux side";
  MakeFolders(tree_ / "S\\a\\b");
  MakeFolders(tree_ / "S\\volume info\\inside");
  SetAttributesOf(tree_ / "S\\volume info", FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
  MakeFolders(tree_ / "hidden system\\inside");
  SetAttributesOf(tree_ / "hidden system", FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
  // Links back to the top and to the middle: followed, each would be walked again and again
  // until the path limit, and together they would multiply the work. A third link names a
  // hidden system folder outside, which makes it the other value that keeps a folder out.
  const LinuxLinksRemoved links_removed(tree_.Path());
  ASSERT_TRUE(OnLinuxSide(tree_ / "S\\a\\b", "ln -s ../.. top && ln -s .. middle"));
  ASSERT_TRUE(OnLinuxSide(tree_ / "S", "ln -s '../hidden system' 'system link'"));
  ASSERT_EQ(AttributesOf(tree_ / "S\\volume info"), 22u);
  ASSERT_EQ(AttributesOf(tree_ / "S\\system link"), 1046u);
  ASSERT_EQ(AttributesOf(tree_ / "S\\a\\b\\top"), 1040u);

  EXPECT_EQ(Walk({At("S")}), (Paths{At("S"), At("S\\a"), At("S\\a\\b")}));
  EXPECT_EQ(reports_.texts, std::vector<std::string>{});
  // Named as a start, a link is listed; with hidden and system set it is not.
  EXPECT_EQ(Walk({At("S\\a\\b\\middle")}),
            (Paths{At("S\\a\\b\\middle"), At("S\\a\\b\\middle\\b")}));
  EXPECT_EQ(Walk({At("S\\system link")}), (Paths{At("S\\system link")}));
}

TEST_F(SubfolderWalkTest, PathsOf260CharactersOrMoreAreKeptButNotListed) {
  // Three levels whose third reaches 260 characters; the fourth is only below it.
  const size_t base = tree_.Path().size() + 1;  // with its backslash
  const std::string first(40, 'a');
  const std::string second(255 - base - first.size() - 1, 'b');  // its path: 255 characters
  const std::string third(4, 'c');                               // its path: 260 characters
  const std::string deep = first + "\\" + second + "\\" + third;
  MakeFolders(tree_ / (deep + "\\below"));
  ASSERT_EQ(At(first + "\\" + second).size(), 256u);
  ASSERT_EQ(At(deep).size(), 261u);
  EXPECT_EQ(Walk({At("")}), (Paths{At(""), At(first), At(first + "\\" + second), At(deep)}));
}

// Root may list every folder: under Wine this test runs in a pass of its own without that right
// (platform.walk_without_root_rights). A process that may list every folder skips it.
TEST(RefusedListingTest, AFolderThatRefusesListingLeavesTheListWithEverythingBelowIt) {
  if (!UnderWine()) GTEST_SKIP() << "takes the right to list from Wine's Linux side";
  TempTree tree;
  MakeFolders(tree / "S\\denied\\inside");
  MakeFolders(tree / "S\\open\\inside");
  ASSERT_TRUE(OnLinuxSide(tree / "S", "chmod 000 denied"));
  // Given back before the tree is removed.
  struct Restore {
    const TempTree& tree;
    ~Restore() { OnLinuxSide(tree / "S", "chmod 755 denied"); }
  } restore{tree};

  WinFileSystem files;
  if (ErrorNumberOf([&] { ListSubfolders(files, tree / "S\\denied"); }) == 0) {
    GTEST_SKIP() << "this process may list every folder";
  }
  EXPECT_EQ(ErrorNumberOf([&] { ListSubfolders(files, tree / "S\\denied"); }),
            kErrPermissionDenied);
  CountedEvents pump;
  Reports reports;
  const auto at = [&](const std::string& relative) { return tree / relative + "\\"; };
  Paths walked = {at("S\\denied"), at("S")};
  WalkSubfolders(walked, true, WalkServices{files, pump, reports});
  EXPECT_EQ(walked, (Paths{at("S"), at("S\\open"), at("S\\open\\inside")}));
  EXPECT_EQ(reports.texts, std::vector<std::string>{});
}

}  // namespace
}  // namespace tess::test
