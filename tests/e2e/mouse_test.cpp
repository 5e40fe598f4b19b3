// The folder list and the window under the real mouse: files dragged in from another program
// with OLE, entries dragged into a new order (and the list scrolling under a drag past its
// edge), and the pointer the window shows over buttons, frames and during a run.
#include <gtest/gtest.h>

// clang-format off
#include <windows.h>
#include <commctrl.h>
// clang-format on

#include <string>
#include <vector>

#include "view/control_ids.h"
#include "win32/text.h"
#include "win_support/e2e_fixture.h"
#include "win_support/files.h"
#include "win_support/mouse_input.h"
#include "win_support/ole_drag.h"
#include "win_support/window_queries.h"

namespace tess::e2e {
namespace {

using namespace tess::test;
using namespace tess::view;
using Entries = std::vector<std::wstring>;

class MouseE2eTest : public EndToEndTest {
 protected:
  void TearDown() override {
    // A failed check between a press and its release must not leave the button down.
    ReleaseLeftButton();
    EndToEndTest::TearDown();
  }

  App& Start() {
    App& app = StartProgram();
    list_ = app.Control(kIdFolderList);
    // The program comes up in front; give it a moment to take the mouse's messages.
    Sleep(300);
    return app;
  }

  // The centre of an entry (0-based) on the screen.
  POINT EntryOnScreen(int index) const { return OnScreen(list_, ListItemCentre(list_, index)); }
  // A point of the list on the screen, `dy` pixels from its client area's top or, when
  // negative, from its bottom.
  POINT ListRowOnScreen(int dy) const {
    RECT client = {};
    GetClientRect(list_, &client);
    return OnScreen(list_, POINT{client.right / 3, dy >= 0 ? dy : client.bottom + dy});
  }
  int TopEntry() const { return static_cast<int>(SendWithin(list_, LVM_GETTOPINDEX)); }

  // Moves there and waits until the list shows the order.
  ::testing::AssertionResult MoveAndSee(App& app, POINT to, const Entries& order) {
    if (!MoveMouseTo(to)) return ::testing::AssertionFailure() << "the pointer did not move";
    if (WaitUntil([&] { return app.ListItems(kIdFolderList) == order; }, std::chrono::seconds(5))) {
      return ::testing::AssertionSuccess();
    }
    auto failure = ::testing::AssertionFailure() << "the list reads";
    for (const auto& entry : app.ListItems(kIdFolderList)) failure << " " << win32::Narrow(entry);
    return failure;
  }

  HWND list_ = nullptr;
};

TEST_F(MouseE2eTest, FilesDraggedFromAnotherProgramAreAppendedAsCopiesAndStored) {
  SeedSetting(L"Folders", L"C:\\Work;");
  App& app = Start();
  const std::wstring long_path =
      L"D:\\" + std::wstring(120, L'a') + L"\\" + std::wstring(120, L'b') + L"\\deep folder";
  const Entries dropped = {L"C:\\Photos \u00e9t\u00e9 \u4e2d", L"D:\\notes.txt", L"C:\\Work",
                           long_path};

  // The shell offers copy, move and link; the list takes a copy, never a move.
  DraggedData files = DraggedData::FileList(dropped);
  const DragOutcome drop =
      DragOnto(ListRowOnScreen(-10), files, DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK);
  ASSERT_EQ(drop.failure, "");
  EXPECT_EQ(drop.result, DRAGDROP_S_DROP);
  EXPECT_EQ(drop.effect, static_cast<DWORD>(DROPEFFECT_COPY));
  const Entries after_drop = {L"C:\\Work", dropped[0], dropped[1], dropped[2], dropped[3]};
  EXPECT_TRUE(WaitUntil([&] { return app.ListItems(kIdFolderList) == after_drop; }))
      << app.ListItems(kIdFolderList).size() << " entries";
  const std::wstring stored = StoredList(after_drop);
  EXPECT_TRUE(SettingBecomes(L"Folders", stored));

  // A source that allows only a move is refused: it would delete what it dragged.
  DraggedData moved = DraggedData::FileList({L"E:\\Gone"});
  const DragOutcome move_only = DragOnto(EntryOnScreen(0), moved, DROPEFFECT_MOVE);
  ASSERT_EQ(move_only.failure, "");
  EXPECT_EQ(move_only.effect, static_cast<DWORD>(DROPEFFECT_NONE));
  EXPECT_TRUE(move_only.feedback_seen);
  EXPECT_EQ(move_only.last_feedback, static_cast<DWORD>(DROPEFFECT_NONE));

  // Plain text shows the no-drop pointer over the list and adds nothing.
  DraggedData plain = DraggedData::PlainText(L"C:\\Text");
  const DragOutcome text = DragOnto(EntryOnScreen(1), plain, DROPEFFECT_COPY);
  ASSERT_EQ(text.failure, "");
  EXPECT_TRUE(text.feedback_seen);
  EXPECT_EQ(text.last_feedback, static_cast<DWORD>(DROPEFFECT_NONE));
  EXPECT_EQ(text.effect, static_cast<DWORD>(DROPEFFECT_NONE));
  ASSERT_TRUE(app.Settle());
  EXPECT_EQ(app.ListItems(kIdFolderList), after_drop);
  EXPECT_EQ(ReadSetting(L"Folders"), stored);
}

TEST_F(MouseE2eTest, PressingOnAnEntryAndMovingCarriesItAlongAndTheReleaseStoresTheOrder) {
  SeedSetting(L"Folders", L"C:\\A;C:\\B;C:\\C;C:\\D;");
  App& app = Start();
  // The drag pointer ships beside the program as an icon of its own drawing.
  const std::wstring drag_icon = ProgramFolder() + L"\\drag.ico";
  ASSERT_TRUE(Exists(drag_icon));
  const HICON icon = static_cast<HICON>(
      LoadImageW(nullptr, drag_icon.c_str(), IMAGE_ICON, 0, 0, LR_LOADFROMFILE | LR_DEFAULTSIZE));
  EXPECT_NE(icon, nullptr);
  if (icon != nullptr) DestroyIcon(icon);

  ASSERT_TRUE(MoveMouseTo(EntryOnScreen(0)));
  const HCURSOR arrow = SteadyPointer();
  ASSERT_TRUE(PressLeftButton());
  ASSERT_TRUE(MoveAndSee(app, EntryOnScreen(1), {L"C:\\B", L"C:\\A", L"C:\\C", L"C:\\D"}));
  EXPECT_EQ(app.ListSelection(kIdFolderList), 1);
  ASSERT_TRUE(MoveAndSee(app, EntryOnScreen(2), {L"C:\\B", L"C:\\C", L"C:\\A", L"C:\\D"}));
  EXPECT_EQ(app.ListSelection(kIdFolderList), 2);
  // While the button is held the list shows its drag pointer.
  const HCURSOR dragging = SteadyPointer();
  EXPECT_NE(dragging, arrow);
  ASSERT_TRUE(ReleaseLeftButton());
  EXPECT_TRUE(SettingBecomes(L"Folders", L"C:\\B;C:\\C;C:\\A;C:\\D;"));
  EXPECT_TRUE(WaitUntil([&] { return PointerShown() == arrow; }, std::chrono::seconds(3)));

  // A jump from the first entry straight onto the last swaps just those two. (A press on the
  // first press's spot sooner than that would be the second half of a double-click.)
  Sleep(GetDoubleClickTime() + 100);
  ASSERT_TRUE(MoveMouseTo(EntryOnScreen(0)));
  ASSERT_TRUE(PressLeftButton());
  ASSERT_TRUE(MoveAndSee(app, EntryOnScreen(3), {L"C:\\D", L"C:\\C", L"C:\\A", L"C:\\B"}));
  EXPECT_EQ(app.ListSelection(kIdFolderList), 3);
  ASSERT_TRUE(ReleaseLeftButton());
  EXPECT_TRUE(SettingBecomes(L"Folders", L"C:\\D;C:\\C;C:\\A;C:\\B;"));

  // Moving with no button held, and a press on the empty area below the entries followed by
  // moves over entries, leave the order as it is.
  const Entries settled = {L"C:\\D", L"C:\\C", L"C:\\A", L"C:\\B"};
  ASSERT_TRUE(MoveMouseTo(EntryOnScreen(1)));
  ASSERT_TRUE(MoveMouseTo(EntryOnScreen(0)));
  ASSERT_TRUE(MoveMouseTo(ListRowOnScreen(-4)));
  ASSERT_TRUE(PressLeftButton());
  ASSERT_TRUE(MoveMouseTo(EntryOnScreen(2)));
  ASSERT_TRUE(MoveMouseTo(EntryOnScreen(0)));
  ASSERT_TRUE(ReleaseLeftButton());
  ASSERT_TRUE(app.Settle());
  EXPECT_EQ(app.ListItems(kIdFolderList), settled);
  EXPECT_EQ(app.ListSelection(kIdFolderList), 3);
  EXPECT_EQ(ReadSetting(L"Folders"), L"C:\\D;C:\\C;C:\\A;C:\\B;");
}

TEST_F(MouseE2eTest, ADragPastTheListsEdgeScrollsItAndCarriesTheEntryOn) {
  std::wstring folders;
  for (int i = 0; i < 30; ++i) folders += L"C:\\F" + std::to_wstring(100 + i) + L";";
  SeedSetting(L"Folders", folders);
  App& app = Start();
  ASSERT_EQ(TopEntry(), 0);

  ASSERT_TRUE(MoveMouseTo(EntryOnScreen(0)));
  ASSERT_TRUE(PressLeftButton());
  // Below the list, each move brings one more entry into view and carries the entry along.
  const POINT below = ListRowOnScreen(-1);
  for (int i = 0; i < 8; ++i) ASSERT_TRUE(MoveMouseTo(POINT{below.x, below.y + 20 + i % 2 * 6}));
  EXPECT_TRUE(WaitUntil([&] { return TopEntry() >= 4; })) << TopEntry();
  const int carried = app.ListSelection(kIdFolderList);
  EXPECT_GT(carried, 4);
  EXPECT_EQ(app.ListItem(kIdFolderList, carried), L"C:\\F100");
  // Above it, back up again.
  const POINT above = ListRowOnScreen(0);
  const int top_before = TopEntry();
  for (int i = 0; i < 4; ++i) ASSERT_TRUE(MoveMouseTo(POINT{above.x, above.y - 30 - i % 2 * 6}));
  EXPECT_TRUE(WaitUntil([&] { return TopEntry() < top_before; })) << TopEntry();
  ASSERT_TRUE(ReleaseLeftButton());
  ASSERT_TRUE(app.Settle());
  const int now = app.ListSelection(kIdFolderList);
  EXPECT_LT(now, carried);
  EXPECT_EQ(app.ListItem(kIdFolderList, now), L"C:\\F100");

  const std::wstring stored = StoredList(app.ListItems(kIdFolderList));
  EXPECT_NE(stored, folders);
  EXPECT_TRUE(SettingBecomes(L"Folders", stored));
}

TEST_F(MouseE2eTest, ButtonsShowTheHandFramesTheArrowAndARunKeepsItsHourglass) {
  const TempTree source(Under("Many", ManyFiles(6000)));
  const std::wstring destination = source.MadeFolder(L"Backups");
  SeedFolders({source / L"Many"}, destination);
  SeedSetting(L"StartStopState", L"Off");
  App& app = Start();
  const HWND main = app.Main();
  // A point inside a frame but on none of its controls: its left margin.
  const auto in_frame = [&](int id) {
    const Place frame = app.PlaceOf(id);
    return OnScreen(main, POINT{frame.left + 6, frame.top + frame.height / 2});
  };
  const auto centre_of = [&](int id) {
    const Place control = app.PlaceOf(id);
    return OnScreen(main,
                    POINT{control.left + control.width / 2, control.top + control.height / 2});
  };
  const auto shows = [](HCURSOR pointer) {
    return WaitUntil([&] { return PointerShown() == pointer; }, std::chrono::seconds(3));
  };

  ASSERT_TRUE(MoveMouseTo(in_frame(kIdDestinationFrame)));
  const HCURSOR arrow = SteadyPointer();
  ASSERT_NE(arrow, nullptr);
  ASSERT_TRUE(MoveMouseTo(centre_of(kIdViewHistoryButton)));
  ASSERT_TRUE(WaitUntil([&] { return PointerShown() != arrow; }, std::chrono::seconds(3)));
  const HCURSOR hand = SteadyPointer();
  ASSERT_NE(hand, nullptr);

  // The hand belongs to the window: it stays over a check box until a background area.
  ASSERT_TRUE(MoveMouseTo(centre_of(kIdStampBox)));
  EXPECT_EQ(SteadyPointer(), hand);
  ASSERT_TRUE(MoveMouseTo(in_frame(kIdOptionsFrame)));
  EXPECT_TRUE(shows(arrow));
  ASSERT_TRUE(MoveMouseTo(centre_of(kIdStampBox)));
  EXPECT_EQ(SteadyPointer(), arrow);
  for (int id : {kIdClearHistoryButton, kIdBrowseButton, kIdAddFolderButton}) {
    SCOPED_TRACE(id);
    ASSERT_TRUE(MoveMouseTo(centre_of(id)));
    EXPECT_TRUE(shows(hand));
    ASSERT_TRUE(MoveMouseTo(in_frame(kIdStatusFrame)));
    EXPECT_TRUE(shows(arrow));
  }
  // The lists count as background too.
  ASSERT_TRUE(MoveMouseTo(centre_of(kIdSamplesButton)));
  EXPECT_TRUE(shows(hand));
  ASSERT_TRUE(MoveMouseTo(centre_of(kIdIntervalList)));
  EXPECT_TRUE(shows(arrow));

  // Backup Now shows the hourglass for its run; neither a button nor a frame replaces it.
  ASSERT_TRUE(MoveMouseTo(centre_of(kIdBackupNowButton)));
  EXPECT_TRUE(shows(hand));
  app.Click(kIdBackupNowButton);
  ASSERT_TRUE(WaitUntil([&] { return PointerShown() != hand; }, std::chrono::seconds(5)));
  const HCURSOR busy = SteadyPointer();
  EXPECT_NE(busy, arrow);
  ASSERT_TRUE(MoveMouseTo(centre_of(kIdAutoBackupButton)));
  ASSERT_TRUE(MoveMouseTo(in_frame(kIdDestinationFrame)));
  ASSERT_TRUE(MoveMouseTo(centre_of(kIdCopyHistoryButton)));
  EXPECT_EQ(SteadyPointer(), busy);
  EXPECT_EQ(KeptTextOf(app.Control(kIdStatusFrame)), L"Backing up files...")
      << "the run ended before the pointer was checked: give it more files";
  // Once the run is over the hand is back over the button.
  EXPECT_TRUE(WaitUntil([&] { return PointerShown() == hand; }, std::chrono::seconds(60)));
}

}  // namespace
}  // namespace tess::e2e
