// The countdown tick: its timeline, the equality rule, the switch, the interval list, an
// unclean run's status, and ticks that arrive while an earlier tick is still running.
#include "scheduler_fixture.h"

namespace tess::test {
namespace {

using CountdownTest = SchedulerTest;

TEST_F(CountdownTest, FiveSecondIntervalRunsOnEveryFifthTick) {
  Load("1");
  for (const char* left : {"00:00:04", "00:00:03", "00:00:02", "00:00:01"}) {
    Tick();
    EXPECT_EQ(form_.status_frame.Caption(), std::string("Next backup will occur in ") + left);
  }
  EXPECT_EQ(form_.progress_bar.Max(), 5);
  EXPECT_EQ(form_.progress_bar.Value(), 4);
  EXPECT_EQ(Runs(), 0u);
  TakeCaptions();

  Tick();
  const auto shown = TakeCaptions();
  ASSERT_GE(shown.size(), 4u);
  EXPECT_EQ(shown[0], "Next backup will occur in 00:00:00");
  EXPECT_EQ(shown[1], "Backup is running in background...");
  EXPECT_TRUE(StartsWith(shown[2], "Auto Backup Complete at 8/31/2021 4:05:"));
  EXPECT_EQ(shown.back(), "Next backup will occur in 00:00:00");
  EXPECT_EQ(Runs(), 1u);
  EXPECT_EQ(form_.Schedule().ElapsedSeconds(), 0);
  EXPECT_EQ(form_.progress_bar.Value(), 5);  // full until the next tick

  Tick();
  EXPECT_EQ(form_.status_frame.Caption(), "Next backup will occur in 00:00:04");
  EXPECT_EQ(form_.progress_bar.Value(), 1);
  Tick(9);
  EXPECT_EQ(Runs(), 3u);
  EXPECT_TRUE(fakes_.dialogs.boxes.empty());
}

TEST_F(CountdownTest, FifteenMinutesByDefaultCountsTicksToNineHundred) {
  Load();
  Tick();
  EXPECT_EQ(form_.status_frame.Caption(), "Next backup will occur in 00:14:59");
  Tick(898);
  EXPECT_EQ(form_.status_frame.Caption(), "Next backup will occur in 00:00:01");
  EXPECT_EQ(Runs(), 0u);
  Tick();
  EXPECT_EQ(Runs(), 1u);
  EXPECT_EQ(form_.status_frame.Caption(), "Next backup will occur in 00:00:00");
  Tick();
  EXPECT_EQ(form_.status_frame.Caption(), "Next backup will occur in 00:14:59");
}

TEST_F(CountdownTest, TwentyFourHoursShowsTheFullDayFirst) {
  Load("15");
  Tick();
  EXPECT_EQ(form_.status_frame.Caption(), "Next backup will occur in 23:59:59");
  EXPECT_EQ(form_.progress_bar.Max(), 86400);
}

// A due time further off than the interval (an interval chosen where this program did not see
// it) starts a whole new interval, so timed backups never stop.
TEST_F(CountdownTest, AShorterIntervalChosenUnseenStartsAWholeNewInterval) {
  Load();
  Tick(10);
  form_.interval_list.Select(1);  // moved without any handler running
  Tick();
  EXPECT_EQ(form_.status_frame.Caption(), "Next backup will occur in 00:00:05");
  Tick(4);
  EXPECT_EQ(Runs(), 0u);
  Tick();
  EXPECT_EQ(Runs(), 1u);

  // The same move made with the keyboard counts like a click.
  form_.OnIntervalSelected();
  EXPECT_EQ(fakes_.settings.values["OftenIndex"], "1");
  Tick(5);
  EXPECT_EQ(Runs(), 2u);
}

TEST_F(CountdownTest, ClickingTheSelectedEntryRestartsTheCount) {
  Load();
  Tick(100);
  form_.OnIntervalListClick();
  EXPECT_EQ(fakes_.settings.values["OftenIndex"], "7");
  Tick();
  EXPECT_EQ(form_.status_frame.Caption(), "Next backup will occur in 00:14:59");
}

TEST_F(CountdownTest, AnUnstorableChoiceStillRestartsTheCount) {
  Load();
  Tick(100);
  fakes_.settings.fail_writes = true;
  form_.interval_list.Select(1);
  form_.OnIntervalSelected();
  Tick(5);
  EXPECT_EQ(Runs(), 1u);
}

TEST_F(CountdownTest, SwitchingOffAndOnContinuesTheCount) {
  Load();
  Tick(300);
  EXPECT_EQ(form_.status_frame.Caption(), "Next backup will occur in 00:10:00");
  form_.OnAutoBackupClick();
  EXPECT_EQ(fakes_.settings.values["StartStopState"], "Off");
  Tick(3600);  // the stopped timer delivers nothing
  EXPECT_EQ(form_.status_frame.Caption(), "Next backup will occur in 00:10:00");
  form_.OnAutoBackupClick();
  EXPECT_EQ(form_.auto_backup_button.Caption(), "Turn Off Auto Backup");
  Tick();
  EXPECT_EQ(form_.status_frame.Caption(), "Next backup will occur in 00:09:59");

  // A tick already queued when the switch went off only says so.
  form_.OnAutoBackupClick();
  form_.OnTimerTick();
  EXPECT_EQ(form_.status_frame.Caption(), "Auto Backup is Off.");
  EXPECT_EQ(form_.Schedule().ElapsedSeconds(), 301);
}

TEST_F(CountdownTest, MissingSelectionIsReportedOnEveryTick) {
  Load("16");
  ASSERT_EQ(fakes_.dialogs.Errors().size(), 1u);  // start-up's own report
  fakes_.dialogs.boxes.clear();
  Tick(10);
  EXPECT_EQ(ErrorLines(), std::vector<int>(10, 104));
  EXPECT_NE(fakes_.dialogs.boxes[0].text.find("in Tessaline2021/08/31.Form1.Timer1 at line 104"),
            std::string::npos);
  EXPECT_EQ(Runs(), 0u);

  form_.interval_list.Select(1);
  form_.OnIntervalListClick();
  fakes_.dialogs.boxes.clear();
  Tick(5);
  EXPECT_EQ(Runs(), 1u);
  EXPECT_TRUE(fakes_.dialogs.boxes.empty());
}

TEST_F(CountdownTest, EmptyListRunIsCleanAndOverwrittenAsUsual) {
  Load("1");
  form_.folder_list.Clear();
  Tick(5);
  const auto shown = TakeCaptions();
  const auto empty = std::find(shown.begin(), shown.end(), "No files added to backup.");
  ASSERT_NE(empty, shown.end());
  ASSERT_LT(empty + 2, shown.end());
  EXPECT_TRUE(StartsWith(*(empty + 1), "Auto Backup Complete at "));
  EXPECT_EQ(*(empty + 2), "Next backup will occur in 00:00:00");
}

TEST_F(CountdownTest, UncleanRunKeepsItsOwnStatusInViewUntilACleanRun) {
  Load("1");
  form_.destination_box.SetText("D:\\Nowhere");
  Tick(5);
  auto shown = TakeCaptions();
  EXPECT_EQ(CountStartingWith(shown, "Auto Backup Complete at "), 0);
  EXPECT_EQ(shown.back(), "D:\\Nowhere does not exist");
  // The countdown goes on in the progress bar; the failure stays in the status line.
  Tick(2);
  EXPECT_EQ(form_.status_frame.Caption(), "D:\\Nowhere does not exist");
  EXPECT_EQ(form_.progress_bar.Value(), 2);

  // Put right, the next timed run succeeds and the countdown text returns.
  form_.destination_box.SetText("D:\\Backups");
  Tick(3);
  shown = TakeCaptions();
  EXPECT_EQ(CountStartingWith(shown, "Auto Backup Complete at "), 1);
  EXPECT_EQ(shown.back(), "Next backup will occur in 00:00:00");
  Tick();
  EXPECT_EQ(form_.status_frame.Caption(), "Next backup will occur in 00:00:04");

  AddSourceFiles(2);
  fakes_.files.locked.insert(FakeFileSystem::Key(std::string(kSource) + "\\f1.txt"));
  Tick(4);
  shown = TakeCaptions();
  ASSERT_FALSE(shown.empty());
  EXPECT_TRUE(StartsWith(shown.back(), "Auto Backup Complete at "));
  EXPECT_NE(shown.back().find(" with errors in 1 of 1 folders (see View History Log)"),
            std::string::npos);
  Tick(3);
  EXPECT_NE(form_.status_frame.Caption().find(" with errors in 1 of 1 folders"), std::string::npos);
}

// Ticks are not re-entrant: one that arrives while an earlier tick runs is dropped.
TEST_F(CountdownTest, TickInsideTheDueTicksEventPassCannotStepOverTheDuePoint) {
  Load("1");
  Tick(4);
  fakes_.pump.At(1, [this] { Tick(); });  // arrives during step 116 of the fifth tick
  Tick();
  EXPECT_EQ(Runs(), 1u);
  EXPECT_EQ(form_.Schedule().ElapsedSeconds(), 0);
  Tick(5);
  EXPECT_EQ(Runs(), 2u);
}

TEST_F(CountdownTest, TicksDuringATimedRunNeitherCountNorStartASecondRun) {
  Load("1");
  AddSourceFiles(6);
  Tick(4);
  // Fifth tick's passes: 1 before the due test, 2 before the run, 3..8 during the copy.
  fakes_.pump.At(2, [this] { form_.OnIntervalListClick(); });
  for (int pass = 3; pass <= 8; ++pass) fakes_.pump.At(pass, [this] { Tick(); });
  TakeCaptions();
  Tick();
  EXPECT_EQ(Runs(), 1u);
  EXPECT_EQ(form_.Schedule().ElapsedSeconds(), 0);
  const auto shown = TakeCaptions();
  // Nothing counted over "Backup is running in background..." while the run went on.
  ASSERT_GE(shown.size(), 3u);
  EXPECT_EQ(shown[1], "Backup is running in background...");
  EXPECT_TRUE(StartsWith(shown[2], "Auto Backup Complete at "));
}

}  // namespace
}  // namespace tess::test
