// The window view in the test's own process, over test doubles: controls lettered and placed
// from the models, the user's input reaching the models, model changes reaching the controls
// without echoing back, window state, pointer, timer and close.
// <windows.h> first: the other Windows headers build on it.
// clang-format off
#include <windows.h>
#include <commctrl.h>
// clang-format on

#include "view/main_window.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "main_window_fixture.h"
#include "support/fakes.h"
#include "view/control_ids.h"
#include "win32/text.h"
#include "win32/win_event_pump.h"
#include "win32/win_notify_icon.h"
#include "win_support/window_queries.h"

namespace tess::view {
namespace {

using test::FakeServices;
using test::ListItemText;
using test::ListSelection;
using test::SelectListItem;
using test::TextOf;

LOGFONTW FontOf(HWND window) {
  LOGFONTW font = {};
  const auto handle = reinterpret_cast<HFONT>(SendMessageW(window, WM_GETFONT, 0, 0));
  GetObjectW(handle, sizeof(font), &font);
  return font;
}

std::pair<int, int> SelectionOf(HWND edit) {
  DWORD start = 0;
  DWORD end = 0;
  SendMessageW(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  return {static_cast<int>(start), static_cast<int>(end)};
}

int Writes(const test::FakeSettingsStore& store, const std::string& entry) {
  return static_cast<int>(std::count(store.write_log.begin(), store.write_log.end(), entry));
}

TEST_F(MainWindowTest, TextIsArialBoldNinePointAndPushButtonsElevenAndAQuarter) {
  const int dpi = window_->Dpi();
  for (int id : {kIdStatusFrame, kIdFolderList, kIdOverwriteOption, kIdStartInTrayBox,
                 kIdDestinationBox, kIdIntervalList}) {
    SCOPED_TRACE(id);
    const LOGFONTW font = FontOf(Control(id));
    EXPECT_STREQ(font.lfFaceName, L"Arial");
    EXPECT_EQ(font.lfWeight, FW_BOLD);
    EXPECT_EQ(font.lfHeight, -MulDiv(9, dpi, 72));
  }
  for (int id : {kIdBrowseButton, kIdAutoBackupButton, kIdClearHistoryButton}) {
    const LOGFONTW font = FontOf(Control(id));
    EXPECT_STREQ(font.lfFaceName, L"Arial");
    EXPECT_EQ(font.lfWeight, FW_BOLD);
    EXPECT_EQ(font.lfHeight, -MulDiv(1125, dpi, 7200));
  }
}

TEST_F(MainWindowTest, ControlsInsideAFrameArePlacedFromTheFramesCorner) {
  const int dpi = window_->Dpi();
  RECT rect = {};
  GetWindowRect(Control(kIdOverwriteOption), &rect);
  MapWindowPoints(nullptr, Main(), reinterpret_cast<POINT*>(&rect), 2);
  EXPECT_EQ(rect.left, MulDiv(120, dpi, 1440) + MulDiv(225, dpi, 1440));
  EXPECT_EQ(rect.top, MulDiv(3675, dpi, 1440) + MulDiv(650, dpi, 1440));
  EXPECT_EQ(rect.right - rect.left, MulDiv(3840, dpi, 1440));
}

TEST_F(MainWindowTest, CaptionsProgressAndWindowTextFollowTheModels) {
  EXPECT_EQ(TextOf(Main()), L"Tessaline");
  form_->status_frame.SetCaption("Backing up files...");
  EXPECT_EQ(TextOf(Control(kIdStatusFrame)), L"Backing up files...");
  form_->SetCaption("Tessaline \xC3\xA9");
  EXPECT_EQ(TextOf(Main()), L"Tessaline \u00e9");

  const HWND bar = Control(kIdProgressBar);
  form_->progress_bar.SetMax(900);
  form_->progress_bar.SetValue(450);
  form_->progress_bar.SetText("Progress Bar");
  EXPECT_EQ(SendMessageW(bar, PBM_GETRANGE, FALSE, 0), 900);
  EXPECT_EQ(SendMessageW(bar, PBM_GETPOS, 0, 0), 450);
  EXPECT_EQ(TextOf(bar), L"Progress Bar");

  form_->start_in_tray_box.SetVisible(false);
  EXPECT_FALSE(IsWindowVisible(Control(kIdStartInTrayBox)));
  form_->create_new_option.SetEnabled(false);
  EXPECT_FALSE(IsWindowEnabled(Control(kIdCreateNewOption)));
}

TEST_F(MainWindowTest, OnlyTheUsersIntervalChoiceIsStored) {
  const HWND list = Control(kIdIntervalList);
  ASSERT_EQ(ListView_GetItemCount(list), 15);
  EXPECT_EQ(ListSelection(list), 6);
  EXPECT_FALSE(fakes_.settings.Has("OftenIndex"));

  // The program moving the selection is not a choice of the user's.
  form_->interval_list.Select(3);
  EXPECT_EQ(ListSelection(list), 2);
  EXPECT_FALSE(fakes_.settings.Has("OftenIndex"));

  // Some of the interval goes by, which a choice starts over.
  const auto count_a_while = [&] {
    form_->OnTimerTick();
    fakes_.clock.Advance(2);
    form_->OnTimerTick();
    EXPECT_GT(form_->Schedule().ElapsedSeconds(), 0);
  };
  count_a_while();
  SelectListItem(list, 0);
  EXPECT_EQ(form_->interval_list.Selected(), 1);
  EXPECT_EQ(fakes_.settings.values["OftenIndex"], "1");
  EXPECT_EQ(form_->Schedule().ElapsedSeconds(), 0);

  // A click on the entry already selected restarts the count and stores the choice again.
  count_a_while();
  RECT item = {};
  item.left = LVIR_BOUNDS;
  SendMessageW(list, LVM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&item));
  const LPARAM at = MAKELPARAM((item.left + item.right) / 2, (item.top + item.bottom) / 2);
  SendMessageW(list, WM_LBUTTONDOWN, MK_LBUTTON, at);
  SendMessageW(list, WM_LBUTTONUP, 0, at);
  Pump();
  EXPECT_EQ(form_->Schedule().ElapsedSeconds(), 0);
  EXPECT_EQ(Writes(fakes_.settings, "OftenIndex=1"), 2);

  // Moving the selection with the keyboard is a choice too.
  SetFocus(list);
  SendMessageW(list, WM_KEYDOWN, VK_DOWN, 0);
  EXPECT_EQ(ListSelection(list), 1);
  EXPECT_EQ(form_->interval_list.Selected(), 2);
  EXPECT_EQ(fakes_.settings.values["OftenIndex"], "2");
}

TEST_F(MainWindowTest, FolderListTakesTheUsersSelectionAndKeys) {
  const HWND list = Control(kIdFolderList);
  form_->folder_list.Append("C:\\A");
  form_->folder_list.Append("D:\\\xE4\xB8\xAD");
  form_->folder_list.Append("E:\\C");
  Pump();
  ASSERT_EQ(ListView_GetItemCount(list), 3);
  EXPECT_EQ(ListItemText(list, 1), L"D:\\\u4e2d");

  SelectListItem(list, 1);
  EXPECT_EQ(form_->folder_list.Selected(), 2);
  SendMessageW(list, WM_KEYDOWN, VK_BACK, 0);
  EXPECT_EQ(form_->folder_list.Count(), 3);
  SendMessageW(list, WM_KEYDOWN, VK_DELETE, 0);
  EXPECT_EQ(form_->folder_list.Count(), 2);
  EXPECT_EQ(ListView_GetItemCount(list), 2);
  EXPECT_EQ(fakes_.settings.values["Folders"], "C:\\A;E:\\C;");

  // A click on the empty part of the list keeps the selected entry.
  SelectListItem(list, 0);
  RECT client = {};
  GetClientRect(list, &client);
  const LPARAM below = MAKELPARAM(10, client.bottom - 5);
  SendMessageW(list, WM_LBUTTONDOWN, MK_LBUTTON, below);
  SendMessageW(list, WM_LBUTTONUP, 0, below);
  EXPECT_EQ(form_->folder_list.Selected(), 1);
  EXPECT_EQ(ListSelection(list), 0);
  SendMessageW(list, WM_LBUTTONDBLCLK, MK_LBUTTON, below);
  EXPECT_EQ(form_->folder_list.Count(), 1);
  EXPECT_EQ(form_->folder_list.ItemText(1), "E:\\C");

  // While the hourglass shows, the same commands leave the list alone.
  SelectListItem(list, 0);
  form_->SetMousePointer(Pointer::kHourglass);
  SendMessageW(list, WM_KEYDOWN, VK_DELETE, 0);
  EXPECT_EQ(ListView_GetItemCount(list), 1);

  form_->folder_list.Clear();
  EXPECT_EQ(ListView_GetItemCount(list), 0);
  EXPECT_EQ(ListSelection(list), -1);
}

TEST_F(MainWindowTest, TheDestinationBoxEchoesNothingAndKeepsTheCaretWhileTyping) {
  const HWND edit = Control(kIdDestinationBox);
  EXPECT_EQ(TextOf(edit), L"C:\\Users\\Ann\\Desktop\\");
  const int path_writes = static_cast<int>(fakes_.settings.write_log.size());

  form_->destination_box.SetText("E:\\x");
  EXPECT_EQ(TextOf(edit), L"E:\\x");
  EXPECT_EQ(fakes_.settings.write_log.size(), static_cast<size_t>(path_writes + 1));

  SetFocus(edit);
  SendMessageW(edit, EM_SETSEL, 4, 4);
  SendMessageW(edit, WM_CHAR, L'y', 0);
  SendMessageW(edit, WM_CHAR, L'z', 0);
  EXPECT_EQ(form_->destination_box.Text(), "E:\\xyz");
  EXPECT_EQ(fakes_.settings.values["Path"], "E:\\xyz");
  EXPECT_EQ(fakes_.settings.write_log.size(), static_cast<size_t>(path_writes + 3));
  EXPECT_EQ(SelectionOf(edit), std::make_pair(6, 6));

  SetWindowTextW(edit, L"F:\\\u00dcber \u4e2d");
  EXPECT_EQ(form_->destination_box.Text(),
            "F:\\\xC3\x9C"
            "ber \xE4\xB8\xAD");

  // Coming back into the box selects all of it (in characters, not bytes).
  SetFocus(Control(kIdFolderList));
  SetFocus(edit);
  EXPECT_EQ(SelectionOf(edit), std::make_pair(0, 9));
}

TEST_F(MainWindowTest, CheckBoxesAndOptionButtonsDriveTheirModels) {
  EXPECT_EQ(SendMessageW(Control(kIdCreateNewOption), BM_GETCHECK, 0, 0), BST_CHECKED);
  SendMessageW(Control(kIdOverwriteOption), BM_CLICK, 0, 0);
  EXPECT_TRUE(form_->overwrite_option.Value());
  EXPECT_FALSE(form_->create_new_option.Value());
  EXPECT_EQ(SendMessageW(Control(kIdCreateNewOption), BM_GETCHECK, 0, 0), BST_UNCHECKED);
  EXPECT_EQ(SendMessageW(Control(kIdOverwriteOption), BM_GETCHECK, 0, 0), BST_CHECKED);
  EXPECT_EQ(fakes_.settings.values["Backup Option"], "2");

  SendMessageW(Control(kIdStampBox), BM_CLICK, 0, 0);
  EXPECT_FALSE(form_->stamp_box.Checked());
  EXPECT_EQ(fakes_.settings.values["Include Date"], "Off");
  EXPECT_FALSE(IsWindowEnabled(Control(kIdCreateNewOption)));
  EXPECT_FALSE(IsWindowEnabled(Control(kIdOverwriteOption)));

  form_->start_in_tray_box.SetValue(1);
  EXPECT_EQ(SendMessageW(Control(kIdStartInTrayBox), BM_GETCHECK, 0, 0), BST_CHECKED);
  EXPECT_EQ(fakes_.settings.values["Minimized"], "On");
}

TEST_F(MainWindowTest, TabVisitsTheControlsInTheOrderOfTheDesign) {
  SetFocus(Control(kIdFolderList));
  std::vector<int> visited;
  for (int i = 0; i < 19; ++i) {
    PressKey(GetFocus(), VK_TAB);
    visited.push_back(GetDlgCtrlID(GetFocus()));
  }
  // Of the two option buttons only the first starts a group and takes a Tab stop.
  EXPECT_EQ(visited,
            (std::vector<int>{
                kIdAddFolderButton, kIdClearListButton, kIdSamplesButton, kIdCreateNewOption,
                kIdStampBox, kIdKeepFewerBox, kIdStartWithWindowsBox, kIdStartInTrayBox,
                kIdIntervalList, kIdDestinationBox, kIdBrowseButton, kIdViewFolderButton,
                kIdAutoBackupButton, kIdBackupNowButton, kIdViewHistoryButton, kIdCopyHistoryButton,
                kIdHelpButton, kIdClearHistoryButton, kIdFolderList}));
  // That is every control the keyboard can use: each one with a Tab stop, and the second
  // option button, reached from the first with the arrow keys.
  std::vector<int> stops;
  for (HWND child = GetWindow(Main(), GW_CHILD); child != nullptr;
       child = GetWindow(child, GW_HWNDNEXT)) {
    if ((GetWindowLongW(child, GWL_STYLE) & WS_TABSTOP) != 0) stops.push_back(GetDlgCtrlID(child));
  }
  std::sort(stops.begin(), stops.end());
  std::sort(visited.begin(), visited.end());
  EXPECT_EQ(stops, visited);
  SetFocus(Control(kIdCreateNewOption));
  PressKey(GetFocus(), VK_DOWN);
  EXPECT_EQ(GetFocus(), Control(kIdOverwriteOption));
}

TEST_F(MainWindowTest, EnterPressesThePushButtonThatHasTheFocusAndNothingElse) {
  const HWND button = Control(kIdAutoBackupButton);
  const std::wstring caption = TextOf(button);
  ASSERT_EQ(form_->timer.Interval(), 1000);
  SetFocus(Control(kIdFolderList));
  PressKey(GetFocus(), VK_RETURN);
  EXPECT_EQ(TextOf(button), caption);
  EXPECT_EQ(form_->timer.Interval(), 1000);

  // Automatic backup switched off, as a click would.
  SetFocus(button);
  PressKey(button, VK_RETURN);
  EXPECT_NE(TextOf(button), caption);
  EXPECT_EQ(form_->timer.Interval(), 0);
}

TEST_F(MainWindowTest, OnceDetachedNeitherTheControlsNorTheModelsReachTheOtherSide) {
  const HWND check = Control(kIdStartInTrayBox);
  const HWND list = Control(kIdFolderList);
  form_->folder_list.Append("C:\\A");
  Pump();
  attachment_.reset();

  const size_t writes = fakes_.settings.write_log.size();
  SendMessageW(check, BM_CLICK, 0, 0);
  EXPECT_FALSE(form_->start_in_tray_box.Checked());
  EXPECT_EQ(fakes_.settings.write_log.size(), writes);
  form_->destination_box.SetText("Q:\\");
  EXPECT_NE(TextOf(Control(kIdDestinationBox)), L"Q:\\");
  form_->folder_list.Append("C:\\B");
  Pump();
  EXPECT_EQ(ListView_GetItemCount(list), 1);
  // The models may go before the window does.
  form_.reset();
  SendMessageW(check, BM_CLICK, 0, 0);
  SelectListItem(list, 0);
  SendMessageW(Main(), WM_TIMER, kTimerId, 0);
}

TEST_F(MainWindowTest, AFailingHandlerNeverEscapesTheWindowProcedure) {
  fakes_.settings.fail_writes = true;
  SendMessageW(Control(kIdStartInTrayBox), BM_CLICK, 0, 0);
  SetWindowTextW(Control(kIdDestinationBox), L"G:\\");
  fakes_.settings.fail_writes = false;
  EXPECT_TRUE(form_->start_in_tray_box.Checked());
  EXPECT_EQ(form_->destination_box.Text(), "G:\\");
  SendMessageW(Control(kIdStartInTrayBox), BM_CLICK, 0, 0);
  EXPECT_EQ(fakes_.settings.values["Minimized"], "Off");
}

TEST_F(MainWindowTest, BackgroundsAreWhiteUntilTheSkinAsksForButtonFace) {
  const auto brush_colour = [&](int id) -> COLORREF {
    const HDC dc = GetDC(Control(id));
    const auto brush = reinterpret_cast<HBRUSH>(
        SendMessageW(Main(), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                     reinterpret_cast<LPARAM>(Control(id))));
    ReleaseDC(Control(id), dc);
    LOGBRUSH info = {};
    if (brush == nullptr || GetObjectW(brush, sizeof(info), &info) == 0) return CLR_INVALID;
    return info.lbColor;
  };
  for (int id : {kIdOptionsFrame, kIdStampBox, kIdCreateNewOption})
    EXPECT_EQ(brush_colour(id), RGB(255, 255, 255));
  form_->SetBackColor(kButtonFace);
  for (int id : {kIdStatusFrame, kIdStartWithWindowsBox, kIdOverwriteOption}) {
    EXPECT_EQ(brush_colour(id), GetSysColor(COLOR_BTNFACE));
  }
}

TEST_F(MainWindowTest, PointerAndTimerFollowTheWindowSettings) {
  form_->SetMousePointer(Pointer::kHourglass);
  const LPARAM hit = MAKELPARAM(HTCLIENT, WM_MOUSEMOVE);
  EXPECT_TRUE(SendMessageW(Main(), WM_SETCURSOR, reinterpret_cast<WPARAM>(Main()), hit));
  EXPECT_EQ(GetCursor(), LoadCursorW(nullptr, IDC_WAIT));
  // Over a child the hourglass wins too: it is the window's busy flag.
  EXPECT_TRUE(SendMessageW(Main(), WM_SETCURSOR,
                           reinterpret_cast<WPARAM>(Control(kIdDestinationBox)), hit));
  form_->SetMousePointer(Pointer::kDefault);
  EXPECT_TRUE(SendMessageW(Main(), WM_SETCURSOR, reinterpret_cast<WPARAM>(Main()), hit));
  EXPECT_EQ(GetCursor(), LoadCursorW(nullptr, IDC_ARROW));
  // Over a child the default lets the control choose (the text box its I-beam).
  EXPECT_FALSE(SendMessageW(Main(), WM_SETCURSOR,
                            reinterpret_cast<WPARAM>(Control(kIdDestinationBox)), hit));

  // Start-up switched automatic backup on: the window timer runs.
  EXPECT_EQ(form_->timer.Interval(), 1000);
  EXPECT_TRUE(KillTimer(Main(), kTimerId));
  form_->timer.SetInterval(0);
  EXPECT_FALSE(KillTimer(Main(), kTimerId));
  form_->timer.SetInterval(1000);
  EXPECT_TRUE(KillTimer(Main(), kTimerId));
}

TEST_F(MainWindowTest, FirstMinimiseHidesInTheTrayAndATrayClickRestores) {
  SendMessageW(Main(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
  EXPECT_TRUE(form_->tray_notice_shown);
  EXPECT_FALSE(IsWindowVisible(Main()));
  EXPECT_EQ(form_->State(), WindowState::kNormal);
  const auto& calls = fakes_.notify_icon.calls;
  ASSERT_FALSE(calls.empty());
  EXPECT_NE(std::find_if(calls.begin(), calls.end(),
                         [](const auto& call) { return call.title == "Tessaline"; }),
            calls.end());

  SendMessageW(Main(), win32::kTrayCallbackMessage, 0, WM_RBUTTONUP);
  EXPECT_FALSE(IsWindowVisible(Main()));
  SendMessageW(Main(), win32::kTrayCallbackMessage, 0, WM_LBUTTONUP);
  EXPECT_TRUE(IsWindowVisible(Main()));
  EXPECT_FALSE(IsIconic(Main()));

  SendMessageW(Main(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
  EXPECT_TRUE(IsWindowVisible(Main()));
  EXPECT_TRUE(IsIconic(Main()));
  EXPECT_EQ(form_->State(), WindowState::kMinimized);
  SendMessageW(Main(), WM_SYSCOMMAND, SC_RESTORE, 0);
  EXPECT_EQ(form_->State(), WindowState::kNormal);
}

TEST_F(MainWindowTest, CloseStoresTheListEndsTheWindowAndAsksTheLoopToQuit) {
  form_->folder_list.Append("C:\\A");
  fakes_.settings.values.erase("Folders");
  const HWND main = Main();
  SendMessageW(main, WM_CLOSE, 0, 0);
  EXPECT_TRUE(form_->Unloaded());
  EXPECT_EQ(fakes_.settings.values["Folders"], "C:\\A;");
  EXPECT_FALSE(form_->tray_icon.InTray());
  EXPECT_FALSE(IsWindow(main));
  MSG msg;
  EXPECT_TRUE(PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
}

TEST(WinEventPumpTest, DispatchesWhatIsQueuedAndLeavesAQuitRequestForTheMainLoop) {
  struct Counter {
    static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
      if (message == WM_APP) ++*reinterpret_cast<int*>(GetWindowLongPtrW(window, GWLP_USERDATA));
      return DefWindowProcW(window, message, wparam, lparam);
    }
  };
  WNDCLASSW window_class = {};
  window_class.lpfnWndProc = Counter::Proc;
  window_class.hInstance = GetModuleHandleW(nullptr);
  window_class.lpszClassName = L"TessalinePumpTest";
  RegisterClassW(&window_class);
  const HWND window = CreateWindowW(L"TessalinePumpTest", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                    GetModuleHandleW(nullptr), nullptr);
  ASSERT_NE(window, nullptr);
  int count = 0;
  SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&count));

  win32::WinEventPump pump;
  PostMessageW(window, WM_APP, 0, 0);
  PostMessageW(window, WM_APP, 0, 0);
  pump.ProcessPendingEvents();
  EXPECT_EQ(count, 2);

  PostQuitMessage(7);
  PostMessageW(window, WM_APP, 0, 0);
  pump.ProcessPendingEvents();
  pump.ProcessPendingEvents();
  MSG msg;
  ASSERT_TRUE(PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
  EXPECT_EQ(msg.wParam, 7u);
  DestroyWindow(window);
}

TEST(WinEventPumpTest, WaitEndsWhenAMessageArrivesAndOtherwiseAfterItsTime) {
  win32::WinEventPump pump;
  pump.ProcessPendingEvents();
  MSG msg;
  DWORD start = GetTickCount();
  pump.WaitForEvents(200);
  EXPECT_GE(GetTickCount() - start, 150u);

  PostThreadMessageW(GetCurrentThreadId(), WM_APP, 0, 0);
  start = GetTickCount();
  pump.WaitForEvents(5000);
  EXPECT_LT(GetTickCount() - start, 1000u);
  // Waiting dispatches nothing: the message is still there.
  EXPECT_TRUE(PeekMessageW(&msg, nullptr, WM_APP, WM_APP, PM_REMOVE));
}

}  // namespace
}  // namespace tess::view
