// View, copy and clear the history log, with and without a log file.
#include <gtest/gtest.h>

#include "support/fakes.h"

namespace tess::test {
namespace {

constexpr char kLog[] = "C:\\Users\\Ann\\Temp\\Tessaline.txt";
constexpr char kLogText[] =
    "Documents was backup saved at 8/31/2021 4:05:06 PM\r\n"
    "E: was backup saved at 8/31/2021 4:05:07 PM\r\n";

class HistoryCommandsTest : public ::testing::Test {
 protected:
  HistoryCommandsTest() {
    form_.OnLoad();
    form_.folder_list.Append("C:\\Users\\Ann\\Documents");
    form_.folder_list.Append("E:\\");
  }
  void WriteLog() { fakes_.files.AddFile(kLog, kLogText); }
  FakeServices fakes_;
  MainForm form_{fakes_.Wire()};
};

TEST_F(HistoryCommandsTest, WithoutALogViewShowsItsBoxAndCopyChangesNothing) {
  form_.OnViewHistoryClick();
  ASSERT_EQ(fakes_.dialogs.boxes.size(), 1u);
  const auto& box = fakes_.dialogs.boxes[0];
  EXPECT_EQ(box.text, "There isn't a history to view because actions have not been performed yet.");
  EXPECT_EQ(box.title, "");  // the application title
  EXPECT_EQ(box.buttons, BoxButtons::kOk);
  EXPECT_EQ(box.icon, BoxIcon::kNone);
  EXPECT_TRUE(fakes_.shell.started.empty());

  form_.OnCopyHistoryClick();
  EXPECT_EQ(fakes_.dialogs.clipboard, "<untouched>");
  EXPECT_EQ(fakes_.dialogs.boxes.size(), 1u);
}

TEST_F(HistoryCommandsTest, ViewOpensTheEditorOnTheLogPath) {
  fakes_.environment.variables["TEMP"] = "C:\\Users\\Ann Lee\\Temp";
  form_.OnLoad();
  fakes_.files.AddFile(form_.History().HistoryLogPath(), kLogText);
  form_.OnViewHistoryClick();
  ASSERT_EQ(fakes_.shell.started.size(), 1u);
  EXPECT_EQ(fakes_.shell.started[0].program, "C:\\WINDOWS\\system32\\notepad.exe");
  // One argument, passed whole: the shell layer quotes it, blanks and all.
  EXPECT_EQ(fakes_.shell.started[0].argument, "C:\\Users\\Ann Lee\\Temp\\Tessaline.txt");
  EXPECT_FALSE(fakes_.shell.started[0].minimized);
  EXPECT_TRUE(fakes_.dialogs.boxes.empty());
}

TEST_F(HistoryCommandsTest, EditorThatCannotStartIsReportedAtItsLine) {
  WriteLog();
  fakes_.shell.fail_start = true;
  form_.OnViewHistoryClick();
  ASSERT_EQ(fakes_.dialogs.boxes.size(), 1u);
  EXPECT_EQ(fakes_.dialogs.boxes[0].text,
            "File not found\r\nin Tessaline2021/08/31.Form1.PushButton3_Click at line 102\r\r"
            "Please email screenshot of this message to support@tessaline.example");
}

TEST_F(HistoryCommandsTest, WithoutASystemFolderNoProgramIsLookedUpByNameAndTheFailureIsShown) {
  WriteLog();
  fakes_.shell.system_folder = "";
  form_.OnViewHistoryClick();
  EXPECT_TRUE(fakes_.shell.started.empty());
  ASSERT_EQ(fakes_.dialogs.Errors().size(), 1u);
  EXPECT_NE(fakes_.dialogs.Errors()[0].text.find("PushButton3_Click at line 102"),
            std::string::npos);
  // A folder the system names with its root's backslash still gives one separator.
  fakes_.shell.system_folder = "D:\\";
  form_.OnViewHistoryClick();
  ASSERT_EQ(fakes_.shell.started.size(), 1u);
  EXPECT_EQ(fakes_.shell.started[0].program, "D:\\notepad.exe");
}

TEST_F(HistoryCommandsTest, CopyPutsExactlyTheLogTextOnTheClipboard) {
  WriteLog();
  form_.OnCopyHistoryClick();
  EXPECT_EQ(fakes_.dialogs.clipboard, kLogText);
  EXPECT_TRUE(fakes_.dialogs.boxes.empty());
}

TEST_F(HistoryCommandsTest, UnreadableLogIsReportedAndLeavesTheClipboardAlone) {
  fakes_.files.AddFolder(kLog);  // exists, but cannot be read as text
  form_.OnCopyHistoryClick();
  ASSERT_EQ(fakes_.dialogs.Errors().size(), 1u);
  EXPECT_NE(fakes_.dialogs.Errors()[0].text.find("PushButton4_Click at line 102"),
            std::string::npos);
  EXPECT_EQ(fakes_.dialogs.clipboard, "<untouched>");
}

TEST_F(HistoryCommandsTest, ClearAnsweredNoChangesNothing) {
  WriteLog();
  fakes_.dialogs.answers.push_back(BoxResult::kNo);
  form_.OnClearHistoryClick();
  ASSERT_EQ(fakes_.dialogs.boxes.size(), 1u);
  const auto& box = fakes_.dialogs.boxes[0];
  EXPECT_EQ(box.text, "Are you sure you want to delete the history log and start over?");
  EXPECT_EQ(box.title, "");
  EXPECT_EQ(box.buttons, BoxButtons::kYesNo);
  EXPECT_EQ(box.icon, BoxIcon::kNone);
  EXPECT_EQ(fakes_.files.Content(kLog), kLogText);
  EXPECT_EQ(form_.folder_list.Count(), 2);
  EXPECT_FALSE(fakes_.settings.Has("Folders"));
}

TEST_F(HistoryCommandsTest, ClearAnsweredYesDeletesEvenReadOnlyAndEmptiesTheListWhileBusy) {
  WriteLog();
  fakes_.files.read_only.insert(FakeFileSystem::Key(kLog));
  form_.SetMousePointer(Pointer::kHourglass);  // a Backup Now run is in progress
  form_.OnClearHistoryClick();
  EXPECT_FALSE(fakes_.files.IsFile(kLog));
  EXPECT_EQ(form_.folder_list.Count(), 0);
  EXPECT_EQ(fakes_.settings.values["Folders"], "");
  EXPECT_TRUE(fakes_.dialogs.Errors().empty());
}

TEST_F(HistoryCommandsTest, ClearWithoutALogStillEmptiesTheList) {
  form_.OnClearHistoryClick();
  EXPECT_EQ(form_.folder_list.Count(), 0);
  EXPECT_TRUE(fakes_.dialogs.Errors().empty());
}

}  // namespace
}  // namespace tess::test
