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

TEST(FolderNamingTest, DateAndTimeAreOneReadingOfTheClock) {
  FakeClock clock;
  clock.now = {2021, 8, 31, 23, 59, 59, 900};
  clock.after_now = [&] { clock.Advance(0.2); };
  // Midnight passes just after the reading: the stamp names the moment read, not a day early.
  EXPECT_EQ(DateTimeSuffix(clock), "Date Aug 31 2021 Time 11 59 59 PM");
}

// Partial copies, uncreatable folders and failing copies are pinned through the run itself;
// these are the forms a run in the doubles does not reach.
TEST(RunReportTest, FailureLinesStayOneLineAndNameWhatFailed) {
  EntryResult both;
  both.kind = EntryResult::Kind::kCopied;
  both.copy.files_copied = 1;
  both.copy.files_failed = 1;
  both.copy.folders_failed = 2;
  both.copy.first_failure_path = "C:\\Data\\x";
  both.copy.first_failure_reason = "Access is denied.\r\n";
  EXPECT_EQ(HistoryLine("Data", "9/1/2021", both),
            "Data was NOT backup saved at 9/1/2021: 1 of 2 files failed, 2 folders failed, "
            "first C:\\Data\\x: Access is denied.");

  EntryResult vanished;  // the destination went away and could not be made again
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
  EXPECT_EQ(CompleteStatus("8/31/2021 4:05:06 PM", 0, 3, 0, 1),
            "Auto Backup Complete at 8/31/2021 4:05:06 PM with 1 damaged backup copy (see View "
            "History Log)");
  EXPECT_EQ(CompleteStatus("8/31/2021 4:05:06 PM", 0, 3, 1, 2),
            "Auto Backup Complete at 8/31/2021 4:05:06 PM with errors and 2 damaged backup copies "
            "(see View History Log)");
}

}  // namespace
}  // namespace tess::test
