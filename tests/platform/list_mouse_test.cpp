// The folder list's view under the mouse and the keyboard, in the test's own process: a press
// and moves with the button held reorder the entries through the model, the list scrolls under
// a drag past its edge, the list's drag pointer and the window's hover pointer, Alt with the
// arrows, and the drop target that takes file lists from other programs.
// clang-format off
#include <windows.h>
#include <commctrl.h>
// clang-format on

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "main_window_fixture.h"
#include "view/control_ids.h"
#include "view/drop_target.h"
#include "view/window_appearance.h"
#include "win32/text.h"
#include "win_support/app.h"
#include "win_support/ole_drag.h"
#include "win_support/window_queries.h"

namespace tess::view {
namespace {

using Entries = std::vector<std::string>;

LPARAM At(POINT point) { return MAKELPARAM(point.x, point.y); }

class ListMouseTest : public MainWindowTest {
 protected:
  void SetUp() override {
    // The real mouse stays off the window: only the messages sent here move over it.
    SetCursorPos(0, 0);
    // The program's folder is the build's, where the hand pointer lies.
    const std::string folder = win32::Narrow(test::ProgramFolder());
    fakes_.environment.module_path = folder + "\\Tessaline.exe";
    fakes_.files.AddFile(folder + "\\HAND-M.CUR", "");
    MainWindowTest::SetUp();
  }
  HWND List() const { return Control(kIdFolderList); }
  void Fill(const Entries& entries) {
    for (const auto& entry : entries) form_->folder_list.Append(entry);
    Pump();
  }
  POINT Centre(int index) const { return test::ListItemCentre(List(), index); }
  int FolderWrites() const {
    return static_cast<int>(
        std::count_if(fakes_.settings.write_log.begin(), fakes_.settings.write_log.end(),
                      [](const std::string& entry) { return entry.rfind("Folders=", 0) == 0; }));
  }
  void Press(POINT point) { SendMessageW(List(), WM_LBUTTONDOWN, MK_LBUTTON, At(point)); }
  void Move(POINT point) { SendMessageW(List(), WM_MOUSEMOVE, MK_LBUTTON, At(point)); }
  void Release(POINT point) { SendMessageW(List(), WM_LBUTTONUP, 0, At(point)); }
  void HoverOver(HWND over) {
    SendMessageW(Main(), WM_SETCURSOR, reinterpret_cast<WPARAM>(over),
                 MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
  }
};

TEST_F(ListMouseTest, APressAndMovesWithTheButtonHeldReorderAndTheReleaseStores) {
  Fill({"A", "B", "C", "D"});
  const int writes = FolderWrites();
  Press(Centre(0));
  EXPECT_EQ(GetCapture(), List());
  EXPECT_EQ(GetFocus(), List());
  EXPECT_EQ(form_->folder_list.Selected(), 1);
  Move(Centre(1));
  Move(Centre(2));
  EXPECT_EQ(form_->folder_list.Items(), (Entries{"B", "C", "A", "D"}));
  EXPECT_EQ(test::ListSelection(List()), 2);
  EXPECT_EQ(test::ListItemText(List(), 0), L"B");
  EXPECT_EQ(FolderWrites(), writes);
  Release(Centre(2));
  EXPECT_EQ(GetCapture(), nullptr);
  EXPECT_EQ(fakes_.settings.values["Folders"], "B;C;A;D;");
  EXPECT_EQ(FolderWrites(), writes + 1);

  // Moves without the press, and after a press on the empty area below the entries, change
  // nothing and hold no capture.
  Move(Centre(0));
  RECT client = {};
  GetClientRect(List(), &client);
  Press(POINT{20, client.bottom - 3});
  EXPECT_EQ(GetCapture(), nullptr);
  Move(Centre(3));
  Release(Centre(3));
  EXPECT_EQ(form_->folder_list.Items(), (Entries{"B", "C", "A", "D"}));
  EXPECT_EQ(form_->folder_list.Selected(), 3);
  EXPECT_EQ(FolderWrites(), writes + 1);
}

TEST_F(ListMouseTest, ADragPastTheEdgeScrollsAndALostCaptureEndsTheDrag) {
  Entries entries;
  for (int i = 0; i < 30; ++i) entries.push_back("E" + std::to_string(i));
  Fill(entries);
  RECT client = {};
  GetClientRect(List(), &client);
  const int shown = static_cast<int>(ListView_GetCountPerPage(List()));
  ASSERT_GT(shown, 1);
  ASSERT_LT(shown, 30);

  Press(Centre(0));
  // Each move below the list carries the pressed entry to the last entry shown whole and brings
  // one more into view.
  int top = 0;
  for (int i = 0; i < 5; ++i) {
    Move(POINT{30, client.bottom + 20 + i % 2});
    const int now = ListView_GetTopIndex(List());
    EXPECT_EQ(now, top + 1) << i;
    top = now;
    EXPECT_EQ(form_->folder_list.Selected(), top + shown - 1) << i;
  }
  EXPECT_EQ(form_->folder_list.ItemText(form_->folder_list.Selected()), "E0");
  // Above the list, back up: the entry at the top edge, one more shown above it.
  for (int i = 0; i < 2; ++i) {
    Move(POINT{30, -40 - i % 2});
    const int now = ListView_GetTopIndex(List());
    EXPECT_EQ(now, top - 1) << i;
    top = now;
    EXPECT_EQ(form_->folder_list.Selected(), top + 2);
  }
  EXPECT_EQ(form_->folder_list.ItemText(form_->folder_list.Selected()), "E0");

  // Another window takes the mouse: the drag ends as at a release and the order is stored.
  const HWND other = CreateWindowW(L"STATIC", L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                                   GetModuleHandleW(nullptr), nullptr);
  SetCapture(other);
  std::string joined;
  for (const auto& entry : form_->folder_list.Items()) joined += entry + ";";
  EXPECT_EQ(fakes_.settings.values["Folders"], joined);
  const int carried = form_->folder_list.Selected();
  Move(Centre(0));
  EXPECT_EQ(form_->folder_list.Selected(), carried);
  ReleaseCapture();
  DestroyWindow(other);
}

TEST_F(ListMouseTest, TheListShowsItsDragPointerWhileHeldAndTheBusyHourglassWins) {
  const std::string icon = win32::Narrow(test::ProgramFolder()) + "\\drag.ico";
  // The pointer made from the drawing points with its top left corner.
  {
    const UniqueCursor pointer = PointerFromIconFile(icon);
    ASSERT_TRUE(pointer.Valid());
    ICONINFO info = {};
    ASSERT_TRUE(GetIconInfo(pointer.Get(), &info));
    EXPECT_FALSE(info.fIcon);
    EXPECT_EQ(info.xHotspot, 0u);
    EXPECT_EQ(info.yHotspot, 0u);
    DeleteObject(info.hbmMask);
    DeleteObject(info.hbmColor);
    EXPECT_FALSE(PointerFromIconFile(icon + ".missing").Valid());
  }
  form_->folder_list.SetMouseIcon(icon);
  Fill({"A", "B"});
  const HCURSOR arrow = LoadCursorW(nullptr, IDC_ARROW);
  SetCursor(arrow);
  Press(Centre(0));
  EXPECT_EQ(form_->folder_list.MousePointer(), Pointer::kCustom);
  const HCURSOR dragging = GetCursor();
  EXPECT_NE(dragging, arrow);
  EXPECT_NE(dragging, nullptr);
  form_->SetMousePointer(Pointer::kHourglass);
  Move(Centre(1));
  EXPECT_EQ(GetCursor(), LoadCursorW(nullptr, IDC_WAIT));
  form_->SetMousePointer(Pointer::kDefault);
  Move(Centre(0));
  EXPECT_EQ(GetCursor(), dragging);
  Release(Centre(0));
  EXPECT_EQ(form_->folder_list.MousePointer(), Pointer::kDefault);
  HoverOver(List());
  SendMessageW(List(), WM_SETCURSOR, reinterpret_cast<WPARAM>(List()),
               MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
  EXPECT_EQ(GetCursor(), arrow);
}

TEST_F(ListMouseTest, ButtonsSetTheHandBackgroundsTheArrowOthersKeepItAndBusyStays) {
  HoverOver(Control(kIdBackupNowButton));
  EXPECT_EQ(form_->MousePointer(), Pointer::kCustom);
  // The hand is the cursor file's: 32 pixels, pointing with the finger tip at (12, 0).
  ICONINFO hand = {};
  ASSERT_TRUE(GetIconInfo(GetCursor(), &hand));
  EXPECT_EQ(hand.xHotspot, 12u);
  EXPECT_EQ(hand.yHotspot, 0u);
  BITMAP mask = {};
  GetObjectW(hand.hbmMask, sizeof(mask), &mask);
  EXPECT_EQ(mask.bmWidth, 32);
  DeleteObject(hand.hbmMask);
  if (hand.hbmColor != nullptr) DeleteObject(hand.hbmColor);
  for (int id : {kIdStampBox, kIdOverwriteOption, kIdProgressBar}) {
    HoverOver(Control(id));
    EXPECT_EQ(form_->MousePointer(), Pointer::kCustom) << id;
  }
  for (int id :
       {kIdDestinationFrame, kIdFolderList, kIdIntervalList, kIdDestinationBox, kIdStatusFrame}) {
    HoverOver(Control(kIdBrowseButton));
    EXPECT_EQ(form_->MousePointer(), Pointer::kCustom) << id;
    HoverOver(Control(id));
    EXPECT_EQ(form_->MousePointer(), Pointer::kDefault) << id;
  }
  HoverOver(Control(kIdClearHistoryButton));
  HoverOver(Main());
  EXPECT_EQ(form_->MousePointer(), Pointer::kDefault);
  EXPECT_EQ(GetCursor(), LoadCursorW(nullptr, IDC_ARROW));
  // Outside the client area (the caption, a border) the pointer setting is left alone.
  HoverOver(Control(kIdClearHistoryButton));
  SendMessageW(Main(), WM_SETCURSOR, reinterpret_cast<WPARAM>(Main()),
               MAKELPARAM(HTCAPTION, WM_MOUSEMOVE));
  EXPECT_EQ(form_->MousePointer(), Pointer::kCustom);

  form_->SetMousePointer(Pointer::kHourglass);
  for (int id : {kIdAddFolderButton, kIdOptionsFrame, kIdStartInTrayBox, kIdDestinationBox}) {
    HoverOver(Control(id));
    EXPECT_EQ(form_->MousePointer(), Pointer::kHourglass) << id;
    EXPECT_EQ(GetCursor(), LoadCursorW(nullptr, IDC_WAIT)) << id;
  }
}

TEST_F(ListMouseTest, AltWithTheArrowsMovesTheSelectedEntry) {
  Fill({"A", "B", "C"});
  test::SelectListItem(List(), 0);
  SetFocus(List());
  BYTE keys[256] = {};
  GetKeyboardState(keys);
  BYTE with_alt[256];
  std::copy(std::begin(keys), std::end(keys), std::begin(with_alt));
  with_alt[VK_MENU] = 0x80;
  SetKeyboardState(with_alt);
  PressKey(List(), VK_DOWN, WM_SYSKEYDOWN);
  PressKey(List(), VK_DOWN, WM_SYSKEYDOWN);
  PressKey(List(), VK_UP, WM_SYSKEYDOWN);
  SetKeyboardState(keys);
  EXPECT_EQ(form_->folder_list.Items(), (Entries{"B", "A", "C"}));
  EXPECT_EQ(test::ListSelection(List()), 1);
  EXPECT_EQ(fakes_.settings.values["Folders"], "B;A;C;");
  // Without Alt the arrows only move the selection.
  PressKey(List(), VK_DOWN);
  EXPECT_EQ(form_->folder_list.Items(), (Entries{"B", "A", "C"}));
  EXPECT_EQ(form_->folder_list.Selected(), 3);
}

TEST_F(ListMouseTest, TheFolderListIsADropTargetForAsLongAsItIsAttached) {
  ASSERT_TRUE(ole_.ok);
  FileDropTarget other({});
  EXPECT_EQ(RegisterDragDrop(List(), &other), DRAGDROP_E_ALREADYREGISTERED);
  EXPECT_EQ(RegisterDragDrop(Control(kIdIntervalList), &other), S_OK);
  RevokeDragDrop(Control(kIdIntervalList));
  attachment_.reset();
  EXPECT_EQ(RegisterDragDrop(List(), &other), S_OK);
  RevokeDragDrop(List());
}

TEST(FileDropTargetTest, TakesFileListsAsCopiesOrLinksAndHandsOnEveryPathWhole) {
  std::vector<std::pair<bool, OfferedEffects>> asked;
  std::vector<std::vector<std::string>> dropped;
  FileDropTarget target(
      {.decide =
           [&](bool files, const OfferedEffects& allowed) {
             asked.emplace_back(files, allowed);
             return ChooseDropEffect(files, allowed);
           },
       .dropped = [&](const std::vector<std::string>& paths) { dropped.push_back(paths); }});
  const std::wstring long_path = L"C:\\" + std::wstring(300, L'x') + L"\\\u00e9\u4e2d";
  test::DraggedData files = test::DraggedData::FileList({L"C:\\One", long_path, L"D:\\f.txt"});
  const POINTL point = {10, 10};
  DWORD effect = DROPEFFECT_COPY | DROPEFFECT_MOVE;
  EXPECT_EQ(target.DragEnter(&files, MK_LBUTTON, point, &effect), S_OK);
  EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_COPY));
  ASSERT_EQ(asked.size(), 1u);
  EXPECT_TRUE(asked[0].first);
  EXPECT_TRUE(asked[0].second.copy && asked[0].second.move && !asked[0].second.link);
  effect = DROPEFFECT_MOVE | DROPEFFECT_LINK;
  target.DragOver(MK_LBUTTON, point, &effect);
  EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_LINK));
  effect = DROPEFFECT_MOVE;
  target.DragOver(MK_LBUTTON, point, &effect);
  EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_NONE));
  effect = DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK;
  EXPECT_EQ(target.Drop(&files, 0, point, &effect), S_OK);
  EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_COPY));
  ASSERT_EQ(dropped.size(), 1u);
  EXPECT_EQ(dropped[0],
            (std::vector<std::string>{"C:\\One", win32::Narrow(long_path), "D:\\f.txt"}));

  // Plain text is refused as it enters and at the drop, and nothing is handed on.
  test::DraggedData text = test::DraggedData::PlainText(L"C:\\Text");
  effect = DROPEFFECT_COPY;
  target.DragEnter(&text, MK_LBUTTON, point, &effect);
  EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_NONE));
  effect = DROPEFFECT_COPY;
  target.DragOver(MK_LBUTTON, point, &effect);
  EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_NONE));
  effect = DROPEFFECT_COPY;
  target.Drop(&text, 0, point, &effect);
  EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_NONE));
  EXPECT_EQ(dropped.size(), 1u);
  EXPECT_EQ(target.DragLeave(), S_OK);
}

}  // namespace
}  // namespace tess::view
