#include "folders/reorder_drag.h"

#include <algorithm>
#include <string>
#include <utility>

#include "controls/controls.h"

namespace tess {

int EntryUnderPointer(const ListRows& rows, int count) {
  if (count <= 0 || rows.entry_height <= 0 || rows.bottom <= rows.top) return 0;
  const int y = std::clamp(rows.pointer_y, rows.top, rows.bottom - 1);
  const int entry = rows.first_shown + (y - rows.top) / rows.entry_height;
  return entry >= 1 && entry <= count ? entry : 0;
}

int EntryToReveal(const ListRows& rows, int entry, int count) {
  if (entry < 1 || entry > count) return 0;
  if (rows.pointer_y < rows.top + rows.entry_height) return entry > 1 ? entry - 1 : 0;
  if (rows.pointer_y >= rows.bottom - rows.entry_height) return entry < count ? entry + 1 : 0;
  return 0;
}

void ReorderDrag::Press(int entry) {
  moved_ = false;
  dragged_ = 0;
  if (entry < 1 || entry > list_.Count()) return;
  list_.Select(entry);
  dragged_ = entry;
}

bool ReorderDrag::MoveOver(int entry) {
  if (dragged_ == 0) return false;
  // Something else removed the entry or moved the selection away from it (a key, a cleared
  // list): the drag has nothing left to carry.
  if (dragged_ > list_.Count() || list_.Selected() != dragged_) {
    dragged_ = 0;
    return false;
  }
  if (entry < 1 || entry > list_.Count() || entry == dragged_) return false;
  const std::string carried = list_.ItemText(dragged_);
  if (list_.ItemText(entry) == carried) return false;
  list_.SetItemText(dragged_, list_.ItemText(entry));
  list_.SetItemText(entry, carried);
  list_.Select(entry);
  dragged_ = entry;
  moved_ = true;
  return true;
}

bool ReorderDrag::Release() {
  dragged_ = 0;
  return std::exchange(moved_, false);
}

}  // namespace tess
