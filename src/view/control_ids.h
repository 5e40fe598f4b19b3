// Stable names for the main window and its child controls, shared by the window and by the
// end-to-end driver that finds and talks to them from another process.
#pragma once

namespace tess::view {

inline constexpr wchar_t kMainWindowClass[] = L"TessalineMainWindow";

// Child control identifiers. 1 and 2 stay free: the dialog keyboard handling sends them for
// Enter and Escape.
enum ControlId : int {
  kIdStatusFrame = 101,
  kIdDestinationFrame = 102,
  kIdOptionsFrame = 103,
  kIdProgressBar = 111,
  kIdFolderList = 121,
  kIdIntervalList = 122,
  kIdDestinationBox = 131,
  kIdCreateNewOption = 143,
  kIdOverwriteOption = 144,
  kIdStartWithWindowsBox = 154,
  kIdStampBox = 156,
  kIdStartInTrayBox = 158,
  kIdKeepFewerBox = 160,
  kIdBrowseButton = 201,
  kIdViewFolderButton = 202,
  kIdViewHistoryButton = 203,
  kIdCopyHistoryButton = 204,
  kIdAutoBackupButton = 205,
  kIdBackupNowButton = 206,
  kIdAddFolderButton = 207,
  kIdClearListButton = 208,
  kIdSamplesButton = 209,
  kIdHelpButton = 211,
  kIdClearHistoryButton = 212,
};

inline constexpr unsigned kTimerId = 1;

}  // namespace tess::view
