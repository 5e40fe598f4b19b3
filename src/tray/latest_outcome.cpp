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

void LatestOutcome::Restore() {
  std::string status;
  try {
    status = settings_.GetSetting(kKeyLatestBackupStatus, "");
    clean_ = settings_.GetSetting(kKeyLatestBackupClean, kOn) != kOff;
  } catch (...) {
    status.clear();
    clean_ = true;
  }
  Present(status);
}

void LatestOutcome::Show(const std::string& status, bool clean, bool window_hidden) {
  const bool turned_failed = clean_ && !clean;
  clean_ = clean;
  StoreLatestOutcome(settings_, status, clean);
  Present(status);
  if (turned_failed && window_hidden) tray_.ShowBalloon(status, kProductName, 0, false);
}

void LatestOutcome::ShowProgress(const std::string& progress) {
  tray_.SetTrayTip(std::string(kProductName) + "\n" + progress);
}

void LatestOutcome::Present(const std::string& status) {
  tray_.SetTrayTip(status.empty() ? std::string(kProductName)
                                  : std::string(kProductName) + "\n" + status);
  tray_.SetIcon(clean_ ? shell_.ProgramIcon() : shell_.WarningIcon());
}

}  // namespace tess
