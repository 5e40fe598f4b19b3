// Backup Now: its status texts, busy pointer, progress reset and pause, and runs that start
// inside one another through the event pump.
#include "scheduler_fixture.h"

namespace tess::test {
namespace {

using BackupNowTest = SchedulerTest;

struct Shown {
  std::string caption;
  Pointer pointer;
  bool operator==(const Shown&) const = default;
};

TEST_F(BackupNowTest, FailingRunShowsItsStatusForTheWholePauseThenTheEarlierText) {
  fakes_.settings.values["StartStopState"] = "Off";
  Load();
  form_.destination_box.SetText("D:\\Nowhere");
  form_.progress_bar.SetMax(900);
  form_.progress_bar.SetValue(300);
  std::vector<Shown> shown;
  form_.status_frame.SetViewListener([&] {
    shown.push_back({form_.status_frame.Caption(), form_.MousePointer()});
  });
  std::vector<Shown> during_pause;
  fakes_.pump.every_call = [&] {
    fakes_.clock.Advance(0.25);
    during_pause.push_back({form_.status_frame.Caption(), form_.MousePointer()});
  };

  form_.OnBackupNowClick();
  EXPECT_EQ(shown, (std::vector<Shown>{{"Backing up files...", Pointer::kDefault},
                                       {"D:\\Nowhere does not exist", Pointer::kHourglass},
                                       {"Auto Backup is Turned Off.", Pointer::kDefault}}));
  EXPECT_EQ(during_pause,
            std::vector<Shown>(20, {"D:\\Nowhere does not exist", Pointer::kDefault}));
  EXPECT_EQ(form_.progress_bar.Value(), 0);
  EXPECT_EQ(form_.progress_bar.Text(), "Progress Bar");
  EXPECT_EQ(form_.MousePointer(), Pointer::kDefault);
  EXPECT_TRUE(fakes_.dialogs.boxes.empty());
}

TEST_F(BackupNowTest, FolderErrorsAndAnEmptyListStayInViewDuringThePause) {
  fakes_.settings.values["StartStopState"] = "Off";
  Load();
  AddSourceFiles(1);
  fakes_.files.locked.insert(FakeFileSystem::Key(std::string(kSource) + "\\f0.txt"));
  std::string paused_on;
  fakes_.pump.every_call = [&] {
    fakes_.clock.Advance(0.25);
    paused_on = form_.status_frame.Caption();
  };
  form_.OnBackupNowClick();
  EXPECT_NE(paused_on.find(" with errors in 1 of 1 folders (see View History Log)"),
            std::string::npos);

  form_.folder_list.Clear();
  form_.OnBackupNowClick();
  EXPECT_EQ(paused_on, "No files added to backup.");
  EXPECT_EQ(form_.status_frame.Caption(), "Auto Backup is Turned Off.");
}

TEST_F(BackupNowTest, TicksDuringThePauseCountAndTheEarlierTextReturns) {
  Load();
  Tick(300);
  DeliverTicksEverySecond();
  TakeCaptions();
  form_.OnBackupNowClick();
  const auto shown = TakeCaptions();
  EXPECT_GT(CountStartingWith(shown, "Next backup will occur in 00:09:5"), 0);
  EXPECT_EQ(form_.status_frame.Caption(), "Next backup will occur in 00:10:00");
  EXPECT_EQ(form_.Schedule().ElapsedSeconds(), 300 + passes_ / 4);
  EXPECT_EQ(Runs(), 1u);
}

TEST_F(BackupNowTest, TimedRunThatFallsDueInsideBackupNowRunsThere) {
  Load("1");
  Tick(4);
  std::vector<Shown> shown;
  form_.status_frame.SetViewListener([&] {
    shown.push_back({form_.status_frame.Caption(), form_.MousePointer()});
  });
  fakes_.pump.At(1, [this] { Tick(); });  // the Backup Now run's first pass
  form_.OnBackupNowClick();

  EXPECT_EQ(Runs(), 2u);
  EXPECT_EQ(form_.Schedule().ElapsedSeconds(), 0);
  ASSERT_GE(shown.size(), 6u);
  EXPECT_EQ(shown[0].caption, "Backing up files...");
  EXPECT_EQ(shown[1], (Shown{"Next backup will occur in 00:00:00", Pointer::kHourglass}));
  EXPECT_EQ(shown[2], (Shown{"Backup is running in background...", Pointer::kHourglass}));
  EXPECT_TRUE(StartsWith(shown[3].caption, "Auto Backup Complete at "));
  // The timed tick puts back its own countdown text, then Backup Now's own run finishes.
  EXPECT_EQ(shown[4].caption, "Next backup will occur in 00:00:00");
  EXPECT_TRUE(StartsWith(shown[5].caption, "Auto Backup Complete at "));
  EXPECT_EQ(shown.back(), (Shown{"Next backup will occur in 00:00:01", Pointer::kDefault}));
}

TEST_F(BackupNowTest, BackupNowInsideATimedRunHoldsTheCountUntilTheRunEnds) {
  Load("1");
  Tick(4);
  DeliverTicksEverySecond();
  int elapsed_after_backup_now = -1;
  // Pass 1 is the tick's own, 2 the one before its run, 3 the run's first.
  fakes_.pump.At(3, [&] {
    form_.OnBackupNowClick();
    elapsed_after_backup_now = form_.Schedule().ElapsedSeconds();
  });
  TakeCaptions();
  Tick();

  EXPECT_EQ(Runs(), 2u);
  // The ticks of Backup Now's pause arrived inside the timed tick and were dropped.
  EXPECT_GT(passes_, 20);
  EXPECT_EQ(elapsed_after_backup_now, 5);
  EXPECT_EQ(form_.Schedule().ElapsedSeconds(), 0);
  const auto shown = TakeCaptions();
  EXPECT_EQ(CountStartingWith(shown, "Next backup will occur in "), 2);  // before and after
  EXPECT_EQ(std::count(shown.begin(), shown.end(), "Backup is running in background..."), 2);
  EXPECT_EQ(form_.status_frame.Caption(), "Next backup will occur in 00:00:00");
  EXPECT_EQ(form_.MousePointer(), Pointer::kDefault);
}

// A failed timed run keeps its status in view; a clean Backup Now after it is a clean run like
// any other and puts it right, during its pause and after.
TEST_F(BackupNowTest, CleanRunPutsRightAFailureKeptFromATimedRun) {
  Load("4");  // every minute
  form_.destination_box.SetText("D:\\Nowhere");
  Tick(60);
  ASSERT_EQ(form_.status_frame.Caption(), "D:\\Nowhere does not exist");
  Tick(3);
  ASSERT_EQ(form_.status_frame.Caption(), "D:\\Nowhere does not exist");

  form_.destination_box.SetText("D:\\Backups");
  DeliverTicksEverySecond();
  TakeCaptions();
  form_.OnBackupNowClick();
  auto shown = TakeCaptions();
  ASSERT_GE(shown.size(), 3u);
  EXPECT_EQ(shown[0], "Backing up files...");
  EXPECT_TRUE(StartsWith(shown[1], "Auto Backup Complete at ")) << shown[1];
  // The pause's ticks count down again, and the old failure does not come back at the end.
  EXPECT_EQ(std::count(shown.begin(), shown.end(), "D:\\Nowhere does not exist"), 0);
  EXPECT_GT(CountStartingWith(shown, "Next backup will occur in 00:00:5"), 0);
  EXPECT_EQ(form_.status_frame.Caption(),
            "Next backup will occur in 00:00:" + std::to_string(60 - 3 - passes_ / 4));
  fakes_.pump.every_call = nullptr;
  Tick();
  EXPECT_TRUE(StartsWith(form_.status_frame.Caption(), "Next backup will occur in 00:00:5"));
  EXPECT_EQ(Runs(), 1u);
}

TEST_F(BackupNowTest, CleanRunPutsRightAKeptFailureWhileAutomaticBackupIsOff) {
  Load("4");
  form_.destination_box.SetText("D:\\Nowhere");
  Tick(60);
  form_.OnAutoBackupClick();  // switched off: the status line keeps the failure
  ASSERT_EQ(form_.status_frame.Caption(), "D:\\Nowhere does not exist");
  form_.OnBackupNowClick();
  EXPECT_EQ(form_.status_frame.Caption(), "D:\\Nowhere does not exist");  // still failing

  form_.destination_box.SetText("D:\\Backups");
  form_.OnBackupNowClick();
  EXPECT_EQ(form_.status_frame.Caption(), "Next backup will occur in 00:01:00");
  form_.OnAutoBackupClick();
  Tick();
  EXPECT_EQ(form_.status_frame.Caption(), "Next backup will occur in 00:00:59");
}

TEST_F(BackupNowTest, FailedRunReplacesAKeptFailureWithItsNewerStatus) {
  Load("4");
  form_.destination_box.SetText("D:\\Nowhere");
  Tick(60);
  form_.destination_box.SetText("E:\\Gone");
  form_.OnBackupNowClick();
  EXPECT_EQ(form_.status_frame.Caption(), "E:\\Gone does not exist");
  Tick();
  EXPECT_EQ(form_.status_frame.Caption(), "E:\\Gone does not exist");

  // Once put right, a failed Backup Now is shown for its pause only, as before any failure:
  // the countdown's last text comes back, and the next tick shows the time really left, the
  // three pauses of five seconds (no tick came in them here) gone by.
  form_.destination_box.SetText("D:\\Backups");
  form_.OnBackupNowClick();
  form_.destination_box.SetText("E:\\Gone");
  form_.OnBackupNowClick();
  EXPECT_EQ(form_.status_frame.Caption(), "Next backup will occur in 00:00:55");
  Tick();
  EXPECT_EQ(form_.status_frame.Caption(), "Next backup will occur in 00:00:44");
}

}  // namespace
}  // namespace tess::test
