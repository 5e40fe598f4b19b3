// The folders to back up: the entries of the folder list and their stored form under
// "Folders", written again after every change the user makes, so a crash or a kill loses
// nothing the user did.
#pragma once

#include <string>
#include <vector>

#include "folders/reorder_drag.h"

namespace tess {

class ListViewModel;
class ProgramSettings;
class Shell;
class ErrorTrap;

class FolderList {
 public:
  FolderList(ListViewModel& list, ProgramSettings& settings, Shell& shell)
      : list_(list), settings_(settings), shell_(shell), reorder_(list) {}

  // What a backup run reads, entry by entry, while it runs.
  const ListViewModel& Entries() const { return list_; }

  // Start-up, as steps 112 to 118 of the caller's trap: the column and the stored entries.
  void Restore(ErrorTrap& trap);
  // Writes "Folders" from the list; throws PlatformError when the store refuses.
  void Store();

  // Double-click or Delete: removes the selected entry, if there is one.
  void RemoveSelected();
  // Clear List.
  void Clear();
  // Add Folder: the folder-browse dialog's choice, or "" when cancelled.
  std::string BrowseForFolder();
  void Add(const std::string& entry);
  // Appends without writing "Folders", for a batch of entries that is stored once at its end.
  void Append(const std::string& entry);
  // Paths dropped onto the list, each appended in the order given; stored once.
  void AddDropped(const std::vector<std::string>& paths);

  // Reordering with the mouse: a press (the entry under the pointer, 0 for none), the moves
  // with the button held, and the release, which stores the order when it changed.
  void PressOn(int entry) { reorder_.Press(entry); }
  bool Reordering() const { return reorder_.Dragging(); }
  void DragOver(int entry) { reorder_.MoveOver(entry); }
  void EndDrag();
  // The keyboard's way: the selected entry one place up (-1) or down (+1), stored at once.
  void MoveSelected(int step);

  // Writes "Folders" after a change. A failure is absorbed: the close request writes the list
  // again and reports a failure there.
  void StoreAfterChange();

 private:
  ListViewModel& list_;
  ProgramSettings& settings_;
  Shell& shell_;
  ReorderDrag reorder_;
};

}  // namespace tess
