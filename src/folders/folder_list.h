// The folders to back up: the entries of the folder list and their stored form under
// "Folders", written again after every change the user makes, so a crash or a kill loses
// nothing the user did.
#pragma once

#include <string>

namespace tess {

class ListViewModel;
class ProgramSettings;
class Shell;
class ErrorTrap;

class FolderList {
 public:
  FolderList(ListViewModel& list, ProgramSettings& settings, Shell& shell)
      : list_(list), settings_(settings), shell_(shell) {}

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
  // Writes "Folders" after a change. A failure is absorbed: the close request writes the list
  // again and reports a failure there.
  void StoreAfterChange();

 private:
  ListViewModel& list_;
  ProgramSettings& settings_;
  Shell& shell_;
};

}  // namespace tess
