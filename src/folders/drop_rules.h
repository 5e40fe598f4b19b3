// Files dragged onto the folder list from another program: what the list takes and what it
// tells the drag source it did with them.
#pragma once

namespace tess {

// What a drag source allows the target to do with what it drags; any combination.
struct OfferedEffects {
  bool copy = false;
  bool move = false;
  bool link = false;
};

enum class DropEffect { kNone, kCopy, kLink };

// Only a file list is taken, and never as a move: a source told that its files were moved
// deletes the originals. A copy where the source allows one, else a link, else a refusal.
DropEffect ChooseDropEffect(bool offers_file_list, const OfferedEffects& allowed);

}  // namespace tess
