// What the Backup Now suites share: the program started with automatic backup off, a Backup Now
// click followed through the status line, and the system's words for an error as the history
// log carries them.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "e2e/clock_texts.h"
#include "e2e/status_recorder.h"
#include "view/control_ids.h"
#include "win_support/e2e_fixture.h"

namespace tess::e2e {

using namespace std::chrono_literals;
using test::App;
using test::SeedSetting;

// The system's words for an error, on one line, as the log carries them.
inline std::wstring SystemReason(DWORD code) {
  wchar_t text[512] = {};
  FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0, text,
                 512, nullptr);
  std::wstring reason = text;
  for (auto& c : reason) {
    if (c == L'\r' || c == L'\n') c = L' ';
  }
  while (!reason.empty() && reason.back() == L' ') reason.pop_back();
  return reason;
}

// A Backup Now click followed until the run's completion text: the local times just before the
// click and just after the text showed, and the text itself; empty when none came within 30 s,
// and then shown holds every status text, for the failure message.
struct CompletedRun {
  SYSTEMTIME before{};
  SYSTEMTIME after{};
  std::wstring completion;
  std::wstring shown;
};
inline CompletedRun BackupNowUntilComplete(App& app) {
  StatusRecorder status(app.Control(view::kIdStatusFrame));
  CompletedRun run;
  run.before = LocalNow();
  app.Click(view::kIdBackupNowButton);
  const int done =
      status.WaitFor([](const std::wstring& text) { return StartsWith(text, kComplete); }, 0, 30s);
  run.after = LocalNow();
  if (done >= 0) {
    run.completion = status.Texts()[done];
  } else {
    run.shown = status.Describe();
  }
  return run;
}

inline const std::string kBigFile(8 << 20, 'x');  // copied in several pieces

class BackupNowE2eTest : public test::AutoBackupOffTest {
 protected:
  // Clicks Backup Now and waits for the busy text and then the run's own status; returns the
  // index of the run's status in the recorder, -1 when it did not come.
  int RunBackupNow(App& app, const StatusRecorder& status) {
    const size_t from = status.History().size();
    app.Click(view::kIdBackupNowButton);
    const int busy = status.WaitFor(kBackingUp, from);
    if (busy >= 0) {
      return status.WaitFor([](const std::wstring& text) { return text != kBackingUp; },
                            static_cast<size_t>(busy) + 1, 30s);
    }
    // A run of a few files on a loaded machine can show its busy text and replace it between
    // two readings; its own status still comes after the click, and stays for the pause.
    return status.WaitFor(
        [](const std::wstring& text) { return text != kBackingUp && text != kTurnedOff; }, from,
        30s);
  }

  // The run's status (at index done) stays in view for the pause, then the earlier text comes
  // back; returns the index of that text, -1 when it did not come.
  static int HeldForThePause(const StatusRecorder& status, int done) {
    const int back = status.WaitFor(kTurnedOff, done + 1, 10s);
    if (back <= done) {
      ADD_FAILURE() << "the earlier text never came back:\n" << status.Describe();
      return -1;
    }
    const auto shown = status.History();
    EXPECT_GE(shown[back].at - shown[done].at, 4500ms);
    EXPECT_LT(shown[back].at - shown[done].at, 8s);
    EXPECT_EQ(status.Texts(),
              (std::vector<std::wstring>{kTurnedOff, kBackingUp, shown[done].text, kTurnedOff}));
    return back;
  }

  test::TempTree tree_;
};

}  // namespace tess::e2e
