#include "options/option_controls.h"

#include <exception>
#include <string>

#include "base/conversions.h"
#include "base/error_trap.h"
#include "controls/controls.h"
#include "options/startup_entry.h"
#include "ports/environment.h"
#include "ports/program_settings.h"

namespace tess {

namespace {
constexpr char kCreateNew[] = "1";
constexpr char kOverwrite[] = "2";

// Only dated folders are ever thinned, so with the stamp off there is nothing to keep fewer of.
bool KeepsFewer(FolderStamp stamp, bool keep_fewer) {
  return stamp != FolderStamp::kNone && keep_fewer;
}

// A setting that cannot be read is as when it was never written.
bool StoredOn(ProgramSettings& settings, const char* key, const char* default_value) {
  try {
    return settings.GetSetting(key, default_value) == kOn;
  } catch (...) {
    return std::string(default_value) == kOn;
  }
}

bool StoredSnapshotLinks(ProgramSettings& settings) {
  try {
    return settings.GetSetting(kKeySnapshotLinks, kOn) != kOff;
  } catch (...) {
    return true;
  }
}
}  // namespace

void OptionControls::Restore(ErrorTrap& trap) {
  short backup_option = 0;
  trap.Step(140, [&] {
    backup_option = ToInteger16(settings_.GetSetting(kKeyBackupOption, kCreateNew));
  });
  trap.Step(142, [&] {
    if (backup_option == 1) {
      c_.create_new.SetValue(true);
    } else {
      c_.overwrite.SetValue(true);
    }
  });
  const auto stored_on = [&](const char* key, const char* default_value) {
    return settings_.GetSetting(key, default_value) == kOn ? 1 : 0;
  };
  trap.Step(144, [&] { c_.stamp.SetValue(stored_on(kKeyIncludeDate, kOn)); });
  trap.Step(146, [&] { c_.start_with_windows.SetValue(stored_on(kKeyWindowsStartup, kOff)); });
  trap.Step(148, [&] { c_.start_in_tray.SetValue(stored_on(kKeyMinimized, kOff)); });
  // The box follows the stamp box as the stamp box's own click would set it, whether or not
  // the restore above clicked it.
  trap.Step(149, [&] {
    c_.keep_fewer.SetValue(stored_on(kKeyKeepFewerBackups, kOff));
    c_.keep_fewer.SetEnabled(c_.stamp.Checked());
  });
}

void OptionControls::StartWithWindowsClicked() {
  if (c_.start_with_windows.Checked()) {
    c_.start_in_tray.SetVisible(true);
    settings_.SaveSetting(kKeyWindowsStartup, kOn);
    AddToWindowsStartup(registry_, environment_.ModulePath());
  } else {
    c_.start_in_tray.SetValue(0);
    c_.start_in_tray.SetVisible(false);
    settings_.SaveSetting(kKeyWindowsStartup, kOff);
    RemoveFromWindowsStartup(registry_, environment_.ModulePath());
  }
}

void OptionControls::StartInTrayClicked() {
  settings_.SaveSetting(kKeyMinimized, c_.start_in_tray.Checked() ? kOn : kOff);
}

void OptionControls::StampClicked() {
  if (c_.stamp.Checked()) {
    settings_.SaveSetting(kKeyIncludeDate, kOn);
    c_.create_new.SetEnabled(true);
    c_.overwrite.SetEnabled(true);
    c_.keep_fewer.SetEnabled(true);
  } else {
    c_.create_new.SetEnabled(false);
    c_.overwrite.SetEnabled(false);
    c_.keep_fewer.SetEnabled(false);
    settings_.SaveSetting(kKeyIncludeDate, kOff);
  }
}

void OptionControls::CreateNewChosen() { settings_.SaveSetting(kKeyBackupOption, kCreateNew); }

void OptionControls::OverwriteChosen() { settings_.SaveSetting(kKeyBackupOption, kOverwrite); }

void OptionControls::KeepFewerClicked() {
  settings_.SaveSetting(kKeyKeepFewerBackups, c_.keep_fewer.Checked() ? kOn : kOff);
}

RunChoices OptionControls::Choices() const {
  RunChoices choices;
  if (c_.stamp.Checked()) {
    choices.stamp = c_.create_new.Value()  ? FolderStamp::kDateAndTime
                    : c_.overwrite.Value() ? FolderStamp::kDate
                                           : FolderStamp::kNameOnly;
  }
  choices.snapshot_links = StoredSnapshotLinks(settings_);
  choices.keep_fewer = KeepsFewer(choices.stamp, c_.keep_fewer.Checked());
  return choices;
}

RunChoices StoredRunChoices(ProgramSettings& settings) {
  RunChoices choices;
  if (settings.GetSetting(kKeyIncludeDate, kOn) == kOn) {
    short option = 0;
    try {
      option = ToInteger16(settings.GetSetting(kKeyBackupOption, kCreateNew));
    } catch (const std::exception&) {
      option = 0;
    }
    choices.stamp = option == 1 ? FolderStamp::kDateAndTime : FolderStamp::kDate;
  }
  choices.snapshot_links = StoredSnapshotLinks(settings);
  choices.keep_fewer = KeepsFewer(choices.stamp, StoredOn(settings, kKeyKeepFewerBackups, kOff));
  return choices;
}

}  // namespace tess
