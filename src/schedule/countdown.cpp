// The one-second countdown that starts timed backups, and the interval list.
#include "backup/folder_naming.h"
#include "backup/run_report.h"
#include "base/error_trap.h"
#include "base/platform_error.h"
#include "platform/dialogs.h"
#include "platform/event_pump.h"
#include "platform/program_settings.h"
#include "schedule/intervals.h"
#include "shell/form1.h"

namespace tess {

namespace {
constexpr char kTimerLocation[] = "in Tessaline2021/08/31.Form1.Timer1 ";
constexpr char kAutoBackupOff[] = "Auto Backup is Off.";
constexpr char kNextBackupIn[] = "Next backup will occur in ";
constexpr char kBackupRunning[] = "Backup is running in background...";
}  // namespace

int Form1::IntervalSeconds() {
  if (ListView2.Selected() == 0)
    throw PlatformError(91, "Object variable or With block variable not set");
  return SecondsForIntervalText(ListView2.ItemText(ListView2.Selected()));
}

void Form1::ListView2_Click() {
  if (ListView2.Selected() == 0) return;
  try {
    SaveSetting(kKeyOftenIndex, std::to_string(ListView2.Selected()));
  } catch (...) {
    // The choice still takes effect for this run; only its memory for the next start is lost.
  }
  IntervalLength = IntervalSeconds();
  ElapsedSeconds = 0;
}

// A selection moved by the keyboard (arrows, Home, End, typing) must count like a click:
// otherwise the choice is not stored, and a count already past a newly chosen shorter interval
// never meets it again, so timed backups would silently stop. The view calls this only for
// changes the user makes; the start-up restore selects through the model and runs nothing.
void Form1::ListView2_ItemSelected() { ListView2_Click(); }

// Ticks are not re-entrant. The tick lets window events run (step 116, step 124, the whole
// backup run, step 130), and the window timer keeps posting ticks meanwhile. A tick that
// arrives while an earlier one is still running is dropped, as if the platform had not
// delivered it:
// - counted, it could step the shared count over the due point while the earlier tick sits in
//   its event pass before the due test (5 -> 6 with an interval of 5), and since the test is
//   equality no timed backup would ever fall due again;
// - counted during a run, a click in the interval list could bring the count back to the due
//   point and start a second timed run on top of the first;
// - the countdown counts ticks, not clock time, so the run's duration is added to the period
//   anyway; dropping keeps "Backup is running in background..." in view instead of counting
//   past zero.
// Ticks inside a Backup Now run or its pause are not nested in a tick and count as usual.
void Form1::Timer1_Timer() {
  if (tick_running_) return;
  tick_running_ = true;
  struct Release {
    bool& flag;
    ~Release() { flag = false; }
  } release{tick_running_};

  ErrorTrap trap(Svc().dialogs, kTimerLocation);
  if (trap.Test(100, [&] { return Timer1.Interval() == 0; })) {
    trap.Step(102, [&] { Frame1.SetCaption(kAutoBackupOff); });
    return;
  }
  trap.Step(104, [&] { IntervalLength = IntervalSeconds(); });
  trap.Step(106, [&] { ++ElapsedSeconds; });
  trap.Step(108, [&] { ProgressBar1.SetMax(IntervalLength); });
  if (trap.Test(110, [&] { return ElapsedSeconds <= IntervalLength; })) {
    trap.Step(112, [&] { ProgressBar1.SetValue(ElapsedSeconds); });
  }
  const auto countdown_text = [&] {
    return kNextBackupIn + SecondsToClock(static_cast<long long>(IntervalLength) - ElapsedSeconds);
  };
  trap.Step(114,
            [&] { Frame1.SetCaption(kept_status_.empty() ? countdown_text() : kept_status_); });
  trap.Step(116, [&] { Svc().pump.ProcessPendingEvents(); });
  if (trap.Test(118, [&] { return ElapsedSeconds == IntervalLength; })) {
    trap.Step(120, [&] { SavedStatus = Frame1.Caption(); });
    trap.Step(122, [&] { Frame1.SetCaption(kBackupRunning); });
    trap.Step(124, [&] { Svc().pump.ProcessPendingEvents(); });
    RunOutcome outcome;
    trap.Step(126, [&] { outcome = backup_.SaveAll(); });
    // A run that failed keeps its own status: a missing destination or folders with errors
    // must not read as success. It stays in view, in place of the countdown text, until the
    // next timed run; the progress bar still shows the countdown meanwhile.
    trap.Step(128, [&] {
      if (outcome.Clean()) Frame1.SetCaption(kAutoBackupComplete + NowText(Svc().clock));
    });
    trap.Step(130, [&] { Svc().pump.ProcessPendingEvents(); });
    trap.Step(132, [&] {
      if (!outcome.Clean()) {
        kept_status_ = outcome.final_status;
        Frame1.SetCaption(kept_status_);
        return;
      }
      if (!kept_status_.empty()) {
        // The text saved before this run was the earlier failure, now put right.
        kept_status_.clear();
        SavedStatus = countdown_text();
      }
      Frame1.SetCaption(SavedStatus);
    });
    trap.Step(134, [&] { ElapsedSeconds = 0; });
  }
}

}  // namespace tess
