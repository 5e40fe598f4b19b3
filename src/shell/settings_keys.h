// The one settings section the program owns, and its keys.
#pragma once

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

inline constexpr char kOn[] = "On";
inline constexpr char kOff[] = "Off";

}  // namespace tess
