// Reordering the folder list with the mouse: a press on an entry picks it up, and every move
// with the button held over another entry swaps the two texts, so the picked-up entry travels
// with the pointer. Also which entry the pointer is on and when the list scrolls, in the list's
// own pixels, so the rules hold wherever the list stands and at any DPI.
#pragma once

namespace tess {

class ListViewModel;

// The list's rows as the pointer meets them, in pixels of the list's own client area.
struct ListRows {
  int pointer_y = 0;
  int top = 0;     // first pixel row of the entries' area (below the column header)
  int bottom = 0;  // one past its last pixel row: the end of the last entry shown whole
  int entry_height = 0;
  int first_shown = 1;  // position of the entry shown at the top
};

// The entry whose row the pointer is on. Above or below the entries' area it is the entry at
// that edge, so a drag past the edge keeps going; over the empty area after the last entry it
// is 0.
int EntryUnderPointer(const ListRows& rows, int count);

// The entry to scroll into view once the pointer is on `entry`: within one entry's height of
// the top edge or above it the entry before, within one entry's height of the bottom edge or
// below it the entry after; 0 when nothing is to scroll.
int EntryToReveal(const ListRows& rows, int entry, int count);

class ReorderDrag {
 public:
  explicit ReorderDrag(ListViewModel& list) : list_(list) {}

  // A press on the list. On an entry (its position) it selects the entry and picks it up;
  // anywhere else (0) it picks up nothing, so no entry of an earlier drag moves again.
  void Press(int entry);
  // The pointer is on `entry` (0 for none) with the button held: the picked-up entry swaps
  // texts with it, and the entry at the pointer becomes the selected, picked-up one. Entries
  // in between keep their places; two equal texts never swap. True when texts moved.
  bool MoveOver(int entry);
  // The button went up or the list lost the mouse: true when this drag changed the order.
  bool Release();
  bool Dragging() const { return dragged_ != 0; }

 private:
  ListViewModel& list_;
  int dragged_ = 0;
  bool moved_ = false;
};

}  // namespace tess
