// The start-up sequence against test doubles: what the window shows and what the store holds.
#include <gtest/gtest.h>

#include "support/fakes.h"

namespace tess::test {
namespace {

class StartupTest : public ::testing::Test {
 protected:
  MainForm& Load() {
    form_ = std::make_unique<MainForm>(fakes_.Wire());
    form_->OnLoad();
    return *form_;
  }
  FakeServices fakes_;
  std::unique_ptr<MainForm> form_;
};

TEST_F(StartupTest, FreshStoreGivesTheDesignedDefaultsAndWritesThreeKeys) {
  MainForm& f = Load();
  EXPECT_EQ(f.Caption(), "Tessaline");
  EXPECT_EQ(f.folder_list.Count(), 0);
  EXPECT_EQ(f.folder_list.ColumnHeader(), "Folder(s) To Backup");
  EXPECT_EQ(f.destination_box.Text(), "C:\\Users\\Ann\\Desktop\\");
  ASSERT_EQ(f.interval_list.Count(), 15);
  EXPECT_EQ(f.interval_list.Selected(), 7);
  EXPECT_EQ(f.interval_list.ItemText(7), "Backup every 15 minutes");
  EXPECT_EQ(f.auto_backup_button.Caption(), "Turn Off Auto Backup");
  EXPECT_EQ(f.timer.Interval(), 1000);
  EXPECT_EQ(f.status_frame.Caption(), "Next backup will occur in xx:xx:xx");
  EXPECT_TRUE(f.create_new_option.Value());
  EXPECT_FALSE(f.overwrite_option.Value());
  EXPECT_TRUE(f.stamp_box.Checked());
  EXPECT_FALSE(f.start_with_windows_box.Checked());
  EXPECT_FALSE(f.start_in_tray_box.Checked());
  EXPECT_TRUE(f.start_in_tray_box.Visible());
  EXPECT_TRUE(f.Visible());
  EXPECT_FALSE(f.is_loading);
  EXPECT_EQ(f.History().HistoryLogPath(), "C:\\Users\\Ann\\Temp\\Tessaline.txt");
  EXPECT_EQ(fakes_.dialogs.app_title, "Tessaline");
  EXPECT_TRUE(fakes_.dialogs.boxes.empty());

  // The first timed backup falls due a whole interval (15 minutes) after this first start.
  std::map<std::string, std::string> expected{{"Path", "C:\\Users\\Ann\\Desktop\\"},
                                              {"Backup Option", "1"},
                                              {"Include Date", "On"},
                                              {"Next Backup Due", "2021-08-31T16:20:06Z"}};
  EXPECT_EQ(fakes_.settings.values, expected);
  EXPECT_EQ(fakes_.registry.calls, 0);
}

TEST_F(StartupTest, ReadsEveryKeyOnceInItsOrder) {
  Load();
  const std::vector<std::string> expected{"Folders",
                                          "Path",
                                          "OftenIndex",
                                          "StartStopState",
                                          "Next Backup Due",
                                          "Missed Backup Owed",
                                          "Latest Backup Status",
                                          "Latest Backup Clean",
                                          "Backup Option",
                                          "Include Date",
                                          "Windows Startup",
                                          "Minimized",
                                          "Keep Fewer Backups"};
  EXPECT_EQ(fakes_.settings.read_log, expected);
}

TEST_F(StartupTest, TrayIconCarriesTheProgramsNameAndIconFromItsFirstAdd) {
  MainForm& f = Load();
  EXPECT_TRUE(f.tray_icon.InTray());
  EXPECT_EQ(f.tray_icon.TrayTip(), "Tessaline");
  EXPECT_EQ(f.tray_icon.Icon(), fakes_.notify_icon.program_icon);
  ASSERT_FALSE(fakes_.notify_icon.calls.empty());
  const auto& add = fakes_.notify_icon.calls.front();
  EXPECT_EQ(add.kind, FakeNotifyIcon::Call::Kind::kAdd);
  EXPECT_EQ(add.tip, "Tessaline");
  EXPECT_EQ(add.picture, fakes_.notify_icon.program_icon);
  for (size_t i = 1; i < fakes_.notify_icon.calls.size(); ++i) {
    EXPECT_NE(fakes_.notify_icon.calls[i].kind, FakeNotifyIcon::Call::Kind::kAdd);
    EXPECT_NE(fakes_.notify_icon.calls[i].kind, FakeNotifyIcon::Call::Kind::kRemove);
    EXPECT_NE(fakes_.notify_icon.calls[i].tip, "Telnet Server");
  }
}

TEST_F(StartupTest, OftenIndexOutOfRangeReportsOnceAndSelectsNothing) {
  fakes_.settings.values["OftenIndex"] = "16";
  MainForm& f = Load();
  EXPECT_EQ(f.interval_list.Selected(), 0);
  ASSERT_EQ(fakes_.dialogs.Errors().size(), 1u);
  // Every later step still ran.
  EXPECT_EQ(f.timer.Interval(), 1000);
  EXPECT_TRUE(f.create_new_option.Value());
  EXPECT_FALSE(f.History().HistoryLogPath().empty());
}

TEST_F(StartupTest, NonNumericOftenIndexReportsTheConversionAndTheSelection) {
  fakes_.settings.values["OftenIndex"] = "x";
  MainForm& f = Load();
  EXPECT_EQ(f.interval_list.Selected(), 0);
  const auto errors = fakes_.dialogs.Errors();
  ASSERT_EQ(errors.size(), 2u);
  EXPECT_EQ(errors[0].text,
            "Type mismatch\r\nin Tessaline2021/08/31.Form1.Form_Load at line 124\r\r"
            "Please email screenshot of this message to support@tessaline.example");
  EXPECT_NE(errors[1].text.find("at line 126"), std::string::npos);
  EXPECT_EQ(errors[0].icon, BoxIcon::kExclamation);
  EXPECT_EQ(errors[0].buttons, BoxButtons::kOk);
}

TEST_F(StartupTest, HugeAndGarbageNumbersNeverCrash) {
  fakes_.settings.values["OftenIndex"] = std::string(3 << 20, '9');
  fakes_.settings.values["Backup Option"] = "99999999999999999999";
  MainForm& f = Load();
  EXPECT_EQ(f.interval_list.Selected(), 0);
  EXPECT_TRUE(f.overwrite_option.Value());
  EXPECT_EQ(fakes_.settings.values["Backup Option"], "2");
}

TEST_F(StartupTest, BackupOptionOtherThanOneSelectsOverwriteAndIsRewritten) {
  fakes_.settings.values["Backup Option"] = "7";
  MainForm& f = Load();
  EXPECT_TRUE(f.overwrite_option.Value());
  EXPECT_FALSE(f.create_new_option.Value());
  EXPECT_EQ(fakes_.settings.values["Backup Option"], "2");
  EXPECT_TRUE(fakes_.dialogs.boxes.empty());
}

TEST_F(StartupTest, StartStopStateComparesExactly) {
  fakes_.settings.values["StartStopState"] = "on";
  MainForm& f = Load();
  EXPECT_EQ(f.auto_backup_button.Caption(), "Turn On Auto Backup");
  EXPECT_EQ(f.timer.Interval(), 0);
  EXPECT_EQ(f.status_frame.Caption(), "Next backup will occur in xx:xx:xx");
}

TEST_F(StartupTest, StartStopStateOffShowsTurnedOff) {
  fakes_.settings.values["StartStopState"] = "Off";
  MainForm& f = Load();
  EXPECT_EQ(f.auto_backup_button.Caption(), "Turn On Auto Backup");
  EXPECT_EQ(f.status_frame.Caption(), "Auto Backup is Turned Off.");
  EXPECT_EQ(f.timer.Interval(), 0);
}

TEST_F(StartupTest, IncludeDateInOtherCaseLeavesStampOffAndButtonsEnabled) {
  fakes_.settings.values["Include Date"] = "on";
  MainForm& f = Load();
  EXPECT_FALSE(f.stamp_box.Checked());
  EXPECT_TRUE(f.create_new_option.Enabled());
  EXPECT_TRUE(f.overwrite_option.Enabled());
  EXPECT_EQ(fakes_.settings.values["Include Date"], "on");  // unchecked box writes nothing
}

TEST_F(StartupTest, WindowsStartupOnChecksTheBoxWithoutTouchingTheRunKey) {
  fakes_.settings.values["Windows Startup"] = "On";
  MainForm& f = Load();
  EXPECT_TRUE(f.start_with_windows_box.Checked());
  EXPECT_TRUE(f.start_in_tray_box.Visible());
  EXPECT_EQ(fakes_.registry.calls, 0);
  EXPECT_EQ(std::count(fakes_.settings.write_log.begin(), fakes_.settings.write_log.end(),
                       "Windows Startup=On"),
            0);
}

TEST_F(StartupTest, MinimizedOnStartsHiddenInTheTrayWithOneBalloon) {
  fakes_.settings.values["Minimized"] = "On";
  MainForm& f = Load();
  EXPECT_FALSE(f.Visible());
  EXPECT_EQ(f.State(), WindowState::kNormal);
  EXPECT_TRUE(f.tray_notice_shown);
  EXPECT_TRUE(f.tray_icon.InTray());
  int balloons = 0;
  for (const auto& call : fakes_.notify_icon.calls) {
    if (call.kind == FakeNotifyIcon::Call::Kind::kShowBalloon && !call.text.empty()) {
      ++balloons;
      EXPECT_EQ(call.title, "Tessaline");
      EXPECT_EQ(call.timeout_ms, 5000u);
    }
  }
  EXPECT_EQ(balloons, 1);
  EXPECT_EQ(fakes_.settings.values["Minimized"], "On");
}

TEST_F(StartupTest, StoredPathIsRestoredAndWrittenBack) {
  fakes_.settings.values["Path"] = "Q:\\Nowhere at all";
  MainForm& f = Load();
  EXPECT_EQ(f.destination_box.Text(), "Q:\\Nowhere at all");
  EXPECT_EQ(std::count(fakes_.settings.write_log.begin(), fakes_.settings.write_log.end(),
                       "Path=Q:\\Nowhere at all"),
            1);
}

TEST_F(StartupTest, MissingDesktopReportsStepAndKeepsInitialText) {
  fakes_.shell.desktop = "";
  fakes_.settings.values["Path"] = "D:\\Backups";
  MainForm& f = Load();
  EXPECT_EQ(f.destination_box.Text(), "");
  ASSERT_EQ(fakes_.dialogs.Errors().size(), 1u);
  EXPECT_NE(fakes_.dialogs.Errors()[0].text.find("at line 120"), std::string::npos);
}

TEST_F(StartupTest, MissingTempPutsTheLogAtTheDriveRoot) {
  fakes_.environment.variables.clear();
  MainForm& f = Load();
  EXPECT_EQ(f.History().HistoryLogPath(), "\\Tessaline.txt");
}

TEST_F(StartupTest, CustomCursorIsLoadedOnlyWhenItsFileIsThere) {
  EXPECT_FALSE(Load().HasCustomCursor());
  fakes_.files.AddFile("C:\\Program Files\\Tessaline\\HAND-M.CUR", "cur");
  EXPECT_TRUE(Load().HasCustomCursor());
}

TEST_F(StartupTest, SkinFileSwitchesToButtonFaceColours) {
  EXPECT_EQ(Load().BackColor(), kWhite);
  fakes_.files.AddFile("C:\\Program Files\\Tessaline\\x\\o.cjs", "skin");
  EXPECT_EQ(Load().BackColor(), kButtonFace);
}

TEST_F(StartupTest, WebSiteOpensOnlyOnTheDrawOfSeven) {
  fakes_.clock.random_fraction = 0.065;  // draws 7
  Load();
  ASSERT_EQ(fakes_.shell.started.size(), 1u);
  EXPECT_EQ(fakes_.shell.started[0].program, "C:\\WINDOWS\\explorer.exe");
  EXPECT_TRUE(fakes_.shell.started[0].minimized);
  fakes_.shell.started.clear();
  fakes_.clock.random_fraction = 0.07;  // draws 8
  Load();
  EXPECT_TRUE(fakes_.shell.started.empty());
}

}  // namespace
}  // namespace tess::test
