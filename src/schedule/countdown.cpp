#include "schedule/countdown.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "backup/backup_run.h"
#include "backup/folder_naming.h"
#include "backup/run_report.h"
#include "base/conversions.h"
#include "base/error_trap.h"
#include "base/platform_error.h"
#include "controls/controls.h"
#include "ports/clock.h"
#include "ports/event_pump.h"
#include "ports/program_settings.h"
#include "schedule/due_time.h"
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
// A tick may come this much early or late and still stand for its second.
constexpr double kTickSlack = 0.5;
// A due time passed by more than this was missed (the machine slept without a word, or the
// clock was set forward): it is caught up a minute later like one found at a start.
constexpr double kMissedAfterSeconds = 10;
// While a timed run waits for its destination, how often it is looked for.
constexpr double kLookForDestinationSeconds = 60;
}  // namespace

void Countdown::Restore(ErrorTrap& trap) {
  trap.Step(122, [&] {
    c_.intervals.SetColumn(kIntervalColumnHeader, kColumnWidthTwips);
    for (const auto& entry : kIntervals) c_.intervals.Append(entry.text);
  });
  short often_index = 0;
  trap.Step(124, [&] { often_index = ToInteger16(s_.settings.GetSetting(kKeyOftenIndex, "7")); });
  trap.Step(126, [&] { c_.intervals.Select(often_index); });
  std::string start_stop;
  trap.Step(128, [&] { start_stop = s_.settings.GetSetting(kKeyStartStopState, kOn); });
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
  // The count goes on from the stored due time: a program closed every evening still makes
  // its daily backup, and one missed meanwhile comes once, a minute after the start.
  trap.Step(137, [&] {
    if (!On() || c_.intervals.Selected() == 0) return;
    interval_length_ = IntervalSeconds();
    if (interval_length_ <= 0) return;
    Settle(StoredDue(), s_.clock.UtcSeconds());
  });
}

bool Countdown::On() const { return c_.timer.Interval() != 0; }

int Countdown::IntervalSeconds() {
  if (c_.intervals.Selected() == 0)
    throw PlatformError(91, "Object variable or With block variable not set");
  return SecondsForIntervalText(c_.intervals.ItemText(c_.intervals.Selected()));
}

void Countdown::IntervalChosen() {
  if (c_.intervals.Selected() == 0) return;
  try {
    s_.settings.SaveSetting(kKeyOftenIndex, std::to_string(c_.intervals.Selected()));
  } catch (...) {
    // The choice still takes effect for this run; only its memory for the next start is lost.
  }
  interval_length_ = IntervalSeconds();
  elapsed_seconds_ = 0;
  if (On()) {
    Restart(s_.clock.UtcSeconds(), interval_length_);
  } else {
    left_when_off_ = interval_length_;  // switched on, the count starts over too
  }
}

// The timer starts its period with the count, so its ticks fall on the count's whole seconds:
// the first shows one second less than the count started with, as a count of ticks always did.
void Countdown::Restart(double now, int seconds) {
  due_ = now + seconds;
  shown_left_ = seconds;
  c_.timer.Restart();
  StoreDue();
}

void Countdown::Settle(std::optional<double> due, double now, const DueSlack& slack) {
  const DueAtStart at = SettleDueTime(due, now, interval_length_, slack);
  if (at.kind == DueAtStart::Kind::kContinue) {
    due_ = at.due;
    shown_left_ = SecondsLeft(now);
  } else {
    Restart(now, static_cast<int>(std::lround(at.due - now)));
  }
}

int Countdown::SecondsLeft(double now) const {
  return static_cast<int>(std::max(0.0, std::ceil(*due_ - now - kTickSlack)));
}

void Countdown::StoreDue() {
  try {
    s_.settings.SaveSetting(kKeyNextBackupDue,
                            due_ ? UtcText(static_cast<std::int64_t>(std::llround(*due_))) : "");
  } catch (...) {
    // Only the memory of the due time for the next start is lost; the count goes on.
  }
}

std::optional<double> Countdown::StoredDue() {
  try {
    if (const auto seconds = ReadUtcText(s_.settings.GetSetting(kKeyNextBackupDue, ""))) {
      return static_cast<double>(*seconds);
    }
  } catch (...) {
  }
  return std::nullopt;
}

void Countdown::Count() {
  if (interval_length_ <= 0) {
    ++elapsed_seconds_;  // without an interval nothing ever falls due
    return;
  }
  // None yet, or further off than an interval (the clock was set back, or the interval was
  // chosen where this program did not see it): a fresh count; passed long ago, a catch-up.
  const double now = s_.clock.UtcSeconds();
  Settle(due_, now, {kTickSlack, kMissedAfterSeconds});
  if (missed_ && s_.clock.MonotonicSeconds() >= next_look_) {
    next_look_ = s_.clock.MonotonicSeconds() + kLookForDestinationSeconds;
    if (s_.destination_found && s_.destination_found()) due_ = now;  // back: the missed run now
  }
  shown_left_ = SecondsLeft(now);
  elapsed_seconds_ = std::max(0, interval_length_ - shown_left_);
}

// Ticks are not re-entrant. The tick lets window events run (step 116, step 124, the whole
// backup run, step 130), and the window timer keeps posting ticks meanwhile. A tick that
// arrives while an earlier one is still running is dropped, as if the platform had not
// delivered it: counted during a run, a click in the interval list could bring the count back
// to the due point and start a second timed run on top of the first; and dropping keeps
// "Backup is running in background..." in view instead of counting past zero. Ticks inside a
// Backup Now run or its pause are not nested in a tick and count as usual.
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
  trap.Step(104, [&] { interval_length_ = IntervalSeconds(); });
  trap.Step(106, [&] { Count(); });
  if (bar_loans_ == 0) {
    trap.Step(108, [&] { c_.progress.SetMax(interval_length_); });
    if (trap.Test(110, [&] { return elapsed_seconds_ <= interval_length_; })) {
      trap.Step(112, [&] { c_.progress.SetValue(elapsed_seconds_); });
    }
  }
  trap.Step(114, [&] {
    c_.status_line.SetCaption(kept_status_.empty() ? CountdownText() : kept_status_);
  });
  trap.Step(116, [&] { s_.pump.ProcessPendingEvents(); });
  if (trap.Test(118, [&] { return elapsed_seconds_ == interval_length_; })) {
    trap.Step(120, [&] { saved_status_ = c_.status_line.Caption(); });
    trap.Step(122, [&] { c_.status_line.SetCaption(kBackupRunning); });
    trap.Step(124, [&] { s_.pump.ProcessPendingEvents(); });
    RunOutcome outcome;
    // Nobody may be there to answer a box: what would be one goes to the history log. The run
    // shows on the progress bar how far it has come, and leaves the countdown's bar behind.
    trap.Step(126, [&] { outcome = RunLendingTheBar(Attendance::kUnattended); });
    // A run that failed keeps its own status: a missing destination or folders with errors
    // must not read as success. It stays in view, in place of the countdown text, until a run
    // completes cleanly; the progress bar still shows the countdown meanwhile.
    trap.Step(128, [&] {
      if (outcome.Clean()) c_.status_line.SetCaption(kAutoBackupComplete + NowText(s_.clock));
    });
    trap.Step(130, [&] { s_.pump.ProcessPendingEvents(); });
    trap.Step(132, [&] {
      if (outcome.Clean()) {
        RunEnded(outcome);
      } else {
        kept_status_ = outcome.final_status;
      }
      // A destination that is not there (a drive unplugged) is looked for once a minute, so
      // its backup need not wait a whole interval once it is back.
      missed_ = outcome.kind == RunOutcome::Kind::kDestinationMissing;
      next_look_ = s_.clock.MonotonicSeconds() + kLookForDestinationSeconds;
      c_.status_line.SetCaption(StatusToPutBack(saved_status_));
    });
    // A run's own duration is not counted: the next period starts when it ends.
    trap.Step(134, [&] {
      elapsed_seconds_ = 0;
      if (On() && interval_length_ > 0) Restart(s_.clock.UtcSeconds(), interval_length_);
    });
    return outcome;
  }
  return std::nullopt;
}

RunOutcome Countdown::RunLendingTheBar(Attendance attendance) {
  const ProgressBarLoan loan(c_.progress);
  ++bar_loans_;
  struct GiveBack {
    int& loans;
    ~GiveBack() { --loans; }
  } give_back{bar_loans_};
  return s_.backup.SaveAll(attendance);
}

void Countdown::Resumed() {
  if (On() && due_ && interval_length_ > 0) Settle(due_, s_.clock.UtcSeconds());
}

void Countdown::RunEnded(const RunOutcome& outcome) {
  // A run that found its destination has made the backup a missed timed run waited for.
  if (outcome.kind == RunOutcome::Kind::kClean || outcome.kind == RunOutcome::Kind::kWithErrors) {
    missed_ = false;
  }
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
  return kNextBackupIn +
         SecondsToClock(static_cast<long long>(interval_length_) - elapsed_seconds_);
}

void Countdown::SwitchAutoBackup(ErrorTrap& trap) {
  if (trap.Test(100, [&] { return c_.switch_button.Caption() == kTurnOn; })) {
    trap.Step(102, [&] { c_.switch_button.SetCaption(kTurnOff); });
    trap.Step(104, [&] { c_.timer.SetInterval(kTickMilliseconds); });
    // The count goes on from where it stopped; it counted nothing while off.
    trap.Step(105, [&] {
      const double now = s_.clock.UtcSeconds();
      if (left_when_off_) {
        Restart(now, *left_when_off_);
      } else if (c_.intervals.Selected() != 0 && (interval_length_ = IntervalSeconds()) > 0) {
        Restart(now, interval_length_);
      }
      left_when_off_.reset();
    });
    trap.Step(106, [&] { s_.settings.SaveSetting(kKeyStartStopState, kOn); });
  } else if (trap.Test(108, [&] { return c_.switch_button.Caption() == kTurnOff; })) {
    trap.Step(110, [&] { c_.switch_button.SetCaption(kTurnOn); });
    trap.Step(112, [&] { c_.timer.SetInterval(0); });
    // No timed backup falls due while automatic backup is off.
    trap.Step(113, [&] {
      if (due_) left_when_off_ = shown_left_;
      due_.reset();
      missed_ = false;
      StoreDue();
    });
    trap.Step(114, [&] { s_.settings.SaveSetting(kKeyStartStopState, kOff); });
  }
}

}  // namespace tess
