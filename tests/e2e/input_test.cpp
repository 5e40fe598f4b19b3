// User input reaches the program through the real controls: list keys and double-clicks,
// typing into the destination box, the option controls, the interval list, the tray icon,
// minimising, and the ways a session or a close request ends the program.
#include <gtest/gtest.h>

#include <string>

#include "view/control_ids.h"
#include "win_support/e2e_fixture.h"
#include "win_support/window_queries.h"

namespace tess::e2e {
namespace {

using namespace tess::test;
using namespace tess::view;

constexpr UINT kTrayCallback = 1125;

class InputE2eTest : public EndToEndTest {};

TEST_F(InputE2eTest, DeleteKeyAndDoubleClickRemoveTheSelectedFolder) {
  SeedSetting(L"Folders", L"C:\\A;C:\\B;C:\\C;");
  App& app = StartProgram();
  ASSERT_EQ(app.ListItems(kIdFolderList).size(), 3u);

  app.SelectListItem(kIdFolderList, 1);
  EXPECT_EQ(app.ListSelection(kIdFolderList), 1);
  app.KeyDown(kIdFolderList, VK_DELETE);
  ASSERT_TRUE(WaitUntil([&] { return app.ListItems(kIdFolderList).size() == 2; }));
  EXPECT_EQ(app.ListItems(kIdFolderList), (std::vector<std::wstring>{L"C:\\A", L"C:\\C"}));
  EXPECT_TRUE(SettingBecomes(L"Folders", L"C:\\A;C:\\C;"));

  // A double-click on the empty part of the list still acts on the selected entry.
  app.SelectListItem(kIdFolderList, 0);
  const POINT last = app.ListItemCentre(kIdFolderList, 1);
  app.DoubleClickList(kIdFolderList, POINT{last.x, last.y + 60});
  ASSERT_TRUE(WaitUntil([&] { return app.ListItems(kIdFolderList).size() == 1; }));
  EXPECT_EQ(app.ListItems(kIdFolderList), std::vector<std::wstring>{L"C:\\C"});

  // Other keys remove nothing.
  app.SelectListItem(kIdFolderList, 0);
  app.KeyDown(kIdFolderList, VK_BACK);
  ASSERT_TRUE(app.Settle());
  EXPECT_EQ(app.ListItems(kIdFolderList).size(), 1u);

  // Killed without a close request: the removals are already stored.
  app.Kill();
  EXPECT_EQ(ReadSetting(L"Folders"), L"C:\\C;");
}

TEST_F(InputE2eTest, ClosingTheWindowStoresTheRemainingFoldersInOrder) {
  SeedSetting(L"Folders", L"C:\\A;D:\\a;b\\;C:\\B;E:\\;");
  App& app = StartProgram();
  ASSERT_EQ(app.ListItems(kIdFolderList),
            (std::vector<std::wstring>{L"C:\\A", L"D:\\a", L"b\\", L"C:\\B", L"E:\\"}));
  app.SelectListItem(kIdFolderList, 1);
  app.KeyDown(kIdFolderList, VK_DELETE);
  ASSERT_TRUE(WaitUntil([&] { return app.ListCount(kIdFolderList) == 4; }));
  app.SelectListItem(kIdFolderList, 2);
  app.DoubleClickList(kIdFolderList, app.ListItemCentre(kIdFolderList, 2));
  ASSERT_TRUE(WaitUntil([&] { return app.ListCount(kIdFolderList) == 3; }));
  app.Close();
  ASSERT_TRUE(app.WaitForExit());
  EXPECT_EQ(ReadSetting(L"Folders"), L"C:\\A;b\\;E:\\;");
}

TEST_F(InputE2eTest, OptionControlsAndTheDestinationBoxStoreEveryChange) {
  App& app = StartProgram();

  app.SetText(kIdDestinationBox, L"D:\\Backups");
  EXPECT_TRUE(SettingBecomes(L"Path", L"D:\\Backups"));
  app.SetText(kIdDestinationBox, L"");
  EXPECT_TRUE(SettingBecomes(L"Path", L""));

  app.Click(kIdOverwriteOption);
  EXPECT_TRUE(SettingBecomes(L"Backup Option", L"2"));
  EXPECT_EQ(app.CheckState(kIdOverwriteOption), BST_CHECKED);
  EXPECT_EQ(app.CheckState(kIdCreateNewOption), BST_UNCHECKED);
  // Clicking the option that is already on changes nothing.
  app.Click(kIdOverwriteOption);
  ASSERT_TRUE(app.Settle());
  EXPECT_EQ(app.CheckState(kIdOverwriteOption), BST_CHECKED);

  app.Click(kIdStampBox);
  EXPECT_TRUE(SettingBecomes(L"Include Date", L"Off"));
  EXPECT_EQ(app.CheckState(kIdStampBox), BST_UNCHECKED);
  EXPECT_TRUE(WaitUntil(
      [&] { return !app.Enabled(kIdCreateNewOption) && !app.Enabled(kIdOverwriteOption); }));

  app.Click(kIdStartInTrayBox);
  EXPECT_TRUE(SettingBecomes(L"Minimized", L"On"));

  app.SelectListItem(kIdIntervalList, 0);
  EXPECT_TRUE(SettingBecomes(L"OftenIndex", L"1"));

  app.Click(kIdAutoBackupButton);
  EXPECT_TRUE(SettingBecomes(L"StartStopState", L"Off"));
  EXPECT_EQ(app.Text(kIdAutoBackupButton), L"Turn On Auto Backup");
}

TEST_F(InputE2eTest, FirstMinimiseGoesToTheTrayAndATrayClickBringsTheWindowBack) {
  App& app = StartProgram();

  app.Post(WM_SYSCOMMAND, SC_MINIMIZE);
  ASSERT_TRUE(WaitUntil([&] { return !app.MainVisible(); }, std::chrono::seconds(5)));
  // The notice balloon is waiting; a left click on the tray icon ends the wait early.
  app.Post(kTrayCallback, 0, WM_LBUTTONUP);
  ASSERT_TRUE(WaitUntil([&] { return app.MainVisible() && !app.Iconic(); }));

  // Later minimises stay on the taskbar.
  app.Post(WM_SYSCOMMAND, SC_MINIMIZE);
  ASSERT_TRUE(WaitUntil([&] { return app.Iconic(); }, std::chrono::seconds(5)));
  ASSERT_TRUE(app.Settle());
  EXPECT_TRUE(app.MainVisible());
  app.Post(WM_SYSCOMMAND, SC_RESTORE);
  ASSERT_TRUE(WaitUntil([&] { return !app.Iconic(); }, std::chrono::seconds(5)));
}

TEST_F(InputE2eTest, EndingTheSessionStoresTheListAndEndsTheProgram) {
  SeedSetting(L"Folders", L"C:\\A;C:\\B");
  App& app = StartProgram();
  ASSERT_NO_FATAL_FAILURE(EndTheSession(app));
  EXPECT_EQ(ReadSetting(L"Folders"), L"C:\\A;C:\\B;");
}

TEST_F(InputE2eTest, ClosingWhileAHandlerWaitsEndsTheProgramAtOnce) {
  SeedSetting(L"Folders", L"C:\\A");
  App& app = StartProgram();
  // Minimising shows the balloon and waits five seconds for it, letting events through.
  app.Post(WM_SYSCOMMAND, SC_MINIMIZE);
  ASSERT_TRUE(WaitUntil([&] { return !app.MainVisible(); }, std::chrono::seconds(5)));
  const auto start = std::chrono::steady_clock::now();
  app.Post(WM_CLOSE);
  ASSERT_TRUE(app.WaitForExit(std::chrono::seconds(4)));
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(3));
  EXPECT_EQ(ReadSetting(L"Folders"), L"C:\\A;");
}

TEST_F(InputE2eTest, AListOfFortyThousandFoldersIsShownPromptly) {
  std::wstring folders;
  for (int i = 0; i < 40000; ++i) folders += L"C:\\Data\\Folder " + std::to_wstring(i) + L";";
  SeedSetting(L"Folders", folders);
  const auto start = std::chrono::steady_clock::now();
  App app;
  ASSERT_NE(app.WaitForMainWindow(std::chrono::seconds(60)), nullptr);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
  ASSERT_EQ(app.ListCount(kIdFolderList), 40000);
  EXPECT_EQ(app.ListItem(kIdFolderList, 0), L"C:\\Data\\Folder 0");
  EXPECT_EQ(app.ListItem(kIdFolderList, 39999), L"C:\\Data\\Folder 39999");
  app.SelectListItem(kIdFolderList, 39998);
  app.KeyDown(kIdFolderList, VK_DELETE);
  ASSERT_TRUE(WaitUntil([&] { return app.ListCount(kIdFolderList) == 39999; }));
  EXPECT_EQ(app.ListItem(kIdFolderList, 39998), L"C:\\Data\\Folder 39999");
}

TEST_F(InputE2eTest, BackupNowLabelsTheProgressBarAndACloseDuringItsPauseEndsAtOnce) {
  App& app = StartProgram();
  EXPECT_EQ(app.Text(kIdProgressBar), L"");
  app.Click(kIdBackupNowButton);
  ASSERT_TRUE(WaitUntil([&] { return app.Text(kIdProgressBar) == L"Progress Bar"; }));
  // The status stays for a few seconds before the countdown text comes back; closing now
  // must not wait for that.
  const auto start = std::chrono::steady_clock::now();
  app.Close();
  ASSERT_TRUE(app.WaitForExit(std::chrono::seconds(4)));
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(3));
  EXPECT_EQ(ReadSetting(L"Folders"), L"");
}

}  // namespace
}  // namespace tess::e2e
