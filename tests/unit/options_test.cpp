// The option controls, the start-with-Windows entry, and the destination and Add Folder commands.
#include <gtest/gtest.h>

#include <map>
#include <string>

#include "options/option_controls.h"
#include "options/startup_entry.h"
#include "support/fakes.h"

namespace tess::test {
namespace {

constexpr char kMachineRunValue[] =
    "HKLM|SOFTWARE\\MICROSOFT\\WINDOWS\\CURRENTVERSION\\RUN\\|Tessaline.exe";
constexpr char kUserRunValue[] =
    "HKCU|Software\\Microsoft\\Windows\\CurrentVersion\\Run|Tessaline.exe";

class OptionsTest : public ::testing::Test {
 protected:
  MainForm& Load() {
    form_ = std::make_unique<MainForm>(fakes_.Wire());
    form_->OnLoad();
    fakes_.settings.write_log.clear();
    return *form_;
  }
  FakeServices fakes_;
  std::unique_ptr<MainForm> form_;
};

TEST_F(OptionsTest, StartWithWindowsWritesTheRunEntryForTheRunningProgram) {
  MainForm& f = Load();
  f.start_with_windows_box.SetValue(1);
  // Quoted: unquoted, Windows would first try to start "C:\Program.exe".
  EXPECT_EQ(fakes_.registry.values[kMachineRunValue],
            "\"C:\\Program Files\\Tessaline\\Tessaline.exe\"");
  EXPECT_EQ(fakes_.settings.values["Windows Startup"], "On");
  EXPECT_TRUE(f.start_in_tray_box.Visible());
}

TEST_F(OptionsTest, UncheckingClearsAndHidesStartInTrayAndRemovesTheEntry) {
  fakes_.settings.values["Windows Startup"] = "On";
  fakes_.settings.values["Minimized"] = "On";
  MainForm& f = Load();
  f.SetVisible(true);
  // As this version writes it, and unquoted as older versions did: both go by name.
  fakes_.registry.values[kMachineRunValue] = "\"C:\\Program Files\\Tessaline\\Tessaline.exe\"";
  fakes_.registry.values[kUserRunValue] = "C:\\Program Files\\Tessaline\\Tessaline.exe";
  f.start_with_windows_box.SetValue(0);
  EXPECT_EQ(fakes_.settings.write_log,
            (std::vector<std::string>{"Minimized=Off", "Windows Startup=Off"}));
  EXPECT_FALSE(f.start_in_tray_box.Checked());
  EXPECT_FALSE(f.start_in_tray_box.Visible());
  EXPECT_TRUE(fakes_.registry.values.empty());
  f.start_with_windows_box.SetValue(1);
  EXPECT_TRUE(f.start_in_tray_box.Visible());
  EXPECT_FALSE(f.start_in_tray_box.Checked());
  EXPECT_EQ(fakes_.registry.values.count(kMachineRunValue), 1u);
}

TEST_F(OptionsTest, WithoutAdministratorRightsTheEntryGoesToTheUsersRunKey) {
  fakes_.registry.machine_writable = false;
  MainForm& f = Load();
  f.start_with_windows_box.SetValue(1);
  EXPECT_EQ(fakes_.registry.values.count(kMachineRunValue), 0u);
  EXPECT_EQ(fakes_.registry.values[kUserRunValue],
            "\"C:\\Program Files\\Tessaline\\Tessaline.exe\"");
  f.start_with_windows_box.SetValue(0);
  EXPECT_TRUE(fakes_.registry.values.empty());
}

TEST_F(OptionsTest, EntryIsNamedAfterTheModuleNotAnyOtherProgramBesideIt) {
  FakeRegistry registry;
  EXPECT_TRUE(AddToWindowsStartup(registry, "C:\\Tessaline.exe"));
  EXPECT_EQ(registry.values.begin()->second, "\"C:\\Tessaline.exe\"");
  EXPECT_NE(registry.values.begin()->first.find("|Tessaline.exe"), std::string::npos);
}

TEST_F(OptionsTest, DateStampBoxDisablesTheModesAfterAndEnablesThemBeforeSaving) {
  MainForm& f = Load();
  std::vector<std::string> seen;
  fakes_.settings.on_write = [&](const std::string& key) {
    seen.push_back(key + (f.create_new_option.Enabled() ? " enabled" : " disabled"));
  };
  f.stamp_box.SetValue(0);
  EXPECT_FALSE(f.create_new_option.Enabled());
  EXPECT_FALSE(f.overwrite_option.Enabled());
  EXPECT_TRUE(f.create_new_option.Value());  // the selection stays
  f.stamp_box.SetValue(1);
  EXPECT_EQ(seen, (std::vector<std::string>{"Include Date disabled", "Include Date disabled"}));
  EXPECT_TRUE(f.overwrite_option.Enabled());
}

TEST_F(OptionsTest, OptionButtonsAreOneGroupAndEachSelectionWrites) {
  MainForm& f = Load();
  f.overwrite_option.SetValue(true);
  EXPECT_FALSE(f.create_new_option.Value());
  f.create_new_option.SetValue(true);
  EXPECT_FALSE(f.overwrite_option.Value());
  EXPECT_EQ(fakes_.settings.write_log,
            (std::vector<std::string>{"Backup Option=2", "Backup Option=1"}));
}

TEST_F(OptionsTest, StoredOptionsBecomeTheRunsChoicesAsTheRestoredControlsGiveThem) {
  using Stored = std::map<std::string, std::string>;
  const struct {
    Stored stored;
    RunChoices choices;
  } cases[] = {
      {{}, {FolderStamp::kDateAndTime, true, false}},
      {{{"Include Date", "Off"}, {"Keep Fewer Backups", "On"}}, {FolderStamp::kNone, true, false}},
      {{{"Backup Option", "2"}, {"Keep Fewer Backups", "On"}, {"Snapshot Links", "Off"}},
       {FolderStamp::kDate, false, true}},
      {{{"Backup Option", "new"}, {"Snapshot Links", "off"}}, {FolderStamp::kDate, true, false}},
  };
  for (const auto& c : cases) {
    fakes_.settings.values = c.stored;
    ProgramSettings settings(fakes_.settings);
    EXPECT_EQ(StoredRunChoices(settings), c.choices) << ::testing::PrintToString(c.stored);
    EXPECT_EQ(Load().Options().Choices(), c.choices) << ::testing::PrintToString(c.stored);
  }
}

TEST_F(OptionsTest, StartInTrayWritesOnAndOff) {
  MainForm& f = Load();
  f.start_in_tray_box.SetValue(1);
  f.start_in_tray_box.SetValue(0);
  EXPECT_EQ(fakes_.settings.write_log, (std::vector<std::string>{"Minimized=On", "Minimized=Off"}));
}

TEST_F(OptionsTest, DestinationBoxStoresEveryChangeAndSelectsAllOnFocus) {
  MainForm& f = Load();
  f.destination_box.SetText("D");
  f.destination_box.SetText("D:");
  f.destination_box.SetText("");
  EXPECT_EQ(fakes_.settings.write_log, (std::vector<std::string>{"Path=D", "Path=D:", "Path="}));
  f.destination_box.SetText("D:\\Backups");
  f.OnDestinationGotFocus();
  EXPECT_EQ(f.destination_box.SelStart(), 0);
  EXPECT_EQ(f.destination_box.SelLength(), 10);
}

TEST_F(OptionsTest, BrowseButtonFillsTheBoxUnlessCancelled) {
  fakes_.settings.values["LastFolder"] = "Q:\\missing";
  MainForm& f = Load();
  const std::string before = f.destination_box.Text();
  fakes_.shell.browse_answers = {"", "E:\\"};
  f.OnBrowseClick();
  EXPECT_EQ(f.destination_box.Text(), before);
  EXPECT_TRUE(fakes_.settings.write_log.empty());
  f.OnBrowseClick();
  EXPECT_EQ(f.destination_box.Text(), "E:\\");
  EXPECT_EQ(fakes_.settings.values["Path"], "E:\\");
  ASSERT_EQ(fakes_.shell.browses.size(), 2u);
  EXPECT_EQ(fakes_.shell.browses[0].title, "Please select folder:");
  EXPECT_EQ(fakes_.shell.browses[0].start, "Q:\\missing");
}

TEST_F(OptionsTest, AddFolderAppendsEachChoiceUnchangedAndStoresTheList) {
  MainForm& f = Load();
  fakes_.shell.browse_answers = {"C:\\Data", "C:\\Data", ""};
  f.OnAddFolderClick();
  f.OnAddFolderClick();
  f.OnAddFolderClick();
  EXPECT_EQ(f.folder_list.Items(), (std::vector<std::string>{"C:\\Data", "C:\\Data"}));
  EXPECT_EQ(fakes_.settings.values["Folders"], "C:\\Data;C:\\Data;");
  ASSERT_EQ(fakes_.shell.browses.size(), 3u);
  EXPECT_EQ(fakes_.shell.browses[0].title, "Browse for folder:");
  EXPECT_EQ(fakes_.shell.browses[0].start, "");
}

TEST_F(OptionsTest, ViewThisFolderPassesTheBoxAsOneArgumentAndReportsAFailure) {
  MainForm& f = Load();
  f.destination_box.SetText("D:\\My Backups");
  f.OnViewFolderClick();
  ASSERT_EQ(fakes_.shell.started.size(), 1u);
  EXPECT_EQ(fakes_.shell.started[0].program, "C:\\WINDOWS\\explorer.exe");
  EXPECT_EQ(fakes_.shell.started[0].argument, "D:\\My Backups");
  EXPECT_FALSE(fakes_.shell.started[0].minimized);
  fakes_.shell.fail_start = true;
  f.OnViewFolderClick();
  ASSERT_EQ(fakes_.dialogs.Errors().size(), 1u);
  EXPECT_NE(fakes_.dialogs.Errors()[0].text.find("PushButton2_Click at line 100"),
            std::string::npos);
}

TEST_F(OptionsTest, HelpNamesTheContactPage) {
  MainForm& f = Load();
  f.OnHelpClick();
  ASSERT_EQ(fakes_.dialogs.boxes.size(), 1u);
  EXPECT_EQ(fakes_.dialogs.boxes[0].text.rfind("Questions? Please contact Team Quintaro at ", 0),
            0u);
  EXPECT_EQ(fakes_.dialogs.boxes[0].title, "");
}

}  // namespace
}  // namespace tess::test
