// The program left alone for days: the count goes on across a restart from the stored due
// time, a backup missed while the program was not running comes once a minute after the start,
// a destination that comes back is backed up within a minute (after a restart too), a timed
// run never waits on a box, the tray's tip tells how the latest run went, and a copy damaged on
// the backup drive is found and mended by the runs themselves.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <thread>

#include "e2e/status_recorder.h"
#include "schedule/due_time.h"
#include "view/control_ids.h"
#include "win32/text.h"
#include "win_support/e2e_fixture.h"
#include "win_support/files.h"
#include "win_support/linux_side.h"
#include "win_support/notification_area.h"
#include "win_support/window_queries.h"

namespace tess::e2e {
namespace {

using namespace tess::test;
using namespace tess::view;
using namespace std::chrono_literals;

constexpr wchar_t kEveryDay[] = L"15";
constexpr int kDay = 86400;

std::int64_t UtcNow() {
  FILETIME now;
  GetSystemTimeAsFileTime(&now);
  ULARGE_INTEGER ticks;
  ticks.LowPart = now.dwLowDateTime;
  ticks.HighPart = now.dwHighDateTime;
  return static_cast<std::int64_t>((ticks.QuadPart - 116444736000000000ULL) / 10000000ULL);
}

std::wstring DueIn(std::int64_t seconds) { return win32::Widen(UtcText(UtcNow() + seconds)); }

// Seconds from now until the stored due time; nothing when none is stored or it cannot be read.
std::optional<std::int64_t> StoredDueIn() {
  const auto text = ReadSetting(L"Next Backup Due");
  if (!text) return std::nullopt;
  const auto due = ReadUtcText(win32::Narrow(*text));
  if (!due) return std::nullopt;
  return *due - UtcNow();
}

bool SavedLine(const std::wstring& line) {
  return line.find(L" was backup saved at ") != std::wstring::npos;
}

class LeftAloneE2eTest : public EndToEndTest {
 protected:
  // A source with a file and, unless told otherwise, an existing destination; daily backups.
  void SeedDaily(bool destination_there = true) {
    WriteBytes(source_ + L"\\a.txt", "alpha");
    if (destination_there) MakeFolders(destination_);
    SeedFolders({source_}, destination_);
    SeedSetting(L"OftenIndex", kEveryDay);
    SeedSetting(L"StartStopState", L"On");
    SeedSetting(L"Include Date", L"Off");
  }

  TempTree tree_;
  const std::wstring source_ = tree_ / L"Docs";
  const std::wstring destination_ = tree_ / L"Backups";
};

TEST_F(LeftAloneE2eTest, ARestartContinuesTheCountFromTheStoredDueTime) {
  SeedDaily();
  const std::wstring due = DueIn(2 * 3600);
  SeedSetting(L"Next Backup Due", due);
  for (int start = 0; start < 2; ++start) {
    App& app = StartProgram();
    StatusRecorder status(app.Control(kIdStatusFrame));
    ASSERT_GE(status.WaitFor([](const std::wstring& text) {
      return StartsWith(text, NextIn(L"01:59:5")) || StartsWith(text, NextIn(L"02:00:00"));
    }),
              0)
        << status.Describe();
    EXPECT_EQ(ReadSetting(L"Next Backup Due"), due);
    app.Close();
    ASSERT_TRUE(app.WaitForExit());
  }
  EXPECT_TRUE(HistoryLines().empty());
}

TEST_F(LeftAloneE2eTest, ABackupMissedForDaysRunsOnceAMinuteAfterTheStartThenADayLater) {
  SeedDaily();
  SeedSetting(L"Next Backup Due", DueIn(-3 * kDay));
  App& app = StartProgram();
  StatusRecorder status(app.Control(kIdStatusFrame));
  ASSERT_GE(status.WaitFor([](const std::wstring& text) {
    return StartsWith(text, NextIn(L"00:00:5")) || StartsWith(text, NextIn(L"00:01:00"));
  }),
            0)
      << status.Describe();
  const auto catch_up = StoredDueIn();
  ASSERT_TRUE(catch_up);
  EXPECT_GE(*catch_up, 50);
  EXPECT_LE(*catch_up, 61);

  ASSERT_TRUE(WaitUntil([] { return !HistoryLines().empty(); }, 75s)) << status.Describe();
  const int counting = status.WaitFor(
      [](const std::wstring& text) { return StartsWith(text, NextIn(L"23:59:5")); }, 0, 5s);
  ASSERT_GE(counting, 0) << status.Describe();
  const auto next = StoredDueIn();
  ASSERT_TRUE(next);
  EXPECT_GE(*next, kDay - 10);
  EXPECT_LE(*next, kDay);
  // One run for three missed days, and the tray tells it went well.
  std::this_thread::sleep_for(2s);
  ASSERT_EQ(HistoryLines().size(), 1u);
  EXPECT_TRUE(SavedLine(HistoryLines()[0])) << HistoryLines()[0];
  EXPECT_TRUE(StartsWith(ProgramTrayTip(), L"Tessaline|Auto Backup Complete at "))
      << ProgramTrayTip();
  EXPECT_EQ(ReadSetting(L"Latest Backup Clean"), L"On");
}

TEST_F(LeftAloneE2eTest, ADestinationThatComesBackIsBackedUpWithinAMinute) {
  SeedDaily(false);
  SeedSetting(L"Next Backup Due", DueIn(3));
  App& app = StartProgram();
  StatusRecorder status(app.Control(kIdStatusFrame));
  const std::wstring missing = destination_ + L" does not exist";
  ASSERT_GE(status.WaitFor(missing, 0, 15s), 0) << status.Describe();
  // The tray takes the outcome once the tick that showed it has let its events run.
  EXPECT_TRUE(WaitUntil([&] { return StartsWith(ProgramTrayTip(), L"Tessaline|" + missing); }, 5s))
      << ProgramTrayTip();
  EXPECT_TRUE(SettingBecomes(L"Latest Backup Clean", L"Off"));
  const auto started = std::chrono::steady_clock::now();
  MakeFolders(destination_);  // the drive is plugged in again

  ASSERT_TRUE(WaitUntil([] { return !HistoryLines().empty(); }, 75s)) << status.Describe();
  EXPECT_LT(std::chrono::steady_clock::now() - started, 65s);
  ASSERT_EQ(HistoryLines().size(), 1u);
  EXPECT_TRUE(SavedLine(HistoryLines()[0])) << HistoryLines()[0];
  EXPECT_TRUE(ReadBytes(destination_ + L"\\Docs\\a.txt").has_value());
  // The count starts afresh from that run.
  ASSERT_GE(
      status.WaitFor([](const std::wstring& text) { return StartsWith(text, NextIn(L"23:59:5")); },
                     0, 5s),
      0)
      << status.Describe();
  EXPECT_EQ(app.FindMessageBox(), nullptr);
}

TEST_F(LeftAloneE2eTest, ARunOwedForAMissingDestinationRunsSoonAfterARestart) {
  SeedDaily(false);
  SeedSetting(L"Next Backup Due", DueIn(3));
  {
    App& app = StartProgram();
    StatusRecorder status(app.Control(kIdStatusFrame));
    ASSERT_GE(status.WaitFor(destination_ + L" does not exist", 0, 15s), 0) << status.Describe();
    ASSERT_TRUE(WaitUntil([] { return ReadSetting(L"Missed Backup Owed") == L"On"; }, 5s));
    app.Close();
    ASSERT_TRUE(app.WaitForExit());
  }
  MakeFolders(destination_);  // plugged in while the program was not running
  StartProgram();
  // The next timed backup is a day off; the owed one does not wait for it.
  ASSERT_TRUE(WaitUntil([] { return !HistoryLines().empty(); }, 20s));
  EXPECT_TRUE(SavedLine(HistoryLines()[0])) << HistoryLines()[0];
  EXPECT_TRUE(WaitUntil([] { return ReadSetting(L"Missed Backup Owed") == L"Off"; }, 5s));
}

// Every 5 seconds into dated folders, each linked to the one before: a byte damaged in the copy
// they all share (same size, write time put back) is read back within a minute and written again
// from its unchanged source, and every folder checks with sha256sum again.
TEST_F(LeftAloneE2eTest, ADamagedLinkedCopyIsRepairedWithinAMinuteByTheRunsThemselves) {
  if (!UnderWine()) GTEST_SKIP() << "sha256sum is run on the Linux side";
  for (int i = 1; i <= 5; ++i) {
    WriteBytes(source_ + L"\\f" + std::to_wstring(i) + L".txt", "file number " + std::to_string(i));
  }
  MakeFolders(destination_);
  SeedFolders({source_}, destination_);
  SeedSetting(L"OftenIndex", L"1");  // every 5 seconds
  SeedSetting(L"StartStopState", L"On");
  SeedSetting(L"Include Date", L"On");
  SeedSetting(L"Backup Option", L"1");
  const auto dated = [&] {
    std::vector<std::wstring> folders;
    for (const auto& name : NamesIn(destination_)) {
      if (StartsWith(name, L"DocsDate ") && IsFolderOnDisk(destination_ + L"\\" + name)) {
        folders.push_back(name);
      }
    }
    return folders;
  };
  App& app = StartProgram();
  ASSERT_TRUE(WaitUntil([&] { return dated().size() >= 2; }, 30s));
  const std::wstring damaged = destination_ + L"\\" + dated()[0] + L"\\f3.txt";
  RewriteKeepingWriteTime(damaged, "file numbeR 3");
  const auto repaired = [] {
    for (const auto& line : HistoryLines()) {
      if (line.find(L"Docs: a damaged backup copy was repaired at ") == 0 &&
          line.find(L": f3.txt, damaged in ") != std::wstring::npos) {
        return true;
      }
    }
    return false;
  };
  EXPECT_TRUE(WaitUntil(repaired, 60s));
  app.Close();
  ASSERT_TRUE(app.WaitForExit());
  EXPECT_EQ(ReadBytes(damaged), "file number 3");
  for (const auto& name : dated()) {
    const auto checked = RunLinuxShell("cd " + ShellQuoted(LinuxPath(win32::Narrow(destination_))) +
                                       "/" + ShellQuoted(win32::Narrow(name)) + " && sha256sum -c " +
                                       ShellQuoted("../" + win32::Narrow(name) + ".sha256"));
    ASSERT_TRUE(checked.has_value());
    EXPECT_EQ(checked->exit_code, 0) << checked->output;
  }
}

}  // namespace
}  // namespace tess::e2e
