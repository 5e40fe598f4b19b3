// The one-second countdown that starts timed backups: the interval list, the tick, the
// automatic-backup switch, and the counts they share.
#pragma once

#include <string>

namespace tess {

class CaptionModel;
class ListViewModel;
class ProgressBarModel;
class TimerModel;
class ProgramSettings;
class EventPump;
class Clock;
class BackupRun;
class ErrorTrap;

class Countdown {
 public:
  struct Controls {
    ListViewModel& intervals;     // ListView2
    TimerModel& timer;            // Timer1
    ProgressBarModel& progress;   // ProgressBar1
    CaptionModel& status_line;    // Frame1
    CaptionModel& switch_button;  // PushButton5
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
  // One tick of the window timer, as steps of the caller's trap.
  void Tick(ErrorTrap& trap);
  // Turn On / Turn Off Auto Backup, as steps of the caller's trap.
  void SwitchAutoBackup(ErrorTrap& trap);

 private:
  Controls c_;
  ProgramSettings& settings_;
  EventPump& pump_;
  Clock& clock_;
  BackupRun& backup_;
  // True while a tick runs (its event passes and its backup run included).
  bool tick_running_ = false;
  // The status of the last timed run when it did not complete cleanly; shown instead of the
  // countdown text until the next timed run, so a failure stays in view.
  std::string kept_status_;
};

}  // namespace tess
