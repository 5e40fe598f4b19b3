// The countdown that starts timed backups: the interval list, the one-second tick, the
// automatic-backup switch, and the time the next timed backup falls due, kept as clock time so
// it survives a restart and a sleep.
#pragma once

#include <functional>
#include <optional>
#include <string>

#include "backup/backup_run.h"
#include "schedule/due_time.h"

namespace tess {

class CaptionModel;
class ListViewModel;
class ProgressBarModel;
class TimerModel;
class ProgramSettings;
class EventPump;
class Clock;
class ErrorTrap;
struct RunOutcome;

class Countdown {
 public:
  struct Controls {
    ListViewModel& intervals;
    TimerModel& timer;
    ProgressBarModel& progress;
    CaptionModel& status_line;
    CaptionModel& switch_button;
  };
  struct Services {
    ProgramSettings& settings;
    EventPump& pump;
    Clock& clock;
    BackupRun& backup;
    // Whether the destination is there now; asked quietly once a minute while a timed run
    // waits for it. Never throws.
    std::function<bool()> destination_found;
  };
  Countdown(Controls controls, Services services) : c_(controls), s_(std::move(services)) {}

  // The whole seconds of the interval that have gone by, as the status line and the progress
  // bar show them: the interval less the time left until the next timed backup falls due.
  int ElapsedSeconds() const { return elapsed_seconds_; }
  // The chosen interval in seconds, as the last tick or choice read it.
  int IntervalLength() const { return interval_length_; }
  // The status line before a timed run, put back after it.
  const std::string& SavedStatus() const { return saved_status_; }

  // Start-up, as steps 122 to 137 of the caller's trap: the interval list, the stored choice,
  // the stored state of the switch and, with automatic backup on, when the next timed backup
  // falls due.
  void Restore(ErrorTrap& trap);
  // Seconds of the selected interval; throws PlatformError when none is selected.
  int IntervalSeconds();
  // The user chose an interval (a click, or the keyboard): stored, and the count starts over.
  void IntervalChosen();
  // One tick of the window timer, as steps of the caller's trap; the outcome of the timed run
  // it made, when one fell due.
  std::optional<RunOutcome> Tick(ErrorTrap& trap);
  // Turn On / Turn Off Auto Backup, as steps of the caller's trap.
  void SwitchAutoBackup(ErrorTrap& trap);
  // The machine woke from sleep: a timed backup missed meanwhile comes a minute later.
  void Resumed();
  // A run ended (Backup Now's, or the tick's own). A clean one puts right a failure kept from
  // a timed run; a failed one takes a kept failure's place with its newer status. Only a
  // timed run's failure is kept where none was: Backup Now shows its own for its pause.
  void RunEnded(const RunOutcome& outcome);
  // A backup run (Backup Now's, or the tick's own) with the progress bar lent to it: the run
  // shows on it how far it has come, the countdown leaves it alone meanwhile, and what it
  // showed comes back when the run ends.
  RunOutcome RunLendingTheBar(Attendance attendance);
  // The text a command that borrowed the status line puts back in place of the one it found
  // there: a failure still kept stays in view, and a failure put right since gives way to the
  // countdown text.
  std::string StatusToPutBack(const std::string& before) const;

 private:
  bool On() const;
  // Reads the clock and brings the due time and the elapsed seconds up to date (step 106).
  void Count();
  // A count of whole seconds that starts now and is stored: the next timed backup falls due
  // that many seconds from now.
  void Restart(double now, int seconds);
  // A due time met at a start, a wake or a tick: the count goes on to it, or restarts for a
  // catch-up run or a fresh period.
  void Settle(std::optional<double> due, double now, const DueSlack& slack = {});
  // The whole seconds shown as left until the due time.
  int SecondsLeft(double now) const;
  void StoreDue();
  std::optional<double> StoredDue();
  // "Next backup will occur in " and the time left.
  std::string CountdownText() const;

  Controls c_;
  Services s_;
  int elapsed_seconds_ = 0;
  int interval_length_ = 0;
  std::string saved_status_;
  // When the next timed backup falls due (UTC seconds); none while automatic backup is off.
  std::optional<double> due_;
  // The whole seconds the status line shows as left, or the count started with.
  int shown_left_ = 0;
  // What was left when automatic backup was switched off; switching on goes on from there.
  std::optional<int> left_when_off_;
  // The last timed run found no destination: it is looked for quietly once a minute.
  bool missed_ = false;
  double next_look_ = 0;  // monotonic seconds
  // True while a tick runs (its event passes and its backup run included).
  bool tick_running_ = false;
  int bar_loans_ = 0;
  // The status of the last failed timed run (or of a failed run after it); shown instead of
  // the countdown text until a run completes cleanly, so a failure stays in view.
  std::string kept_status_;
  // The last kept status that a clean run put right, so that nothing puts it back.
  std::string put_right_status_;
};

}  // namespace tess
