// Backup Now of a whole drive: the copy must hold the whole drive even while the program's
// current folder on it is a subfolder (as when the program runs from there), and leave out the
// system's own folders at its root.
#include <gtest/gtest.h>

#include <string>

#include "e2e/backup_now.h"
#include "e2e/clock_texts.h"
#include "win32/text.h"
#include "win_support/linux_side.h"

namespace tess::e2e {
namespace {

using namespace tess::test;
using namespace tess::view;

class DriveRootE2eTest : public BackupNowE2eTest {
 protected:
  // Backs up the drive's root, stamp off, into Backups in a program started for it; the run
  // must complete. The copy then lies in Backups under the drive's letter.
  void BackUpTheWholeDrive(const std::wstring& letter) {
    SeedSetting(L"Include Date", L"Off");
    SeedFolders({letter + L"\\"}, backups_);
    App& app = StartProgram();
    StatusRecorder status(app.Control(kIdStatusFrame));
    const SYSTEMTIME before = LocalNow();
    const int done = RunBackupNow(app, status);
    ASSERT_GE(done, 0) << status.Describe();
    EXPECT_TRUE(StampedWithin(status.Texts()[done], kComplete, GeneralDate, before, LocalNow()))
        << status.Describe();
  }

  const std::wstring backups_ = tree_.MadeFolder(L"Backups");
};

TEST_F(DriveRootE2eTest, ADriveRootEntryBacksUpTheWholeDriveNotTheCurrentFolderOnIt) {
  const Tree drive_files = {File("top.txt", "top"), File("app\\tool.cfg", "tool"),
                            File("photos\\2021\\a.jpg", "jpeg")};
  const TempDrive drive(drive_files);
  if (drive.Letter().empty()) GTEST_SKIP() << "no drive letter: " << drive.Why();
  const std::wstring letter = win32::Widen(drive.Letter());
  // A new process learns its current folder on each other drive from a variable named "=X:"
  // (the command shell keeps them so). Set for the test's own process, the program inherits it.
  const ScopedVariable current(L"=" + letter, letter + L"\\app");
  ASSERT_EQ(FullPathOf(letter), letter + L"\\app");  // "X:" now names X:\app

  ASSERT_NO_FATAL_FAILURE(BackUpTheWholeDrive(letter));
  // The copy of a root goes under the drive's letter, and the log names the drive.
  EXPECT_TRUE(HoldsTree(backups_ + L"\\" + letter.substr(0, 1), drive_files));
  const auto lines = HistoryLines();
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_TRUE(StartsWith(lines[0], letter + L" was backup saved at ")) << lines[0];
}

// A whole drive holds the system's own folders at its root, which Windows refuses to open: the
// backup leaves exactly those out, so it completes, and keeps the same names deeper down.
TEST_F(DriveRootE2eTest, ADriveRootIsBackedUpWithoutTheSystemsFoldersAtItsRoot) {
  const Tree users_files = {File("top.txt", "top"),
                            File("work\\System Volume Information\\mine.txt", "the user's own"),
                            File("work\\$RECYCLE.BIN\\kept.txt", "kept too")};
  const Tree system_files = {File("System Volume Information\\tracking.log", "system"),
                             File("$Recycle.Bin\\S-1-5-21\\$I1.txt", "recycled")};
  const TempDrive drive(users_files + system_files);
  if (drive.Letter().empty()) GTEST_SKIP() << "no drive letter: " << drive.Why();
  const std::wstring letter = win32::Widen(drive.Letter());

  ASSERT_NO_FATAL_FAILURE(BackUpTheWholeDrive(letter));
  EXPECT_TRUE(HoldsTree(backups_ + L"\\" + letter.substr(0, 1), users_files));
}

}  // namespace
}  // namespace tess::e2e
