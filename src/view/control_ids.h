// Stable names for the main window and its child controls, shared by the window and by the
// end-to-end driver that finds and talks to them from another process.
#pragma once

namespace tess::win32 {

inline constexpr wchar_t kMainWindowClass[] = L"TessalineMainWindow";

// Child control identifiers. 1 and 2 stay free: the dialog keyboard handling sends them for
// Enter and Escape.
enum ControlId : int {
  kIdFrame1 = 101,
  kIdFrame2 = 102,
  kIdFrame3 = 103,
  kIdProgressBar1 = 111,
  kIdListView1 = 121,
  kIdListView2 = 122,
  kIdText5 = 131,
  kIdOption3 = 143,
  kIdOption4 = 144,
  kIdCheck4 = 154,
  kIdCheck6 = 156,
  kIdCheck8 = 158,
  kIdPushButton1 = 201,
  kIdPushButton2 = 202,
  kIdPushButton3 = 203,
  kIdPushButton4 = 204,
  kIdPushButton5 = 205,
  kIdPushButton6 = 206,
  kIdPushButton7 = 207,
  kIdPushButton8 = 208,
  kIdPushButton9 = 209,
  kIdPushButton11 = 211,
  kIdPushButton12 = 212,
};

inline constexpr unsigned kTimer1Id = 1;

}  // namespace tess::win32
