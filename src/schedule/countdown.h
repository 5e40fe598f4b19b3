// The one-second countdown that starts timed backups: the interval list, the tick, the
// automatic-backup switch, and the counts they share.
#pragma once

#include <optional>
#include <string>

#include "backup/backup_run.h"

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
  Countdown(Controls controls, ProgramSettings& settings, EventPump& pump, Clock& clock,
            BackupRun& backup)
      : c_(controls), settings_(settings), pump_(pump), clock_(clock), backup_(backup) {}

  // Ticks counted since the last timed run or the last choice of interval.
  int ElapsedSeconds = 0;
  // The chosen interval in seconds, as the last tick or choice read it.
  int IntervalLength = 0;
  // The status line before a timed run, put back after it.
  std::string SavedStatus;

  // Start-up, as steps 122 to 136 of the caller's trap: the interval list, the stored choice
  // and the stored state of the switch.
  void Restore(ErrorTrap& trap);
  // Seconds of the selected interval; throws PlatformError when none is selected.
  int IntervalSeconds();
  // The user chose an interval (a click, or the keyboard): stored, and the count starts over.
  void IntervalChosen();
  // One tick of the window timer, as steps of the caller's trap; the outcome of the timed run
  // it made, when the count fell due.
  std::optional<RunOutcome> Tick(ErrorTrap& trap);
  // Turn On / Turn Off Auto Backup, as steps of the caller's trap.
  void SwitchAutoBackup(ErrorTrap& trap);
  // A run ended (Backup Now's, or the tick's own). A clean one puts right a failure kept from
  // a timed run; a failed one takes a kept failure's place with its newer status. Only a
  // timed run's failure is kept where none was: Backup Now shows its own for its pause.
  void RunEnded(const RunOutcome& outcome);
  // The text a command that borrowed the status line puts back in place of the one it found
  // there: a failure still kept stays in view, and a failure put right since gives way to the
  // countdown text.
  std::string StatusToPutBack(const std::string& before) const;

 private:
  // "Next backup will occur in " and the time left.
  std::string CountdownText() const;

  Controls c_;
  ProgramSettings& settings_;
  EventPump& pump_;
  Clock& clock_;
  BackupRun& backup_;
  // True while a tick runs (its event passes and its backup run included).
  bool tick_running_ = false;
  // The status of the last failed timed run (or of a failed run after it); shown instead of
  // the countdown text until a run completes cleanly, so a failure stays in view.
  std::string kept_status_;
  // The last kept status that a clean run put right, so that nothing puts it back.
  std::string put_right_status_;
};

}  // namespace tess
