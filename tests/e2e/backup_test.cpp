// Backup Now on real folders: what lands in the destination, what the history log says, and
// what the status line shows before, during and after the run, including a file another
// program holds open and a destination that is missing.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "e2e/backup_now.h"
#include "e2e/clock_texts.h"

namespace tess::e2e {
namespace {

using namespace tess::test;
using namespace tess::view;

TEST_F(BackupNowE2eTest, ALockedFileIsReportedInTheLogAndTheStatusWhileTheRestIsCopied) {
  const std::wstring alpha = tree_ / L"Alpha";
  const std::wstring beta = tree_ / L"Beta";
  const std::wstring destination = tree_.MadeFolder(L"Backups");
  const Tree alpha_files = {File("a.txt", "alpha"), File("sub\\b.txt", "in a subfolder")};
  const TreeEntry locked_file = File("locked.txt", "held by another program");
  const Tree beta_files = Tree{File("c.txt", "gamma"), File("big.bin", kBigFile)} +
                          Under("many", ManyFiles(kManyFiles));
  BuildTree(alpha, alpha_files + Tree{locked_file});
  BuildTree(beta, beta_files);
  SeedFolders({alpha, beta}, destination);
  SeedSetting(L"Include Date", L"Off");
  LockedFile lock(alpha + L"\\locked.txt");
  ASSERT_TRUE(lock.Held());

  App& app = StartProgram();
  ASSERT_EQ(app.Text(kIdStatusFrame), kTurnedOff);
  StatusRecorder status(app.Control(kIdStatusFrame));
  const SYSTEMTIME before = LocalNow();
  const int done = RunBackupNow(app, status);
  const SYSTEMTIME after = LocalNow();
  ASSERT_GT(done, 0) << status.Describe();
  EXPECT_TRUE(StampedWithin(status.Texts()[done], kComplete, GeneralDate, before, after,
                            L" with errors in 1 of 2 folders (see View History Log)"));

  // With the stamp off each folder lands under its own name; the held file is missing from
  // the copy, everything else is there, and no temporary file is left behind.
  EXPECT_TRUE(HoldsTree(destination, Under("Alpha", alpha_files) + Under("Beta", beta_files)));

  const auto lines = HistoryLines();
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_TRUE(StampedWithin(lines[0], L"Alpha was NOT backup saved at ", GeneralDate, before, after,
                            L": 1 of 3 files failed, first " + alpha + L"\\locked.txt: " +
                                SystemReason(ERROR_SHARING_VIOLATION)));
  EXPECT_TRUE(StampedWithin(lines[1], L"Beta was backup saved at ", GeneralDate, before, after));

  // The failure stays in view for the pause, then the earlier text comes back.
  const int back = HeldForThePause(status, done);
  ASSERT_GT(back, done);

  // Once the file is free, the next run completes the backup and appends to the same log.
  // It skips the files it copied before, too quickly to catch the busy text for certain.
  lock.Release();
  const SYSTEMTIME again = LocalNow();
  app.Click(kIdBackupNowButton);
  const int second = status.WaitFor(
      [](const std::wstring& text) { return StartsWith(text, kComplete); }, back + 1, 30s);
  const SYSTEMTIME later = LocalNow();
  ASSERT_GT(second, back) << status.Describe();
  const std::wstring second_status = status.Texts()[second];
  EXPECT_TRUE(StampedWithin(second_status, kComplete, GeneralDate, again, later));
  EXPECT_TRUE(HoldsTree(destination + L"\\Alpha", alpha_files + Tree{locked_file}));
  const auto all_lines = HistoryLines();
  ASSERT_EQ(all_lines.size(), 4u);
  EXPECT_EQ(all_lines[0], lines[0]);
  EXPECT_EQ(all_lines[1], lines[1]);
  EXPECT_TRUE(
      StampedWithin(all_lines[2], L"Alpha was backup saved at ", GeneralDate, again, later));
  EXPECT_TRUE(StampedWithin(all_lines[3], L"Beta was backup saved at ", GeneralDate, again, later));
}

TEST_F(BackupNowE2eTest, ACleanRunShowsItsStatusForFiveSecondsAndFillsTheDaysFolder) {
  const std::wstring alpha = tree_ / L"Alpha";
  const std::wstring destination = tree_.MadeFolder(L"Backups");
  const Tree alpha_files =
      Tree{File("a.txt", "alpha"), File("sub\\deeper\\b.txt", "two levels down"),
           File("big.bin", kBigFile)} +
      Under("many", ManyFiles(kManyFiles));
  BuildTree(alpha, alpha_files);
  // A name outside the ANSI code page is copied like any other.
  const std::wstring omega = tree_ / L"\u03a9mega \u00fc";
  const Tree omega_files = {File("na\xC3\xAFve \xE2\x98\x83.txt", "snowman")};  // naïve ☃
  BuildTree(omega, omega_files);
  // A destination typed with a trailing backslash receives the folders all the same.
  SeedFolders({alpha, omega}, destination + L"\\");
  SeedSetting(L"Include Date", L"On");
  SeedSetting(L"Backup Option", L"2");  // overwrite: one folder per day

  App& app = StartProgram();
  StatusRecorder status(app.Control(kIdStatusFrame));
  const SYSTEMTIME before = LocalNow();
  const int done = RunBackupNow(app, status);
  const SYSTEMTIME after = LocalNow();
  ASSERT_GT(done, 0) << status.Describe();
  EXPECT_TRUE(StampedWithin(status.Texts()[done], kComplete, GeneralDate, before, after));
  ASSERT_GT(HeldForThePause(status, done), done);
  EXPECT_EQ(app.Text(kIdProgressBar), L"Progress Bar");

  ASSERT_NO_FATAL_FAILURE(ExpectStampedCopies(
      destination, {{L"Alpha", alpha_files}, {L"\u03a9mega \u00fc", omega_files}}, DayStamp, before,
      after));
  // A name the ANSI code page cannot hold turns the log into UTF-8, and the name stays whole.
  ExpectSavedLines({L"Alpha", L"\u03a9mega \u00fc"}, before, after);
}

TEST_F(BackupNowE2eTest, AMissingDestinationIsNamedInTheStatusAndNothingIsWritten) {
  const std::wstring alpha = tree_ / L"Alpha";
  const std::wstring nowhere = tree_ / L"Nowhere";
  const Tree sources = {File("Alpha\\a.txt", "alpha")};
  BuildTree(tree_.Path(), sources);
  SeedFolders({alpha}, nowhere);

  App& app = StartProgram();
  // The run ends before it copies anything, too soon to catch the busy text in between.
  StatusRecorder status(app.Control(kIdStatusFrame));
  app.Click(kIdBackupNowButton);
  ASSERT_GT(status.WaitFor(nowhere + L" does not exist"), 0) << status.Describe();
  ASSERT_TRUE(app.Settle());
  EXPECT_EQ(app.FindMessageBox(), nullptr);
  EXPECT_TRUE(HoldsTree(tree_.Path(), sources));
  EXPECT_FALSE(Exists(HistoryLogPath()));
}

// Two sources of one name, with the default options (stamp on, a new folder on every run):
// the later one gets its own numbered folder, and neither copy holds the other's files.
TEST_F(BackupNowE2eTest, TwoSourcesOfOneNameLandInFoldersOfTheirOwn) {
  const std::wstring first = tree_ / L"A\\Photos";
  const std::wstring second = tree_ / L"B\\Photos";
  const std::wstring destination = tree_.MadeFolder(L"Backups");
  const Tree first_files = {File("same.jpg", "from A"), File("a\\only.jpg", "only A")};
  const Tree second_files = {File("same.jpg", "from B"), File("b\\only.jpg", "only B")};
  BuildTree(first, first_files);
  BuildTree(second, second_files);
  SeedFolders({first, second + L"\\"}, destination);

  App& app = StartProgram();
  const CompletedRun run = BackupNowUntilComplete(app);
  ASSERT_FALSE(run.completion.empty()) << run.shown;
  EXPECT_TRUE(StampedWithin(run.completion, kComplete, GeneralDate, run.before, run.after));

  // Sorted, "Photos (2)Date ..." comes before "PhotosDate ...".
  ExpectStampedCopies(destination, {{L"Photos (2)", second_files}, {L"Photos", first_files}},
                      DateTimeStamp, run.before, run.after);
}

// A renamed folder and an unplugged drive are told on every run, in the system's words, the
// status tells of errors, and both stay in the list for the day they come back.
TEST_F(BackupNowE2eTest, AMissingSourceGetsItsNotSavedLineAndAnErrorStatus) {
  const std::wstring alpha = tree_ / L"Alpha";
  const std::wstring renamed = tree_ / L"Renamed";
  const std::wstring unplugged = tree_ / L"Unplugged\\Photos\\";
  const std::wstring destination = tree_.MadeFolder(L"Backups");
  const Tree alpha_files = {File("a.txt", "alpha")};
  BuildTree(alpha, alpha_files);
  SeedFolders({renamed, alpha, unplugged}, destination);
  SeedSetting(L"Include Date", L"Off");

  App& app = StartProgram();
  const CompletedRun run = BackupNowUntilComplete(app);
  ASSERT_FALSE(run.completion.empty()) << run.shown;
  EXPECT_TRUE(StampedWithin(run.completion, kComplete, GeneralDate, run.before, run.after,
                            L" with errors in 2 of 3 folders (see View History Log)"));

  EXPECT_EQ(NamesIn(destination), std::vector<std::wstring>{L"Alpha"});
  EXPECT_TRUE(HoldsTree(destination + L"\\Alpha", alpha_files));
  const auto lines = HistoryLines();
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_TRUE(StampedWithin(
      lines[0], L"Renamed was NOT backup saved at ", GeneralDate, run.before, run.after,
      L": the folder " + renamed + L" was not found: " + SystemReason(ERROR_FILE_NOT_FOUND)));
  EXPECT_TRUE(
      StampedWithin(lines[1], L"Alpha was backup saved at ", GeneralDate, run.before, run.after));
  EXPECT_TRUE(StampedWithin(
      lines[2], L"Photos was NOT backup saved at ", GeneralDate, run.before, run.after,
      L": the folder " + unplugged + L" was not found: " + SystemReason(ERROR_PATH_NOT_FOUND)));
  EXPECT_EQ(app.ListItems(kIdFolderList), (std::vector<std::wstring>{renamed, alpha, unplugged}));
  EXPECT_EQ(app.FindMessageBox(), nullptr);
}

// A profile backed up onto its own Desktop with the default options (stamp on, a new folder on
// every run): each run adds one copy of the profile's own files, never the earlier backups, so
// four runs do not double the backups three times over.
TEST_F(BackupNowE2eTest, FourRunsInsideTheirOwnSourceAddOneCopyOfTheSourceEach) {
  const std::wstring profile = tree_ / L"Ann";
  const std::wstring desktop = profile + L"\\Desktop";
  const Tree own = {File("notes.txt", "notes"), File("big.bin", std::string(300 << 10, 'b')),
                    File("Desktop\\todo.txt", "the user's own file on the Desktop"),
                    File("Desktop\\Annals\\a.txt", "a folder of the user's own")};
  BuildTree(profile, own);
  SeedFolders({profile}, desktop);
  const auto total_bytes = [&] {
    std::uint64_t total = 0;
    for (const auto& entry : ReadTree(desktop)) total += entry.content.size();
    return total;
  };
  std::uint64_t own_bytes = 0;
  for (const auto& entry : own) own_bytes += entry.content.size();

  App& app = StartProgram();
  StatusRecorder status(app.Control(kIdStatusFrame));
  std::vector<std::uint64_t> totals;
  WORD last_second = 99;
  for (int run = 0; run < 4; ++run) {
    // Each run in a second of its own, so each gets a folder of its own.
    while (LocalNow().wSecond == last_second) Sleep(50);
    const int done = RunBackupNow(app, status);
    last_second = LocalNow().wSecond;
    ASSERT_GT(done, 0) << status.Describe();
    ASSERT_TRUE(StartsWith(status.Texts()[done], kComplete)) << status.Describe();
    totals.push_back(total_bytes());
  }

  std::vector<std::wstring> backups;
  for (const auto& name : NamesIn(desktop)) {
    if (StartsWith(name, L"AnnDate ")) backups.push_back(name);
  }
  ASSERT_EQ(backups.size(), 4u);
  // Every backup holds the profile as it is, the Desktop's own files included, and nothing more.
  for (const auto& name : backups) EXPECT_TRUE(HoldsTree(desktop + L"\\" + name, own)) << name;
  // Each run adds exactly one copy of the profile's own bytes.
  for (int run = 1; run < 4; ++run) {
    EXPECT_EQ(totals[run] - totals[run - 1], own_bytes)
        << "bytes on the Desktop after each run: " << totals[0] << ", " << totals[1] << ", "
        << totals[2] << ", " << totals[3];
  }
}

}  // namespace
}  // namespace tess::e2e
