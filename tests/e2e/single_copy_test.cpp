// One copy per session: starting the program again shows the running copy's window, restored
// from the tray or the taskbar, and the new start ends at once without touching any setting or
// the history log.
#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <string>

#include "view/control_ids.h"
#include "win_support/e2e_fixture.h"
#include "win_support/window_queries.h"

namespace tess::e2e {
namespace {

using namespace tess::test;
using namespace tess::view;
using namespace std::chrono_literals;

// Every key the program keeps, as stored now.
std::map<std::wstring, std::optional<std::wstring>> StoredSettings() {
  std::map<std::wstring, std::optional<std::wstring>> stored;
  for (const wchar_t* key :
       {L"Folders", L"Path", L"OftenIndex", L"StartStopState", L"Backup Option", L"Include Date",
        L"Windows Startup", L"Minimized", L"LastFolder"}) {
    stored[key] = ReadSetting(key);
  }
  return stored;
}

class SingleCopyE2eTest : public AutoBackupOffTest {
 protected:
  void SetUp() override {
    AutoBackupOffTest::SetUp();
    SeedFolders({L"C:\\Data\\Alpha", L"C:\\Data\\Beta"}, L"C:\\Backups\\");
    WriteBytes(HistoryLogPath(), "Alpha was backup saved at 1/2/2024 3:04:05 PM\r\n");
  }

  // Starts the program a second time and expects it to end at once, leaving the first copy
  // shown in front with everything stored as it was.
  void StartAgainAndExpectTheFirstInFront(App& first) {
    // Once its start-up has stored what it stores.
    ASSERT_TRUE(first.Settle());
    const auto settings = StoredSettings();
    const auto log = ReadBytes(HistoryLogPath());
    App second;
    ASSERT_TRUE(second.WaitForExit(30s)) << "the second start did not end";
    EXPECT_EQ(second.ExitCode(), 0u);
    EXPECT_TRUE(first.Running());
    EXPECT_TRUE(WaitUntil([&] { return first.MainVisible() && !first.Iconic(); }, 10s))
        << "the running copy's window was not shown";
    EXPECT_TRUE(WaitUntil([&] { return GetForegroundWindow() == first.Main(); }, 10s))
        << "the running copy's window is not in front";
    EXPECT_EQ(MainWindowsOfTheProgram(), 1);
    ASSERT_TRUE(first.Settle());
    EXPECT_EQ(StoredSettings(), settings);
    EXPECT_EQ(ReadBytes(HistoryLogPath()), log);
    EXPECT_EQ(first.ListCount(kIdFolderList), 2);
  }
};

TEST_F(SingleCopyE2eTest, ASecondStartShowsTheCopyHiddenInTheTrayAndEnds) {
  SeedSetting(L"Minimized", L"On");
  App first;
  ASSERT_NE(first.WaitForHiddenMainWindow(), nullptr);
  ASSERT_FALSE(first.MainVisible());
  StartAgainAndExpectTheFirstInFront(first);
}

TEST_F(SingleCopyE2eTest, ASecondStartRestoresTheCopyMinimisedOnTheTaskbarAndEnds) {
  App first;
  ASSERT_NE(first.WaitForMainWindow(), nullptr);
  // The first minimise of a run goes to the tray; bring it back, and the next stays on the
  // taskbar.
  first.Post(WM_SYSCOMMAND, SC_MINIMIZE);
  ASSERT_TRUE(WaitUntil([&] { return !first.MainVisible(); }, 10s));
  StartAgainAndExpectTheFirstInFront(first);
  first.Post(WM_SYSCOMMAND, SC_MINIMIZE);
  ASSERT_TRUE(WaitUntil([&] { return first.Iconic(); }, 10s));
  ASSERT_TRUE(first.MainVisible());
  StartAgainAndExpectTheFirstInFront(first);

  // The copy that stays still closes and stores as always, and a start afterwards is a copy of
  // its own again.
  first.Close();
  ASSERT_TRUE(first.WaitForExit(20s));
  App next;
  EXPECT_NE(next.WaitForMainWindow(), nullptr);
  EXPECT_TRUE(next.Running());
}

}  // namespace
}  // namespace tess::e2e
