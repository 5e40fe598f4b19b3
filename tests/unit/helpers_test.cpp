// The error report, the text and number rules of the base, the forgiving file queries and the
// application title.
#include <gtest/gtest.h>

#include "base/conversions.h"
#include "base/error_trap.h"
#include "base/text.h"
#include "ports/file_queries.h"
#include "shell/startup.h"
#include "support/fakes.h"

namespace tess::test {
namespace {

TEST(ErrorTrapTest, ReportsTheLastNumberPassedAndGoesOn) {
  FakeDialogs dialogs;
  ErrorTrap trap(dialogs, "in Tessaline2021/08/31.Form1.PushButton8_Click ");
  std::vector<int> ran;
  trap.Step(100, [&] { ran.push_back(100); });
  trap.Step(102, [&] { throw PlatformError(53, "File not found"); });
  trap.Step(104, [&] { ran.push_back(104); });
  EXPECT_EQ(ran, (std::vector<int>{100, 104}));
  ASSERT_EQ(dialogs.boxes.size(), 1u);
  EXPECT_EQ(dialogs.boxes[0].text,
            "File not found\r\nin Tessaline2021/08/31.Form1.PushButton8_Click at line 102\r\r"
            "Please email screenshot of this message to support@tessaline.example");
  EXPECT_EQ(dialogs.boxes[0].title, "Application Error");
  EXPECT_EQ(dialogs.boxes[0].icon, BoxIcon::kExclamation);
  EXPECT_EQ(dialogs.boxes[0].buttons, BoxButtons::kOk);
}

TEST(ErrorTrapTest, AFailingTestCountsAsMetAndNoStepReportsLineZero) {
  FakeDialogs dialogs;
  ErrorTrap trap(dialogs, "in X ");
  EXPECT_TRUE(trap.Test(100, [&]() -> bool { throw PlatformError(13, "Type mismatch"); }));
  EXPECT_FALSE(trap.Test(102, [] { return false; }));
  EXPECT_EQ(ApplicationErrorText("in X ", 0, "Overflow").find("in X at line 0"), 10u);
}

TEST(HelpersTest, StripTrailingWord) {
  EXPECT_EQ(StripTrailingWord("Alpha Beta Software", "Software"), "Alpha Beta");
  EXPECT_EQ(StripTrailingWord("Alpha Beta Software", "Beta"), "Alpha Beta Software");
  EXPECT_EQ(StripTrailingWord("Alpha Beta Software", ""), "Alpha Beta");
  EXPECT_EQ(StripTrailingWord("Tessaline", "Software"), "Tessaline");
  EXPECT_EQ(StripTrailingWord("Alpha Software  ", "Software"), "Alpha Software  ");
}

TEST(HelpersTest, RemoveFileNameChars) {
  EXPECT_EQ(RemoveFileNameChars("a.b (c)-d"), "abcd");
  EXPECT_EQ(RemoveFileNameChars("$/\\*:?<>|#' .,\"()-+=%;}{\t"), "");
  EXPECT_EQ(RemoveFileNameChars("Tess_aline9\xC3\xA9"), "Tess_aline9\xC3\xA9");
}

TEST(HelpersTest, ApplicationTitleDropsWordsOnlyWhileTooLong) {
  EXPECT_EQ(ApplicationTitleFor("Tessaline"), "Tessaline");
  const std::string four_words = "Quintaro Tessaline Backup Utility";  // 33 characters
  EXPECT_EQ(ApplicationTitleFor(four_words), "Quintaro Tessaline Backup");
  EXPECT_EQ(ApplicationTitleFor("Aaaaaaaaaa Bbbbbbbbbb Cccccccccc Dddddddddd Eeeeeeeeee"),
            "Aaaaaaaaaa Bbbbbbbbbb Cccccccccc");
}

TEST(HelpersTest, PathTestsAbsorbFailures) {
  FakeFileSystem files;
  files.AddFile("C:\\d\\f.txt", "x");
  EXPECT_TRUE(PathExists(files, "C:\\d"));
  EXPECT_TRUE(PathExists(files, "C:\\d\\f.txt"));
  EXPECT_FALSE(PathExists(files, "C:\\nope"));
  EXPECT_EQ(IsFolderResult(files, "C:\\nope"), std::nullopt);
  EXPECT_FALSE(IsFolder(files, "C:\\nope"));
  EXPECT_FALSE(IsFolder(files, "C:\\d\\f.txt"));
  EXPECT_TRUE(IsFolder(files, "C:\\d\\"));
}

TEST(HelpersTest, ForgivingDeleteFallsBackToTheForcedDeleteAndNeverThrows) {
  FakeFileSystem files;
  ScriptedEventPump pump;
  files.AddFile("C:\\d\\ro.txt");
  files.read_only.insert(FakeFileSystem::Key("C:\\d\\ro.txt"));
  DeleteFileWithFallback(files, pump, "C:\\d\\ro.txt");
  EXPECT_FALSE(files.IsFile("C:\\d\\ro.txt"));
  EXPECT_EQ(pump.calls, 1);
  files.AddFile("C:\\d\\locked.txt");
  files.locked.insert(FakeFileSystem::Key("C:\\d\\locked.txt"));
  EXPECT_NO_THROW(DeleteFileWithFallback(files, pump, "C:\\d\\locked.txt"));
  EXPECT_NO_THROW(DeleteFileWithFallback(files, pump, "C:\\d\\missing.txt"));
}

TEST(ConversionsTest, SixteenBitIntegersFromStoredText) {
  EXPECT_EQ(ToInteger16("7"), 7);
  EXPECT_EQ(ToInteger16(" 15 "), 15);
  EXPECT_EQ(ToInteger16("-3"), -3);
  EXPECT_EQ(ToInteger16("2.5"), 2);
  EXPECT_EQ(ToInteger16("3.5"), 4);
  EXPECT_EQ(ToInteger16("32767"), 32767);
  EXPECT_EQ(ToInteger16(std::string(60, '0') + "1"), 1);
  for (const char* bad : {"", " ", "x", "7x", "1e3", "--1", ".", "0x10"}) {
    EXPECT_THROW(ToInteger16(bad), PlatformError) << bad;
  }
  EXPECT_THROW(ToInteger16("32768"), PlatformError);
  EXPECT_THROW(ToInteger16(std::string(100000, '9')), PlatformError);
}

}  // namespace
}  // namespace tess::test
