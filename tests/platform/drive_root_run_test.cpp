// Whole backup runs on the real file system with drive roots: a drive root as the source, read
// at its root even while the process's current folder on that drive is a subfolder, an empty
// drive root as the destination, and a destination pattern that a listing would match.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "backup/path_rules.h"
#include "support/fakes.h"
#include "win32/text.h"
#include "win32/win_file_system.h"
#include "win_support/files.h"
#include "win_support/linux_side.h"
#include "win_support/temp_tree.h"

namespace tess::test {
namespace {

// The process's current folder, put back when the test ends.
class CurrentFolderGuard {
 public:
  CurrentFolderGuard() {
    wchar_t folder[MAX_PATH] = {};
    GetCurrentDirectoryW(MAX_PATH, folder);
    saved_ = folder;
  }
  ~CurrentFolderGuard() { SetCurrentDirectoryW(saved_.c_str()); }
  CurrentFolderGuard(const CurrentFolderGuard&) = delete;
  CurrentFolderGuard& operator=(const CurrentFolderGuard&) = delete;

 private:
  std::wstring saved_;
};

// A window wired to the real file system; every other service is a double. The history log
// goes to a folder of the test's own.
class DriveRootRunTest : public ::testing::Test {
 protected:
  DriveRootRunTest() {
    fakes_.pump.every_call = nullptr;
    fakes_.environment.variables["TEMP"] = logs_.Path();
    form_.OnLoad();
    form_.stamp_box.SetValue(0);  // no stamp: the copy goes inside the destination under its name
  }

  RunOutcome Run(const std::string& entry, const std::string& destination) {
    form_.folder_list.Clear();
    form_.folder_list.Append(entry);
    form_.destination_box.SetText(destination);
    return form_.Backup().SaveAll();
  }
  // The log's lines, each without its CR LF.
  std::vector<std::string> HistoryLines() {
    std::vector<std::string> lines;
    const std::string log = ReadBytes(logs_ / "Tessaline.txt").value_or("");
    for (size_t start = 0; start < log.size();) {
      const size_t end = log.find("\r\n", start);
      if (end == std::string::npos) break;
      lines.push_back(log.substr(start, end - start));
      start = end + 2;
    }
    return lines;
  }
  static bool StartsWith(const std::string& text, const std::string& prefix) {
    return text.rfind(prefix, 0) == 0;
  }

  TempTree logs_;
  FakeServices fakes_;
  win32::WinFileSystem files_;
  MainForm form_{Services{fakes_.settings, files_, fakes_.shell, fakes_.registry,
                          fakes_.environment, fakes_.dialogs, fakes_.notify_icon, fakes_.clock,
                          fakes_.pump}};
};

// The program may well run from a folder on the drive it backs up. "E:" then names that
// folder, so a copy read from the root written without its backslash backs up the wrong
// folder and calls it saved.
TEST_F(DriveRootRunTest, ADriveRootIsCopiedWholeWhateverTheCurrentFolderOnThatDrive) {
  const Tree drive_files = {File("top.txt", "top"), File("app\\tool.cfg", "tool"),
                            File("photos\\2021\\a.jpg", "jpeg")};
  const TempDrive drive(drive_files);
  if (drive.Letter().empty()) GTEST_SKIP() << "no drive letter: " << drive.Why();
  const std::string root = drive.Letter() + "\\";
  CurrentFolderGuard guard;
  ASSERT_TRUE(SetCurrentDirectoryW(win32::Widen(root + "app").c_str()));
  ASSERT_EQ(win32::Narrow(FullPathOf(drive.Letter())), root + "app");  // the trap of this test

  for (const std::string& entry : {root, drive.Letter()}) {
    SCOPED_TRACE(entry);
    TempTree backups;
    const RunOutcome out = Run(entry, backups.Path());
    EXPECT_EQ(out.kind, RunOutcome::Kind::kClean) << out.final_status;
    // The copy of a root goes under the drive's letter.
    EXPECT_TRUE(HoldsTree(backups / drive.Letter().substr(0, 1), drive_files));
    ASSERT_FALSE(HistoryLines().empty());
    EXPECT_TRUE(StartsWith(HistoryLines().back(), drive.Letter() + " was backup saved at "))
        << HistoryLines().back();
  }
  EXPECT_TRUE(fakes_.dialogs.boxes.empty());
}

TEST_F(DriveRootRunTest, AnEmptyDriveRootIsADestinationLikeAnyFolder) {
  const TempDrive drive;
  if (drive.Letter().empty()) GTEST_SKIP() << "no drive letter: " << drive.Why();
  const std::string root = drive.Letter() + "\\";
  ASSERT_TRUE(NamesIn(root).empty());
  EXPECT_FALSE(files_.ListingFindsAny(root));  // a listing alone would call it missing

  const Tree docs = {File("a.txt", "alpha"), File("sub\\b.txt", "beta")};
  TempTree source(Under("Docs", docs));
  for (const std::string& destination : {root, drive.Letter()}) {
    SCOPED_TRACE(destination);
    const RunOutcome out = Run(source / "Docs", destination);
    EXPECT_EQ(out.kind, RunOutcome::Kind::kClean) << out.final_status;
    EXPECT_TRUE(HoldsTree(root + "Docs", docs));
  }
}

// D:\Back* matches D:\Backups in a listing; as a destination it names no folder at all.
TEST_F(DriveRootRunTest, ADestinationPatternIsNotFoundThoughAListingMatchesIt) {
  TempTree backups({Folder("Backups")});
  TempTree source({File("Docs\\a.txt", "alpha")});
  const std::string pattern = backups / "Back*";
  ASSERT_TRUE(files_.ListingFindsAny(pattern));
  EXPECT_FALSE(PathFound(files_, pattern));

  const RunOutcome out = Run(source / "Docs", pattern);
  EXPECT_EQ(out.kind, RunOutcome::Kind::kDestinationMissing);
  EXPECT_EQ(form_.status_frame.Caption(), pattern + " does not exist");
  EXPECT_TRUE(NamesIn(backups / "Backups").empty());
  EXPECT_EQ(NamesIn(backups.Path()).size(), 1u);
  EXPECT_TRUE(fakes_.dialogs.boxes.empty());
}

}  // namespace
}  // namespace tess::test
