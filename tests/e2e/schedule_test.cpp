// The countdown on real folders: timed backups into stamped folders with the status line
// counting down between runs, and the automatic-backup switch kept across restarts.
#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "e2e/clock_texts.h"
#include "e2e/status_recorder.h"
#include "view/control_ids.h"
#include "win_support/e2e_fixture.h"
#include "win_support/window_queries.h"

namespace tess::e2e {
namespace {

using namespace tess::test;
using namespace tess::view;
using namespace std::chrono_literals;

constexpr wchar_t kTurnOn[] = L"Turn On Auto Backup";
constexpr wchar_t kTurnOff[] = L"Turn Off Auto Backup";

class ScheduleE2eTest : public EndToEndTest {
 protected:
  // Clicks the auto-backup switch: the new state must be stored at once and the button then
  // offers the opposite.
  static void Switch(App& app, const wchar_t* stored, const wchar_t* offered) {
    app.Click(kIdAutoBackupButton);
    EXPECT_TRUE(SettingBecomes(L"StartStopState", stored));
    ASSERT_TRUE(app.Settle());
    EXPECT_EQ(app.Text(kIdAutoBackupButton), offered);
  }

  TempTree tree_;
};

TEST_F(ScheduleE2eTest, AFailedTimedBackupStaysInViewWhileTheCountdownGoesOn) {
  const std::wstring alpha = tree_ / L"Alpha";
  const std::wstring missing = tree_ / L"No such destination";
  WriteBytes(alpha + L"\\a.txt", "alpha");
  SeedFolders({alpha}, missing);
  SeedSetting(L"OftenIndex", L"1");
  SeedSetting(L"StartStopState", L"On");

  App& app = StartProgram();
  StatusRecorder status(app.Control(kIdStatusFrame));
  const std::wstring failure = missing + L" does not exist";
  const int shown = status.WaitFor(failure, 0, 15s);
  ASSERT_GE(shown, 0) << status.Describe();
  // Three more ticks later the failure is still what the status line says.
  std::this_thread::sleep_for(3s);
  EXPECT_EQ(app.Text(kIdStatusFrame), failure) << status.Describe();
  for (const auto& text : status.Texts()) EXPECT_FALSE(StartsWith(text, kComplete)) << text;
}

TEST_F(ScheduleE2eTest, EveryFifthTickCopiesEachFolderIntoAStampedFolderAndLogsItInListOrder) {
  const std::wstring alpha = tree_ / L"Alpha";
  const std::wstring beta = tree_ / L"Beta";
  const std::wstring destination = tree_.MadeFolder(L"Backups");
  const Tree alpha_files = {File("a.txt", "alpha"), File("sub\\b.txt", "in a subfolder")};
  const Tree beta_files =
      Tree{File("c.txt", "gamma"), File("deeper\\nested\\d.txt", "two levels down"),
           File("big.bin", std::string(8 << 20, 'x'))} +  // copied in several pieces
      // Enough files that the running text stays in view for more than a moment.
      Under("many", ManyFiles(kManyFiles));
  BuildTree(alpha, alpha_files);
  BuildTree(beta, beta_files);
  SeedFolders({alpha, beta}, destination);
  SeedSetting(L"OftenIndex", L"1");  // every 5 seconds
  SeedSetting(L"StartStopState", L"On");
  SeedSetting(L"Include Date", L"On");
  SeedSetting(L"Backup Option", L"1");  // a new date-and-time folder on every run

  const SYSTEMTIME before = LocalNow();
  App& app = StartProgram();
  StatusRecorder status(app.Control(kIdStatusFrame));
  EXPECT_EQ(app.ListSelection(kIdIntervalList), 0);
  EXPECT_EQ(app.Text(kIdAutoBackupButton), kTurnOff);

  const int running = status.WaitFor(kRunning, 0, 15s);
  ASSERT_GE(running, 0) << status.Describe();
  ASSERT_TRUE(WaitUntil([] { return HistoryLines().size() >= 2; }, 15s)) << status.Describe();
  // Between runs the count starts again from the full interval; the run ended before it, its
  // last folder read back after the history lines.
  const int next = status.WaitFor(NextIn(L"00:00:04"), running + 1, 5s);
  const SYSTEMTIME after = LocalNow();
  ASSERT_GT(next, running) << status.Describe();
  // Switched off before the second run is due; the status line then stands still.
  ASSERT_NO_FATAL_FAILURE(Switch(app, L"Off", kTurnOn));
  const size_t frozen = status.History().size();
  Sleep(1500);
  EXPECT_EQ(status.History().size(), frozen) << status.Describe();

  // What the status line showed: one text per tick counting down, the running text during the
  // run, the count's last text put back, and the next cycle. Two texts stand for a single pass
  // of event processing only, so they may or may not have been caught: the due tick's own
  // 00:00:00 just before the run, and the completion text just after it.
  const auto texts = status.Texts();
  const int four = status.WaitFor(NextIn(L"00:00:04"), 0, 0ms);
  ASSERT_GE(four, 0);
  std::vector<std::wstring> lasting;
  for (int i = four; i <= next; ++i) {
    if (i + 1 == running && texts[i] == NextIn(L"00:00:00")) continue;
    if (StartsWith(texts[i], kComplete)) {
      EXPECT_TRUE(StampedWithin(texts[i], kComplete, GeneralDate, before, after));
      continue;
    }
    lasting.push_back(texts[i]);
  }
  EXPECT_EQ(lasting, (std::vector<std::wstring>{NextIn(L"00:00:04"), NextIn(L"00:00:03"),
                                                NextIn(L"00:00:02"), NextIn(L"00:00:01"), kRunning,
                                                NextIn(L"00:00:00"), NextIn(L"00:00:04")}))
      << status.Describe();

  // One stamped folder per source, each with the whole tree inside.
  ASSERT_NO_FATAL_FAILURE(ExpectStampedCopies(
      destination, {{L"Alpha", alpha_files}, {L"Beta", beta_files}}, DateTimeStamp, before, after));
  ExpectSavedLines({L"Alpha", L"Beta"}, before, after);
}

TEST_F(ScheduleE2eTest, TheSwitchIsStoredAtOnceAndSurvivesARestart) {
  {
    // A fresh start runs the countdown at the 15-minute default.
    App& app = StartProgram();
    EXPECT_EQ(app.Text(kIdAutoBackupButton), kTurnOff);
    StatusRecorder status(app.Control(kIdStatusFrame));
    EXPECT_GE(status.WaitFor(NextIn(L"00:14:59"), 0, 5s), 0) << status.Describe();
    ASSERT_NO_FATAL_FAILURE(Switch(app, L"Off", kTurnOn));
    // Ended without a close request: the choice is already stored.
    app.Kill();
  }
  {
    App& app = StartProgram();
    EXPECT_EQ(app.Text(kIdAutoBackupButton), kTurnOn);
    EXPECT_EQ(app.Text(kIdStatusFrame), L"Auto Backup is Turned Off.");
    StatusRecorder status(app.Control(kIdStatusFrame));
    ASSERT_NO_FATAL_FAILURE(Switch(app, L"On", kTurnOff));
    // The count goes on from the time left when it was switched off, before the restart.
    const auto left_then = [](const std::wstring& text) {
      return text.rfind(NextIn(L"00:14:5"), 0) == 0;
    };
    EXPECT_GE(status.WaitFor(left_then, 0, 5s), 0) << status.Describe();
    app.Close();
    ASSERT_TRUE(app.WaitForExit());
  }
  App& app = StartProgram();
  EXPECT_EQ(app.Text(kIdAutoBackupButton), kTurnOff);
  EXPECT_EQ(ReadSetting(L"StartStopState"), L"On");
}

}  // namespace
}  // namespace tess::e2e
