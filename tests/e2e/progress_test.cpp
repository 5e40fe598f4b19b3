// A long run shows how far it has come: during a Backup Now of tens of thousands of small files
// the progress bar climbs and names the folder and a count, the tray's tip tells the same, and
// after the run the bar reads as the window's design has it.

// <windows.h> first: the other Windows headers build on it.
// clang-format off
#include <windows.h>
#include <commctrl.h>
// clang-format on

#include <gtest/gtest.h>

#include <atomic>
#include <mutex>
#include <set>
#include <string>
#include <thread>

#include "e2e/backup_now.h"
#include "win32/text.h"
#include "win_support/linux_side.h"
#include "win_support/notification_area.h"
#include "win_support/window_queries.h"

namespace tess::e2e {
namespace {

using namespace tess::test;
using namespace tess::view;

// Reads the bar and the tray's tip from a thread of the test while the program runs.
class ProgressWatch {
 public:
  explicit ProgressWatch(HWND bar) : bar_(bar), thread_([this] { Watch(); }) {}
  ~ProgressWatch() {
    stop_ = true;
    thread_.join();
  }
  std::set<int> Values() {
    std::lock_guard lock(lock_);
    return values_;
  }
  std::set<std::wstring> Texts() {
    std::lock_guard lock(lock_);
    return texts_;
  }
  std::set<std::wstring> Tips() {
    std::lock_guard lock(lock_);
    return tips_;
  }

 private:
  void Watch() {
    for (int turn = 0; !stop_; ++turn) {
      DWORD_PTR position = 0;
      SendMessageTimeoutW(bar_, PBM_GETPOS, 0, 0, SMTO_ABORTIFHUNG, 500, &position);
      wchar_t text[256] = {};
      GetWindowTextW(bar_, text, 256);
      std::wstring tip;
      if (turn % 10 == 0) {
        for (const TrayIconSeen& icon : TrayIconsShown()) {
          if (StartsWith(icon.tip, L"Tessaline")) tip = icon.tip;
        }
      }
      {
        std::lock_guard lock(lock_);
        values_.insert(static_cast<int>(position));
        texts_.insert(text);
        if (!tip.empty()) tips_.insert(tip);
      }
      Sleep(20);
    }
  }

  const HWND bar_;
  std::atomic<bool> stop_{false};
  std::mutex lock_;
  std::set<int> values_;
  std::set<std::wstring> texts_;
  std::set<std::wstring> tips_;
  std::thread thread_;
};

TEST_F(BackupNowE2eTest, ALongRunShowsHowFarItHasComeOnTheBarAndInTheTip) {
  const std::wstring source = tree_ / L"Docs";
  const std::wstring destination = tree_.MadeFolder(L"Backups");
  // 24,000 small files in folders of 500: a folder filled with many more costs Wine dearly.
  const auto made = RunLinuxShell(
      "mkdir -p " + ShellQuoted(LinuxPath(win32::Narrow(source))) + " && cd " +
          ShellQuoted(LinuxPath(win32::Narrow(source))) +
          " && for d in $(seq 1 48); do mkdir d$d; for f in $(seq 1 500); do echo $d-$f > "
          "d$d/f$f.txt; done; done",
      120000);
  ASSERT_TRUE(made && made->exit_code == 0) << (made ? made->output : "no shell");
  SeedFolders({source}, destination);
  SeedSetting(L"Include Date", L"Off");

  App& app = StartProgram();
  {
    ProgressWatch watch(app.Control(kIdProgressBar));
    const CompletedRun run = BackupNowUntilComplete(app);
    ASSERT_FALSE(run.completion.empty()) << run.shown;
    const std::set<int> values = watch.Values();
    EXPECT_GE(values.size(), 4u) << "the bar stood still";
    bool counted = false;
    for (const std::wstring& text : watch.Texts()) {
      counted |= StartsWith(text, L"Docs: ") && text.find(L" files, ") != std::wstring::npos;
    }
    EXPECT_TRUE(counted);
    bool tipped = false;
    for (const std::wstring& tip : watch.Tips()) {
      tipped |= tip.find(L"Docs: ") != std::wstring::npos;
    }
    EXPECT_TRUE(tipped);
  }
  // After the run the bar is as Backup Now leaves it, and the tip tells the outcome.
  ASSERT_TRUE(WaitUntil([&] { return app.Text(kIdProgressBar) == L"Progress Bar"; }, 10s));
  DWORD_PTR position = 1;
  SendMessageTimeoutW(app.Control(kIdProgressBar), PBM_GETPOS, 0, 0, SMTO_ABORTIFHUNG, 2000,
                      &position);
  EXPECT_EQ(position, 0u);
  // What the next run counts against.
  const auto totals = ReadSetting(L"Entry Totals");
  ASSERT_TRUE(totals);
  EXPECT_TRUE(StartsWith(*totals, source + L"|24000|")) << *totals;
}

}  // namespace
}  // namespace tess::e2e
