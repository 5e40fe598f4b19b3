// The subfolder walk over the file-system double: the order it finds folders in, what it leaves
// out, what it removes, what it reports, and that the window keeps responding meanwhile.
#include "folders/subfolder_walk.h"

#include <gtest/gtest.h>

#include "base/text.h"
#include "support/fakes.h"

namespace tess::test {
namespace {

using Paths = std::vector<std::string>;

constexpr char kWalkLabel[] = "in VarnokTitle2021/08/31.AddFolder.GetSubDirectories2016 at line ";

class SubfolderWalkTest : public ::testing::Test {
 protected:
  Paths Walk(Paths folders, bool recurse = true) {
    WalkSubfolders(folders, recurse, WalkServices{files_, pump_, dialogs_});
    return folders;
  }
  void Attributes(const std::string& folder, std::uint32_t attributes) {
    files_.AddFolder(folder);
    files_.folder_attributes[FakeFileSystem::Key(folder)] = attributes;
  }
  void Refuse(const std::string& folder, long number) {
    files_.AddFolder(folder);
    files_.refused_listings[FakeFileSystem::Key(folder)] = number;
  }
  FakeFileSystem files_;
  ScriptedEventPump pump_;
  FakeDialogs dialogs_;
};

TEST_F(SubfolderWalkTest, FindsFoldersLevelByLevelInTheOrderTheFileSystemListsThem) {
  // Made out of alphabetical order: the walk keeps the file system's order and sorts nothing.
  for (const char* folder : {"C:\\S\\b\\y", "C:\\S\\b\\x", "C:\\S\\a\\z\\deep", "C:\\S\\c"}) {
    files_.AddFolder(folder);
  }
  files_.AddFile("C:\\S\\a\\file.txt", "not a folder");
  EXPECT_EQ(Walk({"C:\\S\\"}),
            (Paths{"C:\\S\\", "C:\\S\\b\\", "C:\\S\\a\\", "C:\\S\\c\\", "C:\\S\\b\\y\\",
                   "C:\\S\\b\\x\\", "C:\\S\\a\\z\\", "C:\\S\\a\\z\\deep\\"}));
  // Without recursion only the first level comes.
  EXPECT_EQ(Walk({"C:\\S\\"}, false), (Paths{"C:\\S\\", "C:\\S\\b\\", "C:\\S\\a\\", "C:\\S\\c\\"}));
  // Several starting folders: each level is grouped by parent in the list's order.
  files_.AddFolder("D:\\T\\q");
  EXPECT_EQ(Walk({"D:\\T\\", "C:\\S\\b\\"}),
            (Paths{"D:\\T\\", "C:\\S\\b\\", "D:\\T\\q\\", "C:\\S\\b\\y\\", "C:\\S\\b\\x\\"}));
  // A folder with no subfolders leaves the list as it was.
  EXPECT_EQ(Walk({"C:\\S\\c\\"}), (Paths{"C:\\S\\c\\"}));
  EXPECT_TRUE(dialogs_.boxes.empty());
}

TEST_F(SubfolderWalkTest, StartingEntriesThatCannotBeListedStayWithNothingBelowThem) {
  files_.AddFile("C:\\file.txt", "x");
  // 259 characters is short enough to be listed, 260 is not, counted in characters: "ü" takes
  // two bytes here but is one character, as Windows counts it.
  const std::string base = "C:\\" + std::string(240, 'p') + "\\";
  std::string near_limit = base;
  while (WindowsLength(near_limit) < 258) near_limit += "\xC3\xBC";  // ü
  near_limit += "\\";
  const std::string at_limit = base + std::string(259 - base.size(), 'q') + "\\";
  ASSERT_EQ(WindowsLength(near_limit), 259u);
  ASSERT_GT(near_limit.size(), 260u);
  ASSERT_EQ(WindowsLength(at_limit), 260u);
  files_.AddFolder(near_limit + "in");
  files_.AddFolder(at_limit + "in");
  EXPECT_EQ(Walk({"C:\\missing\\", "C:\\file.txt", at_limit, near_limit}),
            (Paths{"C:\\missing\\", "C:\\file.txt", at_limit, near_limit, near_limit + "in\\"}));
  // Found paths are the parent's text, the name and "\": a start written without its
  // backslash yields paths that name nothing, so nothing is added.
  files_.AddFolder("C:\\S\\A");
  EXPECT_EQ(Walk({"C:\\S"}), (Paths{"C:\\S"}));
  EXPECT_TRUE(dialogs_.boxes.empty());
}

TEST_F(SubfolderWalkTest, TakesOnlyNamesThatOldProgramsCanShowAndDoesNotGoBelowTheOthers) {
  // UTF-8 for: ï (239 in the code page), a no-break space (160, just past the odd range),
  // Ω (not in the code page: "?"), € (128), Ÿ (159), ü (two bytes, one character).
  const std::string i_diaeresis = "\xC3\xAF", no_break = "\xC2\xA0", omega = "\xCE\xA9",
                    euro = "\xE2\x82\xAC", y_diaeresis = "\xC5\xB8", u_diaeresis = "\xC3\xBC";
  std::string two_hundred_characters;
  for (int i = 0; i < 200; ++i) two_hundred_characters += u_diaeresis;  // 400 bytes
  const Paths taken = {"plain", "na" + i_diaeresis + "ve", "no" + no_break + "break",
                       two_hundred_characters, std::string(259, 'n')};
  const Paths left_out = {omega + "mega",        euro + "uro", y_diaeresis,
                          "tab\there",           "del\x7F",    "why?",
                          std::string(260, 'n'), ".",          ".."};
  for (const auto& name : taken) files_.AddFolder("C:\\S\\" + name + "\\below");
  for (const auto& name : left_out) files_.AddFolder("C:\\S\\" + name + "\\below");
  Paths expected = {"C:\\S\\"};
  for (const auto& name : taken) expected.push_back("C:\\S\\" + name + "\\");
  // The 259-character name is taken, but its path is then too long to be listed.
  for (const auto& name : taken) {
    if (name.size() != 259) expected.push_back("C:\\S\\" + name + "\\below\\");
  }
  EXPECT_EQ(Walk({"C:\\S\\"}), expected);
  for (const auto& name : taken) EXPECT_TRUE(SubfolderNameTaken(files_, name)) << name;
  for (const auto& name : left_out) EXPECT_FALSE(SubfolderNameTaken(files_, name)) << name;
}

TEST_F(SubfolderWalkTest, LeavesOutHiddenSystemFoldersUnlessTheyAreRootsAndListsAnyOtherMix) {
  Attributes("C:\\S\\volume info", 22);          // hidden, system, directory
  Attributes("C:\\S\\volume link", 1046);        // and a reparse point
  Attributes("C:\\S\\read-only system", 23);     // any other mix is listed
  Attributes("C:\\S\\cloud placeholder", 1040);  // a reparse point that is no link
  Attributes("C:\\S\\hidden", 18);
  for (const char* parent :
       {"volume info", "volume link", "read-only system", "cloud placeholder", "hidden"}) {
    files_.AddFolder(std::string("C:\\S\\") + parent + "\\inside");
  }
  EXPECT_EQ(Walk({"C:\\S\\"}),
            (Paths{"C:\\S\\", "C:\\S\\read-only system\\", "C:\\S\\cloud placeholder\\",
                   "C:\\S\\hidden\\", "C:\\S\\read-only system\\inside\\",
                   "C:\\S\\cloud placeholder\\inside\\", "C:\\S\\hidden\\inside\\"}));
  // A drive's root is listed whatever its attributes; another start with them is not.
  Attributes("R:\\", 22);
  files_.AddFolder("R:\\top\\deeper");
  EXPECT_EQ(Walk({"R:\\"}), (Paths{"R:\\", "R:\\top\\", "R:\\top\\deeper\\"}));
  EXPECT_EQ(Walk({"C:\\S\\volume info\\"}), (Paths{"C:\\S\\volume info\\"}));
  Attributes("\\\\server\\share", 1046);
  files_.AddFolder("\\\\server\\share\\docs");
  EXPECT_EQ(Walk({"\\\\server\\share\\"}),
            (Paths{"\\\\server\\share\\", "\\\\server\\share\\docs\\"}));
}

TEST_F(SubfolderWalkTest, DoesNotGoIntoLinksSoALinkToAnAncestorEndsTheWalk) {
  // Two links back to the top: followed, each level would double the work until the path
  // limit. A link is left out with whatever it names; the folder it names is found where it
  // really lives.
  files_.AddFolder("C:\\S\\a\\deeper");
  for (const char* link : {"C:\\S\\a\\up", "C:\\S\\a\\deeper\\top", "C:\\S\\elsewhere"}) {
    files_.AddFolder(std::string(link) + "\\would repeat");
    files_.links.insert(FakeFileSystem::Key(link));
  }
  files_.folder_attributes[FakeFileSystem::Key("C:\\S\\elsewhere")] = 1040;
  EXPECT_EQ(Walk({"C:\\S\\"}), (Paths{"C:\\S\\", "C:\\S\\a\\", "C:\\S\\a\\deeper\\"}));
  // A link named as a starting folder is listed: the user chose it.
  EXPECT_EQ(Walk({"C:\\S\\a\\up\\"}), (Paths{"C:\\S\\a\\up\\", "C:\\S\\a\\up\\would repeat\\"}));
}

TEST_F(SubfolderWalkTest, FoldersThatRefuseListingLeaveTheListSilentlyWithEverythingBelow) {
  files_.AddFolder("C:\\S\\a\\x");
  Refuse("C:\\S\\denied", 70);
  files_.AddFolder("C:\\S\\denied\\child");
  Refuse("C:\\S\\gone", 76);
  Refuse("C:\\S\\broken", 57);  // any other failure only ends that folder's listing
  files_.AddFolder("C:\\S\\broken\\child");
  files_.AddFolder("C:\\S\\z");
  EXPECT_EQ(Walk({"C:\\S\\"}),
            (Paths{"C:\\S\\", "C:\\S\\a\\", "C:\\S\\broken\\", "C:\\S\\z\\", "C:\\S\\a\\x\\"}));
  // Starting entries that refuse leave the list too; two in a row are both removed, and the
  // walk goes on with the entry after them.
  Refuse("D:\\denied", 70);
  EXPECT_EQ(Walk({"D:\\denied\\", "C:\\S\\gone\\", "C:\\S\\a\\", "D:\\denied\\"}),
            (Paths{"C:\\S\\a\\", "C:\\S\\a\\x\\"}));
  EXPECT_TRUE(dialogs_.boxes.empty());
}

TEST_F(SubfolderWalkTest, AFolderThatStartsRefusingMidWalkRemovesItsFirstEntryAndTheWalkGoesOn) {
  files_.AddFolder("C:\\X\\sub");
  files_.AddFolder("C:\\Y\\sub");
  // While Y is listed (the third time events run), X starts to refuse: its second entry fails,
  // and the first entry with its text (the one already listed) is the one removed.
  pump_.At(3, [&] { files_.refused_listings[FakeFileSystem::Key("C:\\X")] = 70; });
  EXPECT_EQ(
      Walk({"C:\\X\\", "C:\\Y\\", "C:\\X\\", "C:\\Y\\"}),
      (Paths{"C:\\Y\\", "C:\\X\\", "C:\\Y\\", "C:\\X\\sub\\", "C:\\Y\\sub\\", "C:\\Y\\sub\\"}));
}

TEST_F(SubfolderWalkTest, ReportsFailuresBeforeTheFirstListingOnlyAndEndsAListingQuietly) {
  files_.AddFolder("C:\\S\\a");
  files_.AddFolder("C:\\T\\b");
  // The window's events fail every time: before the first listing that is reported and the
  // walk goes on to list the folder; during a listing it ends that listing without a word.
  pump_.every_call = [] { throw PlatformError(5, "Invalid procedure call or argument"); };
  EXPECT_EQ(Walk({"C:\\S\\", "C:\\T\\"}), (Paths{"C:\\S\\", "C:\\T\\"}));
  ASSERT_EQ(dialogs_.Errors().size(), 1u);
  EXPECT_NE(dialogs_.Errors()[0].text.find(std::string("Invalid procedure call or argument\r\n") +
                                           kWalkLabel + "114\r\r"),
            std::string::npos)
      << dialogs_.Errors()[0].text;
  // After the first listing began, a refusal that surfaces anywhere in a folder's pass removes
  // the folder, without a report.
  dialogs_.boxes.clear();
  int calls = 0;
  pump_.every_call = [&] {
    if (++calls == 3) throw PlatformError(70, "Permission denied");
  };
  EXPECT_EQ(Walk({"C:\\S\\", "C:\\T\\"}), (Paths{"C:\\S\\", "C:\\S\\a\\"}));
  EXPECT_TRUE(dialogs_.boxes.empty());
}

TEST_F(SubfolderWalkTest, LetsWindowEventsRunForEveryFolderAndSubfolder) {
  constexpr int kSubfolders = 40;
  for (int i = 0; i < kSubfolders; ++i) files_.AddFolder("C:\\S\\" + std::to_string(i));
  const Paths walked = Walk({"C:\\S\\"});
  EXPECT_EQ(walked.size(), kSubfolders + 1u);
  // At least once per subfolder found, and once more per folder appended.
  EXPECT_GE(pump_.calls, 2 * kSubfolders);
}

}  // namespace
}  // namespace tess::test
