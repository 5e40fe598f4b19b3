// The folder list under the mouse and the keyboard: entries dragged into a new order, the rows
// the pointer is on and when the list scrolls, Alt+Up and Alt+Down, and files dropped from
// other programs with the effect the list answers.
#include <gtest/gtest.h>

#include "folders/drop_rules.h"
#include "folders/folder_text.h"
#include "folders/reorder_drag.h"
#include "support/fakes.h"

namespace tess::test {
namespace {

using Entries = std::vector<std::string>;

class ReorderDragTest : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char* text : {"A", "B", "C", "D"}) list_.Append(text);
  }
  ListViewModel list_{Place{}};
  ReorderDrag drag_{list_};
};

TEST_F(ReorderDragTest, TheEntryPickedUpSwapsWithEachEntryThePointerReaches) {
  drag_.Press(1);
  EXPECT_EQ(list_.Selected(), 1);
  EXPECT_TRUE(drag_.MoveOver(2));
  EXPECT_EQ(list_.Items(), (Entries{"B", "A", "C", "D"}));
  EXPECT_EQ(list_.Selected(), 2);
  // Moving within the same entry changes nothing.
  EXPECT_FALSE(drag_.MoveOver(2));
  EXPECT_TRUE(drag_.MoveOver(3));
  EXPECT_EQ(list_.Items(), (Entries{"B", "C", "A", "D"}));
  EXPECT_EQ(list_.Selected(), 3);
  // Back up again.
  EXPECT_TRUE(drag_.MoveOver(1));
  EXPECT_EQ(list_.Items(), (Entries{"A", "C", "B", "D"}));
  EXPECT_EQ(list_.Selected(), 1);
  EXPECT_TRUE(drag_.Release());
}

TEST_F(ReorderDragTest, AJumpSwapsOnlyTheTwoEntriesAndLeavesThoseBetween) {
  drag_.Press(1);
  EXPECT_TRUE(drag_.MoveOver(4));
  EXPECT_EQ(list_.Items(), (Entries{"D", "B", "C", "A"}));
  EXPECT_EQ(list_.Selected(), 4);
}

TEST_F(ReorderDragTest, EqualTextsNeverSwapAndNoEntryUnderThePointerChangesNothing) {
  list_.SetItemText(2, "A");
  drag_.Press(1);
  EXPECT_FALSE(drag_.MoveOver(2));
  EXPECT_FALSE(drag_.MoveOver(0));
  EXPECT_FALSE(drag_.MoveOver(9));
  EXPECT_EQ(list_.Items(), (Entries{"A", "A", "C", "D"}));
  EXPECT_FALSE(drag_.Release());
  // A drag that went back where it started still counts as a change: it is stored again.
  drag_.Press(3);
  drag_.MoveOver(4);
  drag_.MoveOver(3);
  EXPECT_EQ(list_.Items(), (Entries{"A", "A", "C", "D"}));
  EXPECT_TRUE(drag_.Release());
}

TEST_F(ReorderDragTest, AfterTheReleaseNoPressOffTheEntriesReordersAgain) {
  drag_.Press(2);
  drag_.MoveOver(3);
  drag_.Release();
  EXPECT_FALSE(drag_.Dragging());
  // Moves after the release, and a press on the empty area below the entries followed by
  // moves over entries, leave the order alone.
  EXPECT_FALSE(drag_.MoveOver(1));
  drag_.Press(0);
  EXPECT_FALSE(drag_.Dragging());
  EXPECT_FALSE(drag_.MoveOver(1));
  EXPECT_FALSE(drag_.MoveOver(4));
  EXPECT_EQ(list_.Items(), (Entries{"A", "C", "B", "D"}));
  EXPECT_EQ(list_.Selected(), 3);
}

TEST_F(ReorderDragTest, AnEntryRemovedOrDeselectedDuringTheDragIsNotCarriedOn) {
  drag_.Press(2);
  list_.Remove(2);
  EXPECT_FALSE(drag_.MoveOver(1));
  EXPECT_EQ(list_.Items(), (Entries{"A", "C", "D"}));
  EXPECT_FALSE(drag_.Dragging());

  drag_.Press(3);
  list_.Clear();
  EXPECT_FALSE(drag_.MoveOver(1));
  EXPECT_FALSE(drag_.Release());

  for (const char* text : {"A", "B", "C"}) list_.Append(text);
  drag_.Press(1);
  list_.Select(3);  // the keyboard moved the selection on
  EXPECT_FALSE(drag_.MoveOver(2));
  EXPECT_EQ(list_.Items(), (Entries{"A", "B", "C"}));
}

// A list whose entries' area starts below a 24-pixel header, 20 pixels an entry, 100 pixels
// tall: five rows, the first showing entry `first`.
ListRows Rows(int pointer_y, int first = 1) {
  return ListRows{
      .pointer_y = pointer_y, .top = 24, .bottom = 124, .entry_height = 20, .first_shown = first};
}

TEST(ListRowsTest, ThePointersRowNamesTheEntryAndBeyondAnEdgeTheEntryAtThatEdge) {
  EXPECT_EQ(EntryUnderPointer(Rows(24), 10), 1);
  EXPECT_EQ(EntryUnderPointer(Rows(43), 10), 1);
  EXPECT_EQ(EntryUnderPointer(Rows(44), 10), 2);
  EXPECT_EQ(EntryUnderPointer(Rows(123), 10), 5);
  EXPECT_EQ(EntryUnderPointer(Rows(50, 6), 10), 7);
  // Above the list (over the header or outside the window) and below it.
  EXPECT_EQ(EntryUnderPointer(Rows(5, 4), 10), 4);
  EXPECT_EQ(EntryUnderPointer(Rows(-300, 4), 10), 4);
  EXPECT_EQ(EntryUnderPointer(Rows(900, 4), 10), 8);
  // The empty area after the last entry, and an empty list.
  EXPECT_EQ(EntryUnderPointer(Rows(70), 2), 0);
  EXPECT_EQ(EntryUnderPointer(Rows(900), 2), 0);
  EXPECT_EQ(EntryUnderPointer(Rows(30), 0), 0);
  EXPECT_EQ(EntryUnderPointer(ListRows{.pointer_y = 5}, 3), 0);
}

TEST(ListRowsTest, TheListScrollsWithinOneEntryOfItsOwnEdgesOrBeyondThem) {
  // Near the top, or above it: the entry before comes into view, unless there is none.
  EXPECT_EQ(EntryToReveal(Rows(24, 5), 5, 10), 4);
  EXPECT_EQ(EntryToReveal(Rows(43, 5), 5, 10), 4);
  EXPECT_EQ(EntryToReveal(Rows(-40, 5), 5, 10), 4);
  EXPECT_EQ(EntryToReveal(Rows(30, 1), 1, 10), 0);
  // Near the bottom, or below it: the entry after, unless the pointer's entry is the last.
  EXPECT_EQ(EntryToReveal(Rows(104, 1), 5, 10), 6);
  EXPECT_EQ(EntryToReveal(Rows(500, 1), 5, 10), 6);
  EXPECT_EQ(EntryToReveal(Rows(110, 6), 10, 10), 0);
  // In between, and with no entry under the pointer, nothing scrolls.
  EXPECT_EQ(EntryToReveal(Rows(44, 5), 6, 10), 0);
  EXPECT_EQ(EntryToReveal(Rows(103, 5), 8, 10), 0);
  EXPECT_EQ(EntryToReveal(Rows(30), 0, 10), 0);
  // The same rule wherever the list stands and however tall its rows are (a higher DPI).
  const ListRows large{
      .pointer_y = 329, .top = 290, .bottom = 590, .entry_height = 40, .first_shown = 3};
  EXPECT_EQ(EntryUnderPointer(large, 20), 3);
  EXPECT_EQ(EntryToReveal(large, 3, 20), 2);
  EXPECT_EQ(EntryToReveal(ListRows{330, 290, 590, 40, 3}, 4, 20), 0);
}

TEST(DropRulesTest, OnlyAFileListIsTakenAndNeverAsAMove) {
  const auto choose = [](bool files, bool copy, bool move, bool link) {
    return ChooseDropEffect(files, OfferedEffects{.copy = copy, .move = move, .link = link});
  };
  EXPECT_EQ(choose(true, true, true, true), DropEffect::kCopy);
  EXPECT_EQ(choose(true, true, false, false), DropEffect::kCopy);
  EXPECT_EQ(choose(true, false, true, true), DropEffect::kLink);
  EXPECT_EQ(choose(true, false, false, true), DropEffect::kLink);
  EXPECT_EQ(choose(true, false, true, false), DropEffect::kNone);
  EXPECT_EQ(choose(true, false, false, false), DropEffect::kNone);
  EXPECT_EQ(choose(false, true, true, true), DropEffect::kNone);
}

class FolderListInputTest : public ::testing::Test {
 protected:
  MainForm& Load(const std::string& folders) {
    fakes_.settings.values["Folders"] = folders;
    form_ = std::make_unique<MainForm>(fakes_.Wire());
    form_->OnLoad();
    fakes_.settings.write_log.clear();
    return *form_;
  }
  Entries Stored() { return SplitFolderEntries(fakes_.settings.values["Folders"]); }
  int FolderWrites() const {
    int writes = 0;
    for (const auto& entry : fakes_.settings.write_log) writes += entry.rfind("Folders=", 0) == 0;
    return writes;
  }
  FakeServices fakes_;
  std::unique_ptr<MainForm> form_;
};

TEST_F(FolderListInputTest, ADragIsStoredOnceAtTheReleaseAndWorksWhileBusy) {
  MainForm& f = Load("A;B;C;D;");
  f.SetMousePointer(Pointer::kHourglass);
  f.OnFolderListMouseDown(1);
  EXPECT_EQ(f.OnFolderListMouseMove(Rows(50)), 0);  // over B
  EXPECT_EQ(f.OnFolderListMouseMove(Rows(70)), 0);  // over C
  EXPECT_EQ(f.folder_list.Items(), (Entries{"B", "C", "A", "D"}));
  EXPECT_EQ(f.folder_list.Selected(), 3);
  EXPECT_EQ(FolderWrites(), 0);
  f.OnFolderListMouseUp();
  EXPECT_EQ(Stored(), (Entries{"B", "C", "A", "D"}));
  EXPECT_EQ(FolderWrites(), 1);
  // The hourglass is the busy flag: hovering over the list leaves it.
  EXPECT_EQ(f.MousePointer(), Pointer::kHourglass);

  // A press and release that moved nothing stores nothing.
  f.OnFolderListMouseDown(2);
  f.OnFolderListMouseUp();
  EXPECT_EQ(FolderWrites(), 1);
  // Nor does a press on the empty area and moves over entries afterwards.
  f.OnFolderListMouseDown(0);
  f.OnFolderListMouseMove(Rows(30));
  f.OnFolderListMouseMove(Rows(90));
  f.OnFolderListMouseUp();
  EXPECT_EQ(f.folder_list.Items(), (Entries{"B", "C", "A", "D"}));
  EXPECT_EQ(FolderWrites(), 1);
}

TEST_F(FolderListInputTest, DraggingPastTheBottomEdgeScrollsOneEntryAtATime) {
  MainForm& f = Load("1;2;3;4;5;6;7;8;");
  f.OnFolderListMouseDown(2);
  // Below the list: the entry at the bottom edge (5) is reached and 6 is to come into view.
  EXPECT_EQ(f.OnFolderListMouseMove(Rows(300)), 6);
  EXPECT_EQ(f.folder_list.ItemText(5), "2");
  // The view scrolled by one: the next move past the edge carries the entry on.
  EXPECT_EQ(f.OnFolderListMouseMove(Rows(300, 2)), 7);
  EXPECT_EQ(f.folder_list.Items(), (Entries{"1", "5", "3", "4", "6", "2", "7", "8"}));
  f.OnFolderListMouseUp();
  // Once released, moves neither swap nor scroll.
  EXPECT_EQ(f.OnFolderListMouseMove(Rows(300, 3)), 0);
}

TEST_F(FolderListInputTest, TheListShowsTheDragPointerOnlyWhileAnEntryIsHeldAndTheFileIsThere) {
  MainForm& plain = Load("A;B;");
  plain.OnFolderListMouseDown(1);
  EXPECT_EQ(plain.folder_list.MousePointer(), Pointer::kDefault);
  plain.OnFolderListMouseUp();

  fakes_.files.AddFile("C:\\Program Files\\Tessaline\\drag.ico", "icon");
  MainForm& f = Load("A;B;");
  EXPECT_EQ(f.folder_list.MouseIcon(), "C:\\Program Files\\Tessaline\\drag.ico");
  f.OnFolderListMouseDown(0);
  EXPECT_EQ(f.folder_list.MousePointer(), Pointer::kDefault);
  f.OnFolderListMouseDown(2);
  EXPECT_EQ(f.folder_list.MousePointer(), Pointer::kCustom);
  f.OnFolderListMouseUp();
  EXPECT_EQ(f.folder_list.MousePointer(), Pointer::kDefault);
}

TEST_F(FolderListInputTest, AltUpAndAltDownMoveTheSelectedEntryAndStoreAtOnce) {
  MainForm& f = Load("A;B;C;");
  f.folder_list.Select(2);
  f.OnFolderListKeyDown(Key::kUp, kAltMask);
  EXPECT_EQ(f.folder_list.Items(), (Entries{"B", "A", "C"}));
  EXPECT_EQ(f.folder_list.Selected(), 1);
  EXPECT_EQ(Stored(), (Entries{"B", "A", "C"}));
  // At the top there is no place to go.
  f.OnFolderListKeyDown(Key::kUp, kAltMask | kShiftMask);
  EXPECT_EQ(f.folder_list.Items(), (Entries{"B", "A", "C"}));
  f.OnFolderListKeyDown(Key::kDown, kAltMask);
  f.OnFolderListKeyDown(Key::kDown, kAltMask);
  f.OnFolderListKeyDown(Key::kDown, kAltMask);
  EXPECT_EQ(f.folder_list.Items(), (Entries{"A", "C", "B"}));
  EXPECT_EQ(f.folder_list.Selected(), 3);
  EXPECT_EQ(Stored(), (Entries{"A", "C", "B"}));
  EXPECT_EQ(FolderWrites(), 3);
  // Without Alt the arrows only move the selection (the control's own business), and without
  // a selection nothing moves.
  f.OnFolderListKeyDown(Key::kUp, 0);
  f.OnFolderListKeyDown(Key::kUp, kCtrlMask);
  f.folder_list.Deselect();
  f.OnFolderListKeyDown(Key::kUp, kAltMask);
  EXPECT_EQ(f.folder_list.Items(), (Entries{"A", "C", "B"}));
  EXPECT_EQ(FolderWrites(), 3);
}

TEST_F(FolderListInputTest, DroppedPathsAreAppendedInOrderUnfilteredAndStoredOnce) {
  MainForm& f = Load("C:\\Work;");
  f.SetMousePointer(Pointer::kHourglass);
  EXPECT_EQ(f.OnFolderListDragOver(true, OfferedEffects{.copy = true, .move = true}),
            DropEffect::kCopy);
  EXPECT_EQ(f.OnFolderListDragOver(false, OfferedEffects{.copy = true}), DropEffect::kNone);
  f.OnFolderListDrop({"D:\\Photos", "C:\\Work", "D:\\notes.txt", "E:\\a;b"});
  EXPECT_EQ(f.folder_list.Items(),
            (Entries{"C:\\Work", "D:\\Photos", "C:\\Work", "D:\\notes.txt", "E:\\a;b"}));
  EXPECT_EQ(Stored(), f.folder_list.Items());
  EXPECT_EQ(FolderWrites(), 1);
  f.OnFolderListDrop({});
  EXPECT_EQ(FolderWrites(), 1);
  // A store that fails loses nothing from the list; the close writes it again.
  fakes_.settings.fail_writes = true;
  f.OnFolderListDrop({"F:\\"});
  EXPECT_EQ(f.folder_list.Count(), 6);
  EXPECT_TRUE(fakes_.dialogs.boxes.empty());
}

TEST_F(FolderListInputTest, PushButtonsShowTheHandBackgroundsTheArrowAndBusyStaysBusy) {
  MainForm& f = Load("");
  f.OnPushButtonMouseMove();
  EXPECT_EQ(f.MousePointer(), Pointer::kCustom);
  f.OnBackgroundMouseMove();
  EXPECT_EQ(f.MousePointer(), Pointer::kDefault);
  // Moving over the folder list is a background move too.
  f.OnPushButtonMouseMove();
  f.OnFolderListMouseMove(Rows(30));
  EXPECT_EQ(f.MousePointer(), Pointer::kDefault);
  f.SetMousePointer(Pointer::kHourglass);
  f.OnPushButtonMouseMove();
  EXPECT_EQ(f.MousePointer(), Pointer::kHourglass);
  f.OnBackgroundMouseMove();
  EXPECT_EQ(f.MousePointer(), Pointer::kHourglass);
}

}  // namespace
}  // namespace tess::test
