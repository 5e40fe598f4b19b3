// The date and time texts of backup folder names, and the lines a run writes.
#include <gtest/gtest.h>

#include "backup/folder_naming.h"
#include "backup/run_report.h"
#include "support/fakes.h"

namespace tess::test {
namespace {

TEST(FolderNamingTest, MonthDayYearHasNoLeadingZeroOnTheDay) {
  FakeClock clock;
  EXPECT_EQ(MonthDayYear(clock, {2021, 8, 31, 16, 5, 6, 0}), "Aug 31 2021");
  EXPECT_EQ(MonthDayYear(clock, {2021, 9, 1, 0, 0, 0, 0}), "Sep 1 2021");
}

TEST(FolderNamingTest, TwelveHourClockWithTwoDigitsAndTheDesignator) {
  FakeClock clock;
  EXPECT_EQ(HourMinuteSecond(clock, {2021, 8, 31, 16, 5, 6, 0}), "04 05 06 PM");
  EXPECT_EQ(HourMinuteSecond(clock, {2021, 8, 31, 0, 30, 0, 0}), "12 30 00 AM");
  EXPECT_EQ(HourMinuteSecond(clock, {2021, 8, 31, 12, 0, 9, 0}), "12 00 09 PM");
  EXPECT_EQ(HourMinuteSecond(clock, {2021, 8, 31, 11, 59, 59, 0}), "11 59 59 AM");
}

TEST(FolderNamingTest, SuffixesAreTrimmedAndJoinedWithoutSeparator) {
  FakeClock clock;
  EXPECT_EQ(DateTimeSuffix(clock), "Date Aug 31 2021 Time 04 05 06 PM");
  EXPECT_EQ(DateSuffix(clock), "Aug 31 2021");

  struct NoDesignators : FakeClock {
    std::string AmPmDesignator(bool) override { return ""; }
  } plain;
  EXPECT_EQ(DateTimeSuffix(plain), "Date Aug 31 2021 Time 04 05 06");
}

TEST(FolderNamingTest, DateAndTimeAreTwoReadingsOfTheClock) {
  FakeClock clock;
  clock.now = {2021, 8, 31, 23, 59, 59, 900};
  clock.after_now = [&] { clock.Advance(0.2); };
  // The date is read before midnight, the time after it.
  EXPECT_EQ(DateTimeSuffix(clock), "Date Aug 31 2021 Time 12 00 00 AM");
  EXPECT_EQ(clock.now_calls, 2);
}

TEST(RunReportTest, ACompleteCopyGetsThePlainLine) {
  EntryResult copied;
  copied.kind = EntryResult::Kind::kCopied;
  copied.copy.files_copied = 3;
  copied.copy.files_skipped = 2;
  EXPECT_EQ(HistoryLine("Documents", "8/31/2021 4:05:06 PM", copied),
            "Documents was backup saved at 8/31/2021 4:05:06 PM");
}

TEST(RunReportTest, AnyFailureGetsALineThatCannotReadAsSuccess) {
  EntryResult partly;
  partly.kind = EntryResult::Kind::kCopied;
  partly.copy.files_copied = 117;
  partly.copy.files_failed = 3;
  partly.copy.first_failure_path = "C:\\Users\\Ann\\Documents\\a.pst";
  partly.copy.first_failure_reason =
      "The process cannot access the file because it is being used by another process.\r\n";
  EXPECT_EQ(HistoryLine("Documents", "8/31/2021 4:05:06 PM", partly),
            "Documents was NOT backup saved at 8/31/2021 4:05:06 PM: 3 of 120 files failed, "
            "first C:\\Users\\Ann\\Documents\\a.pst: The process cannot access the file because "
            "it is being used by another process.");

  EntryResult folder;
  folder.kind = EntryResult::Kind::kCopied;
  folder.copy.folders_failed = 1;
  folder.copy.first_failure_path = "D:\\Backups\\";
  folder.copy.first_failure_reason = "Access is denied.";
  EXPECT_EQ(HistoryLine("Docs", "9/1/2021", folder),
            "Docs was NOT backup saved at 9/1/2021: 1 folder failed, first D:\\Backups\\: Access "
            "is denied.");

  EntryResult uncreatable;
  uncreatable.missing_destination = "D:\\Backups\\DocsAug 31 2021";
  uncreatable.creation_error = "Permission denied";
  EXPECT_EQ(HistoryLine("Docs", "9/1/2021", uncreatable),
            "Docs was NOT backup saved at 9/1/2021: the destination folder "
            "D:\\Backups\\DocsAug 31 2021 could not be created: Permission denied");

  EntryResult vanished;
  vanished.missing_destination = "D:\\Backups\\";
  EXPECT_EQ(HistoryLine("Docs", "9/1/2021", vanished),
            "Docs was NOT backup saved at 9/1/2021: the destination folder D:\\Backups\\ does "
            "not exist");
}

TEST(RunReportTest, FinalStatusNamesTheFailedFolders) {
  EXPECT_EQ(CompleteStatus("8/31/2021 4:05:06 PM", 0, 3),
            "Auto Backup Complete at 8/31/2021 4:05:06 PM");
  EXPECT_EQ(CompleteStatus("8/31/2021 4:05:06 PM", 1, 3),
            "Auto Backup Complete at 8/31/2021 4:05:06 PM with errors in 1 of 3 folders (see "
            "View History Log)");
}

}  // namespace
}  // namespace tess::test
