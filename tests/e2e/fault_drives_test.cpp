// Backup Now onto real faulty drives: a drive that fills up in the middle of an overwrite, a
// read-only drive and an empty drive root. The drives are small tmpfs mounts that the test run
// gives the prefix as P:, Q: and R:; where the machine refuses to mount, these tests skip and
// say why.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "e2e/backup_now.h"
#include "e2e/clock_texts.h"

namespace tess::e2e {
namespace {

using namespace tess::test;
using namespace tess::view;
using namespace std::chrono_literals;

constexpr wchar_t kFullDrive[] = L"P:\\";      // 24 MB
constexpr wchar_t kReadOnlyDrive[] = L"Q:\\";  // holds an empty "Backups", mounted read-only
constexpr wchar_t kEmptyDrive[] = L"R:\\";

// "ready", or why the drives could not be made: the drive script leaves its state beside the
// program.
std::string FaultDrivesState() {
  const std::wstring state_file = ProgramFolder() + L"\\fault_drives\\state.txt";
  const auto state = ReadBytes(state_file);
  if (!state) return "no state file: the drive script did not run (run the tests through ctest)";
  return state->substr(0, state->find_first_of("\r\n"));
}

class FaultDriveE2eTest : public BackupNowE2eTest {
 protected:
  void SetUp() override {
    BackupNowE2eTest::SetUp();
    const std::string state = FaultDrivesState();
    if (state != "ready") GTEST_SKIP() << "no faulty drives on this machine: " << state;
    SeedSetting(L"Include Date", L"Off");
  }

  // Runs Backup Now in a program started for it; the run's status, empty when none came.
  std::wstring BackupNowStatus() {
    App& app = StartProgram();
    StatusRecorder status(app.Control(kIdStatusFrame));
    const int done = RunBackupNow(app, status);
    if (done < 0) {
      ADD_FAILURE() << "no status came:\n" << status.Describe();
      return L"";
    }
    const std::wstring text = status.Texts()[done];
    app.Close();
    app.WaitForExit();
    return text;
  }
};

// Each file of the copy is either the earlier copy or the new source, whole.
::testing::AssertionResult EveryFileOldOrNew(const std::wstring& copy, const Tree& old_files,
                                             const Tree& new_files) {
  const Tree found = ReadTree(copy);
  if (found.size() != old_files.size()) {
    return ::testing::AssertionFailure() << found.size() << " entries in the copy, expected "
                                         << old_files.size() << " (a temporary file left?)";
  }
  for (size_t i = 0; i < found.size(); ++i) {
    if (found[i].path != old_files[i].path) {
      return ::testing::AssertionFailure() << "unexpected entry " << found[i].path;
    }
    if (found[i].content != old_files[i].content && found[i].content != new_files[i].content) {
      return ::testing::AssertionFailure()
             << found[i].path << " is neither the old copy nor the new file ("
             << found[i].content.size() << " bytes)";
    }
  }
  return ::testing::AssertionSuccess();
}

TEST_F(FaultDriveE2eTest, AFullDriveInTheMiddleOfAnOverwriteKeepsEveryEarlierCopyWhole) {
  const std::wstring backups = std::wstring(kFullDrive) + L"Backups";
  RemoveTree(backups);
  MakeFolders(backups);
  const std::wstring big = tree_ / L"Big";
  // 16 MB fit on the 24 MB drive; their 24 MB replacements cannot all pass through it.
  Tree old_files, new_files;
  for (char c : std::string("abcd")) {
    const std::string name = std::string("part-") + c + ".bin";
    old_files.push_back(File(name, std::string(4 << 20, c)));
    new_files.push_back(File(name, std::string(6 << 20, static_cast<char>(c - 'a' + 'A'))));
  }
  old_files.push_back(File("readme.txt", "unchanged"));
  new_files.push_back(File("readme.txt", "unchanged"));
  BuildTree(big, old_files);
  SeedFolders({big}, backups);

  const SYSTEMTIME before = LocalNow();
  const std::wstring first_status = BackupNowStatus();
  EXPECT_TRUE(StampedWithin(first_status, kComplete, GeneralDate, before, LocalNow()));
  ASSERT_TRUE(HoldsTree(backups + L"\\Big", old_files));

  BuildTree(big, new_files);
  const std::wstring status = BackupNowStatus();
  EXPECT_TRUE(EndsWith(status, L" with errors in 1 of 1 folders (see View History Log)")) << status;
  const auto lines = HistoryLines();
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_TRUE(StartsWith(lines[1], L"Big was NOT backup saved at ")) << lines[1];
  // The user must be able to see that the drive is full, in the system's own words.
  EXPECT_TRUE(EndsWith(lines[1], L": " + SystemReason(ERROR_DISK_FULL))) << lines[1];
  EXPECT_TRUE(EveryFileOldOrNew(backups + L"\\Big", old_files, new_files));
  // The run ended, and its manifest records that its copy did not go through.
  EXPECT_NE(ReadBytes(backups + L"\\Big.sha256").value_or("").find("\n# complete: no\n"),
            std::string::npos);
  RemoveTree(backups);
}

TEST_F(FaultDriveE2eTest, AReadOnlyDriveIsLoggedAsNotSavedAndTheStatusShowsTheError) {
  const std::wstring alpha = tree_ / L"Alpha";
  BuildTree(alpha, {File("a.txt", "alpha"), File("sub\\b.txt", "beta")});
  const std::wstring backups = std::wstring(kReadOnlyDrive) + L"Backups";
  ASSERT_TRUE(IsFolderOnDisk(backups));
  SeedFolders({alpha}, backups);

  const std::wstring status = BackupNowStatus();
  EXPECT_TRUE(EndsWith(status, L" with errors in 1 of 1 folders (see View History Log)")) << status;
  const auto lines = HistoryLines();
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_TRUE(StartsWith(lines[0], L"Alpha was NOT backup saved at ")) << lines[0];
  EXPECT_TRUE(NamesIn(backups).empty());
}

// Nobody is there to answer a box when a timed run cannot make its stamped folder on a
// read-only drive: the run logs the entry as not saved, with the reason, and never waits.
TEST_F(FaultDriveE2eTest, ATimedRunOntoAReadOnlyDriveShowsNoBoxAndLogsTheEntryAsNotSaved) {
  const std::wstring alpha = tree_ / L"Alpha";
  BuildTree(alpha, {File("a.txt", "alpha")});
  const std::wstring backups = std::wstring(kReadOnlyDrive) + L"Backups";
  SeedFolders({alpha}, backups);
  SeedSetting(L"Include Date", L"On");
  SeedSetting(L"OftenIndex", L"1");  // every 5 seconds
  SeedSetting(L"StartStopState", L"On");

  App& app = StartProgram();
  StatusRecorder status(app.Control(kIdStatusFrame));
  const auto with_errors = [](const std::wstring& text) {
    return EndsWith(text, L" with errors in 1 of 1 folders (see View History Log)");
  };
  ASSERT_GE(status.WaitFor(with_errors, 0, 20s), 0) << status.Describe();
  // Nothing waits on a box, now or at the next run.
  for (int i = 0; i < 12; ++i) {
    ASSERT_EQ(app.FindMessageBox(), nullptr) << app.MessageBoxText(app.FindMessageBox());
    Sleep(500);
  }
  const auto lines = HistoryLines();
  ASSERT_GE(lines.size(), 2u);
  EXPECT_TRUE(StartsWith(lines[0], L"Alpha was NOT backup saved at ")) << lines[0];
  EXPECT_NE(lines[0].find(L"could not be created: "), std::wstring::npos) << lines[0];
  EXPECT_TRUE(NamesIn(backups).empty());
  EXPECT_EQ(ReadSetting(L"Latest Backup Clean"), L"Off");
}

// A freshly formatted backup drive holds nothing at its root, and is a destination all the same.
TEST_F(FaultDriveE2eTest, AnEmptyDriveRootIsADestinationLikeAnyFolder) {
  RemoveTree(kEmptyDrive);  // the hidden manifests of earlier runs too
  ASSERT_TRUE(NamesIn(kEmptyDrive).empty());
  const std::wstring alpha = tree_ / L"Alpha";
  const Tree files = {File("a.txt", "alpha"), File("sub\\b.txt", "beta")};
  BuildTree(alpha, files);
  SeedFolders({alpha}, kEmptyDrive);

  const SYSTEMTIME before = LocalNow();
  const std::wstring status = BackupNowStatus();
  EXPECT_TRUE(StampedWithin(status, kComplete, GeneralDate, before, LocalNow())) << status;
  EXPECT_TRUE(HoldsTree(std::wstring(kEmptyDrive) + L"Alpha", files));
  RemoveTree(kEmptyDrive);
}

}  // namespace
}  // namespace tess::e2e
