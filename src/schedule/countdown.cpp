#include "schedule/countdown.h"

#include <utility>

#include "backup/backup_run.h"
#include "backup/folder_naming.h"
#include "backup/run_report.h"
#include "base/conversions.h"
#include "base/error_trap.h"
#include "base/platform_error.h"
#include "controls/controls.h"
#include "ports/event_pump.h"
#include "ports/program_settings.h"
#include "schedule/intervals.h"

namespace tess {

namespace {
constexpr char kAutoBackupOff[] = "Auto Backup is Off.";
constexpr char kAutoBackupTurnedOff[] = "Auto Backup is Turned Off.";
constexpr char kNextBackupIn[] = "Next backup will occur in ";
constexpr char kBackupRunning[] = "Backup is running in background...";
constexpr char kTurnOn[] = "Turn On Auto Backup";
constexpr char kTurnOff[] = "Turn Off Auto Backup";
constexpr int kColumnWidthTwips = 7000;
constexpr int kTickMilliseconds = 1000;
}  // namespace

void Countdown::Restore(ErrorTrap& trap) {
  trap.Step(122, [&] {
    c_.intervals.SetColumn(kIntervalColumnHeader, kColumnWidthTwips);
    for (const auto& entry : kIntervals) c_.intervals.Append(entry.text);
  });
  short often_index = 0;
  trap.Step(124, [&] { often_index = ToInteger16(settings_.GetSetting(kKeyOftenIndex, "7")); });
  trap.Step(126, [&] { c_.intervals.Select(often_index); });
  std::string start_stop;
  trap.Step(128, [&] { start_stop = settings_.GetSetting(kKeyStartStopState, kOn); });
  if (trap.Test(130, [&] { return start_stop == kOff; })) {
    trap.Step(132, [&] {
      c_.switch_button.SetCaption(kTurnOn);
      c_.status_line.SetCaption(kAutoBackupTurnedOff);
      c_.timer.SetInterval(0);
    });
  } else if (trap.Test(134, [&] { return start_stop == kOn; })) {
    trap.Step(136, [&] {
      c_.switch_button.SetCaption(kTurnOff);
      c_.timer.SetInterval(kTickMilliseconds);
    });
  }
}

int Countdown::IntervalSeconds() {
  if (c_.intervals.Selected() == 0)
    throw PlatformError(91, "Object variable or With block variable not set");
  return SecondsForIntervalText(c_.intervals.ItemText(c_.intervals.Selected()));
}

void Countdown::IntervalChosen() {
  if (c_.intervals.Selected() == 0) return;
  try {
    settings_.SaveSetting(kKeyOftenIndex, std::to_string(c_.intervals.Selected()));
  } catch (...) {
    // The choice still takes effect for this run; only its memory for the next start is lost.
  }
  IntervalLength = IntervalSeconds();
  ElapsedSeconds = 0;
}

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
std::optional<RunOutcome> Countdown::Tick(ErrorTrap& trap) {
  if (tick_running_) return std::nullopt;
  tick_running_ = true;
  struct Release {
    bool& flag;
    ~Release() { flag = false; }
  } release{tick_running_};

  if (trap.Test(100, [&] { return c_.timer.Interval() == 0; })) {
    trap.Step(102, [&] { c_.status_line.SetCaption(kAutoBackupOff); });
    return std::nullopt;
  }
  trap.Step(104, [&] { IntervalLength = IntervalSeconds(); });
  trap.Step(106, [&] { ++ElapsedSeconds; });
  trap.Step(108, [&] { c_.progress.SetMax(IntervalLength); });
  if (trap.Test(110, [&] { return ElapsedSeconds <= IntervalLength; })) {
    trap.Step(112, [&] { c_.progress.SetValue(ElapsedSeconds); });
  }
  trap.Step(114, [&] {
    c_.status_line.SetCaption(kept_status_.empty() ? CountdownText() : kept_status_);
  });
  trap.Step(116, [&] { pump_.ProcessPendingEvents(); });
  if (trap.Test(118, [&] { return ElapsedSeconds == IntervalLength; })) {
    trap.Step(120, [&] { SavedStatus = c_.status_line.Caption(); });
    trap.Step(122, [&] { c_.status_line.SetCaption(kBackupRunning); });
    trap.Step(124, [&] { pump_.ProcessPendingEvents(); });
    RunOutcome outcome;
    trap.Step(126, [&] { outcome = backup_.SaveAll(); });
    // A run that failed keeps its own status: a missing destination or folders with errors
    // must not read as success. It stays in view, in place of the countdown text, until a run
    // completes cleanly; the progress bar still shows the countdown meanwhile.
    trap.Step(128, [&] {
      if (outcome.Clean()) c_.status_line.SetCaption(kAutoBackupComplete + NowText(clock_));
    });
    trap.Step(130, [&] { pump_.ProcessPendingEvents(); });
    trap.Step(132, [&] {
      if (outcome.Clean()) {
        RunEnded(outcome);
      } else {
        kept_status_ = outcome.final_status;
      }
      c_.status_line.SetCaption(StatusToPutBack(SavedStatus));
    });
    trap.Step(134, [&] { ElapsedSeconds = 0; });
    return outcome;
  }
  return std::nullopt;
}

void Countdown::RunEnded(const RunOutcome& outcome) {
  if (kept_status_.empty()) return;
  if (outcome.Clean()) {
    put_right_status_ = std::exchange(kept_status_, std::string());
  } else {
    kept_status_ = outcome.final_status;
  }
}

std::string Countdown::StatusToPutBack(const std::string& before) const {
  if (!kept_status_.empty()) return kept_status_;
  if (!put_right_status_.empty() && before == put_right_status_) return CountdownText();
  return before;
}

std::string Countdown::CountdownText() const {
  return kNextBackupIn + SecondsToClock(static_cast<long long>(IntervalLength) - ElapsedSeconds);
}

void Countdown::SwitchAutoBackup(ErrorTrap& trap) {
  if (trap.Test(100, [&] { return c_.switch_button.Caption() == kTurnOn; })) {
    trap.Step(102, [&] { c_.switch_button.SetCaption(kTurnOff); });
    trap.Step(104, [&] { c_.timer.SetInterval(kTickMilliseconds); });
    trap.Step(106, [&] { settings_.SaveSetting(kKeyStartStopState, kOn); });
  } else if (trap.Test(108, [&] { return c_.switch_button.Caption() == kTurnOff; })) {
    trap.Step(110, [&] { c_.switch_button.SetCaption(kTurnOn); });
    trap.Step(112, [&] { c_.timer.SetInterval(0); });
    trap.Step(114, [&] { settings_.SaveSetting(kKeyStartStopState, kOff); });
  }
}

}  // namespace tess
