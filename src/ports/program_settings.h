// The program's one settings section ("Quintaro\Tessaline") over the settings store, and the
// keys it holds.
#pragma once

#include <string>

#include "ports/settings_store.h"

namespace tess {

inline constexpr char kSettingsApp[] = "Quintaro";
inline constexpr char kSettingsSection[] = "Tessaline";

inline constexpr char kKeyFolders[] = "Folders";
inline constexpr char kKeyPath[] = "Path";
inline constexpr char kKeyOftenIndex[] = "OftenIndex";
inline constexpr char kKeyStartStopState[] = "StartStopState";
inline constexpr char kKeyBackupOption[] = "Backup Option";
inline constexpr char kKeyIncludeDate[] = "Include Date";
inline constexpr char kKeyWindowsStartup[] = "Windows Startup";
inline constexpr char kKeyMinimized[] = "Minimized";
inline constexpr char kKeyLastFolder[] = "LastFolder";
// "Off" makes every stamped backup folder a copy of its own; otherwise (and when absent) its
// unchanged files share their space with the entry's previous backup folder.
inline constexpr char kKeySnapshotLinks[] = "Snapshot Links";
// "On": each run thins out the older dated backup folders of every entry it copied; anything
// else, or nothing, keeps them all.
inline constexpr char kKeyKeepFewerBackups[] = "Keep Fewer Backups";

// When the next timed backup falls due, as UTC text ("2026-12-08T17:30:00Z"); empty while
// automatic backup is off.
inline constexpr char kKeyNextBackupDue[] = "Next Backup Due";
// "On" while a timed backup is owed because it found no destination: the next start looks for
// the destination once a minute and runs as soon as it is there.
inline constexpr char kKeyMissedBackupOwed[] = "Missed Backup Owed";
// While automatic backup is off, the whole seconds that were left when it was switched off
// ("14"); switching it on, in this run or a later one, goes on from there. Empty while on.
inline constexpr char kKeySecondsLeftWhenOff[] = "Seconds Left When Off";

// The final status of the latest backup run (timed, Backup Now or from the command line), and
// "On" when it completed cleanly, "Off" when not.
inline constexpr char kKeyLatestBackupStatus[] = "Latest Backup Status";
inline constexpr char kKeyLatestBackupClean[] = "Latest Backup Clean";

// What each listed folder's last whole copy went through, files and bytes, so a run can show
// how far it has come against it.
inline constexpr char kKeyEntryTotals[] = "Entry Totals";
// Per listed folder, where the reading back of its newest backup stopped, and the files whose
// copies were found damaged beyond mending, which its next run copies afresh.
inline constexpr char kKeyReadBackState[] = "Read Back State";

inline constexpr char kOn[] = "On";
inline constexpr char kOff[] = "Off";

class ProgramSettings {
 public:
  explicit ProgramSettings(SettingsStore& store) : store_(store) {}
  std::string GetSetting(const std::string& key, const std::string& default_value) {
    return store_.GetSetting(kSettingsApp, kSettingsSection, key, default_value);
  }
  void SaveSetting(const std::string& key, const std::string& value) {
    store_.SaveSetting(kSettingsApp, kSettingsSection, key, value);
  }

 private:
  SettingsStore& store_;
};

}  // namespace tess
