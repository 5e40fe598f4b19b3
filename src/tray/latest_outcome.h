// The tray's word on the latest backup run: its tip names the run's final status on a second
// line, its icon carries a warning while that run did not complete cleanly, and a balloon says
// so once when the outcome turns from clean to failed. Kept in the settings, so a restart (and
// a run from the command line) shows it too.
#pragma once

#include <string>

namespace tess {

class TrayIcon;
class NotifyIcon;
class ProgramSettings;

// Stores the latest run's final status and whether it was clean.
void StoreLatestOutcome(ProgramSettings& settings, const std::string& status, bool clean);

class LatestOutcome {
 public:
  LatestOutcome(TrayIcon& tray, NotifyIcon& shell, ProgramSettings& settings)
      : tray_(tray), shell_(shell), settings_(settings) {}

  // At start: the stored outcome into the tip and the icon; none stored reads as clean.
  void Restore();
  // A run from the command line stored its outcome while the window runs: shown as a run of the
  // window's own would be, balloon included.
  void Reread(bool window_hidden);
  // A run ended: stored and shown. A balloon tells a hidden window's user that the outcome
  // turned from clean to failed; while it stays failed the icon alone says it, so an unplugged
  // drive and a short interval do not bring a balloon every few seconds.
  void Show(const std::string& status, bool clean, bool window_hidden);
  // While a run goes on, the tip's second line tells how far it has come; the next Show puts
  // the outcome back.
  void ShowProgress(const std::string& progress);
  bool Clean() const { return clean_; }

 private:
  // The stored status; sets whether it was clean. None stored, or unreadable, reads as clean.
  std::string Read();
  void Present(const std::string& status);
  void BalloonIfTurnedFailed(bool was_clean, const std::string& status, bool window_hidden);

  TrayIcon& tray_;
  NotifyIcon& shell_;
  ProgramSettings& settings_;
  bool clean_ = true;
};

}  // namespace tess
