// Backup Now while files are being written by the copy's threads: a close in the middle ends the
// program at once and the next run puts everything right, and a long list of folders is logged
// in list order whatever finishes first inside each copy.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "e2e/backup_now.h"
#include "e2e/clock_texts.h"

namespace tess::e2e {
namespace {

using namespace tess::test;
using namespace tess::view;

constexpr wchar_t kTempPattern[] = L"~tessaline-*.tmp";

TEST_F(BackupNowE2eTest, ACloseWhileFilesAreBeingWrittenEndsTheProgramAndTheNextRunCompletes) {
  const std::wstring data = tree_ / L"Data";
  const std::wstring destination = tree_.MadeFolder(L"Backups");
  // Long enough to copy that the close comes while files are being written.
  Tree files = Under("many", ManyFiles(3 * kManyFiles));
  for (char c : std::string("abc")) {
    files.push_back(File(std::string("big-") + c + ".bin", std::string(48 << 20, c)));
  }
  BuildTree(data, files);
  SeedFolders({data}, destination);
  SeedSetting(L"Include Date", L"Off");

  {
    App& app = StartProgram();
    StatusRecorder status(app.Control(kIdStatusFrame));
    app.Click(kIdBackupNowButton);
    ASSERT_GE(status.WaitFor(kBackingUp, 0), 0) << status.Describe();
    // Wait for the copy to have written something, then close.
    for (int i = 0; i < 200 && NamesIn(destination + L"\\Data").empty(); ++i) Sleep(10);
    app.Close();
    EXPECT_TRUE(app.WaitForExit(std::chrono::seconds(5)));
    for (const std::wstring& text : status.Texts()) {
      ASSERT_FALSE(StartsWith(text, kComplete)) << "the run ended before the close came";
    }
  }
  EXPECT_EQ(ReadSetting(L"Folders"), data + L";");
  EXPECT_TRUE(HistoryLines().empty());

  App& again = StartProgram();
  StatusRecorder status(again.Control(kIdStatusFrame));
  const SYSTEMTIME before = LocalNow();
  const int done = RunBackupNow(again, status);
  ASSERT_GT(done, 0) << status.Describe();
  EXPECT_TRUE(StampedWithin(status.Texts()[done], kComplete, GeneralDate, before, LocalNow()));
  EXPECT_TRUE(HoldsTree(destination + L"\\Data", files));  // and no temporary file
  EXPECT_EQ(CountMatching(destination, kTempPattern), 0);
  const auto lines = HistoryLines();
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_TRUE(StartsWith(lines[0], L"Data was backup saved at ")) << lines[0];
}

TEST_F(BackupNowE2eTest, ManyFoldersAreLoggedInListOrderWithEachOneOwnOutcome) {
  const std::wstring destination = tree_.MadeFolder(L"Backups");
  // Sizes that differ a lot, so the copies would finish out of order if any ran ahead; every
  // fifth folder holds a file another program has open.
  constexpr int kFolders = 15;
  std::vector<std::wstring> folders;
  std::vector<std::unique_ptr<LockedFile>> locks;
  for (int i = 0; i < kFolders; ++i) {
    const std::wstring name = L"Folder" + std::to_wstring(kFolders - i);
    const std::wstring folder = tree_ / name;
    Tree files = Under("many", ManyFiles(i % 3 == 0 ? 200 : 5));
    if (i % 4 == 1) files.push_back(File("big.bin", std::string(16 << 20, 'b')));
    if (i % 5 == 2) files.push_back(File("held.txt", "held"));
    BuildTree(folder, files);
    if (i % 5 == 2) {
      locks.push_back(std::make_unique<LockedFile>(folder + L"\\held.txt"));
      ASSERT_TRUE(locks.back()->Held());
    }
    folders.push_back(folder);
  }
  SeedFolders(folders, destination);
  SeedSetting(L"Include Date", L"Off");

  App& app = StartProgram();
  StatusRecorder status(app.Control(kIdStatusFrame));
  const int done = RunBackupNow(app, status);
  ASSERT_GT(done, 0) << status.Describe();
  EXPECT_TRUE(
      EndsWith(status.Texts()[done], L" with errors in 3 of 15 folders (see View History Log)"))
      << status.Texts()[done];

  const auto lines = HistoryLines();
  ASSERT_EQ(lines.size(), static_cast<size_t>(kFolders));
  for (int i = 0; i < kFolders; ++i) {
    const std::wstring name = L"Folder" + std::to_wstring(kFolders - i);
    if (i % 5 == 2) {
      EXPECT_TRUE(StartsWith(lines[i], name + L" was NOT backup saved at ")) << lines[i];
      EXPECT_TRUE(
          EndsWith(lines[i], folders[i] + L"\\held.txt: " + SystemReason(ERROR_SHARING_VIOLATION)))
          << lines[i];
    } else {
      EXPECT_TRUE(StartsWith(lines[i], name + L" was backup saved at ")) << lines[i];
    }
  }
  EXPECT_EQ(CountMatching(destination, kTempPattern), 0);
}

}  // namespace
}  // namespace tess::e2e
