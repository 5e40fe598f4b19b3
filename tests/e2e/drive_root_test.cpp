// Backup Now of a whole drive while the program's current folder on that drive is a subfolder,
// as when the program itself runs from there: the copy must hold the whole drive.
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

// A new process learns its current folder on each other drive from a variable named "=X:"
// (the command shell keeps them so). Set for the test's own process, the program inherits it.
class DriveCurrentFolder {
 public:
  DriveCurrentFolder(const std::wstring& drive, const std::wstring& folder) : name_(L"=" + drive) {
    set_ = SetEnvironmentVariableW(name_.c_str(), folder.c_str()) != 0;
  }
  ~DriveCurrentFolder() {
    if (set_) SetEnvironmentVariableW(name_.c_str(), nullptr);
  }
  DriveCurrentFolder(const DriveCurrentFolder&) = delete;
  DriveCurrentFolder& operator=(const DriveCurrentFolder&) = delete;

 private:
  std::wstring name_;
  bool set_ = false;
};

// What Windows makes of a path text, without a trailing backslash (Wine gives the current
// folder with one).
std::wstring FullPathOf(const std::wstring& path) {
  wchar_t full[MAX_PATH] = {};
  GetFullPathNameW(path.c_str(), MAX_PATH, full, nullptr);
  std::wstring text = full;
  while (text.size() > 3 && text.back() == L'\\') text.pop_back();
  return text;
}

TEST_F(BackupNowE2eTest, ADriveRootEntryBacksUpTheWholeDriveNotTheCurrentFolderOnIt) {
  const Tree drive_files = {File("top.txt", "top"), File("app\\tool.cfg", "tool"),
                            File("photos\\2021\\a.jpg", "jpeg")};
  TempTree drive_folder(drive_files);
  const MappedDrive drive(drive_folder.Path());
  if (drive.Letter().empty()) GTEST_SKIP() << "no drive letter: " << drive.Why();
  const std::wstring letter = win32::Widen(drive.Letter());
  const DriveCurrentFolder current(letter, letter + L"\\app");
  ASSERT_EQ(FullPathOf(letter), letter + L"\\app");  // "X:" now names X:\app

  const std::wstring backups = tree_ / L"Backups";
  MakeFolders(backups);
  SeedSetting(L"Include Date", L"Off");
  SeedFolders({letter + L"\\"}, backups);
  App& app = StartProgram();
  StatusRecorder status(app.Control(kIdStatusFrame));
  const SYSTEMTIME before = LocalNow();
  const int done = RunBackupNow(app, status);
  ASSERT_GE(done, 0) << status.Describe();
  EXPECT_TRUE(StampedWithin(status.Texts()[done], kComplete, GeneralDate, before, LocalNow()))
      << status.Describe();

  // The copy of a root goes under the drive's letter, and the log names the drive.
  EXPECT_TRUE(HoldsTree(backups + L"\\" + letter.substr(0, 1), drive_files));
  const auto lines = HistoryLines();
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_TRUE(StartsWith(lines[0], letter + L" was backup saved at ")) << lines[0];
}

// A whole drive holds the system's own folders at its root, which Windows refuses to open: the
// backup leaves exactly those out, so it completes, and keeps the same names deeper down.
TEST_F(BackupNowE2eTest, ADriveRootIsBackedUpWithoutTheSystemsFoldersAtItsRoot) {
  const Tree users_files = {File("top.txt", "top"),
                            File("work\\System Volume Information\\mine.txt", "the user's own"),
                            File("work\\$RECYCLE.BIN\\kept.txt", "kept too")};
  const Tree system_files = {File("System Volume Information\\tracking.log", "system"),
                             File("$Recycle.Bin\\S-1-5-21\\$I1.txt", "recycled")};
  TempTree drive_folder(users_files + system_files);
  const MappedDrive drive(drive_folder.Path());
  if (drive.Letter().empty()) GTEST_SKIP() << "no drive letter: " << drive.Why();
  const std::wstring letter = win32::Widen(drive.Letter());

  const std::wstring backups = tree_ / L"Backups";
  MakeFolders(backups);
  SeedSetting(L"Include Date", L"Off");
  SeedFolders({letter + L"\\"}, backups);
  App& app = StartProgram();
  StatusRecorder status(app.Control(kIdStatusFrame));
  const SYSTEMTIME before = LocalNow();
  const int done = RunBackupNow(app, status);
  ASSERT_GE(done, 0) << status.Describe();
  EXPECT_TRUE(StampedWithin(status.Texts()[done], kComplete, GeneralDate, before, LocalNow()))
      << status.Describe();
  EXPECT_TRUE(HoldsTree(backups + L"\\" + letter.substr(0, 1), users_files));
}

}  // namespace
}  // namespace tess::e2e
