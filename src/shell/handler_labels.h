// The location labels an error report names, one per handler of the main window. Users and
// support have always read them in this form, which keeps the window's and the controls' old
// names; they are texts of the program, not derived from the code's names.
#pragma once

#include <array>

namespace tess {

struct HandlerLabel {
  const char* handler;  // the MainForm member function whose trap reports under this label
  const char* text;     // exactly as the report shows it, with its leading "in " and final blank
};

namespace labels {
inline constexpr HandlerLabel kLoad{"OnLoad", "in Tessaline2021/08/31.Form1.Form_Load "};
inline constexpr HandlerLabel kQueryEndSession{
    "OnQueryEndSession", "in Tessaline2021/08/31.Form1.Form_QueryEndSession "};
inline constexpr HandlerLabel kQueryUnload{"OnQueryUnload",
                                           "in Tessaline2021/08/31.Form1.Form_QueryUnload "};
inline constexpr HandlerLabel kBrowseClick{"OnBrowseClick",
                                           "in Tessaline2021/08/31.Form1.PushButton1_Click "};
inline constexpr HandlerLabel kViewFolderClick{"OnViewFolderClick",
                                               "in Tessaline2021/08/31.Form1.PushButton2_Click "};
inline constexpr HandlerLabel kViewHistoryClick{"OnViewHistoryClick",
                                                "in Tessaline2021/08/31.Form1.PushButton3_Click "};
inline constexpr HandlerLabel kCopyHistoryClick{"OnCopyHistoryClick",
                                                "in Tessaline2021/08/31.Form1.PushButton4_Click "};
inline constexpr HandlerLabel kAutoBackupClick{"OnAutoBackupClick",
                                               "in Tessaline2021/08/31.Form1.PushButton5_Click "};
inline constexpr HandlerLabel kBackupNowClick{"OnBackupNowClick",
                                              "in Tessaline2021/08/31.Form1.PushButton6_Click "};
inline constexpr HandlerLabel kAddFolderClick{"OnAddFolderClick",
                                              "in Tessaline2021/08/31.Form1.PushButton7_Click "};
inline constexpr HandlerLabel kClearListClick{"OnClearListClick",
                                              "in Tessaline2021/08/31.Form1.PushButton8_Click "};
inline constexpr HandlerLabel kSamplesClick{"OnSamplesClick",
                                            "in Tessaline2021/08/31.Form1.PushButton9_Click "};
inline constexpr HandlerLabel kHelpClick{"OnHelpClick",
                                         "in Tessaline2021/08/31.Form1.PushButton11_Click "};
inline constexpr HandlerLabel kClearHistoryClick{
    "OnClearHistoryClick", "in Tessaline2021/08/31.Form1.PushButton12_Click "};
inline constexpr HandlerLabel kTimerTick{"OnTimerTick", "in Tessaline2021/08/31.Form1.Timer1 "};

// Every handler that reports, in the order of the window's design.
inline constexpr std::array kAll{kLoad,
                                 kQueryEndSession,
                                 kQueryUnload,
                                 kBrowseClick,
                                 kViewFolderClick,
                                 kViewHistoryClick,
                                 kCopyHistoryClick,
                                 kAutoBackupClick,
                                 kBackupNowClick,
                                 kAddFolderClick,
                                 kClearListClick,
                                 kSamplesClick,
                                 kHelpClick,
                                 kClearHistoryClick,
                                 kTimerTick};
}  // namespace labels

}  // namespace tess
