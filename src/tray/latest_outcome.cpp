#include "tray/latest_outcome.h"

#include "base/product.h"
#include "ports/notify_icon.h"
#include "ports/program_settings.h"
#include "tray/tray_icon.h"

namespace tess {

void StoreLatestOutcome(ProgramSettings& settings, const std::string& status, bool clean) {
  try {
    settings.SaveSetting(kKeyLatestBackupStatus, status);
    settings.SaveSetting(kKeyLatestBackupClean, clean ? kOn : kOff);
  } catch (...) {
    // Only the memory of the outcome for the next start is lost.
  }
}

std::string LatestOutcome::Read() {
  try {
    std::string status = settings_.GetSetting(kKeyLatestBackupStatus, "");
    clean_ = settings_.GetSetting(kKeyLatestBackupClean, kOn) != kOff;
    return status;
  } catch (...) {
    clean_ = true;
    return "";
  }
}

void LatestOutcome::Restore() { Present(Read()); }

void LatestOutcome::Reread(bool window_hidden) {
  const bool was_clean = clean_;
  const std::string status = Read();
  Present(status);
  BalloonIfTurnedFailed(was_clean, status, window_hidden);
}

void LatestOutcome::Show(const std::string& status, bool clean, bool window_hidden) {
  const bool was_clean = clean_;
  clean_ = clean;
  StoreLatestOutcome(settings_, status, clean);
  Present(status);
  BalloonIfTurnedFailed(was_clean, status, window_hidden);
}

void LatestOutcome::ShowProgress(const std::string& progress) {
  tray_.SetTrayTip(std::string(kProductName) + "\n" + progress);
}

void LatestOutcome::BalloonIfTurnedFailed(bool was_clean, const std::string& status,
                                          bool window_hidden) {
  if (was_clean && !clean_ && window_hidden) tray_.ShowBalloon(status, kProductName, 0, false);
}

void LatestOutcome::Present(const std::string& status) {
  tray_.SetTrayTip(status.empty() ? std::string(kProductName)
                                  : std::string(kProductName) + "\n" + status);
  tray_.SetIcon(clean_ ? shell_.ProgramIcon() : shell_.WarningIcon());
}

}  // namespace tess
