// Path-text rules.
#include "backup/path_rules.h"

#include <gtest/gtest.h>

#include "backup/backup_names.h"
#include "base/path_text.h"
#include "support/fakes.h"

namespace tess::test {
namespace {

TEST(CleanPathTest, CollapsesDoubledBackslashesInOnePass) {
  EXPECT_EQ(CleanPath("D:\\Backups\\\\Docs"), "D:\\Backups\\Docs");
  EXPECT_EQ(CleanPath("D:\\Backups\\\\"), "D:\\Backups\\");  // typed "\" plus the joining one
  EXPECT_EQ(CleanPath("D:\\a\\\\\\b"), "D:\\a\\\\b");        // three become two
  EXPECT_EQ(CleanPath("D:\\a\\\\\\\\b"), "D:\\a\\\\b");      // four become two
  EXPECT_EQ(CleanPath(""), "");
  EXPECT_EQ(CleanPath("Docs"), "Docs");
}

TEST(CleanPathTest, LeadingBackslashesBecomeTheNetworkPrefix) {
  EXPECT_EQ(CleanPath("\\\\server\\share"), "\\\\server\\share");
  EXPECT_EQ(CleanPath("\\\\server\\share\\\\Backups\\\\"), "\\\\server\\share\\Backups\\");
  EXPECT_EQ(CleanPath("\\Docs"), "\\\\Docs");
  EXPECT_EQ(CleanPath("\\\\\\Docs"), "\\\\Docs");
  EXPECT_EQ(CleanPath("\\\\\\"), "\\\\");
}

TEST(LastPathPartTest, TextAfterTheLastBackslash) {
  EXPECT_EQ(LastPathPart("C:\\Users\\Ann\\Documents"), "Documents");
  EXPECT_EQ(LastPathPart("C:\\Data\\Docs\\"), "");
  EXPECT_EQ(LastPathPart("E:"), "E:");
  EXPECT_EQ(LastPathPart(""), "");
}

TEST(DriveRootTest, ADriveWithOrWithoutItsBackslashIsItsRoot) {
  for (const char* root : {"E:\\", "E:", "z:\\", "z:"}) EXPECT_TRUE(IsDriveRoot(root)) << root;
  for (const char* other : {"E:\\Docs", "E:\\\\", "E", "1:\\", ":\\", "\\\\server\\share\\", ""}) {
    EXPECT_FALSE(IsDriveRoot(other)) << other;
  }
  EXPECT_EQ(EntryFolder("E:"), "E:\\");
  EXPECT_EQ(EntryFolder("E:\\"), "E:\\");
  EXPECT_EQ(EntryFolder("C:\\Data\\Docs"), "C:\\Data\\Docs");
}

// Where a copy reads and what its history line calls it: one trailing backslash goes, but a
// drive root keeps its own, since "E:" alone would name the current folder on that drive.
TEST(DriveRootTest, CopySourceAndNameOfAnEntry) {
  struct Case {
    const char* folder;
    const char* source;
    const char* name;
  };
  for (const Case& c : {Case{"C:\\Data\\Docs\\", "C:\\Data\\Docs", "Docs"},
                        Case{"C:\\Data\\Docs", "C:\\Data\\Docs", "Docs"},
                        Case{"E:\\", "E:\\", "E:"}, Case{"E:", "E:\\", "E:"},
                        Case{"E:\\\\", "E:\\", "E:"}, Case{"C:\\Docs\\\\", "C:\\Docs\\", ""},
                        Case{"\\\\server\\share\\", "\\\\server\\share", "share"},
                        Case{"notes.txt", "notes.txt", "notes.txt"}}) {
    EXPECT_EQ(CopySource(c.folder), c.source) << c.folder;
    EXPECT_EQ(SourceName(CopySource(c.folder)), c.name) << c.folder;
  }
}

// The name an entry's backup folder starts from, whether or not the entry ends in a backslash.
TEST(BackupNameTest, TheLastPartWithoutTrailingBackslashAndADriveRootsLetter) {
  struct Case {
    const char* entry;
    const char* name;
  };
  for (const Case& c :
       {Case{"C:\\Data\\Docs\\", "Docs"}, Case{"C:\\Data\\Docs", "Docs"},
        Case{"C:\\Data\\Docs\\\\", "Docs"}, Case{"E:\\", "E"}, Case{"E:", "E"}, Case{"e:\\\\", "e"},
        Case{"\\\\?\\E:\\", "E"}, Case{"\\\\?\\C:\\Data\\Docs\\", "Docs"},
        Case{"\\\\server\\share\\", "share"}, Case{"notes.txt", "notes.txt"},
        Case{"C:\\Photos (2)\\", "Photos (2)"}, Case{"", ""}}) {
    EXPECT_EQ(BackupBaseName(c.entry), c.name) << c.entry;
  }
}

TEST(BackupNameTest, NamesThatNeverMeetStayAsTheyAre) {
  EXPECT_EQ(BackupFolderNames({"C:\\S\\Documents\\", "C:\\S\\Documents\\Letters\\", "E:\\",
                               "D:\\Pictures", "C:\\Photos (2)"}),
            (std::vector<std::string>{"Documents", "Letters", "E", "Pictures", "Photos (2)"}));
  EXPECT_TRUE(BackupFolderNames({}).empty());
}

TEST(BackupNameTest, ALaterEntryOfATakenNameGetsTheFirstFreeNumber) {
  // Case does not tell names apart on Windows: "photos" would land in "Photos".
  EXPECT_EQ(BackupFolderNames({"C:\\A\\Photos", "D:\\B\\Photos\\", "E:\\photos", "F:\\Music"}),
            (std::vector<std::string>{"Photos", "Photos (2)", "photos (3)", "Music"}));
  // A number another entry has as its own name is left to that entry, wherever it stands.
  EXPECT_EQ(BackupFolderNames({"C:\\A\\Photos", "D:\\B\\Photos", "E:\\Photos (2)"}),
            (std::vector<std::string>{"Photos", "Photos (3)", "Photos (2)"}));
  EXPECT_EQ(
      BackupFolderNames({"C:\\Photos (2)", "C:\\A\\Photos", "D:\\B\\Photos", "F:\\Photos (2)"}),
      (std::vector<std::string>{"Photos (2)", "Photos", "Photos (3)", "Photos (2) (2)"}));
  // A drive and a folder named by the same letter meet, too.
  EXPECT_EQ(BackupFolderNames({"E:\\", "C:\\e", "E:"}),
            (std::vector<std::string>{"E", "e (2)", "E (3)"}));
  // Capitals outside A to Z: Windows takes "Été" and "ÉTÉ", "Фото" and "ФОТО" for one name.
  EXPECT_EQ(BackupFolderNames({"C:\\\xC3\x89t\xC3\xA9", "D:\\\xC3\x89T\xC3\x89",
                               "C:\\\xD0\xA4\xD0\xBE\xD1\x82\xD0\xBE",
                               "D:\\\xD0\xA4\xD0\x9E\xD0\xA2\xD0\x9E"}),
            (std::vector<std::string>{"\xC3\x89t\xC3\xA9", "\xC3\x89T\xC3\x89 (2)",
                                      "\xD0\xA4\xD0\xBE\xD1\x82\xD0\xBE",
                                      "\xD0\xA4\xD0\x9E\xD0\xA2\xD0\x9E (2)"}));
  // Armenian "Photo" in small letters and capitals is one name too; dotted capital I and dotless
  // i are two, as are the sharp s and "SS".
  EXPECT_EQ(BackupFolderNames({"C:\\\xD5\x96\xD5\xB8\xD5\xBF\xD5\xB8",
                               "D:\\\xD5\x96\xD5\x88\xD5\x8F\xD5\x88", "C:\\\xC4\xB0",
                               "D:\\\xC4\xB1", "C:\\\xC3\x9F", "D:\\SS"}),
            (std::vector<std::string>{"\xD5\x96\xD5\xB8\xD5\xBF\xD5\xB8",
                                      "\xD5\x96\xD5\x88\xD5\x8F\xD5\x88 (2)", "\xC4\xB0",
                                      "\xC4\xB1", "\xC3\x9F", "SS"}));
}

// A destination as a run takes it: "Copy as path" quotes, blanks around it and what Windows
// drops from a name's end go; what still cannot name a folder is not looked for at all.
TEST(TakenFolderPathTest, QuotesBlanksAndTrailingDotsGoAndForbiddenCharactersRemain) {
  struct Case {
    const char *typed, *taken;
    bool can_name;
  };
  for (const Case& c :
       {Case{"\"C:\\Backups\"", "C:\\Backups", true}, Case{" \" D:\\dst. \t\" ", "D:\\dst", true},
        Case{"D:\\Backups\\..", "D:\\Backups\\..", true},
        Case{"\\\\?\\D:\\Backups\\", "\\\\?\\D:\\Backups\\", true},
        Case{"\"\"C:\\Backups\"\"", "\"C:\\Backups\"", false}, Case{"D:\\a|b", "D:\\a|b", false},
        Case{"D:\\a:b", "D:\\a:b", false}, Case{"D:\\a\tb", "D:\\a\tb", false},
        Case{" \"  \" ", "", false}}) {
    EXPECT_EQ(TakenFolderPath(c.typed), c.taken) << c.typed;
    EXPECT_EQ(CanNameFolder(c.taken), c.can_name) << c.typed;
  }
}

TEST(BackupNameTest, ANameWhoseBackupsAreAnotherSourcesIsPassedOver) {
  const FolderOwner a{"PC-A", "C:\\Docs"};
  const FolderOwner b{"PC-B", "C:\\Docs"};
  const FolderOwner second{"PC-A", "D:\\Work\\Docs"};
  const std::string today = "Dec 8 2026";
  struct Case {
    const char* what;
    std::vector<std::string> entries;
    std::vector<FolderOwner> owners;
    std::vector<ExistingBackup> found;
    std::string suffix;
    std::vector<std::string> names;
  } cases[] = {
      {"its own", {"C:\\Docs"}, {a}, {{"Docs", 1, "Docs", a}}, "", {"Docs"}},
      {"another computer's", {"C:\\Docs"}, {b}, {{"Docs", 1, "Docs", a}}, "", {"Docs (2)"}},
      {"nobody's yet", {"C:\\Docs"}, {b}, {{"Docs", 1, "Docs", std::nullopt}}, "", {"Docs"}},
      {"owners compare as names do",
       {"c:\\DOCS"},
       {{"pc-a", "c:\\DOCS"}},
       {{"Docs", 1, "Docs", a}},
       "",
       {"DOCS"}},
      {"a link someone placed", {"C:\\Docs"}, {a}, {{"Docs", 1, "Docs", a, true}}, "",
       {"Docs (2)"}},
      {"a reordered list keeps each source in its folder",
       {"D:\\Work\\Docs", "C:\\Docs"},
       {second, a},
       {{"Docs", 1, "Docs", a}, {"Docs (2)", 2, "Docs (2)", second}},
       "",
       {"Docs (2)", "Docs"}},
      {"its own far down the numbers",
       {"C:\\Docs"},
       {b},
       {{"Docs", 1, "Docs", a}, {"Docs (7)", 7, "Docs (7)", b}},
       "",
       {"Docs (7)"}},
      {"today's folder of a shared name is another's",
       {"C:\\Docs"},
       {b},
       {{"Docs", 1, "DocsDec 7 2026", b}, {"Docs", 1, "DocsDec 8 2026", a}},
       today,
       {"Docs (2)"}},
      {"the very stamped folder another computer claimed in the same second",
       {"C:\\Docs"},
       {b},
       {{"Docs", 1, "DocsDate Dec 8 2026 Time 05 35 46 PM", b},
        {"Docs", 1, "DocsDate Dec 8 2026 Time 05 35 47 PM", a}},
       "Date Dec 8 2026 Time 05 35 47 PM",
       {"Docs (2)"}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(BackupFolderNames(c.entries, c.owners, c.found, c.suffix), c.names) << c.what;
  }
}

TEST(HasWildcardTest, StarOrQuestionMarkAnywhereButTheLongFormPrefix) {
  EXPECT_TRUE(HasWildcard("D:\\Back*"));
  EXPECT_TRUE(HasWildcard("D:\\Backup?"));
  EXPECT_TRUE(HasWildcard("D:\\*\\Docs"));
  EXPECT_TRUE(HasWildcard("\\\\?\\D:\\Back*"));
  EXPECT_FALSE(HasWildcard("\\\\?\\D:\\Backups"));
  EXPECT_FALSE(HasWildcard("\\\\server\\share"));
  EXPECT_FALSE(HasWildcard(""));
}

class PathFoundTest : public ::testing::Test {
 protected:
  PathFoundTest() {
    files_.AddFile("D:\\Backups\\old.zip");
    files_.AddFolder("D:\\Empty");
    files_.AddFolder("R:\\");  // an empty drive
  }
  FakeFileSystem files_;
};

TEST_F(PathFoundTest, FilesFoldersAndFolderContentsAreFound) {
  EXPECT_TRUE(PathFound(files_, "D:\\Backups"));
  EXPECT_TRUE(PathFound(files_, "D:\\Backups\\"));
  EXPECT_TRUE(PathFound(files_, "D:\\Empty\\"));
  EXPECT_TRUE(PathFound(files_, "D:\\Backups\\old.zip"));
  EXPECT_FALSE(PathFound(files_, "D:\\Backups\\old.zip\\"));
  EXPECT_FALSE(PathFound(files_, "D:\\Nowhere"));
  EXPECT_TRUE(PathFound(files_, "D:\\"));
}

TEST_F(PathFoundTest, AnExistingDriveRootIsFoundEvenWhenEmpty) {
  EXPECT_TRUE(PathFound(files_, "R:\\"));
  EXPECT_TRUE(PathFound(files_, "R:"));
  EXPECT_TRUE(PathFound(files_, "r:\\"));
  EXPECT_FALSE(PathFound(files_, "S:\\"));
  EXPECT_FALSE(PathFound(files_, "S:"));
}

TEST_F(PathFoundTest, APathWithAWildcardIsNeverFound) {
  EXPECT_FALSE(PathFound(files_, "D:\\Back*"));
  EXPECT_FALSE(PathFound(files_, "D:\\Backup?"));
  EXPECT_FALSE(PathFound(files_, "D:\\Backups\\*.zip"));
  EXPECT_FALSE(PathFound(files_, "D:\\*\\"));
}

}  // namespace
}  // namespace tess::test
