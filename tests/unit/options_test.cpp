// The option controls, the start-with-Windows entry, and the destination and Add Folder commands.
#include <gtest/gtest.h>

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
  Form1& Load() {
    form_ = std::make_unique<Form1>(fakes_.Wire());
    form_->Form_Load();
    fakes_.settings.write_log.clear();
    return *form_;
  }
  FakeServices fakes_;
  std::unique_ptr<Form1> form_;
};

TEST_F(OptionsTest, StartWithWindowsWritesTheRunEntryForTheRunningProgram) {
  Form1& f = Load();
  f.Check4.SetValue(1);
  // Quoted: unquoted, Windows would first try to start "C:\Program.exe".
  EXPECT_EQ(fakes_.registry.values[kMachineRunValue],
            "\"C:\\Program Files\\Tessaline\\Tessaline.exe\"");
  EXPECT_EQ(fakes_.settings.values["Windows Startup"], "On");
  EXPECT_TRUE(f.Check8.Visible());
}

TEST_F(OptionsTest, UncheckingClearsAndHidesStartInTrayAndRemovesTheEntry) {
  fakes_.settings.values["Windows Startup"] = "On";
  fakes_.settings.values["Minimized"] = "On";
  Form1& f = Load();
  f.SetVisible(true);
  // As this version writes it, and unquoted as older versions did: both go by name.
  fakes_.registry.values[kMachineRunValue] = "\"C:\\Program Files\\Tessaline\\Tessaline.exe\"";
  fakes_.registry.values[kUserRunValue] = "C:\\Program Files\\Tessaline\\Tessaline.exe";
  f.Check4.SetValue(0);
  EXPECT_EQ(fakes_.settings.write_log,
            (std::vector<std::string>{"Minimized=Off", "Windows Startup=Off"}));
  EXPECT_FALSE(f.Check8.Checked());
  EXPECT_FALSE(f.Check8.Visible());
  EXPECT_TRUE(fakes_.registry.values.empty());
  f.Check4.SetValue(1);
  EXPECT_TRUE(f.Check8.Visible());
  EXPECT_FALSE(f.Check8.Checked());
  EXPECT_EQ(fakes_.registry.values.count(kMachineRunValue), 1u);
}

TEST_F(OptionsTest, WithoutAdministratorRightsTheEntryGoesToTheUsersRunKey) {
  fakes_.registry.machine_writable = false;
  Form1& f = Load();
  f.Check4.SetValue(1);
  EXPECT_EQ(fakes_.registry.values.count(kMachineRunValue), 0u);
  EXPECT_EQ(fakes_.registry.values[kUserRunValue],
            "\"C:\\Program Files\\Tessaline\\Tessaline.exe\"");
  f.Check4.SetValue(0);
  EXPECT_TRUE(fakes_.registry.values.empty());
}

TEST_F(OptionsTest, EntryIsNamedAfterTheModuleNotAnyOtherProgramBesideIt) {
  FakeRegistry registry;
  EXPECT_TRUE(AddToWindowsStartup(registry, "C:\\Tessaline.exe"));
  EXPECT_EQ(registry.values.begin()->second, "\"C:\\Tessaline.exe\"");
  EXPECT_NE(registry.values.begin()->first.find("|Tessaline.exe"), std::string::npos);
}

TEST_F(OptionsTest, DateStampBoxDisablesTheModesAfterAndEnablesThemBeforeSaving) {
  Form1& f = Load();
  std::vector<std::string> seen;
  fakes_.settings.on_write = [&](const std::string& key) {
    seen.push_back(key + (f.Option3.Enabled() ? " enabled" : " disabled"));
  };
  f.Check6.SetValue(0);
  EXPECT_FALSE(f.Option3.Enabled());
  EXPECT_FALSE(f.Option4.Enabled());
  EXPECT_TRUE(f.Option3.Value());  // the selection stays
  f.Check6.SetValue(1);
  EXPECT_EQ(seen, (std::vector<std::string>{"Include Date disabled", "Include Date disabled"}));
  EXPECT_TRUE(f.Option4.Enabled());
}

TEST_F(OptionsTest, OptionButtonsAreOneGroupAndEachSelectionWrites) {
  Form1& f = Load();
  f.Option4.SetValue(true);
  EXPECT_FALSE(f.Option3.Value());
  f.Option3.SetValue(true);
  EXPECT_FALSE(f.Option4.Value());
  EXPECT_EQ(fakes_.settings.write_log,
            (std::vector<std::string>{"Backup Option=2", "Backup Option=1"}));
}

TEST_F(OptionsTest, StartInTrayWritesOnAndOff) {
  Form1& f = Load();
  f.Check8.SetValue(1);
  f.Check8.SetValue(0);
  EXPECT_EQ(fakes_.settings.write_log, (std::vector<std::string>{"Minimized=On", "Minimized=Off"}));
}

TEST_F(OptionsTest, DestinationBoxStoresEveryChangeAndSelectsAllOnFocus) {
  Form1& f = Load();
  f.Text5.SetText("D");
  f.Text5.SetText("D:");
  f.Text5.SetText("");
  EXPECT_EQ(fakes_.settings.write_log, (std::vector<std::string>{"Path=D", "Path=D:", "Path="}));
  f.Text5.SetText("D:\\Backups");
  f.Text5_GotFocus();
  EXPECT_EQ(f.Text5.SelStart(), 0);
  EXPECT_EQ(f.Text5.SelLength(), 10);
}

TEST_F(OptionsTest, BrowseButtonFillsTheBoxUnlessCancelled) {
  fakes_.settings.values["LastFolder"] = "Q:\\missing";
  Form1& f = Load();
  const std::string before = f.Text5.Text();
  fakes_.shell.browse_answers = {"", "E:\\"};
  f.PushButton1_Click();
  EXPECT_EQ(f.Text5.Text(), before);
  EXPECT_TRUE(fakes_.settings.write_log.empty());
  f.PushButton1_Click();
  EXPECT_EQ(f.Text5.Text(), "E:\\");
  EXPECT_EQ(fakes_.settings.values["Path"], "E:\\");
  ASSERT_EQ(fakes_.shell.browses.size(), 2u);
  EXPECT_EQ(fakes_.shell.browses[0].title, "Please select folder:");
  EXPECT_EQ(fakes_.shell.browses[0].start, "Q:\\missing");
}

TEST_F(OptionsTest, AddFolderAppendsEachChoiceUnchangedAndStoresTheList) {
  Form1& f = Load();
  fakes_.shell.browse_answers = {"C:\\Data", "C:\\Data", ""};
  f.PushButton7_Click();
  f.PushButton7_Click();
  f.PushButton7_Click();
  EXPECT_EQ(f.ListView1.Items(), (std::vector<std::string>{"C:\\Data", "C:\\Data"}));
  EXPECT_EQ(fakes_.settings.values["Folders"], "C:\\Data;C:\\Data;");
  ASSERT_EQ(fakes_.shell.browses.size(), 3u);
  EXPECT_EQ(fakes_.shell.browses[0].title, "Browse for folder:");
  EXPECT_EQ(fakes_.shell.browses[0].start, "");
}

TEST_F(OptionsTest, ViewThisFolderPassesTheBoxAsOneArgumentAndReportsAFailure) {
  Form1& f = Load();
  f.Text5.SetText("D:\\My Backups");
  f.PushButton2_Click();
  ASSERT_EQ(fakes_.shell.started.size(), 1u);
  EXPECT_EQ(fakes_.shell.started[0].program, "C:\\WINDOWS\\explorer.exe");
  EXPECT_EQ(fakes_.shell.started[0].argument, "D:\\My Backups");
  EXPECT_FALSE(fakes_.shell.started[0].minimized);
  fakes_.shell.fail_start = true;
  f.PushButton2_Click();
  ASSERT_EQ(fakes_.dialogs.Errors().size(), 1u);
  EXPECT_NE(fakes_.dialogs.Errors()[0].text.find("PushButton2_Click at line 100"),
            std::string::npos);
}

TEST_F(OptionsTest, HelpNamesTheContactPage) {
  Form1& f = Load();
  f.PushButton11_Click();
  ASSERT_EQ(fakes_.dialogs.boxes.size(), 1u);
  EXPECT_EQ(fakes_.dialogs.boxes[0].text.rfind("Questions? Please contact Team Quintaro at ", 0),
            0u);
  EXPECT_EQ(fakes_.dialogs.boxes[0].title, "");
}

}  // namespace
}  // namespace tess::test
